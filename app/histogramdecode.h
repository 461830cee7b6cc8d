#ifndef ZYRAPP_HISTOGRAMDECODE_H
#define ZYRAPP_HISTOGRAMDECODE_H

#include <cstdint>

// Some histograms carry exponents in bins 127 and 255: bins 0-126 are scaled by 2 to the power
// of bin 127, bins 128-254 by 2 to the power of bin 255, and the two exponent bins stand as they
// are. The shift count is taken modulo 32 so any device value is defined, and the log and the
// plot decode alike.
inline uint32_t decodeExponentBin(const uint16_t* bins, int index) {
    const uint32_t value = bins[index];
    if (index == 127 || index == 255)
        return value;
    const uint32_t exponent = index < 127 ? bins[127] : bins[255];
    return value << (exponent % 32u);
}

#endif // ZYRAPP_HISTOGRAMDECODE_H
