#ifndef ZYRCORE_COMMUNICATION_EMPTYCOMDRIVER_H
#define ZYRCORE_COMMUNICATION_EMPTYCOMDRIVER_H

#include "Communication/comdriver.h"

namespace ZyrCore::Communication {

// The null driver a stream uses when it is given none: never opens, every transfer fails with -1.
class ZYRCORE_EXPORT EmptyComDriver : public ComDriver {
public:
    bool open() override;
    bool close() override;
    int flush() override;
    int write(unsigned char* buffer, int size) override;
    int read(unsigned char* buffer, int size) override;
    int checkDeviceState() override;
    void clearBuffers() override;
    void reserved() override;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_EMPTYCOMDRIVER_H
