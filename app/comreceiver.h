#ifndef COMRECEIVER_H
#define COMRECEIVER_H

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
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
// are atomic, so they take effect at the next pass without waiting for the lock. The lock is a
// std::mutex so that ThreadSanitizer, which cannot see into Qt's own mutex, checks its use.
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

    // Not owned; null: the thread keeps cycling without reading.
    void setDevice(ZyrCom::Serial::SerialComDriver* device);
    // run() returns at the start of its next pass; a stop before start() ends the next run at
    // once. The request is used up by the run it ends, so start() begins polling again.
    void stop();
    // The text received since the last call.
    QString takeData();

signals:
    void dataReceived();

protected:
    void run() override;

private:
    std::atomic<ZyrCom::Serial::SerialComDriver*> itsDevice{nullptr};
    std::mutex itsMutex;
    std::atomic<bool> itsStop{false};
    QString itsBuffer;
};

#endif // COMRECEIVER_H
