#include "Communication/comstreamformatter.h"

#include "Tools/zyrassert.h"

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/comstreamformatter";
}

unsigned int ComStreamFormatter::getHeaderSize() {
    return headerSize;
}

unsigned int ComStreamFormatter::getMaxDataSize() {
    return maxDataSize;
}

unsigned int ComStreamFormatter::formatHeader(unsigned char* buffer, unsigned char counter,
                                              unsigned char length, unsigned char status) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    buffer[0] = counter;
    buffer[1] = length;
    buffer[2] = status;
    return headerSize;
}

unsigned int ComStreamFormatter::parseHeader(unsigned char* buffer, unsigned char* counter,
                                             unsigned char* length, unsigned char* status) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    if (counter != nullptr)
        *counter = buffer[0];
    if (length != nullptr)
        *length = buffer[1];
    if (status != nullptr)
        *status = buffer[2];
    return headerSize;
}

} // namespace ZyrCore::Communication
