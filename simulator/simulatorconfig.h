#ifndef ZYRSIM_SIMULATORCONFIG_H
#define ZYRSIM_SIMULATORCONFIG_H

#include "boardinterface.h"
#include "sensorconfig.h"
#include "transportfault.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <array>

namespace ZyrSim {

// Settings of a simulated board and the sensor behind it, also as text: comma-separated
// key=value pairs such as "chip=KEL4405,seed=3,timing=off,fault.module=noreply". Board keys:
// seed (unsigned; it seeds the sensor as well), timing (on/off), fault.control and fault.module
// (none, noreply, wrongprotocol, toolong, stale, zerocount, endless, unplugged, denied),
// fault.crcFile (the n-th file uploaded fails its checksum; 0 none) and fault.refuseLoad (on/off:
// the board refuses to load modules). Every other key is a sensor key (chip, app0, target,
// badHistogram, shortObjects, deviceStatus).
struct SimulatorConfig {
    quint32 seed = 1;
    // One report per millisecond in each direction, as a full-speed interrupt endpoint.
    bool timing = false;
    std::array<TransportFault, boardInterfaceCount> faults = {TransportFault::None,
                                                              TransportFault::None};
    // Faults of the board's file store, counted from 1; 0: every file arrives intact.
    quint32 crcErrorFile = 0;
    bool refuseModuleLoad = false;
    // Its seed is not used: the board's seed drives the sensor (see sensorConfig()).
    SensorConfig sensor;

    TransportFault fault(BoardInterface which) const { return faults[int(which)]; }
    void setFault(BoardInterface which, TransportFault fault) { faults[int(which)] = fault; }

    // The sensor's settings with the board's seed.
    SensorConfig sensorConfig() const;

    // False for text that does not parse; config is then left as it was and errorMessage, when
    // given, says which pair was refused.
    static bool parse(const QString& text, SimulatorConfig* config,
                      QString* errorMessage = nullptr);
    QString toString() const;

    // Every key parse() knows: the board's, then the sensor's less the seed, which the board's
    // replaces.
    static QStringList keys();
    // What parse() takes for the key, for people to read; empty for an unknown key.
    static QString acceptedValues(const QString& key);

    static QString faultName(TransportFault fault);
    static bool tryGetFault(const QString& name, TransportFault* fault);
};

} // namespace ZyrSim

#endif // ZYRSIM_SIMULATORCONFIG_H
