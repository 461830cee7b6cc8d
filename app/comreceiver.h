#ifndef COMRECEIVER_H
#define COMRECEIVER_H

#include <QObject>
#include <QString>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace ZyrCom::Serial {
class SerialComDriver;
}

// A worker thread that polls a serial driver for incoming text: each pass reads up to
// readSize bytes, appends the text before the first zero byte to a buffer and signals that data
// is waiting; a consumer on another thread collects it with takeData().
//
// A pass holds the lock for its read (up to the driver's time-out) and a pause of pausePerPass,
// so takeData() waits for the end of the current pass, and dataReceived() (emitted under the
// lock) must reach its receivers through a queued connection. The device and the stop request
// have a lock of their own, so setting them never waits for a read. The locks are std::mutex so
// that ThreadSanitizer, which cannot see into Qt's own mutex, checks their use.
class ComReceiver : public QThread {
    Q_OBJECT

public:
    static constexpr int readSize = 80;
    static constexpr unsigned long pausePerPassMs = 25;
    // Reads discarded on the first pass that finds a device: whatever waited in the port before.
    static constexpr int discardedReads = 4;

    explicit ComReceiver(QObject* parent = nullptr);
    // Stops the thread and waits for it.
    ~ComReceiver() override;

    // Not owned; null: the thread waits for a device without reading.
    void setDevice(ZyrCom::Serial::SerialComDriver* device);
    // run() returns at the start of its next pass, or at once while it waits for a device.
    void stop();
    // The text received since the last call.
    QString takeData();

public slots:
    // Polls, also right after stop(): a run that has not seen the stop yet goes on, and one that
    // is ending is waited for and followed by a new one (QThread::start() would do nothing).
    void start(QThread::Priority priority = InheritPriority);

signals:
    void dataReceived();

protected:
    void run() override;

private:
    // Guards a pass and the buffer.
    std::mutex itsMutex;
    QString itsBuffer;
    // Guards the device, the stop request and whether a run polls; run() waits on the condition
    // while it has no device.
    std::mutex itsStateMutex;
    std::condition_variable itsStateChanged;
    ZyrCom::Serial::SerialComDriver* itsDevice = nullptr;
    bool itsStop = false;
    // From start() until the run sees a stop.
    bool itsPolling = false;
};

#endif // COMRECEIVER_H
