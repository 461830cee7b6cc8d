#ifndef ZYRRASPI_COMMANDS_CONFIGUREMODULECOMOBJECT_H
#define ZYRRASPI_COMMANDS_CONFIGUREMODULECOMOBJECT_H

#include "Communication/serializablecomobject.h"

#include <QString>

namespace ZyrRasPi::Commands {

// Asks the interface board to load or unload one of its modules. Payload: action (1 byte),
// option (1 byte), the module's path on the board in UTF-8 with a terminating 0.
class ConfigureModuleComObject : public ZyrCore::Communication::SerializableComObject {
public:
    enum Action : unsigned int { Load = 0, Unload = 1 };

    static constexpr unsigned char configureModuleProtocol = 65;

    ConfigureModuleComObject();
    ConfigureModuleComObject(const QString& moduleName, unsigned int action, unsigned int option);
    ConfigureModuleComObject(const ConfigureModuleComObject& other) = default;
    ~ConfigureModuleComObject() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int bufferSize) override;
    // The board answers with a status only.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

private:
    unsigned int itsAction = 0;
    unsigned int itsOption = 0;
    QString itsModuleName;
};

} // namespace ZyrRasPi::Commands

#endif // ZYRRASPI_COMMANDS_CONFIGUREMODULECOMOBJECT_H
