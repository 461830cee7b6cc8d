#include "simulatorconfig.h"

#include <QStringList>

#include <algorithm>

namespace ZyrSim {

namespace {

struct FaultName {
    TransportFault fault;
    const char* name;
};

const FaultName kFaultNames[] = {
    {TransportFault::None, "none"},
    {TransportFault::NoReply, "noreply"},
    {TransportFault::WrongProtocol, "wrongprotocol"},
    {TransportFault::ReplyTooLong, "toolong"},
    {TransportFault::StaleReports, "stale"},
    {TransportFault::ZeroCountReport, "zerocount"},
    {TransportFault::EndlessWrongCounter, "endless"},
    {TransportFault::Unplugged, "unplugged"},
    {TransportFault::AccessDenied, "denied"},
};

bool tryGetSwitch(const QString& value, bool* on) {
    if (value == QLatin1String("on")) {
        *on = true;
        return true;
    }
    if (value == QLatin1String("off")) {
        *on = false;
        return true;
    }
    return false;
}

bool isBoardKey(const QString& key) {
    return key == QLatin1String("seed") || key == QLatin1String("timing") ||
           key == QLatin1String("fault.control") || key == QLatin1String("fault.module");
}

bool containsSpace(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

} // namespace

QString SimulatorConfig::faultName(TransportFault fault) {
    for (const FaultName& entry : kFaultNames) {
        if (entry.fault == fault)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

bool SimulatorConfig::tryGetFault(const QString& name, TransportFault* fault) {
    for (const FaultName& entry : kFaultNames) {
        if (name == QLatin1String(entry.name)) {
            *fault = entry.fault;
            return true;
        }
    }
    return false;
}

SensorConfig SimulatorConfig::sensorConfig() const {
    SensorConfig config = sensor;
    config.seed = seed;
    return config;
}

bool SimulatorConfig::parse(const QString& text, SimulatorConfig* config, QString* errorMessage) {
    const auto refuse = [errorMessage](const QString& message) {
        if (errorMessage != nullptr)
            *errorMessage = message;
        return false;
    };
    if (config == nullptr)
        return refuse(QStringLiteral("No simulator settings to fill."));
    SimulatorConfig parsed = *config;
    const QStringList pairs = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        if (pair.trimmed().isEmpty())
            continue;
        const int separator = pair.indexOf(QLatin1Char('='));
        if (separator < 0) {
            return refuse(QStringLiteral("Simulator setting \"%1\" is not of the form key=value.")
                              .arg(pair.trimmed()));
        }
        const QString key = pair.left(separator).trimmed();
        const QString value = pair.mid(separator + 1).trimmed();
        const bool knownKey = isBoardKey(key) || SensorConfig::isKey(key);
        // The text form separates the sensor's pairs by blanks, so a blank cannot be kept.
        if (knownKey && containsSpace(value)) {
            return refuse(
                QStringLiteral("Value \"%1\" of simulator setting \"%2\" contains a blank.")
                    .arg(value, key));
        }
        bool ok = false;
        if (key == QLatin1String("seed")) {
            parsed.seed = value.toUInt(&ok);
        } else if (key == QLatin1String("timing")) {
            ok = tryGetSwitch(value, &parsed.timing);
        } else if (key == QLatin1String("fault.control")) {
            ok = tryGetFault(value, &parsed.faults[int(BoardInterface::Control)]);
        } else if (key == QLatin1String("fault.module")) {
            ok = tryGetFault(value, &parsed.faults[int(BoardInterface::Module)]);
        } else if (key == QLatin1String("fault.crcFile")) {
            parsed.crcErrorFile = value.toUInt(&ok);
        } else if (key == QLatin1String("fault.refuseLoad")) {
            ok = tryGetSwitch(value, &parsed.refuseModuleLoad);
        } else {
            ok = parsed.sensor.setValue(key, value);
        }
        if (!ok && knownKey) {
            return refuse(
                QStringLiteral("Bad value \"%1\" for simulator setting \"%2\".").arg(value, key));
        }
        if (!ok)
            return refuse(QStringLiteral("Unknown simulator setting \"%1\".").arg(key));
    }
    *config = parsed;
    return true;
}

QString SimulatorConfig::toString() const {
    QStringList pairs;
    pairs << QStringLiteral("seed=%1").arg(seed)
          << QStringLiteral("timing=%1").arg(timing ? QStringLiteral("on") : QStringLiteral("off"))
          << QStringLiteral("fault.control=%1").arg(faultName(fault(BoardInterface::Control)))
          << QStringLiteral("fault.module=%1").arg(faultName(fault(BoardInterface::Module)));
    // The file store's faults only when set, so the usual text stays short.
    if (crcErrorFile != 0)
        pairs << QStringLiteral("fault.crcFile=%1").arg(crcErrorFile);
    if (refuseModuleLoad)
        pairs << QStringLiteral("fault.refuseLoad=on");
    // The sensor's own pairs, less its seed, which the board's replaces.
    const QStringList sensorPairs = sensor.toText().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& pair : sensorPairs) {
        if (!pair.startsWith(QLatin1String("seed=")))
            pairs << pair;
    }
    return pairs.join(QLatin1Char(','));
}

} // namespace ZyrSim
