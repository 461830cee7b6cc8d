#include "assertionabort.h"
#include "boardrig.h"
#include "testregistry.h"

#include "Communication/I2c/i2creadregistercomobject.h"
#include "Communication/I2c/i2cwriteregistercomobject.h"
#include "Communication/commandmanager.h"
#include "Tracing/tracer.h"
#include "raspi/streamcontrolcommandset.h"
#include "raspi/streamregistercommandset.h"

#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Tracing;

namespace {

constexpr unsigned int kNoFlushes = 0x7FFFFFFF;

QString textOf(const QString& fileName) {
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

void writeText(const QString& fileName, const QString& text) {
    QFile file(fileName);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text.toUtf8());
}

// Reads register 0x90 and writes 0x5A to register 0x21 of the simulated chip.
void runKnownExchange(BoardRig& rig) {
    I2c::I2cReadRegisterComObject read(0x40, 0x90, 0x8000000, 1, 1);
    I2c::I2cWriteRegisterComObject write(0x40, 0x21, 0x5A, 0x8000000, 1, 1);
    rig.run(read);
    rig.run(write);
}

QString wireOf(const QList<ZyrSim::FirmwareRequest>& requests) {
    QStringList frames;
    for (const ZyrSim::FirmwareRequest& request : requests)
        frames << QStringLiteral("%1%2/%3:%4")
                      .arg(request.protocol)
                      .arg(request.fireAndForget ? "f" : "r")
                      .arg(request.replySize)
                      .arg(QString::fromLatin1(request.payload.toHex()));
    return frames.join(' ');
}

} // namespace

class TestTracing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void recorderWritesTheExchange_data();
    void recorderWritesTheExchange();
    void recordingPlaysBackTheSameFrames();
    void viewerKeepsABoundedFilteredList();
    void programmerRoundTrip();
    void hostileTraceFilesEndCleanly_data();
    void hostileTraceFilesEndCleanly();

private:
    QTemporaryDir itsFolder;
};

void TestTracing::initTestCase() {
    ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
    ZyrCom::Commands::StreamControlCommandSet controlCommands;
    CommandManager::instance()->registerCommandSet(&registerCommands);
    CommandManager::instance()->registerCommandSet(&controlCommands);
    QVERIFY(itsFolder.isValid());
}

void TestTracing::recorderWritesTheExchange_data() {
    QTest::addColumn<uint>("filter");
    QTest::addColumn<QString>("telegrams"); // R read request, A its answer, W write, F flush

    QTest::newRow("everything") << 0xFFFFFFFFu << "RFAWF";
    QTest::newRow("I2C only") << 0x8000000u << "RAW";
    QTest::newRow("flushes only") << 0x80000000u << "FF";
    QTest::newRow("nothing") << 0u << "";
}

void TestTracing::recorderWritesTheExchange() {
    QFETCH(uint, filter);
    QFETCH(QString, telegrams);

    const QString i2c =
        QStringLiteral("    <Telegram Pid=\"61\" CallingType=\"%1\" TelegramType=\"%2\" "
                       "Trace=\"08000000\">\n        <%3>\n"
                       "            <SlaveAddress>40</SlaveAddress>\n"
                       "            <AddressSize>1</AddressSize>\n"
                       "            <Address>%4</Address>\n"
                       "            <DataSize>1</DataSize>\n%5"
                       "        </%3>\n    </Telegram>\n");
    const QString read = QStringLiteral("RequestAndResponse");
    const QString data = QStringLiteral("            <Data%1>%2</Data>\n");
    const QMap<QChar, QString> blocks = {
        {'R', i2c.arg(read, "Request", "I2cReadRegister", "90", "")},
        {'A', i2c.arg(read, "Response", "I2cReadRegister", "90",
                      data.arg(" OutProperty=\"True\"", "8e"))},
        {'W', i2c.arg("FireAndForget", "Request", "I2cWriteRegister", "21", data.arg("", "5a"))},
        {'F', QStringLiteral("    <Telegram Pid=\"7f\" CallingType=\"FireAndForget\" "
                             "TelegramType=\"Request\" Trace=\"80000000\">\n"
                             "        <StreamFlush/>\n    </Telegram>\n")}};
    QString expected = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                      "<!DOCTYPE LogData>\n<LogData");
    expected += telegrams.isEmpty() ? QStringLiteral("/>") : QStringLiteral(">\n");
    for (const QChar code : telegrams)
        expected += blocks[code];
    expected += telegrams.isEmpty() ? QString() : QStringLiteral("</LogData>");

    const QString fileName = itsFolder.filePath(QStringLiteral("exchange.xml"));
    BoardRig rig;
    Tracer tracer;
    rig.stream.setTracer(&tracer);
    QVERIFY(!tracer.trace(QStringLiteral("<Telegram Trace=\"08000000\"/>")));
    tracer.recorder()->setFilter(filter);
    QVERIFY(tracer.recorder()->open(fileName));
    QVERIFY(!tracer.recorder()->open(fileName));
    runKnownExchange(rig);
    // A torn or garbled telegram is left out whole.
    QVERIFY(tracer.recorder()->trace(
        QStringLiteral("<Telegram Trace=\"08000000\"><I2cWriteRegister><SlaveAddress>40")));
    QVERIFY(tracer.recorder()->trace(QStringLiteral("<Telegram Trace=\"08000000\"><a></b>")));
    QVERIFY(tracer.recorder()->close());
    rig.stream.setTracer(nullptr);

    QCOMPARE(textOf(fileName), expected);
}

void TestTracing::recordingPlaysBackTheSameFrames() {
    const QString fileName = itsFolder.filePath(QStringLiteral("replay.xml"));
    BoardRig recorded;
    TraceRecorder recorder;
    recorder.setFilter(kNoFlushes);
    recorded.stream.setTracer(&recorder);
    QVERIFY(recorder.open(fileName));
    runKnownExchange(recorded);

    // Played while the recorder still holds the file, as after a crash: no end of LogData yet.
    for (bool closed : {false, true}) {
        if (closed)
            QVERIFY(recorder.close());
        BoardRig replayed;
        TracePlayer player(nullptr, &replayed.stream);
        QVERIFY(player.open(fileName));
        QVERIFY(player.playToEnd());
        QCOMPARE(wireOf(replayed.requests), wireOf(recorded.requests));
        QCOMPARE(int(replayed.board->registerFile().registerValue(0x21)), 0x5A);

        // One telegram per step; the response is read, not sent again.
        QVERIFY(player.reset());
        bool notPlayed = false;
        QVERIFY(player.playNext(&notPlayed) && !notPlayed);
        QVERIFY(player.playNext(&notPlayed) && notPlayed);
        QVERIFY(player.playNext(&notPlayed) && !notPlayed);
        QVERIFY(!player.playNext(&notPlayed) && player.isEndOfFile());
        QCOMPARE(replayed.requests.count(), 2 * recorded.requests.count());
    }
}

void TestTracing::viewerKeepsABoundedFilteredList() {
    TraceViewer viewer;
    viewer.setNegativeFilter(0x10000);
    viewer.setMaxCommandCount(3, 2);
    QSignalSpy traced(&viewer, &TraceViewer::telegramTraced);
    QSignalSpy deleted(&viewer, &TraceViewer::commandsDeleted);

    const QString telegram = QStringLiteral(
        "<Telegram %1CallingType=\"%2\" TelegramType=\"%3\" Trace=\"%4\"><%5><SlaveAddress>40"
        "</SlaveAddress><AddressSize>1</AddressSize><Address>%6</Address><DataSize>1</DataSize>"
        "<Data>5a</Data></%5></Telegram>");
    const QString pid = QStringLiteral("Pid=\"61\" ");
    const QString write = QStringLiteral("I2cWriteRegister");
    const QString read = QStringLiteral("I2cReadRegister");
    const QString fire = QStringLiteral("FireAndForget");
    const QString both = QStringLiteral("RequestAndResponse");
    const QStringList fed = {
        telegram.arg(pid, fire, "Request", "08000000", write, "01"),
        telegram.arg(pid, both, "Request", "08000000", read, "02"),  // its response shows it
        telegram.arg(pid, both, "Response", "08000000", read, "02"), // in
        telegram.arg(pid, both, "Response", "08010000", read, "03"), // a read-back: out
        telegram.arg("", fire, "Request", "08000000", write, "04"),  // no record: dropped
        "<!-- x -->" + telegram.arg(pid, fire, "Request", "08000000", write, "05"),
        telegram.arg(pid, fire, "Request", "08000000", write, "06"),
        telegram.arg(pid, fire, "Request", "08000000", write, "07"), // full: two oldest go
    };
    for (const QString& text : fed)
        QVERIFY(viewer.trace(text));

    QStringList addresses;
    for (CommandInfo* info : *viewer.getTracedProperties())
        addresses << info->getPropertyValue(QStringLiteral("Address"));
    QCOMPARE(addresses, QStringList({"06", "07"}));
    QCOMPARE(traced.count(), 4);
    QCOMPARE(deleted.count(), 1);
    QCOMPARE(deleted.at(0), QVariantList({0, 2}));

    const QList<CommandInfo*> copies = viewer.exportCommands(1, -1);
    const auto freeCopies = qScopeGuard([&copies] { qDeleteAll(copies); });
    QCOMPARE(copies.count(), 1);
    QVERIFY(copies.at(0)->equals(viewer.getTracedProperties()->at(1)));
    viewer.setEnabled(false);
    QVERIFY(!viewer.trace(fed.at(0)));
}

void TestTracing::programmerRoundTrip() {
    Tracer tracer;
    TraceProgrammer* programmer = tracer.programmer();
    QSignalSpy inserted(programmer, &TraceProgrammer::commandsInserted);

    CommandInfo* write = programmer->createCommand(QStringLiteral("I2cWriteRegister"));
    QVERIFY(write != nullptr);
    QVERIFY(write->trySetPropertyValue(QStringLiteral("SlaveAddress"), "40", true));
    QVERIFY(write->trySetPropertyValue(QStringLiteral("Address"), "21", true));
    QVERIFY(write->trySetPropertyValue(QStringLiteral("Data"), "5a", true));
    QVERIFY(programmer->addCommand(write));
    // A response taken into the program becomes its request.
    CommandInfo* read = CommandManager::instance()->convertToCommandInfo(
        "<Telegram Pid=\"61\" CallingType=\"RequestAndResponse\" TelegramType=\"Response\" "
        "Trace=\"08000000\"><I2cReadRegister><SlaveAddress>40</SlaveAddress><AddressSize>1"
        "</AddressSize><Address>90</Address><DataSize>1</DataSize><Data OutProperty=\"True\">8e"
        "</Data></I2cReadRegister></Telegram>");
    QVERIFY(programmer->insertCommand(0, read));
    QCOMPARE(read->getPropertyValue(QStringLiteral("TelegramType")), QStringLiteral("Request"));
    QVERIFY(!read->containsProperty(QStringLiteral("Data")));
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(inserted.at(1).at(1).toInt(), 0);

    ZYR_VERIFY_ASSERTION(
        [&] { programmer->insertCommand(3, new CommandInfo("x")); }, "Tracing/traceprogrammer",
        "position >= 0 && position <= itsCommands.count()", "Position out of range.");
    QVERIFY(!programmer->execute(0, 2)); // nothing to send through

    const QString fileName = itsFolder.filePath(QStringLiteral("program.xml"));
    QVERIFY(programmer->saveProgram(fileName));
    TraceProgrammer loaded;
    loaded.setPlayer(tracer.player());
    QVERIFY(loaded.loadProgram(fileName));
    QCOMPARE(loaded.getAllCommands().count(), 2);
    for (int i = 0; i < 2; ++i)
        QVERIFY(loaded.getAllCommands().at(i)->equals(programmer->getAllCommands().at(i)));
    writeText(fileName, textOf(fileName).replace("Pid=\"61\" ", ""));
    QVERIFY(!loaded.loadProgram(fileName));
    QCOMPARE(loaded.getAllCommands().count(), 2);

    BoardRig rig;
    tracer.setComExecutor(&rig.stream);
    QSignalSpy states(&loaded, &TraceProgrammer::executionStateChanged);
    QVERIFY(loaded.execute(0, 100));
    QCOMPARE(states.count(), 2);
    QCOMPARE(wireOf(rig.requests), QStringLiteral("97r/1:809081 97f/0:80215a"));
}

void TestTracing::hostileTraceFilesEndCleanly_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("playsToEnd");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("telegrams");
    QTest::addColumn<bool>("readable");

    const QString header = QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE LogData><LogData>");
    const QString write = QStringLiteral(
        "<Telegram Pid=\"61\" CallingType=\"FireAndForget\" TelegramType=\"%1\" Trace=\"08000000\">"
        "<I2cWriteRegister><SlaveAddress>40</SlaveAddress><AddressSize>1</AddressSize><Address>21"
        "</Address><DataSize>1</DataSize><Data>5a</Data></I2cWriteRegister></Telegram>");
    const QString request = write.arg("Request");
    const QString end = QStringLiteral("</LogData>");
    // text, opens, plays to its end, frames sent, telegrams read, read as a whole file
    QTest::newRow("whole") << header + request + end << true << true << 1 << 1 << true;
    QTest::newRow("never closed") << header + request << true << true << 1 << 1 << true;
    QTest::newRow("torn telegram")
        << header + request + request.left(90) << true << false << 1 << 1 << false;
    QTest::newRow("garbage after") << header + request + "<<x" << true << false << 1 << 1 << false;
    QTest::newRow("unknown telegram type")
        << header + write.arg("Sideways") + end << true << false << 0 << 1 << true;
    QTest::newRow("no object") << header +
                                      "<Telegram Pid=\"61\" CallingType=\"FireAndForget\" "
                                      "TelegramType=\"Request\" Trace=\"1\"/>" +
                                      end
                               << true << false << 0 << 1 << true;
    QTest::newRow("version 1.1") << "<?xml version=\"1.1\"?><LogData/>" << false << false << 0 << 0
                                 << false;
    QTest::newRow("empty") << "" << false << false << 0 << 0 << false;
    QString entities = QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE LogData [<!ENTITY a0 "
                                      "\"aaaaaaaaaa\">");
    for (int i = 1; i < 10; ++i)
        entities += QStringLiteral("<!ENTITY a%1 \"&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;\">")
                        .arg(i)
                        .arg(i - 1);
    QTest::newRow("entity expansion")
        << entities + "]><LogData>" + write.arg("&a9;") + end << true << false << 0 << 0 << false;
    QString deep = request;
    deep.replace("<Data>", "<Data>" + QString("<a>").repeated(100000));
    QTest::newRow("deep nesting") << header + deep << true << false << 0 << 0 << false;
}

void TestTracing::hostileTraceFilesEndCleanly() {
    QFETCH(QString, text);
    QFETCH(bool, opens);

    const QString fileName = itsFolder.filePath(QStringLiteral("hostile.xml"));
    writeText(fileName, text);
    BoardRig rig;
    TracePlayer player(nullptr, &rig.stream);
    QCOMPARE(player.open(fileName), opens);
    if (opens)
        QTEST(player.playToEnd(), "playsToEnd");
    QTEST(rig.requests.count(), "frames");
    QList<QString> read;
    QTEST(player.readTelegrams(fileName, &read), "readable");
    QTEST(read.count(), "telegrams");
}

ZYR_TEST_CLASS(TestTracing)
#include "tst_tracing.moc"
