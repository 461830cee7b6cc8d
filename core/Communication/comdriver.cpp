#include "Communication/comdriver.h"

namespace ZyrCore::Communication {

const char* const ComDriver::errorStrings[5] = {
    "Success",
    "Error: channel not open",
    "Error: transmit failed",
    "Error: receive failed",
    "Error: received and expected data mismatch",
};

const char* const ComDriver::unknownErrorCodeText = "Unknown error code";

bool ComDriver::isOpen() {
    return itsOpen;
}

int ComDriver::lastError() {
    const int error = itsLastError;
    clearBuffers();
    itsLastError = 0;
    return error;
}

int ComDriver::deviceState() {
    return itsDeviceState;
}

const char* ComDriver::errorToString(int code) {
    if (code <= 0 && code >= -4)
        return errorStrings[-code];
    return unknownErrorCodeText;
}

} // namespace ZyrCore::Communication
