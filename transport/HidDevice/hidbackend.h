#ifndef ZYRHID_HIDDEVICE_HIDBACKEND_H
#define ZYRHID_HIDDEVICE_HIDBACKEND_H

#include "HidDevice/ihidbackend.h"

namespace ZyrHid {

// The process-wide choice of HID backend: the platform's by default, a simulated board or a
// test's fake when set. Devices opened earlier keep the backend they were opened with.
class HidBackend {
public:
    static IHidBackend* current();
    // Null selects the platform backend again. Returns the previous backend.
    static IHidBackend* setCurrent(IHidBackend* backend);
    static IHidBackend* platform();

    // Selects a backend for the lifetime of a scope.
    class Scope {
    public:
        explicit Scope(IHidBackend* backend)
            : itsPrevious(setCurrent(backend)) {}
        ~Scope() { setCurrent(itsPrevious); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        IHidBackend* itsPrevious;
    };
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDBACKEND_H
