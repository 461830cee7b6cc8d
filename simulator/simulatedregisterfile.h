#ifndef ZYRSIM_SIMULATEDREGISTERFILE_H
#define ZYRSIM_SIMULATEDREGISTERFILE_H

#include "firmwaretable.h"

#include <QByteArray>
#include <QHash>

#include <array>

namespace ZyrSim {

// The sensor chip's registers as the board's I2C master reaches them: 256 byte-wide registers
// behind one slave address, with a register pointer that the write phase sets and that every
// byte written or read advances.
//
// Protocols of the module interface: 97 plain transfer (write phase, then a read phase whose
// length is the frame's reply size), 108 masked write [address][register][value][mask],
// 98 I2C configuration, 101 reset to the power-on contents. Faults can be set per register.
// The handlers installed into a FirmwareTable refer to this object, which must outlive them.
class SimulatedRegisterFile {
public:
    enum class Fault {
        None,
        ShortReply,   // a read phase touching the register answers one byte short
        ErrorStatus,  // a read phase touching the register answers with faultStatus
        IgnoresWrites // the register does not keep what is written
    };

    static constexpr unsigned char transferProtocol = 97;
    static constexpr unsigned char configurationProtocol = 98;
    static constexpr unsigned char resetProtocol = 101;
    static constexpr unsigned char maskedWriteProtocol = 108;

    static constexpr unsigned char defaultSlaveAddress = 0x40;
    static constexpr unsigned char identificationRegister = 0x90;
    static constexpr unsigned char identificationValue = 0x8E;

    // Status of a reply that met a faulty register, and of a transfer no slave acknowledged.
    static constexpr unsigned char faultStatus = 0x05;
    static constexpr unsigned char noAcknowledgeStatus = 0x02;

    explicit SimulatedRegisterFile(unsigned char slaveAddress = defaultSlaveAddress);

    // Sets the handlers of protocols 97, 98, 101 and 108.
    void install(FirmwareTable& table);

    unsigned char registerValue(unsigned char address) const;
    // Sets a register directly, as the chip itself would; faults do not apply.
    void setRegisterValue(unsigned char address, unsigned char value);
    void setFault(unsigned char address, Fault fault);
    void clearFaults();

    // The payload of the last configuration request, empty before the first.
    QByteArray configuration() const;
    int resetCount() const;

    std::optional<FirmwareReply> transfer(const FirmwareRequest& request);
    std::optional<FirmwareReply> maskedWrite(const FirmwareRequest& request);
    std::optional<FirmwareReply> configure(const FirmwareRequest& request);
    std::optional<FirmwareReply> reset(const FirmwareRequest& request);

private:
    void writeRegister(unsigned char address, unsigned char value);
    Fault faultOf(unsigned char address) const;

    unsigned char itsSlaveAddress;
    std::array<unsigned char, 256> itsRegisters{};
    unsigned char itsPointer = 0;
    QHash<unsigned char, Fault> itsFaults;
    QByteArray itsConfiguration;
    int itsResetCount = 0;
};

} // namespace ZyrSim

#endif // ZYRSIM_SIMULATEDREGISTERFILE_H
