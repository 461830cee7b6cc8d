#include "raspi/Commands/configuremodulecomobject.h"

#include "Tools/zyrassert.h"

#include <algorithm>

namespace ZyrRasPi::Commands {

namespace {
const char* const kSource = "raspi/Commands/configuremodulecomobject";
constexpr unsigned int kTracePattern = 0xFFFFFFFF;
// Action, option and the name's terminating 0.
constexpr unsigned int kFixedSize = 3;
} // namespace

ConfigureModuleComObject::ConfigureModuleComObject()
    : SerializableComObject(0, 0, 0, RequestAndResponse, kTracePattern) {}

ConfigureModuleComObject::ConfigureModuleComObject(const QString& moduleName, unsigned int action,
                                                   unsigned int option)
    : SerializableComObject(configureModuleProtocol,
                            unsigned(moduleName.toUtf8().size()) + kFixedSize, 0,
                            RequestAndResponse, kTracePattern)
    , itsAction(action)
    , itsOption(option)
    , itsModuleName(moduleName) {}

ZyrCore::Communication::IComObject* ConfigureModuleComObject::clone() {
    return new ConfigureModuleComObject(*this);
}

bool ConfigureModuleComObject::serialize(unsigned char* buffer, unsigned int bufferSize) {
    if (serializeSize() > bufferSize) {
        ZyrCore::Tools::assertionFailed(kSource, __LINE__, "itsSerializeSize <= bufferSize",
                                        "Buffer overflow");
    }
    if (serializeSize() == 0)
        return true;
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    const QByteArray name = itsModuleName.toUtf8();
    buffer[0] = static_cast<unsigned char>(itsAction);
    buffer[1] = static_cast<unsigned char>(itsOption);
    std::copy(name.cbegin(), name.cend(), buffer + 2);
    buffer[2 + name.size()] = 0;
    return true;
}

bool ConfigureModuleComObject::deserialize(unsigned char*, unsigned int) {
    return true;
}

} // namespace ZyrRasPi::Commands
