#ifndef ZYRAPP_COMMANDS_TEXTCONVERSION_H
#define ZYRAPP_COMMANDS_TEXTCONVERSION_H

#include <QString>

#include <cstdint>

// Text forms of the bytes the sensor commands send and receive.

// Two lower-case hex digits.
QString byteToHex(uint8_t value);
// Four lower-case hex digits.
QString wordToHex(uint16_t value);
// Decimal digits without leading zeros.
QString byteToDecimal(uint8_t value);
// ";" and two lower-case hex digits per byte, then CR LF.
QString bytesToHexText(const uint8_t* bytes, int count);

#endif // ZYRAPP_COMMANDS_TEXTCONVERSION_H
