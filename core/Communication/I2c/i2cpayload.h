#ifndef ZYRCORE_COMMUNICATION_I2C_I2CPAYLOAD_H
#define ZYRCORE_COMMUNICATION_I2C_I2CPAYLOAD_H

namespace ZyrCore::Communication::I2c {

// The bus address byte of the write phase (bit 0 clear) and of the read phase (bit 0 set).
inline unsigned char writeAddressByte(unsigned char slaveAddress) {
    return static_cast<unsigned char>(slaveAddress << 1);
}

inline unsigned char readAddressByte(unsigned char slaveAddress) {
    return static_cast<unsigned char>((slaveAddress << 1) | 1);
}

// Register addresses and values travel in 0, 1, 2 or 4 bytes.
inline bool isSupportedByteWidth(unsigned int width) {
    return width == 0 || width == 1 || width == 2 || width == 4;
}

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_I2CPAYLOAD_H
