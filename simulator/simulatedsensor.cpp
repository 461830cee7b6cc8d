#include "simulatedsensor.h"

#include <QElapsedTimer>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <memory>

namespace ZyrSim {

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Target path: two slow sine waves around a centre, within 50..2550 mm.
constexpr double kTargetCentreMm = 1300.0;
constexpr double kTargetSwingMm[2] = {950.0, 300.0};
constexpr double kTargetPeriodS[2] = {60.0, 23.0};
constexpr int kNearestTargetMm = 30;

constexpr double kTemperatureMidC = 32.5;
constexpr double kTemperatureSwingC = 7.5;
constexpr double kTemperaturePeriodS = 300.0;

// Peak shape around its centre bin, in 64ths of the peak height.
constexpr int kPeakHalfWidth = 3;
constexpr uint32_t kPeakShape[2 * kPeakHalfWidth + 1] = {3, 16, 45, 64, 45, 16, 3};

// Long-range histograms keep 12-bit mantissas; bins 127 and 255 carry the exponent of each half.
constexpr uint32_t kMantissaLimit = 0xFFF;
constexpr uint32_t kMaxExponent = 4;
constexpr int kFirstExponentBin = 127;
constexpr int kSecondExponentBin = 255;

constexpr int kElectricalCalibrationBin = 2;
constexpr uint8_t kLongRangeOperationMode = 3;

uint64_t splitMix64(uint64_t& state) {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

void addPeak(uint32_t (&bins)[SimulatedSensor::binCount], int centre, uint32_t height) {
    for (int offset = -kPeakHalfWidth; offset <= kPeakHalfWidth; ++offset) {
        const int bin = centre + offset;
        if (bin >= 0 && bin < SimulatedSensor::binCount)
            bins[bin] += height * kPeakShape[offset + kPeakHalfWidth] / 64;
    }
}

FirmwareReply malformed() {
    return FirmwareReply{SimulatedSensor::malformedRequestStatus, {}, {}, 0};
}

FirmwareReply acknowledged() {
    return FirmwareReply{0, {}, {}, 0};
}

SimulatedSensor::Clock monotonicClock() {
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer]() { return timer->elapsed(); };
}

struct ChipIdentity {
    uint8_t serialPrefix;
    uint8_t driverRevision[4];
    uint8_t chipId;
    uint8_t chipRevision;
};

ChipIdentity identityOf(SensorConfig::ChipModel model) {
    switch (model) {
    case SensorConfig::ChipModel::Kel4301:
        return {0x43, {1, 3, 0, 2}, 43, 1};
    case SensorConfig::ChipModel::Kel4401:
        return {0x44, {1, 4, 1, 0}, 44, 1};
    case SensorConfig::ChipModel::Kel4405:
        return {0x45, {1, 4, 3, 0}, 44, 5};
    }
    return {0, {0, 0, 0, 0}, 0, 0};
}

} // namespace

SimulatedSensor::SimulatedSensor(const SensorConfig& config, Clock clock)
    : itsConfig(config)
    , itsClock(clock ? std::move(clock) : monotonicClock())
    , itsRandomState(config.seed) {
    if (!SensorConfig::tryParseRevision(itsConfig.effectiveApp0Revision(), itsApp0Revision))
        SensorConfig::tryParseRevision(SensorConfig::defaultApp0Revision(itsConfig.chipModel),
                                       itsApp0Revision);
    // The family follows the revision's text, as the application reads it: not starting with '2'.
    itsLongRangeFamily = !QString::number(itsApp0Revision[0]).startsWith(QLatin1Char('2'));
    for (double& phase : itsPhases)
        phase = kTwoPi * static_cast<double>(nextRandom()) / 4294967296.0;
    itsCalibrationRecord = makeCalibrationRecord();
}

void SimulatedSensor::install(FirmwareTable& table) {
    for (unsigned char protocol :
         {GetHistogram, GetObjects, SetCaptureTime, SelectTdcs, TargetConfiguration,
          GetSerialNumber, GetCalibrationData, GetTemperature, SetIterationsAndThreshold}) {
        table.setHandler(protocol,
                         [this](const FirmwareRequest& request) { return handle(request); });
    }
}

std::optional<FirmwareReply> SimulatedSensor::handle(const FirmwareRequest& request) {
    FirmwareReply reply;
    switch (request.protocol) {
    case GetHistogram:
        reply = histogram(request.payload);
        break;
    case GetObjects:
        reply = objects();
        break;
    case SetCaptureTime:
        reply = captureTime(request.payload);
        break;
    case SelectTdcs:
        reply = selectTdcs(request.payload);
        break;
    case TargetConfiguration:
        reply = targetConfiguration(request.payload);
        break;
    case GetSerialNumber:
        reply = serialNumber();
        break;
    case GetCalibrationData:
        reply = calibration(request.payload);
        break;
    case GetTemperature:
        reply = temperature();
        break;
    case SetIterationsAndThreshold:
        reply = iterationsAndThreshold(request.payload);
        break;
    default:
        return std::nullopt;
    }
    if (reply.status == 0)
        reply.status = itsConfig.deviceStatus;
    return reply;
}

int SimulatedSensor::objectRangeMm() const {
    if (itsSettings.operationMode == 1)
        return 100;
    if (itsLongRangeFamily && itsSettings.operationMode == kLongRangeOperationMode)
        return 4000;
    return itsLongRangeFamily ? 2500 : 1000;
}

int SimulatedSensor::targetDistanceMm() const {
    if (itsConfig.targetMm > 0)
        return itsConfig.targetMm;
    const double seconds = secondsNow();
    double distance = kTargetCentreMm;
    for (int i = 0; i < 2; ++i)
        distance +=
            kTargetSwingMm[i] * std::sin(kTwoPi * seconds / kTargetPeriodS[i] + itsPhases[i]);
    return std::max(kNearestTargetMm, static_cast<int>(std::lround(distance)));
}

int SimulatedSensor::temperatureCelsius() const {
    const double celsius =
        kTemperatureMidC +
        kTemperatureSwingC * std::sin(kTwoPi * secondsNow() / kTemperaturePeriodS + itsPhases[2]);
    return static_cast<int>(std::lround(celsius));
}

int SimulatedSensor::binOfDistance(int distanceMm) {
    const int bin = referenceBin + (distanceMm + millimetresPerBin / 2) / millimetresPerBin;
    return std::clamp(bin, 0, binCount - 1);
}

FirmwareReply SimulatedSensor::histogram(const QByteArray& request) {
    if (request.size() < 2)
        return malformed();
    const auto type = static_cast<uint8_t>(request[0]);
    const auto channel = static_cast<uint8_t>(request[1]);
    if (type > 4 || channel > 4)
        return malformed();

    uint32_t bins[binCount] = {};
    fillHistogram(type, channel, bins);
    // Only the processed histogram (type 2) carries exponents; the application decodes no other.
    if (itsLongRangeFamily && !itsSettings.pileupCorrection && type == 2)
        putExponents(bins);

    QByteArray payload(histogramReplySize, Qt::Uninitialized);
    char* bytes = payload.data();
    for (int bin = 0; bin < binCount; ++bin)
        qToLittleEndian(static_cast<quint16>(std::min<uint32_t>(bins[bin], 0xFFFF)),
                        bytes + 2 * bin);
    if (itsConfig.badHistogram)
        payload.chop(1);
    return FirmwareReply{0, payload, {}, 0};
}

void SimulatedSensor::fillHistogram(uint8_t type, uint8_t channel, uint32_t (&bins)[binCount]) {
    if (!itsSettings.histogramsEnabled)
        return;

    // Ambient light gives every bin a floor of a few percent of a close target's peak.
    const uint32_t ambient = 2 + exposure() / 400;
    const auto addNoise = [&](uint32_t level) {
        const uint32_t spread = 1 + level / 4;
        const uint32_t lowest = level > spread ? level - spread : 0;
        for (uint32_t& bin : bins)
            bin += lowest + nextRandom() % (2 * spread + 1);
    };
    const int distance = targetDistanceMm();
    const int targetBin = binOfDistance(distance);
    const uint32_t signal = signalHeight(distance);
    const uint32_t reference = exposure() / 16;
    const bool zoneSelected = channel >= 1 && itsSettings.tdcSelected[channel - 1];

    switch (type) {
    case 0: // short range
    case 1: // long range
        if (channel == 0) {
            addNoise(ambient);
            addPeak(bins, referenceBin, reference);
        } else if (zoneSelected) {
            addNoise(ambient);
            // Zones see the target a little differently; the short-range path is weaker.
            const uint32_t zoneGain = 12 + channel;
            addPeak(bins, targetBin, signal * zoneGain / (type == 0 ? 28 : 14));
        }
        break;
    case 2: // one processed histogram: processed, raw, peaks, smudge level, baseline
        switch (channel) {
        case 0:
            addPeak(bins, targetBin, signal);
            break;
        case 1:
            addNoise(ambient);
            addPeak(bins, targetBin, signal);
            break;
        case 2:
            bins[targetBin] = signal;
            break;
        case 3:
            std::fill(std::begin(bins), std::end(bins), 1 + ambient / 3);
            break;
        default:
            std::fill(std::begin(bins), std::end(bins), ambient);
            break;
        }
        break;
    case 3: // summed over the selected zones
        if (channel == 0) {
            addNoise(ambient);
            for (int zone = 0; zone < 4; ++zone) {
                if (itsSettings.tdcSelected[zone])
                    addPeak(bins, targetBin, signal);
            }
        }
        break;
    default: // optical calibration on the reference, electrical calibration on the zones
        if (channel == 0) {
            addNoise(ambient / 2);
            addPeak(bins, referenceBin, reference);
        } else if (zoneSelected) {
            addNoise(ambient / 2);
            addPeak(bins, kElectricalCalibrationBin, reference / 2);
        }
        break;
    }
}

void SimulatedSensor::putExponents(uint32_t (&bins)[binCount]) const {
    const auto encodeHalf = [&bins](int first, int exponentBin) {
        const uint32_t largest = *std::max_element(bins + first, bins + exponentBin);
        uint32_t exponent = 0;
        while (exponent < kMaxExponent && (largest >> exponent) > kMantissaLimit)
            ++exponent;
        for (int bin = first; bin < exponentBin; ++bin)
            bins[bin] = std::min(bins[bin] >> exponent, kMantissaLimit);
        bins[exponentBin] = exponent;
    };
    encodeHalf(0, kFirstExponentBin);
    encodeHalf(kFirstExponentBin + 1, kSecondExponentBin);
}

uint32_t SimulatedSensor::exposure() const {
    return std::max<uint32_t>(itsSettings.captureTime, 1) *
           std::max<uint32_t>(itsSettings.iterations, 1);
}

uint32_t SimulatedSensor::signalHeight(int distanceMm) const {
    // Returned light falls with the square of the distance; close targets saturate.
    const double metres = distanceMm / 1000.0;
    return static_cast<uint32_t>(exposure() / 8.0 / (metres * metres + 0.25));
}

FirmwareReply SimulatedSensor::objects() {
    const int distance = targetDistanceMm();
    const int range = objectRangeMm();
    const int confidence = std::clamp(63 - 63 * distance / (range + range / 4), 0, 63);
    const bool anyZone = std::any_of(std::begin(itsSettings.tdcSelected),
                                     std::end(itsSettings.tdcSelected), [](bool on) { return on; });
    const bool found = anyZone && distance <= range && confidence >= itsSettings.threshold;

    uint8_t zoneMask = 0;
    for (int zone = 0; zone < 4; ++zone)
        zoneMask |= itsSettings.tdcSelected[zone] ? (1u << zone) : 0u;

    QByteArray payload(objectsReplySize, '\0');
    char* bytes = payload.data();
    const uint32_t jitter = nextRandom() % 7;
    if (found) {
        bytes[0] = 1;
        qToLittleEndian(static_cast<quint16>(std::max(0, distance + int(jitter) - 3)), bytes + 2);
        qToLittleEndian(static_cast<quint16>(binOfDistance(distance)), bytes + 4);
        bytes[8] = static_cast<char>(confidence);
        qToLittleEndian<quint32>(signalHeight(distance) * 8 + nextRandom() % 256, bytes + 13);
    }
    bytes[1] = static_cast<char>(zoneMask);
    qToLittleEndian(static_cast<quint16>(2 + exposure() / 4000), bytes + 6);
    qToLittleEndian<quint32>(exposure() * 2 + nextRandom() % 64, bytes + 9);
    if (itsConfig.shortObjects)
        payload.chop(4);
    return FirmwareReply{0, payload, {}, 0};
}

FirmwareReply SimulatedSensor::captureTime(const QByteArray& request) {
    if (request.size() < 4)
        return malformed();
    itsSettings.captureTime = static_cast<uint8_t>(request[0]);
    return acknowledged();
}

FirmwareReply SimulatedSensor::selectTdcs(const QByteArray& request) {
    if (request.size() < 4)
        return malformed();
    for (int zone = 0; zone < 4; ++zone)
        itsSettings.tdcSelected[zone] = request[zone] != 0;
    return acknowledged();
}

FirmwareReply SimulatedSensor::targetConfiguration(const QByteArray& request) {
    if (request.size() < 3)
        return malformed();
    itsSettings.histogramsEnabled = request[0] != 0;
    itsSettings.pileupCorrection = request[1] != 0;
    itsSettings.operationMode = static_cast<uint8_t>(request[2]);
    return acknowledged();
}

FirmwareReply SimulatedSensor::serialNumber() const {
    const ChipIdentity identity = identityOf(itsConfig.chipModel);
    QByteArray payload(serialNumberReplySize, '\0');
    char* bytes = payload.data();
    bytes[0] = static_cast<char>(identity.serialPrefix);
    bytes[1] = static_cast<char>((itsConfig.seed >> 16) & 0xFF);
    bytes[2] = static_cast<char>((itsConfig.seed >> 8) & 0xFF);
    bytes[3] = static_cast<char>(itsConfig.seed & 0xFF);
    for (int i = 0; i < 4; ++i) {
        bytes[4 + i] = static_cast<char>(itsApp0Revision[i]);
        bytes[8 + i] = static_cast<char>(identity.driverRevision[i]);
    }
    bytes[12] = static_cast<char>(identity.chipId);
    bytes[13] = static_cast<char>(identity.chipRevision);
    return FirmwareReply{0, payload, {}, 0};
}

FirmwareReply SimulatedSensor::calibration(const QByteArray& request) {
    if (request.size() < 1)
        return malformed();
    switch (static_cast<uint8_t>(request[0])) {
    case 0:
        itsCalibrationRecord = makeCalibrationRecord();
        return FirmwareReply{0, itsCalibrationRecord, {}, itsConfig.calibrationMs};
    case 1:
        itsCalibrationRecord = QByteArray(calibrationRecordSize, '\0');
        return FirmwareReply{0, itsCalibrationRecord, {}, itsConfig.calibrationMs / 3};
    case 2:
        return FirmwareReply{0, itsCalibrationRecord, {}, 0};
    default:
        return malformed();
    }
}

FirmwareReply SimulatedSensor::temperature() const {
    return FirmwareReply{0, QByteArray(1, static_cast<char>(temperatureCelsius())), {}, 0};
}

FirmwareReply SimulatedSensor::iterationsAndThreshold(const QByteArray& request) {
    if (request.size() < 3)
        return malformed();
    itsSettings.iterations = static_cast<uint16_t>(static_cast<uint8_t>(request[0]) |
                                                   (static_cast<uint8_t>(request[1]) << 8));
    itsSettings.threshold = static_cast<uint8_t>(request[2]);
    return acknowledged();
}

uint32_t SimulatedSensor::nextRandom() {
    return static_cast<uint32_t>(splitMix64(itsRandomState) >> 32);
}

QByteArray SimulatedSensor::makeCalibrationRecord() {
    // A format byte, the temperature it was made at, then the offsets the chip measured.
    QByteArray record(calibrationRecordSize, '\0');
    record[0] = 0x01;
    record[1] = static_cast<char>(temperatureCelsius());
    for (int i = 2; i < calibrationRecordSize; ++i)
        record[i] = static_cast<char>(nextRandom() & 0xFF);
    return record;
}

double SimulatedSensor::secondsNow() const {
    return static_cast<double>(itsClock()) / 1000.0;
}

} // namespace ZyrSim
