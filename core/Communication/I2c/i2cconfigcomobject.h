#ifndef ZYRCORE_COMMUNICATION_I2C_I2CCONFIGCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_I2C_I2CCONFIGCOMOBJECT_H

#include "Communication/ixmlserializable.h"
#include "Communication/serializablecomobject.h"

namespace ZyrCore::Communication::I2c {

// Sets up the board's I2C master: [module][address size 1][clock mode][custom clock speed, 4
// bytes big-endian]; no reply.
class ZYRCORE_EXPORT I2cConfigComObject : public SerializableComObject, public IXmlSerializable {
public:
    static constexpr unsigned char configProtocol = 98;
    static constexpr unsigned int requestSize = 7;

    // A module other than 1 or 2 is taken as 1; clock mode and speed are passed on unchanged.
    I2cConfigComObject(unsigned char module, unsigned char clockMode, unsigned int customClockSpeed,
                       unsigned int tracePattern);
    I2cConfigComObject(const I2cConfigComObject& other) = default;

    IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int size) override;
    // There is no reply: a call is a programming error.
    bool deserialize(unsigned char* buffer, unsigned int size) override;
    bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) override;
    bool xmlDeserialize(QXmlStreamReader* reader) override;

    // "100KHz", "400KHz", "1MHz", "3.4MHz", "custom speed" or "unknown".
    static const char* clockModeToFrequency(unsigned char clockMode);

    unsigned char module() const;
    unsigned char clockMode() const;
    unsigned int customClockSpeed() const;

private:
    unsigned char itsModule;
    unsigned char itsClockMode;
    unsigned int itsCustomClockSpeed;
};

} // namespace ZyrCore::Communication::I2c

#endif // ZYRCORE_COMMUNICATION_I2C_I2CCONFIGCOMOBJECT_H
