#ifndef ZYRAPP_COMMANDS_LITTLEENDIAN_H
#define ZYRAPP_COMMANDS_LITTLEENDIAN_H

#include <cstdint>

// The sensor's multi-byte fields are little-endian, unlike the core library's big-endian ones.

inline uint16_t readUInt16Le(const unsigned char* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

inline uint32_t readUInt32Le(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

inline void writeUInt16Le(unsigned char* bytes, uint16_t value) {
    bytes[0] = static_cast<unsigned char>(value);
    bytes[1] = static_cast<unsigned char>(value >> 8);
}

#endif // ZYRAPP_COMMANDS_LITTLEENDIAN_H
