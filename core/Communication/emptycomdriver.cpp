#include "Communication/emptycomdriver.h"

namespace ZyrCore::Communication {

bool EmptyComDriver::open() {
    return false;
}
bool EmptyComDriver::close() {
    return false;
}
int EmptyComDriver::flush() {
    return ChannelNotOpen;
}
int EmptyComDriver::write(unsigned char*, int) {
    return ChannelNotOpen;
}
int EmptyComDriver::read(unsigned char*, int) {
    return ChannelNotOpen;
}
int EmptyComDriver::checkDeviceState() {
    return -1;
}
void EmptyComDriver::clearBuffers() {}
void EmptyComDriver::reserved() {}

} // namespace ZyrCore::Communication
