#include "simulatedevaluationboard.h"

#include <utility>

namespace ZyrSim {

SimulatedEvaluationBoard::SimulatedEvaluationBoard(const SimulatorConfig& config,
                                                   SimulatedSensor::Clock sensorClock)
    : itsSensor(config.sensorConfig(), std::move(sensorClock))
    , itsFileStore(config.crcErrorFile, config.refuseModuleLoad)
    , itsBoard(config)
    , itsHidBackend(itsBoard)
    , itsHidBackendScope(&itsHidBackend) {
    FirmwareTable& module = itsBoard.firmware(BoardInterface::Module);
    itsSensor.install(module);
    itsRegisterFile.install(module);
    itsFileStore.install(itsBoard.firmware(BoardInterface::Control));
    itsSerialPort.plug();
}

SimulatedEvaluationBoard::~SimulatedEvaluationBoard() = default;

std::unique_ptr<SimulatedEvaluationBoard>
SimulatedEvaluationBoard::create(const QString& configText, QString* errorMessage) {
    SimulatorConfig config;
    if (!SimulatorConfig::parse(configText, &config, errorMessage))
        return nullptr;
    return std::make_unique<SimulatedEvaluationBoard>(config);
}

void SimulatedEvaluationBoard::unplug() {
    itsBoard.unplug();
    itsSerialPort.unplug();
}

bool SimulatedEvaluationBoard::replug() {
    itsBoard.replug();
    return itsSerialPort.plug();
}

} // namespace ZyrSim
