#include "HidDevice/hidreportdescriptor.h"
#include "testregistry.h"

#include <QtTest>

#include <memory>

using ZyrHid::HidReportDescriptor;

namespace {

// The descriptor in a heap block of exactly its size, so that AddressSanitizer reports a read
// past its end (a QByteArray's own block has a terminating zero behind the data).
class ExactBytes {
public:
    explicit ExactBytes(const QByteArray& bytes)
        : itsBlock(new char[size_t(qMax(bytes.size(), 1))]) {
        std::copy(bytes.cbegin(), bytes.cend(), itsBlock.get());
        itsBytes = QByteArray::fromRawData(itsBlock.get(), bytes.size());
    }
    const QByteArray& bytes() const { return itsBytes; }

private:
    std::unique_ptr<char[]> itsBlock;
    QByteArray itsBytes;
};

struct Parsed {
    bool ok = false;
    bool usesReportIds = false;
    int inputLength = -1;
    int outputLength = -1;
};

Parsed parse(const QByteArray& descriptor) {
    const ExactBytes exact(descriptor);
    bool usesReportIds = true;
    quint16 inputLength = 0xABCD;
    quint16 outputLength = 0xABCD;
    Parsed parsed;
    parsed.ok =
        HidReportDescriptor::parse(exact.bytes(), &usesReportIds, &inputLength, &outputLength);
    if (!parsed.ok) {
        // A refused descriptor leaves the out values as they were.
        if (!usesReportIds || inputLength != 0xABCD || outputLength != 0xABCD)
            parsed.inputLength = -2;
        return parsed;
    }
    parsed.usesReportIds = usesReportIds;
    parsed.inputLength = inputLength;
    parsed.outputLength = outputLength;
    return parsed;
}

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

// A vendor collection of 64-byte input and output reports without report ids, as the board
// describes its interfaces.
const char* const kBoardDescriptor = "0600ff 0901 a101 1500 26ff00 7508 9540"
                                     "0901 8102 0901 9102 c0";

} // namespace

class TestHidReportDescriptor : public QObject {
    Q_OBJECT

private slots:
    void reportLengths_data();
    void reportLengths();
    void deepPushAndPop();
};

void TestHidReportDescriptor::reportLengths_data() {
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("usesReportIds");
    QTest::addColumn<int>("inputLength");
    QTest::addColumn<int>("outputLength");

    // Lengths count the report-id byte: 65 for 64 data bytes.
    QTest::newRow("empty") << QByteArray() << true << false << 0 << 0;
    QTest::newRow("board, no report ids") << hex(kBoardDescriptor) << true << false << 65 << 65;
    QTest::newRow("feature reports do not count")
        << hex("7508 9520 b102 9504 8102") << true << false << 5 << 0;
    QTest::newRow("bits round up to bytes")
        << hex("7501 9505 8102 7503 9501 8101 7501 9503 9102") << true << false << 2 << 2;
    QTest::newRow("longest report id wins")
        << hex("8501 7508 9520 8102 8502 953f 8102 8501 9510 9102") << true << true << 64 << 17;
    QTest::newRow("items before the first id")
        << hex("7508 9504 8102 8503 9502 8102") << true << true << 5 << 0;
    QTest::newRow("four-byte item data")
        << hex("7508 9740000000 8102 9102") << true << false << 65 << 65;
    QTest::newRow("push and pop restore size and count")
        << hex("7508 9504 a4 9510 8102 b4 8102") << true << false << 21 << 0;
    QTest::newRow("pop restores the report id")
        << hex("8501 7508 9502 a4 8502 8102 b4 8102 8102") << true << true << 5 << 0;
    QTest::newRow("pop without push") << hex("7508 9504 b4 8102") << false << false << -1 << -1;
    QTest::newRow("long item skipped")
        << hex("fe0310aabbcc 7508 9508 8102 fe0010") << true << false << 9 << 0;
    QTest::newRow("long item holding a short item's bytes")
        << hex("7504 9502 fe0210 8102 8102") << true << false << 2 << 0;

    // Truncated input: an item whose data runs past the end.
    QTest::newRow("prefix alone") << hex("7508 95") << false << false << -1 << -1;
    QTest::newRow("two data bytes missing") << hex("9740 00") << false << false << -1 << -1;
    QTest::newRow("long item prefix alone") << hex("fe") << false << false << -1 << -1;
    QTest::newRow("long item without tag") << hex("fe05") << false << false << -1 << -1;
    QTest::newRow("long item data cut") << hex("fe0510aabb") << false << false << -1 << -1;

    // Oversized reports: a length must fit 16 bits with the report-id byte.
    QTest::newRow("largest report") << hex("7508 96feff 8102") << true << false << 0xFFFF << 0;
    QTest::newRow("one byte more") << hex("7508 96ffff 8102") << false << false << -1 << -1;
    QTest::newRow("too large in two items")
        << hex("7508 960080 8102 8102") << false << false << -1 << -1;
    QTest::newRow("size times count beyond 32 bits")
        << hex("77ffffffff 97ffffffff 9102") << false << false << -1 << -1;
    QTest::newRow("other report ids do not add up")
        << hex("7508 96ff7f 8501 8102 8502 8102") << true << true << 0x8000 << 0;
}

void TestHidReportDescriptor::reportLengths() {
    QFETCH(QByteArray, descriptor);
    QFETCH(bool, ok);
    QFETCH(bool, usesReportIds);
    QFETCH(int, inputLength);
    QFETCH(int, outputLength);

    const Parsed parsed = parse(descriptor);
    QCOMPARE(parsed.ok, ok);
    QCOMPARE(parsed.usesReportIds, usesReportIds);
    QCOMPARE(parsed.inputLength, inputLength);
    QCOMPARE(parsed.outputLength, outputLength);

    // Every shorter piece is read within its bounds, and a piece that parses has no longer
    // reports than the whole: items are only ever added.
    for (int size = 0; size < descriptor.size(); ++size) {
        const Parsed piece = parse(descriptor.left(size));
        QVERIFY2(piece.inputLength != -2, qPrintable(QString::number(size)));
        if (piece.ok && ok) {
            QVERIFY(piece.inputLength <= inputLength);
            QVERIFY(piece.outputLength <= outputLength);
            QVERIFY(!piece.usesReportIds || usesReportIds);
        }
    }
}

void TestHidReportDescriptor::deepPushAndPop() {
    // A device may nest its global state deeper than any sane one; each level is kept.
    QByteArray descriptor = hex("7508 9501");
    for (int level = 1; level <= 5000; ++level)
        descriptor += hex("a4 8102");
    for (int level = 1; level <= 5000; ++level)
        descriptor += hex("b4");
    descriptor += hex("9102");
    const Parsed parsed = parse(descriptor);
    QVERIFY(parsed.ok);
    QCOMPARE(parsed.inputLength, 5001);
    QCOMPARE(parsed.outputLength, 2);
    QVERIFY(!parse(descriptor + hex("b4")).ok);
}

ZYR_TEST_CLASS(TestHidReportDescriptor)
#include "tst_hidreportdescriptor.moc"
