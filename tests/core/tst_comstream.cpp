#include "Communication/comstream.h"
#include "Communication/iexecutable.h"
#include "Communication/ixmlserializable.h"
#include "Tracing/itracesink.h"
#include "scriptedcomdriver.h"
#include "testcomobject.h"
#include "testregistry.h"

#include <QThread>
#include <QXmlStreamWriter>

using namespace ZyrCore::Communication;

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (int value : values)
        result.append(static_cast<char>(value));
    return result;
}

class RecordingSink : public ZyrCore::Tracing::ITraceSink {
public:
    bool trace(QString telegram) override {
        telegrams.append(telegram);
        return true;
    }
    QStringList telegrams;
};

// A request with a telegram form that counts how often it is asked for it.
class TracedComObject : public TestComObject, public virtual IXmlSerializable {
public:
    using TestComObject::TestComObject;
    bool xmlSerialize(QXmlStreamWriter* writer, unsigned int telegramType) override {
        ++xmlSerializeCalls;
        writer->writeStartElement(telegramType == 0 ? "Req" : "Resp");
        writer->writeEndElement();
        return true;
    }
    bool xmlDeserialize(QXmlStreamReader*) override { return false; }
    int xmlSerializeCalls = 0;
};

// True when another thread can take the stream at once: no hold of its lock is left.
bool holdsAreReleased(ComStream& stream) {
    std::unique_ptr<QThread> other(QThread::create([&] { stream.flush(); }));
    other->start();
    if (other->wait(5000))
        return true;
    other->terminate(); // blocked for good on the lock; end it so the test can report
    other->wait();
    return false;
}

class PlainComObject : public ComObject {
public:
    PlainComObject(CallingType callingType)
        : ComObject(callingType, 0) {}
    IComObject* clone() override { return new PlainComObject(*this); }
};

// An object that runs its own exchange and fails it.
class FailingExecutable : public PlainComObject, public virtual IExecutable {
public:
    FailingExecutable()
        : PlainComObject(RequestAndResponse) {}
    bool execute(IComExecutor*) override { return false; }
    IComObject* clone() override { return new FailingExecutable(*this); }
};

} // namespace

class TestComStream : public QObject {
    Q_OBJECT

private slots:
    void lateFlush_data();
    void lateFlush();
    void tracesOnlyWithSink();
    void refusedRequestsAreMarkedFailed_data();
    void refusedRequestsAreMarkedFailed();
    void refusedAmongSentRequests_data();
    void refusedAmongSentRequests();
    void queueRunsPastARefusal_data();
    void queueRunsPastARefusal();
    void failedWriteErrorOutlastsALaterGoodWrite();
    void resetUnlinksAbandonedRequests();
};

// Two requests written before one flush reads their replies.
void TestComStream::lateFlush_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QList<int>>("readFailures");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("nextStatus");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("reads");

    // Where the script goes on, the second request's own reply follows the first's.
    const QByteArray second = bytes({0x31, 0, 0, 0, 1, 0x77});
    QTest::newRow("both answered")
        << bytes({0x30, 0, 0, 0, 1, 0x11}) + second << QList<int>{} << 0 << 0 << 0 << 4;
    // A later good reply does not hide the earlier failure.
    QTest::newRow("empty reply for another protocol")
        << bytes({0x35, 0, 0, 0, 0}) + second << QList<int>{} << 2 << 0 << -4 << 3;
    QTest::newRow("header read fails") << second << QList<int>{-3} << 1 << 1 << -3 << 1;
    QTest::newRow("reply for another protocol")
        << bytes({0x31, 0, 0, 0, 2, 0xAA, 0xBB}) + second << QList<int>{} << 2 << 1 << -4 << 1;
    // The unread payload looks like an empty reply to the second request.
    QTest::newRow("reply longer than expected")
        << bytes({0x30, 0, 0, 0, 5, 0x31, 0, 0, 0, 0}) + second << QList<int>{} << 1 << 1 << -1
        << 1;
    QTest::newRow("payload read fails")
        << bytes({0x30, 0, 0, 0, 2}) + second << QList<int>{0, -3} << 1 << 1 << -3 << 2;
    QTest::newRow("payload cut short")
        << bytes({0x30, 0, 0, 0, 3, 1}) << QList<int>{} << 1 << 1 << -3 << 2;
}

// A reply not read in full leaves the stream out of step with the device: the rest of the
// flush is marked failed instead of being paired with bytes that belong to other frames.
void TestComStream::lateFlush() {
    QFETCH(QByteArray, reply);
    QFETCH(QList<int>, readFailures);
    QFETCH(int, status);
    QFETCH(int, nextStatus);
    QFETCH(int, reads);

    ScriptedComDriver driver;
    ComStream stream(&driver, ComStream::theLateFlushPolicy);
    driver.replies = reply;
    driver.readFailures = readFailures;

    TestComObject request(0x30, bytes({1}), 4);
    TestComObject next(0x31, bytes({2}), 4);
    QQueue<IComObject*> queue;
    queue << &request << &next;
    stream.execute(&queue);

    QList<QByteArray> events{"write", "write", "flush"};
    for (int read = 0; read < reads; ++read)
        events << "read";
    QCOMPARE(driver.events, events);
    QCOMPARE(int(request.status()), status);
    QCOMPARE(request.valid(), status == 0);
    QCOMPARE(request.reply, status == 0 ? bytes({0x11}) : QByteArray());
    QCOMPARE(request.deserializeCalls, status == 0 ? 1 : 0);
    QCOMPARE(int(next.status()), nextStatus);
    QCOMPARE(next.valid(), nextStatus == 0);
    QCOMPARE(next.reply, nextStatus == 0 ? bytes({0x77}) : QByteArray());
    QCOMPARE(next.deserializeCalls, nextStatus == 0 ? 1 : 0);
    QTEST(stream.lastError(), "error");
    QCOMPARE(stream.lastError(), 0);
    QVERIFY(!stream.isResultPending());
    QVERIFY(holdsAreReleased(stream));
}

void TestComStream::tracesOnlyWithSink() {
    ScriptedComDriver driver;
    ComStream stream(&driver, ComStream::theImmediateFlushPolicy);
    driver.queueReply(0x01, 0, bytes({1}));
    driver.queueReply(0x01, 0, bytes({1}));

    // Frame header: protocol, 0, big-endian payload and reply sizes.
    TracedComObject request(0x01, bytes({0xAB, 0xCD}), 512);
    QVERIFY(stream.execute(&request) && request.valid() && !stream.isResultPending());
    QCOMPARE(driver.writes, QList<QByteArray>{bytes({0x01, 0x00, 0x02, 0x02, 0x00, 0xAB, 0xCD})});
    QCOMPARE(driver.events, (QList<QByteArray>{"write", "flush", "read", "read"}));
    QCOMPARE(request.xmlSerializeCalls, 0); // no sink: no telegram is even built

    RecordingSink sink;
    stream.setTracer(&sink);
    stream.execute(&request);
    QCOMPARE(request.xmlSerializeCalls, 2);
    QCOMPARE(sink.telegrams.size(), 3); // request, flush, response
    QVERIFY(sink.telegrams[0].contains("<Req/>"));
    QVERIFY(sink.telegrams[1].contains("<StreamFlush/>"));
    QVERIFY(sink.telegrams[1].contains("Trace=\"80000000\""));
    QVERIFY(sink.telegrams[2].contains("<Resp/>"));
    QCOMPARE(stream.lastError(), 0);

    // A reply the request rejects is a failure, and is not traced as a response.
    driver.queueReply(0x01, 0, bytes({1, 2}));
    request.deserializeResult = false;
    stream.execute(&request);
    QCOMPARE(request.deserializeCalls, 3);
    QVERIFY(!request.valid());
    QCOMPARE(int(request.status()), 1);
    QCOMPARE(stream.lastError(), -4);
    QCOMPARE(sink.telegrams.size(), 5);
    QVERIFY(!sink.telegrams.last().contains("<Resp/>"));

    stream.setTracer(nullptr);
    driver.queueReply(0x01, 0, bytes({1}));
    stream.execute(&request);
    QCOMPARE(sink.telegrams.size(), 5);
}

void TestComStream::refusedRequestsAreMarkedFailed_data() {
    QTest::addColumn<QString>("why");
    QTest::addColumn<int>("error");
    QTest::newRow("oversized") << "oversized" << -1;
    QTest::newRow("not serializable") << "plain" << -1;
    QTest::newRow("error not fetched") << "sticky" << -4;
}

// The error a refusal leaves held keeps no later fire-and-forget frame from being flushed.
void TestComStream::refusedRequestsAreMarkedFailed() {
    QFETCH(QString, why);
    ScriptedComDriver driver;
    ComStream stream(&driver, ComStream::theImmediateFlushPolicy);

    TestComObject oversized(0x01, QByteArray(1089, 'x'), 4);
    PlainComObject plain(IComObject::RequestAndResponse);
    TestComObject normal(0x01, bytes({1}), 4);
    IComObject* refused = &normal;
    if (why == "oversized") {
        refused = &oversized;
    } else if (why == "plain") {
        refused = &plain;
    } else {
        driver.queueReply(0x02, 0, {});
        stream.execute(&normal); // leaves -4 unfetched, then is sent again
    }
    const int writesBefore = driver.writes.size();

    stream.append(refused);
    QCOMPARE(driver.writes.size(), writesBefore);
    QCOMPARE(int(refused->status()), 1);
    QVERIFY(!refused->valid());
    QVERIFY(!stream.isResultPending());

    const int flushesBefore = driver.flushCalls;
    TestComObject command(0x03, bytes({1, 2, 3}), 0, IComObject::FireAndForget);
    QVERIFY(stream.execute(&command) && command.valid());
    QCOMPARE(driver.writes.size(), writesBefore + 1);
    QCOMPARE(driver.writes.last(), bytes({0x83, 0x00, 0x03, 0x00, 0x00, 0x01, 0x02, 0x03}));
    QCOMPARE(driver.flushCalls, flushesBefore + 1);
    QTEST(stream.lastError(), "error");
}

// A request refused after others went out leaves them paired with their own replies, and the
// refusal's error survives the flush.
void TestComStream::refusedAmongSentRequests_data() {
    QTest::addColumn<QString>("why");
    QTest::addColumn<int>("writes");
    QTest::addColumn<int>("error");
    QTest::newRow("serialize fails") << "serialize" << 1 << -2;
    QTest::newRow("oversized") << "oversized" << 1 << -1;
    QTest::newRow("already in the chain") << "chain" << 2 << -1;
}

void TestComStream::refusedAmongSentRequests() {
    QFETCH(QString, why);
    ScriptedComDriver driver;
    ComStream stream(&driver, ComStream::theLateFlushPolicy);

    TestComObject first(0x01, bytes({1}), 4);
    TestComObject second(0x02, why == "oversized" ? QByteArray(1089, 'x') : bytes({2}), 4);
    second.serializeResult = why != "serialize";
    driver.queueReply(0x01, 0, bytes({7}));
    driver.queueReply(0x02, 0, bytes({8}));
    stream.append(&first);
    if (why == "oversized")
        stream.execute(&second); // refused, then the late policy flushes
    else
        stream.append(&second);
    if (why == "chain") {
        stream.append(&first);  // has a next: in the chain
        stream.append(&second); // the chain's tail
    }
    QTEST(int(driver.writes.size()), "writes");
    QCOMPARE(driver.flushCalls, why == "oversized" ? 1 : 0);
    QVERIFY(why == "chain" || (!second.valid() && int(second.status()) == 1));

    stream.flush();
    QVERIFY(first.valid());
    QCOMPARE(first.reply, bytes({7}));
    QCOMPARE(second.reply, why == "chain" ? bytes({8}) : QByteArray());
    QTEST(stream.lastError(), "error");
    QVERIFY(holdsAreReleased(stream));
}

void TestComStream::queueRunsPastARefusal_data() {
    QTest::addColumn<bool>("late");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<bool>("nextAnswered");
    for (bool late : {false, true}) {
        const char* policy = late ? "late" : "immediate";
        QTest::addRow("%s, not serializable", policy) << late << false << true;
        // A failed exchange leaves its error held, so the request after it is refused too.
        QTest::addRow("%s, exchange fails", policy) << late << true << false;
    }
}

// Every object of a queue gets its turn, whatever an earlier one met; the refusal is reported.
void TestComStream::queueRunsPastARefusal() {
    QFETCH(bool, late);
    QFETCH(bool, executable);
    QFETCH(bool, nextAnswered);
    ScriptedComDriver driver;
    const StreamPolicy& policy =
        late ? static_cast<const StreamPolicy&>(ComStream::theLateFlushPolicy)
             : ComStream::theImmediateFlushPolicy;
    ComStream stream(&driver, policy);
    driver.queueReply(0x01, 0, bytes({7}));
    driver.queueReply(0x02, 0, bytes({8}));

    TestComObject first(0x01, bytes({1}), 4);
    PlainComObject plain(IComObject::RequestAndResponse);
    FailingExecutable failing;
    TestComObject next(0x02, bytes({2}), 4);
    TestComObject command(0x03, bytes({3}), 0, IComObject::FireAndForget);
    QQueue<IComObject*> queue;
    queue << &first << (executable ? static_cast<IComObject*>(&failing) : &plain) << &next
          << &command;
    stream.execute(&queue);

    QCOMPARE(first.reply, bytes({7}));
    QCOMPARE(next.reply, nextAnswered ? bytes({8}) : QByteArray());
    QCOMPARE(next.valid(), nextAnswered);
    QCOMPARE(int(next.status()), nextAnswered ? 0 : 1);
    QCOMPARE(driver.writes.last(), bytes({0x83, 0x00, 0x01, 0x00, 0x00, 0x03}));
    QCOMPARE(stream.lastError(), -2);
    QVERIFY(!stream.isResultPending());
    QVERIFY(holdsAreReleased(stream));
}

// The error of a failed write is the one the stream reports, though a good write followed it.
void TestComStream::failedWriteErrorOutlastsALaterGoodWrite() {
    ScriptedComDriver driver;
    ComStream stream(&driver, ComStream::theLateFlushPolicy);
    TestComObject command(0x03, bytes({1}), 0, IComObject::FireAndForget);
    TestComObject next(0x03, bytes({1}), 0, IComObject::FireAndForget);
    driver.writeFailures = {-2};
    stream.execute(&command);
    stream.execute(&next);
    QCOMPARE(driver.writes.size(), 2);
    QCOMPARE(stream.lastError(), -2);
}

void TestComStream::resetUnlinksAbandonedRequests() {
    ScriptedComDriver driver;
    driver.setOpen(true);
    ComStream stream(&driver, ComStream::theLateFlushPolicy);

    TestComObject first(0x01, bytes({1}), 4);
    TestComObject second(0x02, bytes({2}), 4);
    stream.append(&first);
    stream.append(&second);
    QVERIFY(stream.reset());

    QVERIFY(first.next() == nullptr);
    QCOMPARE(int(first.status()), 1);
    QCOMPARE(int(second.status()), 1);

    // The abandoned request can be sent again.
    driver.queueReply(0x01, 0, bytes({9}));
    stream.append(&first);
    stream.flush();
    QVERIFY(first.valid());
    QCOMPARE(first.reply, bytes({9}));
}

ZYR_TEST_CLASS(TestComStream)
#include "tst_comstream.moc"
