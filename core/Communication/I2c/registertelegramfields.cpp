#include "Communication/I2c/registertelegramfields.h"

#include "Communication/I2c/i2cpayload.h"
#include "Communication/iregistercomobject.h"
#include "Communication/telegramfields.h"

#include <QXmlStreamReader>

namespace ZyrCore::Communication::I2c {

RegisterTelegramFields RegisterTelegramFields::of(const IRegisterComObject& object,
                                                  unsigned char slaveAddress) {
    RegisterTelegramFields fields;
    fields.slaveAddress = slaveAddress;
    fields.addressByteWidth = object.addressByteWidth();
    fields.registerAddress = object.registerAddress();
    fields.valueByteWidth = object.valueByteWidth();
    fields.registerValue = object.registerValue();
    return fields;
}

bool RegisterTelegramFields::read(QXmlStreamReader* reader, bool withMask) {
    const bool parsed = TelegramFields::readHexChildren(
        reader, [&](const QStringRef& name, int value, bool converted) {
            const auto number = static_cast<unsigned int>(value);
            if (name == QLatin1String("SlaveAddress"))
                slaveAddress = static_cast<unsigned char>(value);
            else if (name == QLatin1String("AddressSize"))
                addressByteWidth = number;
            else if (name == QLatin1String("Address"))
                registerAddress = number;
            else if (name == QLatin1String("DataSize"))
                valueByteWidth = number;
            else if (name == QLatin1String("Data"))
                registerValue = number;
            else if (withMask && name == QLatin1String("Mask"))
                mask = number;
            else
                return true;
            return converted;
        });
    return parsed && hasByteWidths();
}

bool RegisterTelegramFields::hasByteWidths() const {
    return isSupportedByteWidth(addressByteWidth) && isSupportedByteWidth(valueByteWidth);
}

void RegisterTelegramFields::applyTo(IRegisterComObject& object) const {
    object.setAddressByteWidth(addressByteWidth);
    object.setValueByteWidth(valueByteWidth);
    object.setRegisterAddress(registerAddress);
    object.setRegisterValue(registerValue);
}

} // namespace ZyrCore::Communication::I2c
