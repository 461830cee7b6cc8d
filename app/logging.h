#ifndef ZYRAPP_LOGGING_H
#define ZYRAPP_LOGGING_H

#include <QFile>
#include <QObject>
#include <QString>

#include <cstdint>

class QTcpSocket;

// The result log: ';'-separated records, one per CR LF line, to a file and/or an automation
// client's socket.
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

private:
    QFile itsFile;
    QTcpSocket* itsSocket = nullptr;
};

#endif // ZYRAPP_LOGGING_H
