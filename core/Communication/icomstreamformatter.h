#ifndef ZYRCORE_COMMUNICATION_ICOMSTREAMFORMATTER_H
#define ZYRCORE_COMMUNICATION_ICOMSTREAMFORMATTER_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

// Writes and parses the small header a packet transport puts in front of each packet.
class ZYRCORE_EXPORT IComStreamFormatter {
public:
    virtual ~IComStreamFormatter() = default;

    virtual unsigned int getHeaderSize() = 0;
    // The largest number of data bytes one write through the transport may carry.
    virtual unsigned int getMaxDataSize() = 0;
    virtual unsigned int formatHeader(unsigned char* buffer, unsigned char counter,
                                      unsigned char length, unsigned char status) = 0;
    // Each out pointer may be null; returns the bytes consumed.
    virtual unsigned int parseHeader(unsigned char* buffer, unsigned char* counter,
                                     unsigned char* length, unsigned char* status) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_ICOMSTREAMFORMATTER_H
