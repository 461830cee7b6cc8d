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
// A pass owns the buffer for its read (up to the driver's time-out) and a pause of pausePerPass.
// takeData() waits at most for the end of the current pass, however busy the machine: a pass
// that ends hands the buffer to every caller waiting for it before the next pass begins.
// dataReceived() is emitted during the pass, so it must reach its receivers through a queued
// connection (a receiver on this thread that called takeData() would wait for its own pass).
// The device and the stop request have a lock of their own, so setting them never waits for a
// read. The locks are std::mutex so that ThreadSanitizer, which cannot see into Qt's own mutex,
// checks their use.
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
    // Marks the beginning of a pass once the callers waiting for the last one have the buffer.
    void beginPass();
    // Lets the callers waiting for this pass take the buffer.
    void endPass();

    // Guards the buffer and the state of the pass, never held during a read or the pause.
    std::mutex itsMutex;
    QString itsBuffer;
    bool itsInPass = false;
    // Callers that came during the pass and have not yet taken the buffer.
    int itsWaitingTakers = 0;
    std::condition_variable itsPassEnded;
    std::condition_variable itsTakersServed;
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
