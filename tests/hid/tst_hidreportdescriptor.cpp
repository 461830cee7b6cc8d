#include "HidDevice/hidreportdescriptor.h"
#include "testregistry.h"

#include <QtTest>

#include <memory>

using ZyrHid::HidReportDescriptor;

namespace {

// Whether report ids are used and the input and output lengths; refused: none, or -2 alone when
// the refusal changed the out values.
QList<int> parse(const QByteArray& descriptor) {
    // A heap block of exactly the descriptor's size, so that AddressSanitizer reports a read past
    // its end (a QByteArray's own block has a terminating zero behind the data).
    const std::unique_ptr<char[]> block(new char[size_t(qMax(descriptor.size(), 1))]);
    std::copy(descriptor.cbegin(), descriptor.cend(), block.get());
    bool usesReportIds = true;
    quint16 inputLength = 0xABCD;
    quint16 outputLength = 0xABCD;
    if (HidReportDescriptor::parse(QByteArray::fromRawData(block.get(), descriptor.size()),
                                   &usesReportIds, &inputLength, &outputLength))
        return {usesReportIds, inputLength, outputLength};
    if (!usesReportIds || inputLength != 0xABCD || outputLength != 0xABCD)
        return {-2};
    return {};
}

QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}

void accepted(const char* name, const char* descriptor, bool ids, int input, int output) {
    QTest::newRow(name) << hex(descriptor) << QList<int>({ids, input, output});
}

void refused(const char* name, const char* descriptor) {
    QTest::newRow(name) << hex(descriptor) << QList<int>();
}

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
    QTest::addColumn<QList<int>>("parsed"); // as parse() gives it

    // Lengths count the report-id byte: 65 for 64 data bytes. The board describes its interfaces
    // as a vendor collection of 64-byte input and output reports without report ids.
    accepted("empty", "", false, 0, 0);
    accepted("board, no report ids",
             "0600ff 0901 a101 1500 26ff00 7508 9540 0901 8102 0901 9102 c0", false, 65, 65);
    accepted("feature reports do not count", "7508 9520 b102 9504 8102", false, 5, 0);
    accepted("bits round up to bytes", "7501 9505 8102 7503 9501 8101 7501 9503 9102", false, 2, 2);
    accepted("longest report id wins", "8501 7508 9520 8102 8502 953f 8102 8501 9510 9102", true,
             64, 17);
    accepted("items before the first id", "7508 9504 8102 8503 9502 8102", true, 5, 0);
    accepted("four-byte item data", "7508 9740000000 8102 9102", false, 65, 65);
    accepted("push and pop restore size and count", "7508 9504 a4 9510 8102 b4 8102", false, 21, 0);
    accepted("pop restores the report id", "8501 7508 9502 a4 8502 8102 b4 8102 8102", true, 5, 0);
    refused("pop without push", "7508 9504 b4 8102");
    accepted("long item skipped", "fe0310aabbcc 7508 9508 8102 fe0010", false, 9, 0);
    accepted("long item holding a short item's bytes", "7504 9502 fe0210 8102 8102", false, 2, 0);

    // Truncated input: an item whose data runs past the end.
    refused("prefix alone", "7508 95");
    refused("two data bytes missing", "9740 00");
    refused("long item prefix alone", "fe");
    refused("long item without tag", "fe05");
    refused("long item data cut", "fe0510aabb");

    // Oversized reports: a length must fit 16 bits with the report-id byte.
    accepted("largest report", "7508 96feff 8102", false, 0xFFFF, 0);
    refused("one byte more", "7508 96ffff 8102");
    refused("too large in two items", "7508 960080 8102 8102");
    refused("size times count beyond 32 bits", "77ffffffff 97ffffffff 9102");
    accepted("other report ids do not add up", "7508 96ff7f 8501 8102 8502 8102", true, 0x8000, 0);
}

void TestHidReportDescriptor::reportLengths() {
    QFETCH(QByteArray, descriptor);
    QFETCH(QList<int>, parsed);
    QCOMPARE(parse(descriptor), parsed);

    // Every shorter piece is read within its bounds, and a piece that parses has no longer
    // reports than the whole, nor report ids the whole lacks: items are only ever added.
    for (int size = 0; size < descriptor.size(); ++size) {
        const QList<int> piece = parse(descriptor.left(size));
        QVERIFY2(piece != QList<int>({-2}), qPrintable(QString::number(size)));
        for (int i = 0; i < piece.size() && i < parsed.size(); ++i)
            QVERIFY(piece[i] <= parsed[i]);
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
    QCOMPARE(parse(descriptor), QList<int>({false, 5001, 2}));
    QVERIFY(parse(descriptor + hex("b4")).isEmpty());
}

ZYR_TEST_CLASS(TestHidReportDescriptor)
#include "tst_hidreportdescriptor.moc"
