#include "HidDevice/hidbackend.h"

#include "HidDevice/hidbackend_linux.h"

namespace ZyrHid {

namespace {
IHidBackend* theCurrentBackend = nullptr;
}

IHidBackend* HidBackend::platform() {
    static LinuxHidBackend thePlatformBackend;
    return &thePlatformBackend;
}

IHidBackend* HidBackend::current() {
    return theCurrentBackend != nullptr ? theCurrentBackend : platform();
}

IHidBackend* HidBackend::setCurrent(IHidBackend* backend) {
    IHidBackend* previous = current();
    theCurrentBackend = backend;
    return previous;
}

} // namespace ZyrHid
