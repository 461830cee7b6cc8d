#include "Communication/comstream.h"
#include "scriptedcomdriver.h"
#include "testcomobject.h"
#include "testregistry.h"

using namespace ZyrCore::Communication;

namespace {

QByteArray frame(char protocol, char status, const QByteArray& payload) {
    return QByteArray(1, protocol) + '\0' + status + char(payload.size() >> 8) +
           char(payload.size()) + payload;
}

} // namespace

// A flush reads one reply per pending request, in order. After a reply it could not read in
// full, the next bytes belong to no known frame, so the rest of the flush must not pair them
// with its requests.
class TestComStreamPairing : public QObject {
    Q_OBJECT

private slots:
    void repliesAfterAFailedReply_data() {
        QTest::addColumn<QByteArray>("firstReply");
        QTest::addColumn<bool>("laterRepliesRead");
        QTest::addColumn<int>("error");
        // Each first reply carries a well-formed frame for the second request inside it.
        const QByteArray hidden = frame(0x02, 0, "\x07");
        QTest::newRow("another protocol, with payload") << frame(0x05, 0, hidden) << false << -4;
        QTest::newRow("longer than the request takes")
            << frame(0x01, 0, hidden + "xxx") << false << -1;
        QTest::newRow("another protocol, no payload") << frame(0x05, 0, {}) << true << -4;
        QTest::newRow("read in full, refused") << frame(0x01, 0, "bad") << true << -4;
    }
    void repliesAfterAFailedReply() {
        QFETCH(QByteArray, firstReply);
        QFETCH(bool, laterRepliesRead);
        QFETCH(int, error);
        ScriptedComDriver driver;
        driver.replies = firstReply + frame(0x02, 0, "\x22") + frame(0x03, 0, "\x33");
        ComStream stream(&driver, ComStream::theLateFlushPolicy);
        TestComObject first(0x01, "a", 4);
        first.deserializeResult = false;
        TestComObject second(0x02, "b", 4);
        TestComObject third(0x03, "c", 4);
        QQueue<IComObject*> queue;
        queue << &first << &second << &third;
        stream.execute(&queue);

        QVERIFY(!first.valid());
        QCOMPARE(second.valid(), laterRepliesRead);
        QCOMPARE(third.valid(), laterRepliesRead);
        QCOMPARE(second.reply, laterRepliesRead ? QByteArray("\x22") : QByteArray());
        QCOMPARE(third.reply, laterRepliesRead ? QByteArray("\x33") : QByteArray());
        if (!laterRepliesRead) {
            QCOMPARE(int(second.status()), 1);
            QCOMPARE(int(third.status()), 1);
        }
        QVERIFY(!stream.isResultPending());
        QCOMPARE(stream.lastError(), error);
    }
};

ZYR_TEST_CLASS(TestComStreamPairing)
#include "tst_comstreampairing.moc"
