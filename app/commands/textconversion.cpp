#include "commands/textconversion.h"

namespace {
const char kHexDigits[] = "0123456789abcdef";
} // namespace

QString byteToHex(uint8_t value) {
    const QChar digits[2] = {QLatin1Char(kHexDigits[value >> 4]),
                             QLatin1Char(kHexDigits[value & 0x0F])};
    return QString(digits, 2);
}

QString wordToHex(uint16_t value) {
    return byteToHex(static_cast<uint8_t>(value >> 8)) + byteToHex(static_cast<uint8_t>(value));
}

QString byteToDecimal(uint8_t value) {
    return QString::number(value);
}

QString bytesToHexText(const uint8_t* bytes, int count) {
    QString text;
    if (bytes != nullptr && count > 0) {
        text.reserve(count * 3 + 2);
        for (int i = 0; i < count; ++i) {
            text += QLatin1Char(';');
            text += QLatin1Char(kHexDigits[bytes[i] >> 4]);
            text += QLatin1Char(kHexDigits[bytes[i] & 0x0F]);
        }
    }
    text += QLatin1String("\r\n");
    return text;
}
