#include "simulatedregisterfile.h"

namespace ZyrSim {

namespace {
constexpr int kConfigurationSize = 7;
constexpr int kMaskedWriteSize = 4;

FirmwareReply statusReply(unsigned char status) {
    return FirmwareReply{status, {}, {}, 0};
}

std::optional<FirmwareReply> answer(const FirmwareRequest& request, FirmwareReply reply) {
    if (request.fireAndForget)
        return std::nullopt;
    return reply;
}
} // namespace

SimulatedRegisterFile::SimulatedRegisterFile(unsigned char slaveAddress)
    : itsSlaveAddress(slaveAddress) {
    itsRegisters[identificationRegister] = identificationValue;
}

void SimulatedRegisterFile::install(FirmwareTable& table) {
    table.setHandler(transferProtocol,
                     [this](const FirmwareRequest& request) { return transfer(request); });
    table.setHandler(maskedWriteProtocol,
                     [this](const FirmwareRequest& request) { return maskedWrite(request); });
    table.setHandler(configurationProtocol,
                     [this](const FirmwareRequest& request) { return configure(request); });
    table.setHandler(resetProtocol,
                     [this](const FirmwareRequest& request) { return reset(request); });
}

unsigned char SimulatedRegisterFile::registerValue(unsigned char address) const {
    return itsRegisters[address];
}

void SimulatedRegisterFile::setRegisterValue(unsigned char address, unsigned char value) {
    itsRegisters[address] = value;
}

void SimulatedRegisterFile::setFault(unsigned char address, Fault fault) {
    if (fault == Fault::None)
        itsFaults.remove(address);
    else
        itsFaults.insert(address, fault);
}

void SimulatedRegisterFile::clearFaults() {
    itsFaults.clear();
}

QByteArray SimulatedRegisterFile::configuration() const {
    return itsConfiguration;
}

int SimulatedRegisterFile::resetCount() const {
    return itsResetCount;
}

std::optional<FirmwareReply> SimulatedRegisterFile::transfer(const FirmwareRequest& request) {
    const QByteArray& payload = request.payload;
    if (payload.isEmpty())
        return answer(request, statusReply(0));

    const auto writeByte = static_cast<char>(itsSlaveAddress << 1);
    const auto readByte = static_cast<char>((itsSlaveAddress << 1) | 1);
    const bool readPhase = !request.fireAndForget && request.replySize > 0 &&
                           payload.endsWith(readByte) &&
                           (payload.size() == 1 || payload.at(0) == writeByte);
    const bool writePhase = payload.at(0) == writeByte && (payload.size() > 1 || !readPhase);
    if (!readPhase && !writePhase)
        return answer(request, statusReply(noAcknowledgeStatus));

    if (writePhase) {
        const int end = readPhase ? payload.size() - 1 : payload.size();
        if (end > 1)
            itsPointer = static_cast<unsigned char>(payload.at(1));
        for (int i = 2; i < end; ++i)
            writeRegister(itsPointer++, static_cast<unsigned char>(payload.at(i)));
    }
    if (!readPhase)
        return answer(request, statusReply(0));

    FirmwareReply reply = statusReply(0);
    bool shortReply = false;
    for (unsigned int i = 0; i < request.replySize; ++i) {
        const unsigned char address = itsPointer++;
        const Fault fault = faultOf(address);
        if (fault == Fault::ShortReply)
            shortReply = true;
        else if (fault == Fault::ErrorStatus)
            reply.status = faultStatus;
        reply.payload.append(static_cast<char>(itsRegisters[address]));
    }
    if (shortReply)
        reply.payload.chop(1);
    return answer(request, reply);
}

std::optional<FirmwareReply> SimulatedRegisterFile::maskedWrite(const FirmwareRequest& request) {
    const QByteArray& payload = request.payload;
    if (payload.size() != kMaskedWriteSize ||
        payload.at(0) != static_cast<char>(itsSlaveAddress << 1))
        return answer(request, statusReply(noAcknowledgeStatus));

    const auto address = static_cast<unsigned char>(payload.at(1));
    const auto value = static_cast<unsigned char>(payload.at(2));
    const auto mask = static_cast<unsigned char>(payload.at(3));
    writeRegister(address,
                  static_cast<unsigned char>((itsRegisters[address] & ~mask) | (value & mask)));
    return answer(request, statusReply(0));
}

std::optional<FirmwareReply> SimulatedRegisterFile::configure(const FirmwareRequest& request) {
    if (request.payload.size() != kConfigurationSize)
        return answer(request, statusReply(noAcknowledgeStatus));
    itsConfiguration = request.payload;
    return answer(request, statusReply(0));
}

std::optional<FirmwareReply> SimulatedRegisterFile::reset(const FirmwareRequest& request) {
    itsRegisters.fill(0);
    itsRegisters[identificationRegister] = identificationValue;
    itsPointer = 0;
    ++itsResetCount;
    return answer(request, statusReply(0));
}

void SimulatedRegisterFile::writeRegister(unsigned char address, unsigned char value) {
    // The identification register is fixed by the chip.
    if (address == identificationRegister || faultOf(address) == Fault::IgnoresWrites)
        return;
    itsRegisters[address] = value;
}

SimulatedRegisterFile::Fault SimulatedRegisterFile::faultOf(unsigned char address) const {
    return itsFaults.value(address, Fault::None);
}

} // namespace ZyrSim
