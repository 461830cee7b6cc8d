#include "sensorconfig.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace ZyrSim {

namespace {

struct FlagWord {
    const char* word;
    bool on;
};

const FlagWord kFlagWords[] = {{"on", true}, {"off", false}, {"1", true},
                               {"0", false}, {"true", true}, {"false", false}};

constexpr SensorConfig::ChipModel kChipModels[] = {SensorConfig::ChipModel::Kel4301,
                                                   SensorConfig::ChipModel::Kel4401,
                                                   SensorConfig::ChipModel::Kel4405};

bool tryParseFlag(const QString& text, bool& flag) {
    for (const FlagWord& entry : kFlagWords) {
        if (text == QLatin1String(entry.word)) {
            flag = entry.on;
            return true;
        }
    }
    return false;
}

QString flagWords() {
    QStringList words;
    for (const FlagWord& entry : kFlagWords)
        words << QLatin1String(entry.word);
    return words.join(QStringLiteral(", "));
}

bool tryParseNumber(const QString& text, qulonglong maximum, qulonglong& number) {
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 0);
    if (!ok || value > maximum)
        return false;
    number = value;
    return true;
}

template <typename Number>
bool trySetNumber(const QString& text, qulonglong maximum, Number& field) {
    qulonglong number = 0;
    if (!tryParseNumber(text, maximum, number))
        return false;
    field = static_cast<Number>(number);
    return true;
}

QString numbersUpTo(qulonglong maximum) {
    return QStringLiteral("0-%1").arg(maximum);
}

// One key of the text form: what it takes, for people to read, and how it sets its field.
struct SensorKey {
    const char* name;
    QString (*acceptedValues)();
    bool (*set)(SensorConfig& config, const QString& value);
};

const SensorKey kSensorKeys[] = {
    {"chip",
     [] {
         QStringList names;
         for (SensorConfig::ChipModel model : kChipModels)
             names << SensorConfig::chipModelName(model);
         return names.join(QStringLiteral(", "));
     },
     [](SensorConfig& config, const QString& value) {
         return SensorConfig::tryGetChipModel(value, config.chipModel);
     }},
    {"seed", [] { return numbersUpTo(0xFFFFFFFFu); },
     [](SensorConfig& config, const QString& value) {
         return trySetNumber(value, 0xFFFFFFFFu, config.seed);
     }},
    {"app0",
     [] {
         return QStringLiteral("four numbers 0-255 joined by dots, such as %1 (empty: the chip's "
                               "own revision)")
             .arg(QLatin1String(SensorConfig::outdatedApp0Revision));
     },
     [](SensorConfig& config, const QString& value) {
         uint8_t bytes[4];
         if (!value.isEmpty() && !SensorConfig::tryParseRevision(value, bytes))
             return false;
         config.app0Revision = value;
         return true;
     }},
    {"target",
     [] {
         return numbersUpTo(SensorConfig::maxTargetMm) +
                QStringLiteral(" (millimetres; 0: a moving target)");
     },
     [](SensorConfig& config, const QString& value) {
         return trySetNumber(value, SensorConfig::maxTargetMm, config.targetMm);
     }},
    {"calibrationMs", [] { return numbersUpTo(SensorConfig::maxCalibrationMs); },
     [](SensorConfig& config, const QString& value) {
         return trySetNumber(value, SensorConfig::maxCalibrationMs, config.calibrationMs);
     }},
    {"badHistogram", flagWords,
     [](SensorConfig& config, const QString& value) {
         return tryParseFlag(value, config.badHistogram);
     }},
    {"shortObjects", flagWords,
     [](SensorConfig& config, const QString& value) {
         return tryParseFlag(value, config.shortObjects);
     }},
    {"deviceStatus", [] { return numbersUpTo(0xFF); },
     [](SensorConfig& config, const QString& value) {
         return trySetNumber(value, 0xFF, config.deviceStatus);
     }},
};

const SensorKey* findKey(const QString& key) {
    for (const SensorKey& entry : kSensorKeys) {
        if (key == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

} // namespace

bool SensorConfig::parse(const QString& text) {
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    SensorConfig parsed = *this;
    const QStringList pairs = text.split(separators, Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        const int equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return false;
        if (!parsed.setValue(pair.left(equals), pair.mid(equals + 1)))
            return false;
    }
    *this = parsed;
    return true;
}

bool SensorConfig::isKey(const QString& key) {
    return findKey(key) != nullptr;
}

QStringList SensorConfig::keys() {
    QStringList names;
    for (const SensorKey& entry : kSensorKeys)
        names << QLatin1String(entry.name);
    return names;
}

QString SensorConfig::acceptedValues(const QString& key) {
    const SensorKey* entry = findKey(key);
    return entry != nullptr ? entry->acceptedValues() : QString();
}

bool SensorConfig::setValue(const QString& key, const QString& value) {
    const SensorKey* entry = findKey(key);
    if (entry == nullptr)
        return false;
    SensorConfig changed = *this;
    if (!entry->set(changed, value))
        return false;
    *this = changed;
    return true;
}

QString SensorConfig::toText() const {
    QStringList pairs;
    pairs << QStringLiteral("chip=") + chipModelName(chipModel)
          << QStringLiteral("seed=%1").arg(seed);
    if (!app0Revision.isEmpty())
        pairs << QStringLiteral("app0=") + app0Revision;
    if (targetMm != 0)
        pairs << QStringLiteral("target=%1").arg(targetMm);
    if (calibrationMs != defaultCalibrationMs)
        pairs << QStringLiteral("calibrationMs=%1").arg(calibrationMs);
    if (badHistogram)
        pairs << QStringLiteral("badHistogram=1");
    if (shortObjects)
        pairs << QStringLiteral("shortObjects=1");
    if (deviceStatus != 0)
        pairs << QStringLiteral("deviceStatus=%1").arg(deviceStatus);
    return pairs.join(QLatin1Char(' '));
}

QString SensorConfig::effectiveApp0Revision() const {
    return app0Revision.isEmpty() ? defaultApp0Revision(chipModel) : app0Revision;
}

QString SensorConfig::chipModelName(ChipModel model) {
    switch (model) {
    case ChipModel::Kel4301:
        return QStringLiteral("KEL4301");
    case ChipModel::Kel4401:
        return QStringLiteral("KEL4401");
    case ChipModel::Kel4405:
        return QStringLiteral("KEL4405");
    }
    return QString();
}

bool SensorConfig::tryGetChipModel(const QString& name, ChipModel& model) {
    for (ChipModel candidate : kChipModels) {
        if (name.compare(chipModelName(candidate), Qt::CaseInsensitive) == 0) {
            model = candidate;
            return true;
        }
    }
    return false;
}

bool SensorConfig::tryParseRevision(const QString& text, uint8_t (&bytes)[4]) {
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    uint8_t parsed[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint value = parts[i].toUInt(&ok, 10);
        if (!ok || value > 255)
            return false;
        parsed[i] = static_cast<uint8_t>(value);
    }
    std::copy(parsed, parsed + 4, bytes);
    return true;
}

QString SensorConfig::defaultApp0Revision(ChipModel model) {
    // The KEL43 generation runs the short-range firmware line (major 2), the KEL44 generation
    // the long-range one (major 3).
    switch (model) {
    case ChipModel::Kel4301:
        return QStringLiteral("2.1.4.0");
    case ChipModel::Kel4401:
        return QStringLiteral("3.0.21.0");
    case ChipModel::Kel4405:
        return QStringLiteral("3.2.6.1");
    }
    return QString();
}

} // namespace ZyrSim
