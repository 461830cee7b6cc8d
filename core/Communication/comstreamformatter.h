#ifndef ZYRCORE_COMMUNICATION_COMSTREAMFORMATTER_H
#define ZYRCORE_COMMUNICATION_COMSTREAMFORMATTER_H

#include "Communication/icomstreamformatter.h"

namespace ZyrCore::Communication {

// Three-byte packet header: counter, length, status.
class ZYRCORE_EXPORT ComStreamFormatter : public virtual IComStreamFormatter {
public:
    ComStreamFormatter() = default;

    unsigned int getHeaderSize() override;
    unsigned int getMaxDataSize() override;
    unsigned int formatHeader(unsigned char* buffer, unsigned char counter, unsigned char length,
                              unsigned char status) override;
    unsigned int parseHeader(unsigned char* buffer, unsigned char* counter, unsigned char* length,
                             unsigned char* status) override;

    static constexpr unsigned int headerSize = 3;
    // One whole stream frame: 5 header bytes and 1088 payload bytes.
    static constexpr unsigned int maxDataSize = 1093;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_COMSTREAMFORMATTER_H
