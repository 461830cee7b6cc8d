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
    {
        std::lock_guard<std::mutex> lock(itsStateMutex);
        itsDevice = device;
    }
    itsStateChanged.notify_all();
}

void ComReceiver::stop() {
    {
        std::lock_guard<std::mutex> lock(itsStateMutex);
        itsStop = true;
    }
    itsStateChanged.notify_all();
}

void ComReceiver::start(QThread::Priority priority) {
    {
        std::lock_guard<std::mutex> lock(itsStateMutex);
        itsStop = false;
        if (itsPolling)
            return;
        itsPolling = true;
    }
    // A run that saw a stop may still be ending, and the thread counts as running until it has.
    wait();
    QThread::start(priority);
}

QString ComReceiver::takeData() {
    std::unique_lock<std::mutex> lock(itsMutex);
    if (itsInPass) {
        ++itsWaitingTakers;
        itsPassEnded.wait(lock, [this] { return !itsInPass; });
        if (--itsWaitingTakers == 0)
            itsTakersServed.notify_one();
    }
    QString data;
    data.swap(itsBuffer);
    return data;
}

void ComReceiver::beginPass() {
    std::unique_lock<std::mutex> lock(itsMutex);
    // A mutex released and taken again at once lets a waiting caller in only by chance; the
    // pass waits until each caller that waited for the last one has had its turn.
    itsTakersServed.wait(lock, [this] { return itsWaitingTakers == 0; });
    itsInPass = true;
}

void ComReceiver::endPass() {
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        itsInPass = false;
    }
    itsPassEnded.notify_all();
}

void ComReceiver::run() {
    char buffer[readSize];
    bool discarded = false;
    for (;;) {
        ZyrCom::Serial::SerialComDriver* device = nullptr;
        {
            std::unique_lock<std::mutex> state(itsStateMutex);
            if (itsStop) {
                // From here on start() waits for this run to end and begins a new one.
                itsPolling = false;
                return;
            }
            if (itsDevice == nullptr) {
                // Nothing to read: sleep until a device or a stop comes, with the buffer free.
                itsStateChanged.wait(state, [this] { return itsStop || itsDevice != nullptr; });
                continue;
            }
            device = itsDevice;
        }
        beginPass();
        if (!discarded) {
            for (int i = 0; i < discardedReads; ++i)
                device->readRaw(buffer, sizeof buffer);
            discarded = true;
        }
        const qint64 count = device->readRaw(buffer, sizeof buffer);
        if (count > 0) {
            {
                std::lock_guard<std::mutex> lock(itsMutex);
                itsBuffer += textOfRead(buffer, qMin<qint64>(count, sizeof buffer));
            }
            emit dataReceived();
        }
        msleep(pausePerPassMs);
        endPass();
    }
}
