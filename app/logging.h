#ifndef ZYRAPP_LOGGING_H
#define ZYRAPP_LOGGING_H

#include <QFile>
#include <QObject>
#include <QString>

#include <cstdint>

class QTcpSocket;

// The result log: ';'-separated records, one per CR LF line, to a file and/or an automation
// client's socket. Each record goes out in one write, so a reader never sees a torn line. The
// first write that fails stops the log for good: nothing more is written and writeFailed is
// emitted once.
class Logging : public QObject {
    Q_OBJECT

public:
    Logging(const QString& fileName, QObject* parent = nullptr);
    explicit Logging(QObject* parent = nullptr);
    ~Logging() override;

    bool open();
    void close();
    void setSocket(QTcpSocket* socket);

    void write(const QString& line);
    bool writeToSocket(const QString& line);
    void writeHeader(const QString& serial, const QString& app0Revision, const QString& guiVersion,
                     const QString& driverRevision, const QString& chipId,
                     const QString& chipRevision, bool firmwareFlag);
    void writeVersion(const QString& serial, const QString& app0Revision, const QString& guiVersion,
                      const QString& driverRevision, const QString& chipId,
                      const QString& chipRevision);
    void writeHistogram(const uint16_t* bins, unsigned int channel, uint8_t histogramType,
                        bool pileUp, bool firmwareFlag);
    void writeObjects(uint8_t objectCount, uint8_t confidence, uint16_t distance,
                      uint32_t referencePhotonCount, uint32_t objectPhotonCount);
    void writeIterations(uint16_t iterations, uint8_t threshold, bool fourMeterMode,
                         bool firmwareFlag);
    void writeTemperature(int8_t temperature);
    void writeCommandTrace(const QString& trace);
    // "#CAL;0" + mode digit + the calibration command's data text (which ends the line).
    void writeCalibration(uint8_t mode, const QString& calibrationData);

    // True once a write has failed; the log then writes nothing more.
    bool hasFailed() const;

signals:
    // The log stopped because a write failed; reason is a sentence for the user.
    void writeFailed(const QString& reason);

private:
    void writeRecord(const QByteArray& record);
    bool writeRecordToFile(const QByteArray& record);
    bool writeRecordToSocket(const QByteArray& record);
    void fail(const QString& reason);

    QFile itsFile;
    QTcpSocket* itsSocket = nullptr;
    bool itsFailed = false;
};

#endif // ZYRAPP_LOGGING_H
