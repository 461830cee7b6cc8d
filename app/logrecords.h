#ifndef ZYRAPP_LOGRECORDS_H
#define ZYRAPP_LOGRECORDS_H

#include <QByteArray>
#include <QString>

#include <cstdint>

// The bytes of the result log's records. Each function returns whole lines, every one ended
// by CR LF whatever the platform; texts are taken in the local 8-bit encoding.

// "sep=;", the GUI version line and the column titles of every record; the version record is
// not part of it.
QByteArray headerBlock(const QString& guiVersion, bool firmwareFlag);

QByteArray versionRecord(const QString& serial, const QString& app0Revision,
                         const QString& guiVersion, const QString& driverRevision,
                         const QString& chipId, const QString& chipRevision);

// The type's tag and the 256 bins, each zero-padded to ten digits. A type-2 histogram of the
// firmware with the pile-up flag clear carries exponents, which are applied.
QByteArray histogramRecord(const uint16_t* bins, unsigned int channel, uint8_t histogramType,
                           bool pileUp, bool firmwareFlag);

// timestamp: milliseconds since the epoch.
QByteArray objectsRecord(qint64 timestamp, uint8_t objectCount, uint8_t confidence,
                         uint16_t distance, uint32_t referencePhotonCount,
                         uint32_t objectPhotonCount);

QByteArray iterationsRecord(uint16_t iterations, uint8_t threshold, bool fourMeterMode,
                            bool firmwareFlag);

QByteArray temperatureRecord(int8_t temperature);

// calibrationData is the command's text: ";" and two hex digits per byte, ending in CR LF
// (added when missing).
QByteArray calibrationRecord(uint8_t mode, const QString& calibrationData);

#endif // ZYRAPP_LOGRECORDS_H
