#ifndef ZYRSIM_SIMULATEDEVALUATIONBOARD_H
#define ZYRSIM_SIMULATEDEVALUATIONBOARD_H

#include "HidDevice/hidbackend.h"
#include "hidbackend_sim.h"
#include "simulatedboard.h"
#include "simulatedfilestore.h"
#include "simulatedregisterfile.h"
#include "simulatedsensor.h"
#include "simulatedserialport.h"
#include "simulatorconfig.h"

#include <QString>

#include <memory>

namespace ZyrSim {

// The whole evaluation board as the program sees it over USB: the control and module HID
// interfaces, the board's file store and module loader behind the control interface, the sensor
// and its I2C registers behind the module interface, and the virtual COM port. While it lives
// it is the process's HID backend and lists its serial port; destroying it restores what was
// selected before. Use one at a time, destroyed before any board made
// earlier, and close every device opened on it before destroying it.
class SimulatedEvaluationBoard {
public:
    // The sensor runs on the given clock, or on the system's monotonic one when none is given.
    explicit SimulatedEvaluationBoard(
        const SimulatorConfig& config = SimulatorConfig(),
        SimulatedSensor::Clock sensorClock = SimulatedSensor::Clock());
    SimulatedEvaluationBoard(const SimulatedEvaluationBoard&) = delete;
    SimulatedEvaluationBoard& operator=(const SimulatedEvaluationBoard&) = delete;
    ~SimulatedEvaluationBoard();

    // A board configured by text (see SimulatorConfig); null for text that does not parse,
    // with the reason in errorMessage when given.
    static std::unique_ptr<SimulatedEvaluationBoard> create(const QString& configText,
                                                            QString* errorMessage = nullptr);

    const SimulatorConfig& config() const { return itsBoard.config(); }
    SimulatedBoard& board() { return itsBoard; }
    SimulatedSensor& sensor() { return itsSensor; }
    SimulatedRegisterFile& registerFile() { return itsRegisterFile; }
    SimulatedFileStore& fileStore() { return itsFileStore; }
    SimulatedSerialPort& serialPort() { return itsSerialPort; }

    // Takes both HID interfaces and the serial port away, as when the cable is pulled.
    void unplug();
    // Brings them back; false when the system has no pseudo-terminal left for the serial port.
    bool replug();
    // Whether the serial port is there; it is plugged at construction.
    bool isSerialPortPlugged() const { return itsSerialPort.isPlugged(); }

private:
    SimulatedSensor itsSensor;
    SimulatedRegisterFile itsRegisterFile;
    SimulatedFileStore itsFileStore;
    SimulatedBoard itsBoard;
    SimulatedSerialPort itsSerialPort;
    ZyrHid::SimHidBackend itsHidBackend;
    ZyrHid::HidBackend::Scope itsHidBackendScope;
};

} // namespace ZyrSim

#endif // ZYRSIM_SIMULATEDEVALUATIONBOARD_H
