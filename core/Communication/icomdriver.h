#ifndef ZYRCORE_COMMUNICATION_ICOMDRIVER_H
#define ZYRCORE_COMMUNICATION_ICOMDRIVER_H

#include "zyrcore_global.h"

namespace ZyrCore::Communication {

// Moves raw bytes to and from one device channel. Operations return 0 or a negative error code.
class ZYRCORE_EXPORT IComDriver {
public:
    virtual ~IComDriver() = default;

    virtual bool open() = 0;
    virtual bool close() = 0;
    virtual bool isOpen() = 0;
    // Sends whatever the driver still buffers.
    virtual int flush() = 0;
    // Hands size bytes to the channel; a driver may buffer them until flush().
    virtual int write(unsigned char* buffer, int size) = 0;
    // Fills buffer with exactly size bytes from the channel.
    virtual int read(unsigned char* buffer, int size) = 0;
    // Returns the last error and clears it.
    virtual int lastError() = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_ICOMDRIVER_H
