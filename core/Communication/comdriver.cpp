#include "Communication/comdriver.h"

#include <QLoggingCategory>

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

void ComDriver::noteOpenResult(const QLoggingCategory& category, const QString& failure) {
    if (!failure.isEmpty() && failure != itsOpenFailure)
        qCWarning(category).noquote() << failure;
    itsOpenFailure = failure;
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
