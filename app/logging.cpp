#include "logging.h"

// Placeholder bodies: the record writers are filled in with the result log.
Logging::Logging(const QString& fileName, QObject* parent)
    : QObject(parent)
    , itsFile(fileName) {}
Logging::Logging(QObject* parent)
    : QObject(parent)
    , itsFile(QStringLiteral("stdout")) {}
Logging::~Logging() = default;
bool Logging::open() {
    return false;
}
void Logging::close() {}
void Logging::setSocket(QTcpSocket* socket) {
    itsSocket = socket;
}
void Logging::write(const QString&) {}
bool Logging::writeToSocket(const QString&) {
    return false;
}
void Logging::writeHeader(const QString&, const QString&, const QString&, const QString&,
                          const QString&, const QString&, bool) {}
void Logging::writeVersion(const QString&, const QString&, const QString&, const QString&,
                           const QString&, const QString&) {}
void Logging::writeHistogram(const uint16_t*, unsigned int, uint8_t, bool, bool) {}
void Logging::writeObjects(uint8_t, uint8_t, uint16_t, uint32_t, uint32_t) {}
void Logging::writeIterations(uint16_t, uint8_t, bool, bool) {}
void Logging::writeTemperature(int8_t) {}
void Logging::writeCommandTrace(const QString&) {}
