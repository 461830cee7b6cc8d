#ifndef ZYRSIM_SENSORCONFIG_H
#define ZYRSIM_SENSORCONFIG_H

#include <QString>
#include <QStringList>

#include <cstdint>

namespace ZyrSim {

// What the simulated sensor is: chip model, seed of its random behaviour, firmware revision,
// target, calibration time and injected faults. Text form: key=value pairs separated by spaces,
// commas or semicolons, e.g. "chip=KEL4405 seed=7 app0=2.0.15.1 target=1200 calibrationMs=400
// badHistogram=1".
struct SensorConfig {
    enum class ChipModel { Kel4301, Kel4401, Kel4405 };

    ChipModel chipModel = ChipModel::Kel4401;
    uint32_t seed = 1;
    // Four dotted byte values; empty: the chip model's own revision.
    QString app0Revision;
    // Fixed target distance in millimetres; 0: the target moves.
    int targetMm = 0;
    // Time a new calibration takes, longer than an ordinary command's time-out as on the real
    // sensor; clearing takes a third of it.
    int calibrationMs = defaultCalibrationMs;

    // Faults.
    bool badHistogram = false; // histogram replies one byte short
    bool shortObjects = false; // objects replies four bytes short
    uint8_t deviceStatus = 0;  // status byte of every reply

    // Parses a whole text; on any bad pair returns false and leaves the config unchanged.
    bool parse(const QString& text);
    // Sets one key; false for an unknown key or a bad value (the config is then unchanged).
    bool setValue(const QString& key, const QString& value);
    // Whether setValue knows the key.
    static bool isKey(const QString& key);
    // Every key setValue knows, in the order of the text form.
    static QStringList keys();
    // What setValue takes for the key, for people to read; empty for an unknown key.
    static QString acceptedValues(const QString& key);
    QString toText() const;

    // The revision the sensor reports: app0Revision or the chip model's own.
    QString effectiveApp0Revision() const;

    static QString chipModelName(ChipModel model);
    static bool tryGetChipModel(const QString& name, ChipModel& model);
    // Four dotted decimal numbers 0-255.
    static bool tryParseRevision(const QString& text, uint8_t (&bytes)[4]);
    // The revision each chip model ships with.
    static QString defaultApp0Revision(ChipModel model);

    // The oldest firmware still seen in the field; the application warns about it.
    static constexpr const char* outdatedApp0Revision = "2.0.15.1";
    static constexpr int maxTargetMm = 5000;
    static constexpr int defaultCalibrationMs = 3000;
    static constexpr int maxCalibrationMs = 60000;
};

} // namespace ZyrSim

#endif // ZYRSIM_SENSORCONFIG_H
