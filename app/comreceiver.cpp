#include "comreceiver.h"

#include "Serial/serialcomdriver.h"

#include <QByteArray>

namespace {

// The text of one read: its bytes up to the first zero byte, as UTF-8.
QString textOfRead(const char* bytes, qint64 count) {
    const QByteArray read(bytes, int(count));
    const int end = read.indexOf('\0');
    return QString::fromUtf8(end < 0 ? read : read.left(end));
}

} // namespace

ComReceiver::ComReceiver(QObject* parent)
    : QThread(parent) {}

ComReceiver::~ComReceiver() {
    stop();
    wait();
}

void ComReceiver::setDevice(ZyrCom::Serial::SerialComDriver* device) {
    itsDevice.store(device);
}

void ComReceiver::stop() {
    itsStop.store(true);
}

QString ComReceiver::takeData() {
    std::lock_guard<std::mutex> lock(itsMutex);
    QString data;
    data.swap(itsBuffer);
    return data;
}

void ComReceiver::run() {
    char buffer[readSize];
    bool discarded = false;
    for (;;) {
        std::lock_guard<std::mutex> lock(itsMutex);
        // Taken back as the run ends, so a later start() polls again; a stop() made before the
        // thread began is still seen here.
        if (itsStop.exchange(false))
            return;
        ZyrCom::Serial::SerialComDriver* device = itsDevice.load();
        if (device == nullptr)
            continue;
        if (!discarded) {
            for (int i = 0; i < discardedReads; ++i)
                device->readRaw(buffer, sizeof buffer);
            discarded = true;
        }
        const qint64 count = device->readRaw(buffer, sizeof buffer);
        if (count > 0) {
            itsBuffer += textOfRead(buffer, qMin<qint64>(count, sizeof buffer));
            emit dataReceived();
        }
        msleep(pausePerPassMs);
    }
}
