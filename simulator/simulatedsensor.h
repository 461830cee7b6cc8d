#ifndef ZYRSIM_SIMULATEDSENSOR_H
#define ZYRSIM_SIMULATEDSENSOR_H

#include "firmwaretable.h"
#include "sensorconfig.h"

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <optional>

namespace ZyrSim {

// The time-of-flight sensor behind the board's module interface. It answers the sensor command
// set with a target that moves slowly and smoothly (or stands at a configured distance), a chip
// temperature drifting between 25 and 40 degrees Celsius, and settings that shape later replies.
// Everything random follows the configured seed, and all time comes from the clock, so a run is
// reproducible.
class SimulatedSensor {
public:
    // Milliseconds on a monotonic scale.
    using Clock = std::function<qint64()>;

    enum Command : unsigned char {
        GetHistogram = 1,
        GetObjects = 2,
        SetCaptureTime = 5,
        SelectTdcs = 6,
        TargetConfiguration = 7,
        GetSerialNumber = 8,
        GetCalibrationData = 9,
        GetTemperature = 10,
        SetIterationsAndThreshold = 11,
    };

    struct Settings {
        bool tdcSelected[4] = {true, true, true, true};
        uint8_t captureTime = 10;
        bool histogramsEnabled = true;
        bool pileupCorrection = false;
        uint8_t operationMode = 0;
        uint16_t iterations = 900;
        uint8_t threshold = 0;
    };

    static constexpr int binCount = 256;
    static constexpr int histogramReplySize = 2 * binCount;
    static constexpr int objectsReplySize = 17;
    static constexpr int serialNumberReplySize = 14;
    static constexpr int calibrationRecordSize = 14;
    static constexpr int temperatureReplySize = 1;

    // One scale for histograms and objects: distance 0 lies at the reference peak.
    static constexpr int millimetresPerBin = 20;
    static constexpr int referenceBin = 4;

    // Status of the reply to a request that is too short or has parameters out of range.
    static constexpr unsigned char malformedRequestStatus = 0xE1;

    // A null clock runs on a monotonic timer started now.
    explicit SimulatedSensor(const SensorConfig& config = SensorConfig(), Clock clock = Clock());
    SimulatedSensor(const SimulatedSensor&) = delete;
    SimulatedSensor& operator=(const SimulatedSensor&) = delete;

    // Answers the sensor's commands from the table; the sensor must outlive the table's use.
    void install(FirmwareTable& table);
    // The reply to one request of the sensor command set; none for another protocol.
    std::optional<FirmwareReply> handle(const FirmwareRequest& request);

    const SensorConfig& config() const { return itsConfig; }
    const Settings& settings() const { return itsSettings; }
    // Firmware whose App0 revision does not begin with '2': short-range and long-range
    // histograms, exponent bins in processed histograms without pile-up correction.
    bool isLongRangeFamily() const { return itsLongRangeFamily; }
    // Largest distance at which the current operation mode reports an object.
    int objectRangeMm() const;
    int targetDistanceMm() const;
    int temperatureCelsius() const;
    QByteArray calibrationRecord() const { return itsCalibrationRecord; }

    static int binOfDistance(int distanceMm);

private:
    FirmwareReply histogram(const QByteArray& request);
    FirmwareReply objects();
    FirmwareReply captureTime(const QByteArray& request);
    FirmwareReply selectTdcs(const QByteArray& request);
    FirmwareReply targetConfiguration(const QByteArray& request);
    FirmwareReply serialNumber() const;
    FirmwareReply calibration(const QByteArray& request);
    FirmwareReply temperature() const;
    FirmwareReply iterationsAndThreshold(const QByteArray& request);

    void fillHistogram(uint8_t type, uint8_t channel, uint32_t (&bins)[binCount]);
    void putExponents(uint32_t (&bins)[binCount]) const;
    uint32_t exposure() const;
    uint32_t signalHeight(int distanceMm) const;
    uint32_t nextRandom();
    QByteArray makeCalibrationRecord();
    double secondsNow() const;

    SensorConfig itsConfig;
    Clock itsClock;
    Settings itsSettings;
    bool itsLongRangeFamily;
    uint8_t itsApp0Revision[4] = {};
    uint64_t itsRandomState;
    double itsPhases[3];
    QByteArray itsCalibrationRecord;
};

} // namespace ZyrSim

#endif // ZYRSIM_SIMULATEDSENSOR_H
