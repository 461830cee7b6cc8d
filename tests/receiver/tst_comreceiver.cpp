#include "Serial/serialcomdriver.h"
#include "boardids.h"
#include "comreceiver.h"
#include "cputime.h"
#include "simulatedevaluationboard.h"
#include "testregistry.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>

#include <atomic>
#include <thread>
#include <vector>

#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr uint kReadTimeoutMs = 40;
// One pass: a read that waits out its time-out, then the pause.
constexpr qint64 kPollPeriodMs = kReadTimeoutMs + qint64(ComReceiver::pausePerPassMs);
// For what must happen: generous, for a loaded machine and the sanitizers.
constexpr int kDeadlineMs = 10000;

// What the scheduler tells of a thread of this process.
struct ThreadActivity {
    bool sleeps = false; // blocked, not running or waiting for a CPU
    qint64 switches = 0; // times it left a CPU, of its own accord or preempted
};

bool tryReadThreadActivity(pid_t threadId, ThreadActivity* activity) {
    QFile status(QStringLiteral("/proc/self/task/%1/status").arg(threadId));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    ThreadActivity read;
    int switchCounts = 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2)
            continue;
        if (fields[0] == "State:")
            read.sleeps = fields[1] == "S";
        if (fields[0] == "voluntary_ctxt_switches:" || fields[0] == "nonvoluntary_ctxt_switches:") {
            read.switches += fields[1].toLongLong();
            ++switchCounts;
        }
    }
    if (switchCounts != 2)
        return false;
    *activity = read;
    return true;
}

ZyrCom::Serial::SerialComDeviceInfo boardFilter() {
    ZyrCom::Serial::SerialComDeviceInfo filter;
    filter.setVendorId(ZyrHid::BoardIds::vendorId);
    filter.setProductId(ZyrHid::BoardIds::productId);
    return filter;
}

// Counts the reads that have returned: one a pass, once the first pass has discarded what waited
// in the port.
class CountingDriver : public ZyrCom::Serial::SerialComDriver {
public:
    using SerialComDriver::SerialComDriver;
    qint64 readRaw(char* data, qint64 size) override {
        const qint64 count = SerialComDriver::readRaw(data, size);
        ++reads;
        return count;
    }
    std::atomic<int> reads{0};
};

// Runs the calling thread, and every thread it starts while this lives, on one of the CPUs it
// may use; gives the calling thread its CPUs back at the end.
class OneCpu {
public:
    OneCpu() {
        if (sched_getaffinity(0, sizeof itsAllowed, &itsAllowed) != 0)
            return;
        cpu_set_t one;
        CPU_ZERO(&one);
        for (int cpu = 0; cpu < CPU_SETSIZE && CPU_COUNT(&one) == 0; ++cpu) {
            if (CPU_ISSET(cpu, &itsAllowed))
                CPU_SET(cpu, &one);
        }
        itsPinned = sched_setaffinity(0, sizeof one, &one) == 0;
    }
    ~OneCpu() {
        if (itsPinned)
            sched_setaffinity(0, sizeof itsAllowed, &itsAllowed);
    }
    OneCpu(const OneCpu&) = delete;
    OneCpu& operator=(const OneCpu&) = delete;
    bool pinned() const { return itsPinned; }

private:
    cpu_set_t itsAllowed{};
    bool itsPinned = false;
};

// Threads that spin until destroyed.
class BusyThreads {
public:
    explicit BusyThreads(int count) {
        for (int i = 0; i < count; ++i)
            itsThreads.emplace_back([this] {
                while (!itsStop.load(std::memory_order_relaxed)) {
                }
            });
    }
    ~BusyThreads() {
        itsStop = true;
        for (std::thread& thread : itsThreads)
            thread.join();
    }
    BusyThreads(const BusyThreads&) = delete;
    BusyThreads& operator=(const BusyThreads&) = delete;

private:
    std::atomic<bool> itsStop{false};
    std::vector<std::thread> itsThreads;
};

// Keeps its thread alive after run() has returned, as a thread still ending does, until start()
// has been called again; at most 200 ms, as a start() that waits for the thread comes only after.
class WindingDownReceiver : public ComReceiver {
public:
    QSemaphore ended;
    QSemaphore restarted;

protected:
    void run() override {
        ComReceiver::run();
        ended.release();
        restarted.tryAcquire(1, 200);
    }
};

// The main thread runs no event loop while the receiver reads, so the serial port is used by
// the receiver's thread alone; the signal is counted where it is emitted.
template <class Receiver = ComReceiver>
struct Rig {
    Rig() {
        driver.setTimeout(kReadTimeoutMs);
        QObject::connect(
            &receiver, &ComReceiver::dataReceived, &receiver, [this] { ++emitted; },
            Qt::DirectConnection);
    }
    // The first pass discards what waited in the port: sends until text gets through, then a
    // marker, and drops everything up to the marker.
    bool start() {
        if (!driver.open())
            return false;
        receiver.setDevice(&driver);
        receiver.start();
        if (!receives() || !board.serialPort().send("!"))
            return false;
        return takeUntil(QStringLiteral("!")).endsWith('!');
    }
    // Takes text until it ends with the given text or the deadline has passed.
    QString takeUntil(const QString& end) {
        const QDeadlineTimer deadline(kDeadlineMs);
        QString taken;
        while (!taken.endsWith(end) && !deadline.hasExpired()) {
            QThread::msleep(5);
            taken += receiver.takeData();
        }
        return taken;
    }
    // Sends until the receiver reports text.
    bool receives() {
        const int before = emitted;
        const QDeadlineTimer deadline(kDeadlineMs);
        while (emitted == before && !deadline.hasExpired() && board.serialPort().send("~"))
            QThread::msleep(kPollPeriodMs);
        return emitted > before;
    }
    // The stop request ends the thread at its next pass, whatever the read in progress.
    bool stops() {
        receiver.stop();
        return receiver.wait(QDeadlineTimer(kDeadlineMs));
    }

    ZyrSim::SimulatedEvaluationBoard board;
    CountingDriver driver{boardFilter()};
    Receiver receiver;
    std::atomic<int> emitted{0};
};

} // namespace

class TestComReceiver : public QObject {
    Q_OBJECT

private slots:
    void textArrives_data() {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QByteArray("hello board") << QStringLiteral("hello board");
        QTest::newRow("cut at the first zero byte")
            << QByteArray("abc\0e", 5) << QStringLiteral("abc");
        QTest::newRow("UTF-8") << QByteArray("Gr\xC3\xBC\xC3\x9F") << QStringLiteral("Grüß");
        // More than one read holds: the text arrives whole, over several passes.
        QTest::newRow("longer than one read")
            << QByteArray(3 * ComReceiver::readSize + 7, 'x')
            << QString(3 * ComReceiver::readSize + 7, QLatin1Char('x'));
    }
    void textArrives() {
        QFETCH(QByteArray, sent);
        QFETCH(QString, text);
        Rig rig;
        QVERIFY(rig.start());
        const int emittedBefore = rig.emitted;
        QVERIFY(rig.board.serialPort().send(sent));
        const QString taken = rig.takeUntil(text);
        QVERIFY(rig.emitted > emittedBefore);
        // Nothing follows: bytes after a zero byte are dropped, and taken text is gone. Markers
        // sent now come after anything that would follow, and the receiver reports them on a
        // later pass.
        QVERIFY(rig.receives());
        QString later = rig.receiver.takeData();
        QVERIFY(later.endsWith('~'));
        while (later.endsWith('~'))
            later.chop(1);
        QCOMPARE(taken + later, text);
        QVERIFY(rig.stops());
    }

    // A stop made as the thread begins ends that run; each later start runs again, idle
    // without a device and polling with one.
    void stopAndRestart() {
        Rig rig;
        rig.receiver.start();
        rig.receiver.stop();
        QVERIFY(rig.receiver.wait(QDeadlineTimer(kDeadlineMs)));
        rig.receiver.start();
        QVERIFY(!rig.receiver.wait(QDeadlineTimer(200)));
        QCOMPARE(rig.emitted.load(), 0);
        QCOMPARE(rig.receiver.takeData(), QString());
        QVERIFY(rig.stops());
        QVERIFY(rig.start());
        for (int restart = 0; restart < 2; ++restart) {
            QVERIFY(rig.stops());
            QVERIFY(rig.board.serialPort().send("stale"));
            rig.receiver.start();
            // A new run first discards what waits in the port.
            QVERIFY(rig.receives());
            const QString taken = rig.receiver.takeData();
            QVERIFY(!taken.isEmpty());
            QVERIFY2(taken.count('~') == taken.size(), qPrintable(taken));
        }
        QVERIFY(rig.stops());
    }

    // A start that comes while the run still polls, or while its thread ends, polls again.
    void startRightAfterStopPollsAgain() {
        Rig<WindingDownReceiver> rig;
        QVERIFY(rig.start());
        for (int round = 0; round < 3; ++round) {
            rig.receiver.stop();
            rig.receiver.start();
            QVERIFY2(rig.receives(), qPrintable(QStringLiteral("round %1").arg(round)));
        }
        rig.receiver.stop();
        QVERIFY(rig.receiver.ended.tryAcquire(1, kDeadlineMs));
        rig.receiver.start();
        rig.receiver.restarted.release();
        QVERIFY2(rig.receives(), "started while the thread ended");
        QVERIFY(rig.stops());
    }

    // A caller waits at most for the end of the pass under way, however busy the machine: here
    // one CPU shared with three threads that never sleep.
    void takeDataWaitsAtMostForThePassUnderWay() {
        const OneCpu oneCpu;
        QVERIFY(oneCpu.pinned());
        Rig rig; // its threads start on that CPU
        QVERIFY(rig.start());
        const BusyThreads busy(3);
        QStringList waits;
        int mostPasses = 0;
        for (int call = 0; call < 12; ++call) {
            QThread::msleep(call * 7 % kPollPeriodMs); // somewhere else in a pass each time
            const int readsBefore = rig.driver.reads;
            QElapsedTimer wait;
            wait.start();
            rig.receiver.takeData();
            const int passes = rig.driver.reads - readsBefore;
            waits << QStringLiteral("%1 passes in %2 ms").arg(passes).arg(wait.elapsed());
            mostPasses = qMax(mostPasses, passes);
        }
        qInfo("%s", qPrintable(waits.join(", ")));
        // The pass under way ends; one more may end before the call, should this thread lose
        // the CPU between counting and calling.
        QVERIFY2(mostPasses <= 2, qPrintable(waits.join(", ")));
        QVERIFY(rig.stops());
    }

    // Without a device the thread sleeps until one is set, and then reads it.
    void waitsForADeviceWithoutSpinning() {
        Rig rig;
        std::atomic<pid_t> threadId{0};
        clockid_t threadClock{};
        QObject::connect(
            &rig.receiver, &QThread::started, &rig.receiver,
            [&] {
                if (pthread_getcpuclockid(pthread_self(), &threadClock) == 0)
                    threadId = pid_t(syscall(SYS_gettid));
            },
            Qt::DirectConnection);
        rig.receiver.start();
        ThreadActivity before;
        const QDeadlineTimer deadline(kDeadlineMs);
        while (!(threadId != 0 && tryReadThreadActivity(threadId, &before) && before.sleeps) &&
               !deadline.hasExpired())
            QThread::msleep(5);
        QVERIFY2(before.sleeps, "the thread never went to sleep");

        // Each pass through the loop wakes the thread: one that sleeps on its condition is not
        // switched in again, while one that polls or spins is, or holds its CPU throughout, at
        // any load.
        QElapsedTimer window;
        window.start();
        const qint64 cpuBefore = cpuTimeNs(threadClock);
        QThread::msleep(300);
        const qint64 cpu = cpuTimeNs(threadClock) - cpuBefore;
        const qint64 wall = window.nsecsElapsed();
        ThreadActivity after;
        QVERIFY(tryReadThreadActivity(threadId, &after));
        const QString found = QStringLiteral("%1 switches, %2 ms of CPU in %3 ms, %4")
                                  .arg(after.switches - before.switches)
                                  .arg(cpu / 1000000)
                                  .arg(wall / 1000000)
                                  .arg(after.sleeps ? "asleep" : "awake");
        QVERIFY2(after.sleeps && after.switches - before.switches <= 1 && cpu * 5 < wall,
                 qPrintable(found));
        QVERIFY(rig.start());
        QVERIFY(rig.stops());
    }
};

ZYR_TEST_CLASS(TestComReceiver)
#include "tst_comreceiver.moc"
