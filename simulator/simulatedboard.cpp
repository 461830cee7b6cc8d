#include "simulatedboard.h"

namespace ZyrSim {

SimulatedBoard::SimulatedBoard(const SimulatorConfig& config)
    : itsConfig(config)
    , itsRandom(config.seed) {
    for (int index = 0; index < boardInterfaceCount; ++index) {
        itsInterfaces[index] =
            std::make_unique<SimulatedHidInterface>(BoardInterface(index), itsConfig, itsRandom);
        itsInterfaces[index]->firmware().setHandler(
            firmwareNumberProtocol, [](const FirmwareRequest&) -> std::optional<FirmwareReply> {
                return FirmwareReply{0, firmwareNumber(), std::nullopt, 0};
            });
    }
}

SimulatedBoard::~SimulatedBoard() = default;

FirmwareTable& SimulatedBoard::firmware(BoardInterface which) {
    return hidInterface(which).firmware();
}

SimulatedHidInterface& SimulatedBoard::hidInterface(BoardInterface which) {
    return *itsInterfaces[int(which)];
}

void SimulatedBoard::setFault(BoardInterface which, TransportFault fault) {
    itsConfig.setFault(which, fault);
    hidInterface(which).onFaultChanged();
}

void SimulatedBoard::unplug() {
    setFault(BoardInterface::Control, TransportFault::Unplugged);
    setFault(BoardInterface::Module, TransportFault::Unplugged);
}

void SimulatedBoard::replug() {
    for (int index = 0; index < boardInterfaceCount; ++index) {
        if (itsConfig.faults[index] == TransportFault::Unplugged)
            setFault(BoardInterface(index), TransportFault::None);
    }
}

QString SimulatedBoard::productString() const {
    return QStringLiteral("Orvane Evaluation Board");
}

QByteArray SimulatedBoard::firmwareNumber() {
    return QByteArray("\x01\x00\x07", 3);
}

} // namespace ZyrSim
