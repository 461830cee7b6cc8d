#include "simulatorconfig.h"

#include <QStringList>

#include <algorithm>
#include <limits>

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

QString switchWords() {
    return QStringLiteral("on, off");
}

QString faultNames() {
    QStringList names;
    for (const FaultName& entry : kFaultNames)
        names << QLatin1String(entry.name);
    return names.join(QStringLiteral(", "));
}

QString anyUnsigned() {
    return QStringLiteral("0-%1").arg(std::numeric_limits<quint32>::max());
}

bool trySetUnsigned(const QString& value, quint32* number) {
    bool ok = false;
    const uint parsed = value.toUInt(&ok);
    if (ok)
        *number = parsed;
    return ok;
}

// One key of the board: what it takes, for people to read, and how it sets its field.
struct BoardKey {
    const char* name;
    QString (*acceptedValues)();
    bool (*set)(SimulatorConfig& config, const QString& value);
};

const BoardKey kBoardKeys[] = {
    {"seed", anyUnsigned,
     [](SimulatorConfig& config, const QString& value) {
         return trySetUnsigned(value, &config.seed);
     }},
    {"timing", switchWords,
     [](SimulatorConfig& config, const QString& value) {
         return tryGetSwitch(value, &config.timing);
     }},
    {"fault.control", faultNames,
     [](SimulatorConfig& config, const QString& value) {
         return SimulatorConfig::tryGetFault(value, &config.faults[int(BoardInterface::Control)]);
     }},
    {"fault.module", faultNames,
     [](SimulatorConfig& config, const QString& value) {
         return SimulatorConfig::tryGetFault(value, &config.faults[int(BoardInterface::Module)]);
     }},
    {"fault.crcFile",
     [] {
         return anyUnsigned() +
                QStringLiteral(" (the file of that number in an upload fails its checksum; 0: "
                               "none)");
     },
     [](SimulatorConfig& config, const QString& value) {
         return trySetUnsigned(value, &config.crcErrorFile);
     }},
    {"fault.refuseLoad", switchWords,
     [](SimulatorConfig& config, const QString& value) {
         return tryGetSwitch(value, &config.refuseModuleLoad);
     }},
};

const BoardKey* findBoardKey(const QString& key) {
    for (const BoardKey& entry : kBoardKeys) {
        if (key == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
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

QStringList SimulatorConfig::keys() {
    QStringList names;
    for (const BoardKey& entry : kBoardKeys)
        names << QLatin1String(entry.name);
    for (const QString& key : SensorConfig::keys()) {
        if (findBoardKey(key) == nullptr)
            names << key;
    }
    return names;
}

QString SimulatorConfig::acceptedValues(const QString& key) {
    const BoardKey* entry = findBoardKey(key);
    return entry != nullptr ? entry->acceptedValues() : SensorConfig::acceptedValues(key);
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
        const BoardKey* boardKey = findBoardKey(key);
        if (boardKey == nullptr && !SensorConfig::isKey(key)) {
            return refuse(QStringLiteral("Unknown simulator setting \"%1\"; the settings are %2.")
                              .arg(key, keys().join(QStringLiteral(", "))));
        }
        // The text form separates the sensor's pairs by blanks, so a blank cannot be kept.
        if (containsSpace(value)) {
            return refuse(
                QStringLiteral("Value \"%1\" of simulator setting \"%2\" contains a blank.")
                    .arg(value, key));
        }
        const bool ok =
            boardKey != nullptr ? boardKey->set(parsed, value) : parsed.sensor.setValue(key, value);
        if (!ok) {
            return refuse(QStringLiteral("Bad value \"%1\" for simulator setting \"%2\"; it takes "
                                         "%3.")
                              .arg(value, key, acceptedValues(key)));
        }
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
