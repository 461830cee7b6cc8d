#include "HidDevice/hidbackend.h"
#include "HidDevice/hidpath.h"
#include "HidDevice/hidreportdescriptor.h"
#include "testregistry.h"

#include <QtTest>

using ZyrHid::HidPath;
using ZyrHid::HidReportDescriptor;

class TestHidHelpers : public QObject {
    Q_OBJECT

private slots:
    void reportLengths_data();
    void reportLengths();
    void platformBackendRefusesMissingNode();
};

void TestHidHelpers::reportLengths_data() {
    QTest::addColumn<QByteArray>("descriptor");
    QTest::addColumn<bool>("parses");
    QTest::addColumn<bool>("usesReportIds");
    QTest::addColumn<int>("inputLength");
    QTest::addColumn<int>("outputLength");

    const QByteArray vendor64 = QByteArray::fromHex("0600FF0901A101150026FF00750895400901810209"
                                                    "019102C0");
    QTest::newRow("64 bytes each way") << vendor64 << true << false << 65 << 65;
    QTest::newRow("report ids, largest report counts")
        << QByteArray::fromHex("0600FF0901A1018501750895100901810285027508952009018102"
                               "850375089508090191 02C0")
        << true << true << 33 << 9;
    QTest::newRow("push and pop restore the sizes")
        << QByteArray::fromHex("75089504A47510950181 02B48102") << true << false << 7 << 0;
    QTest::newRow("long item skipped")
        << QByteArray::fromHex("FE0200AAAA750895088102") << true << false << 9 << 0;
    QTest::newRow("truncated item") << QByteArray::fromHex("750895") << false << false << 0 << 0;
    QTest::newRow("truncated long item")
        << QByteArray::fromHex("FE0500AA") << false << false << 0 << 0;
    QTest::newRow("pop without push") << QByteArray::fromHex("B4") << false << false << 0 << 0;
    QTest::newRow("report too large for 16 bits")
        << QByteArray::fromHex("7720000000 97FFFF00008102") << false << false << 0 << 0;
}

void TestHidHelpers::reportLengths() {
    QFETCH(QByteArray, descriptor);
    QFETCH(bool, parses);
    QFETCH(bool, usesReportIds);
    QFETCH(int, inputLength);
    QFETCH(int, outputLength);

    bool ids = false;
    quint16 input = 0;
    quint16 output = 0;
    QCOMPARE(HidReportDescriptor::parse(descriptor, &ids, &input, &output), parses);
    QCOMPARE(ids, usesReportIds);
    QCOMPARE(int(input), inputLength);
    QCOMPARE(int(output), outputLength);
}

void TestHidHelpers::platformBackendRefusesMissingNode() {
    ZyrHid::IHidBackend* platform = ZyrHid::HidBackend::platform();
    QVERIFY(ZyrHid::HidBackend::current() == platform);
    QVERIFY(!platform->openExclusive("/nonexistent/hidraw0#vid_16d0&pid_4d58&mi_03"));
    QVERIFY(!platform->openExclusive(QByteArray()));
}

ZYR_TEST_CLASS(TestHidHelpers)

#include "tst_hidhelpers.moc"
