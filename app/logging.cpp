#include "logging.h"

#include "logrecords.h"

#include <QDateTime>
#include <QTcpSocket>

namespace {

// Writes all of data. A write that stops short (a disk filling up, the file-size limit) leaves
// no reason behind; writing the rest then fails and leaves the system's reason in the device's
// errorString.
bool writeAll(QIODevice& device, const QByteArray& data) {
    qint64 written = 0;
    while (written < data.size()) {
        const qint64 count = device.write(data.constData() + written, data.size() - written);
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

} // namespace

Logging::Logging(const QString& fileName, QObject* parent)
    : QObject(parent)
    , itsFile(fileName) {}

// A socket-only log: the file is never opened.
Logging::Logging(QObject* parent)
    : QObject(parent)
    , itsFile(QStringLiteral("stdout")) {}

Logging::~Logging() {
    close();
}

// Binary and unbuffered: CR LF stays as written, and each record reaches the file in one write
// of its own rather than in pieces of a buffer.
bool Logging::open() {
    return itsFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void Logging::close() {
    if (itsFile.isOpen())
        itsFile.close();
}

void Logging::setSocket(QTcpSocket* socket) {
    itsSocket = socket;
}

bool Logging::hasFailed() const {
    return itsFailed;
}

void Logging::write(const QString& line) {
    writeRecord(line.toLocal8Bit());
}

bool Logging::writeToSocket(const QString& line) {
    if (itsFailed || itsSocket == nullptr || !writeRecordToSocket(line.toLocal8Bit()))
        return false;
    return itsSocket->flush();
}

void Logging::writeHeader(const QString& serial, const QString& app0Revision,
                          const QString& guiVersion, const QString& driverRevision,
                          const QString& chipId, const QString& chipRevision, bool firmwareFlag) {
    writeRecord(headerBlock(guiVersion, firmwareFlag));
    writeVersion(serial, app0Revision, guiVersion, driverRevision, chipId, chipRevision);
}

void Logging::writeVersion(const QString& serial, const QString& app0Revision,
                           const QString& guiVersion, const QString& driverRevision,
                           const QString& chipId, const QString& chipRevision) {
    writeRecord(
        versionRecord(serial, app0Revision, guiVersion, driverRevision, chipId, chipRevision));
}

void Logging::writeHistogram(const uint16_t* bins, unsigned int channel, uint8_t histogramType,
                             bool pileUp, bool firmwareFlag) {
    writeRecord(histogramRecord(bins, channel, histogramType, pileUp, firmwareFlag));
}

void Logging::writeObjects(uint8_t objectCount, uint8_t confidence, uint16_t distance,
                           uint32_t referencePhotonCount, uint32_t objectPhotonCount) {
    writeRecord(objectsRecord(QDateTime::currentMSecsSinceEpoch(), objectCount, confidence,
                              distance, referencePhotonCount, objectPhotonCount));
}

void Logging::writeIterations(uint16_t iterations, uint8_t threshold, bool fourMeterMode,
                              bool firmwareFlag) {
    writeRecord(iterationsRecord(iterations, threshold, fourMeterMode, firmwareFlag));
}

void Logging::writeTemperature(int8_t temperature) {
    writeRecord(temperatureRecord(temperature));
}

// Command traces stay on their command objects; the log does not carry them.
void Logging::writeCommandTrace(const QString&) {}

void Logging::writeCalibration(uint8_t mode, const QString& calibrationData) {
    writeRecord(calibrationRecord(mode, calibrationData));
}

void Logging::writeRecord(const QByteArray& record) {
    if (itsFailed)
        return;
    if (itsFile.isOpen() && !writeRecordToFile(record))
        return;
    if (itsSocket != nullptr && writeRecordToSocket(record))
        itsSocket->flush();
}

bool Logging::writeRecordToFile(const QByteArray& record) {
    const qint64 recordStart = itsFile.pos();
    if (writeAll(itsFile, record))
        return true;
    const QString error = itsFile.errorString();
    // Cut a partly written record off again, so the file ends with whole lines.
    itsFile.resize(recordStart);
    fail(tr("Could not write to the log file %1 (%2). Saving data has stopped.")
             .arg(itsFile.fileName(), error));
    return false;
}

bool Logging::writeRecordToSocket(const QByteArray& record) {
    if (itsSocket->isWritable() && itsSocket->write(record) == record.size())
        return true;
    fail(tr("Could not send to the automation client (%1). Its log has stopped.")
             .arg(itsSocket->errorString()));
    return false;
}

void Logging::fail(const QString& reason) {
    itsFailed = true;
    emit writeFailed(reason);
}
