#include "sensorconfig.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace ZyrSim {

namespace {

bool tryParseFlag(const QString& text, bool& flag) {
    if (text == QLatin1String("1") || text == QLatin1String("true") ||
        text == QLatin1String("on")) {
        flag = true;
        return true;
    }
    if (text == QLatin1String("0") || text == QLatin1String("false") ||
        text == QLatin1String("off")) {
        flag = false;
        return true;
    }
    return false;
}

bool tryParseNumber(const QString& text, qulonglong maximum, qulonglong& number) {
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok, 0);
    if (!ok || value > maximum)
        return false;
    number = value;
    return true;
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
    static const QStringList keys = {
        QStringLiteral("chip"),         QStringLiteral("seed"),
        QStringLiteral("app0"),         QStringLiteral("target"),
        QStringLiteral("badHistogram"), QStringLiteral("shortObjects"),
        QStringLiteral("deviceStatus"), QStringLiteral("calibrationMs")};
    return keys.contains(key);
}

bool SensorConfig::setValue(const QString& key, const QString& value) {
    qulonglong number = 0;
    if (key == QLatin1String("chip"))
        return tryGetChipModel(value, chipModel);
    if (key == QLatin1String("seed")) {
        if (!tryParseNumber(value, 0xFFFFFFFFu, number))
            return false;
        seed = static_cast<uint32_t>(number);
        return true;
    }
    if (key == QLatin1String("app0")) {
        uint8_t bytes[4];
        if (!value.isEmpty() && !tryParseRevision(value, bytes))
            return false;
        app0Revision = value;
        return true;
    }
    if (key == QLatin1String("target")) {
        if (!tryParseNumber(value, maxTargetMm, number))
            return false;
        targetMm = static_cast<int>(number);
        return true;
    }
    if (key == QLatin1String("calibrationMs")) {
        if (!tryParseNumber(value, maxCalibrationMs, number))
            return false;
        calibrationMs = static_cast<int>(number);
        return true;
    }
    if (key == QLatin1String("badHistogram"))
        return tryParseFlag(value, badHistogram);
    if (key == QLatin1String("shortObjects"))
        return tryParseFlag(value, shortObjects);
    if (key == QLatin1String("deviceStatus")) {
        if (!tryParseNumber(value, 0xFF, number))
            return false;
        deviceStatus = static_cast<uint8_t>(number);
        return true;
    }
    return false;
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
    for (ChipModel candidate : {ChipModel::Kel4301, ChipModel::Kel4401, ChipModel::Kel4405}) {
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
