#include "Communication/I2c/registertelegramfields.h"

#include "Communication/I2c/i2cpayload.h"
#include "Communication/iregistercomobject.h"
#include "Communication/telegramfields.h"

#include <QXmlStreamReader>

#include <type_traits>

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

void RegisterTelegramFields::writeAddressing(QXmlStreamWriter* writer) const {
    TelegramFields::writeHex(writer, QStringLiteral("SlaveAddress"), slaveAddress);
    TelegramFields::writeHex(writer, QStringLiteral("AddressSize"), addressByteWidth);
    TelegramFields::writeHex(writer, QStringLiteral("Address"), registerAddress);
    TelegramFields::writeHex(writer, QStringLiteral("DataSize"), valueByteWidth);
}

bool RegisterTelegramFields::read(QXmlStreamReader* reader, bool withMask) {
    enum { Slave, AddressWidth, Address, ValueWidth, Value, Mask };
    TelegramFields::HexChild children[] = {
        {QLatin1String("SlaveAddress")}, {QLatin1String("AddressSize")}, {QLatin1String("Address")},
        {QLatin1String("DataSize")},     {QLatin1String("Data")},        {QLatin1String("Mask")}};
    if (!TelegramFields::readHexChildren(reader, children, withMask ? 6 : 5))
        return false;
    auto take = [&children](int index, auto& field) {
        if (children[index].present)
            field = static_cast<std::remove_reference_t<decltype(field)>>(children[index].value);
    };
    take(Slave, slaveAddress);
    take(AddressWidth, addressByteWidth);
    take(Address, registerAddress);
    take(ValueWidth, valueByteWidth);
    take(Value, registerValue);
    take(Mask, mask);
    return hasByteWidths();
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
