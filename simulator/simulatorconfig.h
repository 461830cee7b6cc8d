#ifndef ZYRSIM_SIMULATORCONFIG_H
#define ZYRSIM_SIMULATORCONFIG_H

#include "boardinterface.h"
#include "transportfault.h"

#include <QString>
#include <QtGlobal>

#include <array>

namespace ZyrSim {

// Settings of a simulated board, also as text: comma-separated key=value pairs such as
// "seed=7,timing=on,fault.module=noreply". Keys: seed (unsigned), timing (on/off),
// fault.control and fault.module (none, noreply, wrongprotocol, toolong, stale, zerocount,
// endless, unplugged).
struct SimulatorConfig {
    quint32 seed = 1;
    // One report per millisecond in each direction, as a full-speed interrupt endpoint.
    bool timing = false;
    std::array<TransportFault, boardInterfaceCount> faults = {TransportFault::None,
                                                              TransportFault::None};

    TransportFault fault(BoardInterface which) const { return faults[int(which)]; }
    void setFault(BoardInterface which, TransportFault fault) { faults[int(which)] = fault; }

    // False for text that does not parse; config is then left as it was.
    static bool parse(const QString& text, SimulatorConfig* config);
    QString toString() const;

    static QString faultName(TransportFault fault);
    static bool tryGetFault(const QString& name, TransportFault* fault);
};

} // namespace ZyrSim

#endif // ZYRSIM_SIMULATORCONFIG_H
