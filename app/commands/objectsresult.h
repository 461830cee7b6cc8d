#ifndef ZYRAPP_COMMANDS_OBJECTSRESULT_H
#define ZYRAPP_COMMANDS_OBJECTSRESULT_H

#include <cstdint>

// The object the sensor reports, as its objects reply carries it.
struct ObjectsResult {
    uint8_t byte1 = 0;      // not interpreted by the application
    uint16_t distance = 0;  // millimetres
    uint16_t word4 = 0;     // not interpreted
    uint16_t word6 = 0;     // not interpreted
    uint8_t confidence = 0; // 0..63
    uint32_t referencePhotonCount = 0;
    uint32_t objectPhotonCount = 0;
};

#endif // ZYRAPP_COMMANDS_OBJECTSRESULT_H
