#ifndef ZYRSIM_SIMULATEDBOARD_H
#define ZYRSIM_SIMULATEDBOARD_H

#include "boardinterface.h"
#include "firmwaretable.h"
#include "simulatedhidinterface.h"
#include "simulatorconfig.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <random>

namespace ZyrSim {

// The simulated evaluation board: its HID interfaces (control and module), each with its own
// firmware table and transport fault. The firmware answers the firmware-number request on both
// interfaces and every unknown protocol with a quick error status; further handlers are plugged
// into firmware(which).
class SimulatedBoard {
public:
    static constexpr unsigned char firmwareNumberProtocol = 103;

    explicit SimulatedBoard(const SimulatorConfig& config = SimulatorConfig());
    SimulatedBoard(const SimulatedBoard&) = delete;
    SimulatedBoard& operator=(const SimulatedBoard&) = delete;
    ~SimulatedBoard();

    const SimulatorConfig& config() const { return itsConfig; }
    FirmwareTable& firmware(BoardInterface which);
    SimulatedHidInterface& hidInterface(BoardInterface which);

    void setFault(BoardInterface which, TransportFault fault);
    TransportFault fault(BoardInterface which) const { return itsConfig.fault(which); }
    void setTiming(bool on) { itsConfig.timing = on; }
    // Both interfaces at once, as when the cable is pulled and put back.
    void unplug();
    void replug();

    QString productString() const;
    // The three bytes of the firmware-number reply.
    static QByteArray firmwareNumber();

private:
    SimulatorConfig itsConfig;
    std::mt19937 itsRandom;
    std::unique_ptr<SimulatedHidInterface> itsInterfaces[boardInterfaceCount];
};

} // namespace ZyrSim

#endif // ZYRSIM_SIMULATEDBOARD_H
