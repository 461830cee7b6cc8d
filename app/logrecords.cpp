#include "logrecords.h"

#include "histogramdecode.h"

#include <QStringList>

namespace {

const char lineEnd[] = "\r\n";
constexpr int binCount = 256;

// value in decimal, zero-padded to at least digits; a wider value keeps all its digits.
void appendPadded(QByteArray& out, uint64_t value, int digits) {
    char text[20];
    int length = 0;
    do {
        text[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (int pad = length; pad < digits; ++pad)
        out.append('0');
    while (length > 0)
        out.append(text[--length]);
}

QByteArray histogramTag(unsigned int channel, uint8_t histogramType) {
    const char* prefix = "#??";
    switch (histogramType) {
    case 0:
        prefix = "#CI";
        break;
    case 1:
        prefix = "#PT";
        break;
    case 2:
        prefix = "#TG";
        break;
    case 3:
        return QByteArrayLiteral("#SUM");
    case 4:
        prefix = "#CO";
        break;
    default:
        break;
    }
    return QByteArray(prefix) + QByteArray::number(channel);
}

QByteArray columnTitles(const QByteArray& tag) {
    QByteArray line = tag;
    for (int bin = 0; bin < binCount; ++bin)
        line += ";Bin" + QByteArray::number(bin);
    return line + lineEnd;
}

} // namespace

QByteArray headerBlock(const QString& guiVersion, bool firmwareFlag) {
    QByteArray block = QByteArrayLiteral("sep=;\r\n");
    block += "VersionGUI " + guiVersion.toLocal8Bit() + lineEnd;
    block += columnTitles("#CO0");
    for (const char* kind : {"#CI", "#PT", "#TG"}) {
        for (int channel = 0; channel < 5; ++channel)
            block += columnTitles(kind + QByteArray::number(channel));
    }
    block += columnTitles("#SUM");
    block += "#OBJ;Timestamp;Number of Objects;Confidence;Center Distance of Object;"
             "Reference Photon Count;Object Photon Count\r\n";
    block += "#VER;ToF Serial Number;App0 Version Number;GUI Version Number;"
             "Host Driver Version Number;Chip ID;Chip Revision\r\n";
    block += "#TMP;Temperature Measurement SPAD Celsius\r\n";
    block += firmwareFlag ? "#ITT;Iterations;Object Detection Threshold;Maximum Distance\r\n"
                          : "#ITT;Iterations;Object Detection Threshold\r\n";
    return block;
}

QByteArray versionRecord(const QString& serial, const QString& app0Revision,
                         const QString& guiVersion, const QString& driverRevision,
                         const QString& chipId, const QString& chipRevision) {
    const QStringList fields = {QStringLiteral("#VER"), serial, app0Revision, guiVersion,
                                driverRevision,         chipId, chipRevision};
    return fields.join(QLatin1Char(';')).toLocal8Bit() + lineEnd;
}

QByteArray histogramRecord(const uint16_t* bins, unsigned int channel, uint8_t histogramType,
                           bool pileUp, bool firmwareFlag) {
    const bool exponents = histogramType == 2 && firmwareFlag && !pileUp;
    QByteArray line = histogramTag(channel, histogramType);
    line.reserve(line.size() + binCount * 11 + 2);
    for (int bin = 0; bin < binCount; ++bin) {
        line.append(';');
        appendPadded(line, exponents ? decodeExponentBin(bins, bin) : bins[bin], 10);
    }
    return line + lineEnd;
}

QByteArray objectsRecord(qint64 timestamp, uint8_t objectCount, uint8_t confidence,
                         uint16_t distance, uint32_t referencePhotonCount,
                         uint32_t objectPhotonCount) {
    QByteArray line = "#OBJ;" + QByteArray::number(timestamp);
    if (objectCount == 0)
        return line + ";00000" + lineEnd;
    line += ";00001;";
    appendPadded(line, confidence, 10);
    line += ';';
    appendPadded(line, distance, 10);
    line += ';';
    appendPadded(line, referencePhotonCount, 9);
    line += ';';
    appendPadded(line, objectPhotonCount, 9);
    return line + lineEnd;
}

QByteArray iterationsRecord(uint16_t iterations, uint8_t threshold, bool fourMeterMode,
                            bool firmwareFlag) {
    QByteArray line = "#ITT;";
    appendPadded(line, iterations, 5);
    line += ';';
    appendPadded(line, threshold, 3);
    if (firmwareFlag)
        line += fourMeterMode ? ";4m" : ";2.5m";
    return line + lineEnd;
}

QByteArray temperatureRecord(int8_t temperature) {
    return "#TMP;" + QByteArray::number(temperature) + lineEnd;
}

// The data text brings its own line end; one that lacks it gets it, so the next record never
// joins this line.
QByteArray calibrationRecord(uint8_t mode, const QString& calibrationData) {
    QByteArray line = "#CAL;";
    appendPadded(line, mode, 2);
    line += calibrationData.toLocal8Bit();
    if (!line.endsWith(lineEnd))
        line += lineEnd;
    return line;
}
