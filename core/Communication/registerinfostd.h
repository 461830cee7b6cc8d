#ifndef ZYRCORE_COMMUNICATION_REGISTERINFOSTD_H
#define ZYRCORE_COMMUNICATION_REGISTERINFOSTD_H

#include "Communication/registerinfo.h"

namespace ZyrCore::Communication {

// The standard register description: one address for reading and writing, one mask for both.
// A mask of 0 makes the register both read-only and write-only.
class ZYRCORE_EXPORT RegisterInfoStd : public RegisterInfo {
public:
    RegisterInfoStd(unsigned int address, unsigned char widthA, unsigned char valueBitWidth,
                    unsigned int mask);
    RegisterInfoStd(const RegisterInfoStd& other) = default;
    RegisterInfoStd& operator=(const RegisterInfoStd& other) = default;

    // 0x01, the low byte of the write address, the low byte of the read address.
    QByteArray key() const override;
    QString id() const override;
    QString toString() const override;
    bool isReadOnly() const override;
    bool isWriteOnly() const override;
    bool canHandleValue(IRegisterValue* value) override;
    IRegisterValue* createValue() override;
    void processWriteRegisterRequest(QQueue<IComObject*>* comObjects, IRegisterValue* value,
                                     IRegisterComObjectProvider* objectProvider) override;
    void processWriteRegisterResponse(QQueue<IComObject*>* comObjects,
                                      IRegisterValue* value) override;
    void processModifyRegisterRequest(QQueue<IComObject*>* comObjects, IRegisterValue* value,
                                      IRegisterValue* mask,
                                      IRegisterComObjectProvider* objectProvider) override;
    void processModifyRegisterResponse(QQueue<IComObject*>* comObjects, IRegisterValue* value,
                                       IRegisterValue* mask) override;
    void processReadRegisterRequest(QQueue<IComObject*>* comObjects, IRegisterValue* value,
                                    IRegisterComObjectProvider* objectProvider) override;
    void processReadRegisterResponse(QQueue<IComObject*>* comObjects,
                                     IRegisterValue* regValue) override;
    bool isDirectSuccessorOf(IRegisterInfo* regInfo) override;
    // Appends one block object per run of values that fits the largest stream payload.
    void processBlockReadRegisterRequest(QQueue<IComObject*>* comObjects,
                                         QList<IRegisterValue*>* regValues,
                                         IRegisterComObjectProvider* objectProvider) override;
    // A block that did not deliver all its bytes copies nothing and marks its values with state 1.
    void processBlockReadRegisterResponse(QQueue<IComObject*>* comObjects,
                                          QList<IRegisterValue*>* values) override;

    unsigned int tracePattern() const;
    // 0 leaves read requests with the provider's trace pattern.
    void setTracePattern(unsigned int tracePattern);

    // Bytes per value in a block read: the value width rounded up to whole bytes.
    unsigned int valueByteWidth() const;
    // How many values one block object carries at most.
    unsigned int valuesPerBlock() const;

private:
    unsigned char itsWidthA;
    unsigned char itsValueBitWidth;
    unsigned int itsReadAddress;
    unsigned int itsWriteAddress;
    unsigned int itsReadMask;
    unsigned int itsWriteMask;
    unsigned int itsTracePattern = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_REGISTERINFOSTD_H
