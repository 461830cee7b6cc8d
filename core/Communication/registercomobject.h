#ifndef ZYRCORE_COMMUNICATION_REGISTERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_REGISTERCOMOBJECT_H

#include "Communication/iregistercomobject.h"
#include "Communication/serializablecomobject.h"

namespace ZyrCore::Communication {

// The register fields of a single-register com object; the bus-specific subclasses give its byte
// form.
class ZYRCORE_EXPORT RegisterComObject : public SerializableComObject,
                                         public virtual IRegisterComObject {
public:
    RegisterComObject(unsigned char protocol, int serializeSize, int deserializeSize,
                      CallingType callingType, unsigned int tracePattern,
                      unsigned int addressByteWidth, unsigned int valueByteWidth,
                      unsigned int registerAddress, unsigned int registerValue);
    RegisterComObject(const RegisterComObject& other) = default;

    unsigned int registerValue() const override;
    void setRegisterValue(unsigned int value) override;
    unsigned int registerAddress() const override;
    void setRegisterAddress(unsigned int address) override;
    unsigned int valueByteWidth() const override;
    void setValueByteWidth(unsigned int width) override;
    unsigned int addressByteWidth() const override;
    void setAddressByteWidth(unsigned int width) override;

    virtual void set(unsigned int address, unsigned int value);

private:
    unsigned int itsAddressByteWidth;
    unsigned int itsValueByteWidth;
    unsigned int itsRegisterAddress;
    unsigned int itsRegisterValue;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_REGISTERCOMOBJECT_H
