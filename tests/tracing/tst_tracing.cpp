#include "assertionabort.h"
#include "boardrig.h"
#include "nullexecutor.h"
#include "testregistry.h"
#include "tracecost.h"

#include "Communication/I2c/i2creadregistercomobject.h"
#include "Communication/I2c/i2cwriteregistercomobject.h"
#include "Communication/commandmanager.h"
#include "Tools/markupoutline.h"
#include "Tracing/tracepattern.h"
#include "Tracing/tracer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextCodec>

#include <csignal>
#include <limits>
#include <memory>

#include <sys/resource.h>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Tracing;

namespace {

// A telegram of one register of the simulated chip: its command element, the register's address
// and what follows DataSize.
QString i2cTelegram(const QString& callingType, const QString& telegramType, const QString& command,
                    const QString& address, const QString& values) {
    return QStringLiteral(
               "<Telegram Pid=\"61\" CallingType=\"%1\" TelegramType=\"%2\" Trace=\"08000000\">"
               "<%3><SlaveAddress>40</SlaveAddress><AddressSize>1</AddressSize><Address>%4"
               "</Address><DataSize>1</DataSize>%5</%3></Telegram>")
        .arg(callingType, telegramType, command, address, values);
}

QString textOf(const QString& fileName) {
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

// Writes each character of the text as one byte.
void writeText(const QString& fileName, const QString& text) {
    QFile file(fileName);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text.toLatin1());
}

// A telegram of the plain write with the text put right after its start tag, and its Trace.
QString writeWith(const QString& text, const QString& trace = QStringLiteral("08000000")) {
    QString telegram =
        i2cTelegram("FireAndForget", "Request", "I2cWriteRegister", "21", "<Data>5a</Data>");
    telegram.replace("Trace=\"08000000\">", "Trace=\"" + trace + "\">" + text);
    return telegram;
}

// A register read whose extra element nests the telegram the given number of levels deep.
QString readNested(int levels) {
    QString nested;
    for (int level = levels; level > 2; --level)
        nested = QStringLiteral("<x%1>%2</x%1>").arg(level).arg(nested);
    return i2cTelegram("RequestAndResponse", "Request", "I2cReadRegister", "90", nested);
}

// The records of the telegrams, or null where a text makes none.
QList<std::shared_ptr<CommandInfo>> recordsOf(const QList<QString>& telegrams) {
    QList<std::shared_ptr<CommandInfo>> records;
    for (const QString& telegram : telegrams)
        records.append(std::shared_ptr<CommandInfo>(
            CommandManager::instance()->convertToCommandInfo(telegram)));
    return records;
}

// The record with the blanks that lay out an element holding elements taken for its value.
CommandInfo withoutLayout(const CommandInfo& record) {
    CommandInfo laidOut(record);
    const QMap<QString, QString> properties = record.properties();
    for (auto property = properties.cbegin(); property != properties.cend(); ++property) {
        if (property.value().trimmed().isEmpty())
            laidOut.trySetPropertyValue(property.key(), QString(), false);
    }
    return laidOut;
}

// How the records of two lists differ, layout aside, or an empty text.
QString recordsDiffer(const QList<std::shared_ptr<CommandInfo>>& records,
                      const QList<CommandInfo*>& others) {
    if (records.size() != others.size())
        return QStringLiteral("%1 records, %2 expected").arg(others.size()).arg(records.size());
    for (int i = 0; i < records.size(); ++i) {
        if (records.at(i) == nullptr || others.at(i) == nullptr)
            return QStringLiteral("no record %1").arg(i);
        CommandInfo other = withoutLayout(*others.at(i));
        if (!withoutLayout(*records.at(i)).equals(&other))
            return QStringLiteral("record %1 differs").arg(i);
    }
    return QString();
}

QList<CommandInfo*> pointersOf(const QList<std::shared_ptr<CommandInfo>>& records) {
    QList<CommandInfo*> pointers;
    for (const auto& record : records)
        pointers.append(record.get());
    return pointers;
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
    void recorderReportsTheFirstFailedWrite();
    void recorderLaysOutAsItsWriterDoes_data();
    void recorderLaysOutAsItsWriterDoes();
    void recorderWritesTheTracedExchange();
    void recorderWritesOnlyWhatReadingsTakeBack_data();
    void recorderWritesOnlyWhatReadingsTakeBack();
    void recorderRefusesCrowdedTelegramsQuickly_data();
    void recorderRefusesCrowdedTelegramsQuickly();
    void recordingPlaysBack_data();
    void recordingPlaysBack();
    void everyCutOfARecordingReadsWholeTelegramsOrFails();
    void pendingRequestsAreReadBeforeThePlayerLetsGo_data();
    void pendingRequestsAreReadBeforeThePlayerLetsGo();
    void viewerKeepsABoundedFilteredList();
    void sinksRefuseTextBeyondTheLimitsUnread_data();
    void sinksRefuseTextBeyondTheLimitsUnread();
    void programmerRoundTrip();
    void failedSaveLeavesTheFileAlone_data();
    void failedSaveLeavesTheFileAlone();
    void hostileTraceFilesEndCleanly_data();
    void hostileTraceFilesEndCleanly();
    void tracesInOtherEncodingsRead_data();
    void tracesInOtherEncodingsRead();
    void nestingIsReadUpToItsLimit();
    void telegramsAreCopiedAlone_data();
    void telegramsAreCopiedAlone();
    void copiesReadAsTheFileDoes_data();
    void copiesReadAsTheFileDoes();
    void playingAHugeTraceKeepsMemoryFlat();
    void hostileTracesCostWhatTheirSizeDoes_data();
    void hostileTracesCostWhatTheirSizeDoes();

private:
    QString recordExchange(Tracer* tracer, const QString& fileName);
    QString recordClosedExchange(const QString& fileName);

    QTemporaryDir itsFolder;
};

void TestTracing::initTestCase() {
    registerStreamCommandSets();
    QVERIFY(itsFolder.isValid());
}

void TestTracing::recorderLaysOutAsItsWriterDoes_data() {
    QTest::addColumn<QStringList>("telegrams");
    QTest::addColumn<int>("wholeTelegrams");

    const QString plain = QStringLiteral(
        "<Telegram Pid=\"61\" Trace=\"08000000\" Comment=\"a &lt;b&gt; &amp; &quot;c&quot;\">"
        "<I2cWriteRegister><Address>21</Address><Data>5a &amp; &gt;</Data><Empty/>"
        "<Blank>  </Blank></I2cWriteRegister></Telegram>");
    const QStringList special = {
        QStringLiteral("<Telegram Trace=\"1\" Comment=\"line&#10;break\ttab\"><A/></Telegram>"),
        QStringLiteral("<Telegram Trace=\"1\"><A>gr\u00fc\u00df</A></Telegram>"),
        QStringLiteral("<Telegram Trace=\"1\"><A><![CDATA[x<y]]></A></Telegram>"),
        QStringLiteral("<Telegram Trace=\"1\"><!--inside--><A>1</A><?pi data?></Telegram>"),
        QStringLiteral("<Telegram Trace=\"1\" xmlns:z=\"urn:z\"><z:A z:b=\"1\"/></Telegram>"),
        // The writer makes a prefix up for each such telegram, numbered through the file.
        QStringLiteral("<Telegram Trace=\"1\" xmlns=\"urn:x\"><V/></Telegram>"),
        QStringLiteral("<Telegram Trace=\"1\"><A>1</A></Telegram><!--after-->"),
        QStringLiteral("<?xml version=\"1.0\"?>\n<Telegram Trace=\"1\"><A/></Telegram><!--c-->\n")};
    // Torn or garbled telegrams are left out whole.
    const QString torn = QStringLiteral("<Telegram Trace=\"1\"><A><B>1</B>");
    const QString garbled = QStringLiteral("<Telegram Trace=\"1\"><a></b>");

    QTest::newRow("plain telegrams") << QStringList({plain, torn, plain, garbled, plain}) << 3;
    // Over a limit of markup, but no telegram whatever follows.
    const QString overLimit = QString(ZyrCore::Tools::maxTextLength + 1, 'n');
    QTest::newRow("other element over a limit")
        << QStringList({plain, "<Note>" + overLimit + "</Note>", plain}) << 2;
    QTest::newRow("telegram without Trace over a limit")
        << QStringList({plain, "<Telegram Pid=\"61\"><A>" + overLimit + "</A></Telegram>", plain})
        << 2;
    for (const QString& telegram : special) {
        QTest::addRow("first: %s", qPrintable(telegram.mid(22, 20)))
            << QStringList({telegram, plain, torn, telegram}) << 3;
        QTest::addRow("later: %s", qPrintable(telegram.mid(22, 20)))
            << QStringList({plain, telegram, telegram, plain}) << 4;
    }
}

// The recorder lays telegrams out itself, faster than a writer would; its file must be the one
// a writer writes for the same telegrams.
void TestTracing::recorderLaysOutAsItsWriterDoes() {
    QFETCH(QStringList, telegrams);
    QFETCH(int, wholeTelegrams);

    const QString recorded = itsFolder.filePath(QStringLiteral("recorded.xml"));
    const QString written = itsFolder.filePath(QStringLiteral("written.xml"));
    TraceRecorder recorder;
    QVERIFY(recorder.open(recorded));
    for (const QString& telegram : telegrams)
        QVERIFY(recorder.trace(telegram));
    QVERIFY(recorder.close());
    QVERIFY(recorder.writeTelegrams(written, telegrams));

    QCOMPARE(textOf(recorded), textOf(written));
    TracePlayer player;
    QList<QString> read;
    QVERIFY(player.readTelegrams(recorded, &read));
    QCOMPARE(read.size(), wholeTelegrams);
}

// A full disk: the first write that fails is reported, the piece it tore is cut off again and
// nothing is written after it, so the file holds whole telegrams only.
void TestTracing::recorderReportsTheFirstFailedWrite() {
    const QString telegram =
        QStringLiteral("<Telegram Trace=\"08000000\"><Reset><Objects>1</Objects></Reset>"
                       "</Telegram>");
    TraceRecorder recorder;
    QVERIFY(!recorder.open(QStringLiteral("/dev/full")));
    QVERIFY(!recorder.isOpen() && !recorder.trace(telegram) && !recorder.close());
    QVERIFY(!recorder.writeTelegrams(QStringLiteral("/dev/full"), {telegram}));

    const QString fileName = itsFolder.filePath(QStringLiteral("full.xml"));
    QVERIFY(recorder.open(fileName));
    QVERIFY(recorder.trace(telegram));
    QSignalSpy enabled(&recorder, &TraceRecorder::enabledChanged);
    const qint64 whole = QFileInfo(fileName).size();

    // The file may grow by half a telegram more: the next write is torn.
    rlimit before{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &before) == 0);
    rlimit full = before;
    full.rlim_cur = static_cast<rlim_t>(whole + telegram.size() / 2);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &full);
    const bool tornTraced = recorder.trace(telegram);
    const bool nextTraced = recorder.trace(telegram);
    const bool closed = recorder.close();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!tornTraced);
    QVERIFY(!nextTraced);
    QVERIFY(!closed);
    QCOMPARE(enabled.count(), 1);
    QVERIFY(!recorder.isEnabled() && !recorder.isOpen());
    QCOMPARE(QFileInfo(fileName).size(), whole);
    const QString recorded =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE LogData>\n"
                       "<LogData>\n    <Telegram Trace=\"08000000\">\n        <Reset>\n"
                       "            <Objects>1</Objects>\n        </Reset>\n    </Telegram>");
    QCOMPARE(textOf(fileName), recorded);

    // A new file records again, laid out as the first.
    QVERIFY(recorder.open(fileName));
    QVERIFY(recorder.trace(telegram) && recorder.close());
    QCOMPARE(textOf(fileName), recorded + QStringLiteral("\n</LogData>"));
}

// Records a read of register 0x90 and a write of 0x5A to register 0x21 of the simulated chip
// through the tracer on a stream, and leaves the file open. The wire frames the exchange sent.
QString TestTracing::recordExchange(Tracer* tracer, const QString& fileName) {
    BoardRig recorded;
    recorded.stream.setTracer(tracer);
    tracer->recorder()->setFilter(0x7FFFFFFF); // flushes left out
    if (!tracer->recorder()->open(fileName))
        return QString();
    I2c::I2cReadRegisterComObject read(0x40, 0x90, 0x8000000, 1, 1);
    I2c::I2cWriteRegisterComObject write(0x40, 0x21, 0x5A, 0x8000000, 1, 1);
    recorded.run(read);
    recorded.run(write);
    recorded.stream.setTracer(nullptr);
    return wireOf(recorded.requests);
}

// Records the exchange into a closed file.
QString TestTracing::recordClosedExchange(const QString& fileName) {
    Tracer tracer;
    const QString wire = recordExchange(&tracer, fileName);
    return tracer.recorder()->close() ? wire : QString();
}

void TestTracing::recorderWritesTheTracedExchange() {
    Tracer tracer;
    QVERIFY(!tracer.trace(QStringLiteral("<Telegram Trace=\"08000000\"/>"))); // nothing open
    const QString fileName = itsFolder.filePath(QStringLiteral("exchange.xml"));
    QVERIFY(tracer.recorder()->open(fileName) && !tracer.recorder()->open(fileName));
    QVERIFY(tracer.recorder()->close());
    QVERIFY(!recordClosedExchange(fileName).isEmpty());

    // The file is the one the writer lays out for what the stream traced; the layout itself:
    // children indented below each telegram, the root closed on its own line.
    const QString ask = QStringLiteral("RequestAndResponse");
    const QString written = itsFolder.filePath(QStringLiteral("written.xml"));
    TraceRecorder writer;
    QVERIFY(writer.writeTelegrams(
        written,
        {i2cTelegram(ask, "Request", "I2cReadRegister", "90", ""),
         i2cTelegram(ask, "Response", "I2cReadRegister", "90",
                     "<Data OutProperty=\"True\">8e</Data>"),
         i2cTelegram("FireAndForget", "Request", "I2cWriteRegister", "21", "<Data>5a</Data>")}));
    QCOMPARE(textOf(fileName), textOf(written));
    QVERIFY(
        textOf(fileName).contains(">\n        <I2cReadRegister>\n            <SlaveAddress>40<"));
    QVERIFY(textOf(fileName).endsWith(QStringLiteral("\n    </Telegram>\n</LogData>")));
}

void TestTracing::recorderWritesOnlyWhatReadingsTakeBack_data() {
    QTest::addColumn<QString>("telegram");
    QTest::addColumn<bool>("traced"); // trace's result
    QTest::addColumn<bool>("fits");   // written whole unless the filter leaves it out

    using namespace ZyrCore::Tools;
    QString attributes;
    for (int i = 0; i < 40000; ++i)
        attributes += QStringLiteral(" a%1=\"\"").arg(i);
    const QString crowded =
        QString(writeWith(QString())).replace("<Telegram", "<Telegram" + attributes);
    // The writer escapes each '>' and '"' it writes, past the limits of their constructs.
    QTest::newRow("comment of 300,000 '>'")
        << writeWith("<Comment>" + QString(300000, '>') + "</Comment>") << false << false;
    QTest::newRow("value of 20,000 '\"'")
        << QString(writeWith(QString())).replace("<Data>", "<Data a='" + QString(20000, '"') + "'>")
        << false << false;
    QTest::newRow("comment over its limit")
        << writeWith("<Comment>" + QString(maxTextLength + 1, 'c') + "</Comment>") << false
        << false;
    QTest::newRow("40,000 attributes") << crowded << false << false;
    QTest::newRow("one level too deep") << readNested(maxTelegramDepth + 1) << false << false;
    QTest::newRow("empty element one level too deep")
        << readNested(maxTelegramDepth).replace("</x16>", "<e/></x16>") << false << false;
    // The filter leaves out what it does not take, whatever it holds.
    QTest::newRow("left out by the filter, over a limit")
        << writeWith("<Comment>" + QString(maxTextLength + 1, 'c') + "</Comment>", "40000000")
        << true << false;
    QTest::newRow("as deep as may be") << readNested(maxTelegramDepth) << true << true;
    QTest::newRow("carriage return in the comment")
        << writeWith("<Comment>a&#13;b\r\nc</Comment>") << true << true;
}

// A telegram is written only in a form that reading, playing and loading the file take back
// whole; one that cannot be is left out and reported, and the file goes on with the next.
void TestTracing::recorderWritesOnlyWhatReadingsTakeBack() {
    QFETCH(QString, telegram);
    QFETCH(bool, traced);
    QFETCH(bool, fits);
    const QString plain = writeWith(QString());
    const QString recorded = itsFolder.filePath(QStringLiteral("recorded.xml"));
    TraceRecorder recorder;
    recorder.setFilter(0x08000000);
    QVERIFY(recorder.open(recorded));
    QVERIFY(recorder.trace(plain));
    QCOMPARE(recorder.trace(telegram), traced);
    QVERIFY(recorder.trace(plain));
    QVERIFY(recorder.close());
    const QString written = itsFolder.filePath(QStringLiteral("written.xml"));
    QCOMPARE(recorder.writeTelegrams(written, {plain, telegram, plain}), fits);
    QCOMPARE(textOf(written), textOf(recorded));

    QList<QString> expected = {plain, plain};
    if (traced && fits)
        expected.insert(1, telegram);
    TracePlayer player;
    QList<QString> read;
    QVERIFY(player.readTelegrams(recorded, &read));
    const auto records = recordsOf(expected);
    QCOMPARE(recordsDiffer(records, pointersOf(recordsOf(read))), QString());
    BoardRig rig;
    player.setComExecutor(&rig.stream);
    QVERIFY(player.open(recorded));
    QVERIFY(player.playToEnd());
    QCOMPARE(rig.requests.count(), expected.count());
    TraceProgrammer programmer;
    programmer.setPlayer(&player);
    QVERIFY(programmer.loadProgram(recorded));
    QCOMPARE(recordsDiffer(records, programmer.getAllCommands()), QString());
}

void TestTracing::recorderRefusesCrowdedTelegramsQuickly_data() {
    QTest::addColumn<QString>("where"); // what the attributes follow
    QTest::newRow("on the telegram") << "<Telegram";
    QTest::newRow("on a value") << "<Data";
}

// A reader's work on one element grows with the square of its attributes: the recorder refuses
// such a telegram before a reader sees it, at a cost that follows the telegram's size.
void TestTracing::recorderRefusesCrowdedTelegramsQuickly() {
    QFETCH(QString, where);
    TraceRecorder recorder;
    QVERIFY(recorder.open(itsFolder.filePath(QStringLiteral("crowded.xml"))));
    qint64 milliseconds[2] = {};
    for (int i = 0; i < 2; ++i) {
        QString attributes;
        for (int a = 0; a < (40000 << i); ++a)
            attributes += QStringLiteral(" a%1=\"\"").arg(a);
        const QString telegram = QString(writeWith(QString())).replace(where, where + attributes);
        // The least of a few runs: a loaded machine only ever adds time.
        qint64 least = std::numeric_limits<qint64>::max();
        for (int run = 0; run < 3; ++run) {
            QElapsedTimer timer;
            timer.start();
            QString scratch;
            QXmlStreamWriter writer(&scratch);
            QVERIFY(recorder.matchFilter(telegram) == (where == "<Data"));
            QVERIFY(!recorder.trace(telegram));
            QVERIFY(!TraceRecorder::writeTelegram(telegram, &writer));
            QVERIFY(!recorder.writeTelegrams(itsFolder.filePath(QStringLiteral("written.xml")),
                                             {telegram}));
            least = qMin(least, timer.elapsed());
        }
        milliseconds[i] = least;
    }
    const QByteArray figures = QByteArray::number(milliseconds[0]) + " ms, twice the size " +
                               QByteArray::number(milliseconds[1]) + " ms";
    qInfo("%s: %s", qPrintable(where), figures.constData());
    QVERIFY2(milliseconds[1] <= 3 * milliseconds[0] + 100, figures);
}

void TestTracing::recordingPlaysBack_data() {
    QTest::addColumn<bool>("closed");
    QTest::newRow("never closed") << false;
    QTest::newRow("closed") << true;
}

void TestTracing::recordingPlaysBack() {
    QFETCH(bool, closed);
    const QString fileName = itsFolder.filePath(QStringLiteral("playback.xml"));
    // Played while the recorder still holds the file, as after a crash: no end of LogData yet.
    Tracer tracer;
    const QString recordedWire = recordExchange(&tracer, fileName);
    QVERIFY(!recordedWire.isEmpty());
    if (closed)
        QVERIFY(tracer.recorder()->close());
    else
        QVERIFY(!textOf(fileName).contains(QStringLiteral("</LogData>")));

    BoardRig replayed;
    TracePlayer player(nullptr, &replayed.stream);
    QVERIFY(player.open(fileName));
    QVERIFY(player.playToEnd());
    QCOMPARE(wireOf(replayed.requests), recordedWire);
    QCOMPARE(int(replayed.board->registerFile().registerValue(0x21)), 0x5A);

    // One telegram per step; the response is read, not sent again.
    QVERIFY(player.reset());
    bool notPlayed = false;
    QVERIFY(player.playNext(&notPlayed) && !notPlayed);
    QVERIFY(player.playNext(&notPlayed) && notPlayed);
    QVERIFY(player.playNext(&notPlayed) && !notPlayed);
    QVERIFY(!player.playNext(&notPlayed) && player.isEndOfFile());
    QCOMPARE(wireOf(replayed.requests), recordedWire + ' ' + recordedWire);
}

// A cut that leaves out only the end of the root element (and blanks) reads, plays and loads
// exactly the telegrams before it; any other cut fails.
void TestTracing::everyCutOfARecordingReadsWholeTelegramsOrFails() {
    const QString fileName = itsFolder.filePath(QStringLiteral("whole.xml"));
    QVERIFY(!recordClosedExchange(fileName).isEmpty());
    const QByteArray whole = textOf(fileName).toUtf8();
    TracePlayer reader;
    QList<QString> telegrams;
    QVERIFY(reader.readTelegrams(fileName, &telegrams));
    QCOMPARE(telegrams.count(), 3); // read request, its response, write

    BoardRig rig;
    const QString cutName = itsFolder.filePath(QStringLiteral("cut.xml"));
    for (int size = 0; size <= whole.size(); ++size) {
        const QByteArray cut = whole.left(size);
        const QByteArray kept = cut.trimmed();
        const bool readable = kept.endsWith("</Telegram>") || kept.endsWith("<LogData>") ||
                              kept.endsWith("</LogData>");
        const int complete = cut.count("</Telegram>");
        const QByteArray at = QByteArray("cut after byte ") + QByteArray::number(size) + " of " +
                              QByteArray::number(whole.size()) + ": ..." + cut.right(24);
        writeText(cutName, QString::fromLatin1(cut));

        QList<QString> read;
        QVERIFY2(reader.readTelegrams(cutName, &read) == readable, at + " read");
        if (readable)
            QVERIFY2(read == telegrams.mid(0, complete), at + " telegrams read");

        TracePlayer player(nullptr, &rig.stream);
        if (player.open(cutName)) {
            QVERIFY2(player.playToEnd() == readable, at + " played to its end");
            QVERIFY2(player.isEndOfFile() == readable, at + " at its end");
        } else {
            QVERIFY2(!readable, at + " opened");
        }

        TraceProgrammer programmer;
        programmer.setPlayer(&reader);
        QVERIFY2(programmer.loadProgram(cutName) == readable, at + " loaded");
        const int requests = complete - (complete > 1 ? 1 : 0); // the response is left out
        QVERIFY2(programmer.getAllCommands().count() == (readable ? requests : 0),
                 at + " commands loaded");
    }
}

void TestTracing::pendingRequestsAreReadBeforeThePlayerLetsGo_data() {
    QTest::addColumn<bool>("replaceExecutor");
    QTest::newRow("player destroyed") << false;
    QTest::newRow("executor replaced") << true;
}

// A request played onto a stream that flushes late stays linked in the stream's pending chain
// until its reply is read: the player reads it before it lets go of the request, destroyed or
// given another executor.
void TestTracing::pendingRequestsAreReadBeforeThePlayerLetsGo() {
    QFETCH(bool, replaceExecutor);
    const QString fileName = itsFolder.filePath(QStringLiteral("pending.xml"));
    QVERIFY(!recordClosedExchange(fileName).isEmpty());
    BoardRig late;
    late.stream.setPolicy(ComStream::theLateFlushPolicy);
    {
        TracePlayer player(nullptr, &late.stream);
        QVERIFY(player.open(fileName));
        QVERIFY(player.playNext());
        QVERIFY(late.stream.isResultPending());
        if (replaceExecutor) {
            BoardRig other;
            player.setComExecutor(&other.stream);
            QVERIFY(!late.stream.isResultPending());
            player.setComExecutor(nullptr);
        }
    }
    QVERIFY(!late.stream.isResultPending());
    late.stream.flush();
    QVERIFY(late.stream.close());
    QCOMPARE(wireOf(late.requests), QStringLiteral("97r/1:809081"));
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

void TestTracing::sinksRefuseTextBeyondTheLimitsUnread_data() {
    QTest::addColumn<QString>("telegram");
    QTest::addColumn<bool>("accepted");
    const QString request =
        i2cTelegram("FireAndForget", "Request", "I2cWriteRegister", "21", "<Data>5a</Data>");
    QString attributes;
    for (int i = 0; i < 40000; ++i)
        attributes += QStringLiteral(" a%1=\"\"").arg(i);
    // A reader of a QString reads the lone surrogate as '?', which closes the instruction: the
    // text says it runs on to the "?>" in z's value.
    const QString hidden = "<?x " + QString(QChar(0xDC00)) + ">";
    const auto telegramWith = [&request](const QString& attributes) {
        return QString(request).replace("<Telegram ", "<Telegram z=\"?>\"" + attributes + " ");
    };
    QTest::newRow("plain") << request << true;
    QTest::newRow("40000 extra attributes") << telegramWith(attributes) << false;
    QTest::newRow("40000 extra attributes behind a lone surrogate")
        << hidden + telegramWith(attributes) << false;
}

// Every sink refuses text that the command registry refuses, before a reader sees it: a
// reader's work on it grows faster than its size.
void TestTracing::sinksRefuseTextBeyondTheLimitsUnread() {
    QFETCH(QString, telegram);
    QFETCH(bool, accepted);
    unsigned int pattern = 0;
    QCOMPARE(tryGetTracePattern(telegram, &pattern), accepted);
    TraceViewer viewer;
    QSignalSpy traced(&viewer, &TraceViewer::telegramTraced);
    QCOMPARE(viewer.matchFilter(telegram), accepted);
    QVERIFY(viewer.trace(telegram));
    QCOMPARE(traced.count(), accepted ? 1 : 0);

    TraceRecorder recorder;
    QVERIFY(recorder.open(itsFolder.filePath(QStringLiteral("sinks.xml"))));
    QCOMPARE(recorder.trace(telegram), accepted);
    QString scratch;
    QXmlStreamWriter writer(&scratch);
    QCOMPARE(TraceRecorder::writeTelegram(telegram, &writer), accepted);
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
        i2cTelegram("RequestAndResponse", "Response", "I2cReadRegister", "90",
                    "<Data OutProperty=\"True\">8e</Data>"));
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
    // Loading again replaces the program.
    for (int load = 0; load < 2; ++load) {
        QVERIFY(loaded.loadProgram(fileName));
        QCOMPARE(loaded.getAllCommands().count(), 2);
    }
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

void TestTracing::failedSaveLeavesTheFileAlone_data() {
    QTest::addColumn<QString>("comment"); // of the second of three commands
    // The writer escapes each '>', past the limit of the text.
    QTest::newRow("300,000 '>'") << QString(300000, '>');
    QTest::newRow("over the limit of a text") << QString(ZyrCore::Tools::maxTextLength + 1, 'c');
}

// A program that cannot be saved whole is not saved at all: the file keeps what it held.
void TestTracing::failedSaveLeavesTheFileAlone() {
    QFETCH(QString, comment);
    const QString plain = writeWith(QString());
    const QString fileName = itsFolder.filePath(QStringLiteral("saved.xml"));
    TraceRecorder recorder;
    QVERIFY(recorder.writeTelegrams(fileName, {plain}));
    const QString before = textOf(fileName);

    TraceProgrammer programmer;
    programmer.setRecorder(&recorder);
    QList<CommandInfo*> commands;
    for (int i = 0; i < 3; ++i)
        commands.append(CommandManager::instance()->convertToCommandInfo(plain));
    commands.at(1)->comment = comment;
    QVERIFY(programmer.insertCommands(0, commands));
    QVERIFY(!programmer.saveProgram(fileName));
    QCOMPARE(textOf(fileName), before);
}

void TestTracing::hostileTraceFilesEndCleanly_data() {
    QTest::addColumn<QString>("text"); // the file's bytes, one a character; null: a device
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("playsToEnd");
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("telegrams");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("program"); // commands loaded as a program; -1: not loaded

    const QString header = QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE LogData><LogData>");
    const auto write = [](const QString& telegramType) {
        return i2cTelegram("FireAndForget", telegramType, "I2cWriteRegister", "21",
                           "<Data>5a</Data>");
    };
    const QString request = write("Request");
    const QString end = QStringLiteral("</LogData>");
    // Refused whole: nothing played, read or loaded.
    auto refused = [](const char* name, const QString& text, bool opens = true) {
        QTest::newRow(name) << text << opens << false << 0 << 0 << false << -1;
    };
    // text, opens, plays to its end, frames sent, telegrams read, read as a whole file, program
    QTest::newRow("torn telegram")
        << header + request + request.left(90) << true << false << 1 << 1 << false << -1;
    QTest::newRow("garbage after")
        << header + request + "<<x" << true << false << 1 << 1 << false << -1;
    QTest::newRow("unknown telegram type")
        << header + write("Sideways") + end << true << false << 0 << 1 << true << 1;
    QTest::newRow("no object") << header +
                                      "<Telegram Pid=\"61\" CallingType=\"FireAndForget\" "
                                      "TelegramType=\"Request\" Trace=\"1\"/>" +
                                      end
                               << true << false << 0 << 1 << true << -1;
    refused("version 1.1", "<?xml version=\"1.1\"?><LogData/>", false);
    refused("empty", "", false);
    // A device that never ends is refused at once, not read until memory runs out.
    refused("device", QString(), false);
    QString entities = QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE LogData [<!ENTITY a0 "
                                      "\"aaaaaaaaaa\">");
    for (int i = 1; i < 10; ++i)
        entities += QStringLiteral("<!ENTITY a%1 \"&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;&a%2;\">")
                        .arg(i)
                        .arg(i - 1);
    refused("entity expansion", entities + "]><LogData>" + write("&a9;") + end);
    // Nesting before the first telegram, which the readers themselves pass over.
    refused("deep nesting", header + QString("<a>").repeated(100000) +
                                QString("</a>").repeated(100000) + request + end);
    // Refused before an XML reader sees them: its cost grows with the square of the count.
    QString attributes;
    for (int i = 0; i < 200000; ++i)
        attributes += QStringLiteral(" a%1=\"\"").arg(i);
    // UTF-16 is not read: a value could hold characters whose bytes look like '"' and '>'.
    const QString declaration = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>");
    const QString wide = declaration.arg("UTF-16") + "<LogData><Telegram a=\"" + QChar(0x2200) +
                         QChar(0x3E00) + "\"" + attributes + "/></LogData>";
    refused("UTF-16",
            QString::fromLatin1(
                QByteArray("\xff\xfe") +
                QByteArray(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2)),
            false);
    // In UTF-7 markup needs no '<': the outline reads the characters the reader decodes.
    const QString hidden = "<LogData>+ADw-Telegram" + attributes + "/+AD4-</LogData>";
    refused("UTF-7", declaration.arg("UTF-7") + hidden);
    refused("UTF-7 nesting", declaration.arg("UTF-7") + "<LogData>" +
                                 QString("+ADw-a+AD4-").repeated(40) +
                                 QString("+ADw-/a+AD4-").repeated(40) + request + end);
    refused("UTF-7 internal subset", declaration.arg("UTF-7") +
                                         "+ADwAIQ-DOCTYPE LogData +AFsAPAAh-ENTITY e 'x'+AD4AXQA+-"
                                         "<LogData>" +
                                         request + end);
    // Declarations the reader reads otherwise than they look: it resolves references and takes
    // the last of repeated attributes. Refused before the reader gets anything.
    refused("encoding by reference", "<?xml version=\"1.0\" encoding=\"UTF&#45;7\"?>" + hidden,
            false);
    refused("repeated encoding",
            "<?xml version=\"1.0\" encoding=\"UTF-8\" encoding=\"UTF-7\"?>" + hidden, false);
    refused("unknown encoding", declaration.arg("X-NONE") + "<LogData>" + request + end, false);
    const QString byteOrderMark = QString::fromLatin1("\xEF\xBB\xBF");
    refused("BOM before another encoding",
            byteOrderMark + declaration.arg("ISO-8859-5") + "<LogData>" + request + end, false);
    // A UTF-8 decoder drops U+FEFF at the start of each piece it is given while it has seen only
    // ASCII: where the reader's 8 KiB reads begin, "-", U+FEFF, "->" ends a comment for it, and
    // the telegram after it would be markup the outline took for the comment's text.
    for (const int markAt : {8192, 8191}) {
        QString opening = declaration.arg("UTF-8") + "\n<LogData>\n<!-- ";
        opening += QString(markAt - 1 - opening.size(), 'x') + '-';
        refused(markAt == 8192 ? "U+FEFF where a read begins" : "U+FEFF split by a read",
                opening + byteOrderMark + "->" + request + "<!-- -->" + end);
    }
    QTest::newRow("BOM before UTF-8")
        << byteOrderMark + declaration.arg("UTF-8") + "<LogData>" + request + end << true << true
        << 1 << 1 << true << 1;
    QTest::newRow("Latin-1") << declaration.arg("ISO-8859-1") + "<LogData>" + request + "<!-- " +
                                    QChar(0xE9) + " --></LogData>"
                             << true << true << 1 << 1 << true << 1;
    QString crowded = request;
    crowded.replace("<Telegram", "<Telegram" + attributes);
    QTest::newRow("crowded telegram")
        << header + request + crowded + end << true << false << 1 << 1 << false << -1;
    QString seventeen = request;
    seventeen.replace("<Data>", "<Data" + attributes.left(attributes.indexOf(" a17")) + ">");
    QTest::newRow("17 attributes on a value")
        << header + request + seventeen + end << true << false << 1 << 1 << false << -1;
    QString declared = request;
    declared.replace("<SlaveAddress>", "<SlaveAddress a=\"1\" b=\"2\" c=\"3\">");
    const QString defaults = QString(attributes).replace("=\"\"", " CDATA \"x\"");
    refused("declared defaults", "<?xml version=\"1.0\"?><!DOCTYPE LogData [<!ATTLIST Telegram" +
                                     defaults + ">]><LogData>" + request + end);
    refused("element after a telegram", header + request + "<Other/>" + end);
    refused("text after a telegram", header + request + "text" + end);
    // A telegram's text is read alone: a name bound around it would go into every copy.
    refused("namespace bound on the root",
            "<?xml version=\"1.0\"?><LogData xmlns:p=\"urn:p\">" +
                QString(request).replace("<Data>", "<p:Data>").replace("</Data>", "</p:Data>") +
                end);
    refused("default namespace on the root",
            "<?xml version=\"1.0\"?><LogData xmlns=\"urn:d\">" + request + end);
    refused("namespace bound on a wrapper",
            header + "<w xmlns:p=\"urn:p\">" + request + "</w>" + end);
    QString nested;
    for (int i = 0; i < 20; ++i)
        nested = QStringLiteral("<x%1>%2</x%1>").arg(i).arg(nested);
    refused("nested extra element",
            header + QString(request).replace("</Data>", "</Data>" + nested) + end);
    refused("telegram wrapped deep",
            header + QString("<x>").repeated(20) + request + QString("</x>").repeated(20) + end);
    refused("telegram in a telegram",
            header + QString(request).replace("</Data>", "</Data><Telegram/>") + end);
    // A surrogate that is not half of a pair is no XML character, and a telegram's copy, read as
    // a QString, would hold '?' in its place: reading, playing and loading stop before it.
    const QString commented = i2cTelegram("FireAndForget", "Request", "I2cWriteRegister", "21",
                                          "<Data>5a</Data><!-- %1 -->");
    const auto surrogates = [&](const char* name, const char* encoding, const QString& encoded,
                                bool whole) {
        const int count = whole ? 3 : 1;
        QTest::newRow(name) << declaration.arg(encoding) + "<LogData>" + request +
                                   commented.arg(encoded) + request + end
                            << true << whole << count << count << whole << (whole ? 3 : -1);
    };
    surrogates("pair of surrogates in UTF-7", "UTF-7", "+2ADcAA-", true);
    surrogates("lone surrogate in UTF-7", "UTF-7", "+3AA-", false);
    surrogates("lone surrogate in CESU-8", "CESU-8", QString::fromLatin1("\xED\xB0\x80"), false);
    QTest::newRow("comment between telegrams")
        << header + request + "<!-- c -->" + request + end << true << true << 2 << 2 << true << 2;
    QString element = QStringLiteral("<x");
    for (int i = 0; i < 450; ++i)
        element += QStringLiteral(" a%1=''").arg(i);
    refused("markup in an entity", "<?xml version=\"1.0\"?><!DOCTYPE LogData [<!ENTITY e \"" +
                                       element + "/>\">]><LogData>" +
                                       QString("&e;").repeated(2000) + request + end);
    // One long entity referenced many times: the reader limits each expansion, not their sum.
    refused("long entity referenced often",
            "<?xml version=\"1.0\"?><!DOCTYPE LogData [<!ENTITY e \"" + QString(4000, 'x') +
                "\">]><LogData>" +
                QString(request).replace(">5a<", ">" + QString("&e;").repeated(30000) + "<") + end);
    refused("entity declaration outside a document type",
            header + "<!ENTITY e 'x'>" + request + end);
    QTest::newRow("three attributes")
        << header + declared + end << true << true << 1 << 1 << true << 1;
    // Within every limit as the file holds them, though a writer's escaping would take them past.
    const auto played = [&](const char* name, const QString& telegram) {
        QTest::newRow(name) << header + request + telegram + request + end << true << true << 3 << 3
                            << true << 3;
    };
    played("comment of 300,000 '>'", writeWith("<Comment>" + QString(300000, '>') + "</Comment>"));
    played("single-quoted value of 20,000 '\"'",
           QString(request).replace("<Data>", "<Data a='" + QString(20000, '"') + "'>"));
    played("namespace name of 200 '\"'",
           QString(request).replace("<Telegram", "<Telegram xmlns:p='" + QString(200, '"') + "'"));
    // Comments and processing instructions between values are no part of any value.
    played("comments between values", QString(request).replace("><", "><!--c--><?pi?><"));
    played("comments between the values of a read",
           QString(i2cTelegram("RequestAndResponse", "Request", "I2cReadRegister", "90", ""))
               .replace("><", "><!--c--><"));
}

void TestTracing::hostileTraceFilesEndCleanly() {
    QFETCH(QString, text);
    QFETCH(bool, opens);

    QString fileName = QStringLiteral("/dev/zero");
    if (!text.isNull())
        writeText(fileName = itsFolder.filePath(QStringLiteral("hostile.xml")), text);
    BoardRig rig;
    TracePlayer player(nullptr, &rig.stream);
    QCOMPARE(player.open(fileName), opens);
    if (text.isNull())
        QVERIFY(!player.isOpen());
    if (opens)
        QTEST(player.playToEnd(), "playsToEnd");
    QTEST(rig.requests.count(), "frames");
    QList<QString> read;
    QTEST(player.readTelegrams(fileName, &read), "readable");
    QTEST(read.count(), "telegrams");
    QFETCH(int, program);
    TraceProgrammer programmer;
    programmer.setPlayer(&player);
    QCOMPARE(programmer.loadProgram(fileName), program >= 0);
    QCOMPARE(programmer.getAllCommands().count(), qMax(program, 0));
}

void TestTracing::tracesInOtherEncodingsRead_data() {
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QString>("text");
    QTest::newRow("KOI8-R") << "KOI8-R"
                            << QStringLiteral(
                                   "\u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439");
    QTest::newRow("IBM866") << "IBM866" << QStringLiteral("\u0416\u0443\u0440\u043d\u0430\u043b");
    QTest::newRow("TIS-620") << "TIS-620" << QStringLiteral("\u0e2a\u0e27\u0e31\u0e2a\u0e14\u0e35");
    QTest::newRow("EUC-JP") << "EUC-JP" << QStringLiteral("\u8a18\u9332\u30c7\u30fc\u30bf");
    QTest::newRow("GB2312") << "GB2312" << QStringLiteral("\u8bb0\u5f55\u6570\u636e");
}

// Encodings whose markup is ASCII read as UTF-8 does, their text decoded.
void TestTracing::tracesInOtherEncodingsRead() {
    QFETCH(QString, encoding);
    QFETCH(QString, text);
    QTextCodec* const codec = QTextCodec::codecForName(encoding.toLatin1());
    QVERIFY(codec != nullptr);
    const QString request = i2cTelegram("FireAndForget", "Request", "I2cWriteRegister", "21",
                                        "<Data>5a</Data><!-- %1 -->");
    const QString fileName = itsFolder.filePath(QStringLiteral("encoded.xml"));
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(codec->fromUnicode(
        QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\n<!DOCTYPE LogData>\n<LogData>")
            .arg(encoding) +
        request.arg(text) + request.arg(text) + QStringLiteral("</LogData>")));
    file.close();

    TracePlayer player;
    QList<QString> read;
    QVERIFY(player.readTelegrams(fileName, &read));
    QCOMPARE(read.count(), 2);
    QVERIFY2(read.at(1).contains(text), qPrintable(read.at(1)));
    BoardRig rig;
    player.setComExecutor(&rig.stream);
    QVERIFY(player.open(fileName));
    QVERIFY(player.playToEnd());
    QCOMPARE(rig.requests.count(), 2);
    TraceProgrammer programmer;
    programmer.setPlayer(&player);
    player.close();
    QVERIFY(programmer.loadProgram(fileName));
    QCOMPARE(programmer.getAllCommands().count(), 2);
}

// A telegram nested as deep as telegrams may be is read; one level deeper is refused by reading,
// playing and loading alike.
void TestTracing::nestingIsReadUpToItsLimit() {
    const QString fileName = itsFolder.filePath(QStringLiteral("deep.xml"));
    for (const int levels : {maxTelegramDepth, maxTelegramDepth + 1}) {
        QString telegram;
        for (int level = levels - 1; level > 0; --level)
            telegram = QStringLiteral("<x%1>%2</x%1>").arg(level).arg(telegram);
        writeText(fileName, QStringLiteral("<?xml version=\"1.0\"?><!DOCTYPE LogData><LogData>"
                                           "<Telegram Trace=\"1\">%1</Telegram></LogData>")
                                .arg(telegram));
        const bool withinLimit = levels <= maxTelegramDepth;
        const QByteArray row = "telegram of " + QByteArray::number(levels) + " levels";
        TracePlayer player;
        QList<QString> read;
        QVERIFY2(player.readTelegrams(fileName, &read) == withinLimit, row);
        QVERIFY2(read.count() == (withinLimit ? 1 : 0), row);
        QVERIFY2(player.visitTelegrams(fileName,
                                       [](QXmlStreamReader* reader) {
                                           reader->skipCurrentElement();
                                           return true;
                                       }) == withinLimit,
                 row);
    }
}

void TestTracing::telegramsAreCopiedAlone_data() {
    QTest::addColumn<QString>("root"); // the root's start tag
    QTest::addColumn<QString>("body");
    QTest::addColumn<QStringList>("copies");

    QTest::newRow("prefix redeclared inside")
        << "<LogData>"
        << "<Telegram xmlns:p=\"urn:a\"><p:A xmlns:p=\"urn:b\"><p:B/></p:A><p:C/></Telegram>"
        << QStringList{"\n<Telegram xmlns:p=\"urn:a\">\n    <p:A xmlns:p=\"urn:b\">\n"
                       "        <p:B/>\n    </p:A>\n    <p:C/>\n</Telegram>"};
    // As the recorder writes a telegram with a default namespace of its own.
    QTest::newRow("declared on the telegram")
        << "<LogData>"
        << "<n1:Telegram xmlns:n1=\"urn:x\" Trace=\"1\"><n1:V/></n1:Telegram>"
        << QStringList{"\n<n1:Telegram xmlns:n1=\"urn:x\" Trace=\"1\">\n    <n1:V/>\n"
                       "</n1:Telegram>"};
    QTest::newRow("comments after telegrams")
        << "<LogData>"
        << "<Telegram Trace=\"1\"><!--in--><A/></Telegram><!--after--><?pi after?>"
           "<Telegram Trace=\"2\"/><!--last-->"
        << QStringList{"\n<Telegram Trace=\"1\">\n    <!--in-->\n    <A/>\n</Telegram>",
                       "\n<Telegram Trace=\"2\"/>"};
}

// Each telegram's text reads alone and holds nothing from around it.
void TestTracing::telegramsAreCopiedAlone() {
    QFETCH(QString, root);
    QFETCH(QString, body);
    const QString fileName = itsFolder.filePath(QStringLiteral("alone.xml"));
    writeText(fileName, "<?xml version=\"1.0\"?><!DOCTYPE LogData>" + root + body + "</LogData>");
    TracePlayer player;
    QList<QString> read;
    QVERIFY(player.readTelegrams(fileName, &read));
    QTEST(QStringList(read), "copies");
}

void TestTracing::copiesReadAsTheFileDoes_data() {
    QTest::addColumn<QString>("telegram");
    const auto withComment = [](const QString& comment) {
        return writeWith("<Comment>" + comment + "</Comment>");
    };
    QTest::newRow("carriage return in the comment") << withComment("a&#13;b\r\nc&#xD;");
    QTest::newRow("carriage return in a type")
        << QString(writeWith(QString())).replace("<Data>", "<Data type='a&#13;b\r\nc'>");
    QTest::newRow("]]> in the comment") << withComment("a]]&gt;b]]]&gt;c]&#93;>d");
    QTest::newRow("references and quotes")
        << QString(withComment("&lt;&amp;&gt;&quot;&apos;\"'&#60;"))
               .replace("<Data>", "<Data type='\"&apos;\"&#9;&#10;'>");
    QTest::newRow("CDATA, and characters beyond the first plane")
        << withComment(QStringLiteral("<![CDATA[<&>]]>&#x1F600;\u00e9 \U0001F600"));
}

// Every character a reader takes from a telegram in the file it takes from the telegram's copy:
// reading, playing and loading see the same telegram.
void TestTracing::copiesReadAsTheFileDoes() {
    QFETCH(QString, telegram);
    const QString fileName = itsFolder.filePath(QStringLiteral("characters.xml"));
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("<?xml version=\"1.0\"?><!DOCTYPE LogData><LogData>" + telegram.toUtf8() +
               "</LogData>");
    file.close();
    const auto records = recordsOf({telegram});
    QVERIFY(records.at(0) != nullptr);

    TracePlayer player;
    QList<QString> read;
    QVERIFY(player.readTelegrams(fileName, &read));
    QCOMPARE(recordsDiffer(records, pointersOf(recordsOf(read))), QString());
    std::unique_ptr<IComObject> played(TracePlayer::tryCreateObject(read.value(0)));
    QVERIFY(played != nullptr);
    QCOMPARE(played->getComment(), records.at(0)->comment);
    TraceProgrammer programmer;
    programmer.setPlayer(&player);
    QVERIFY(programmer.loadProgram(fileName));
    QCOMPARE(recordsDiffer(records, programmer.getAllCommands()), QString());
}

// A trace is played in pieces: the process does not grow with the file. Needs 210 MB in the
// temporary folder and a writable /proc/self/clear_refs (Linux).
void TestTracing::playingAHugeTraceKeepsMemoryFlat() {
    const QString fileName = itsFolder.filePath(QStringLiteral("huge.xml"));
    const QByteArray telegram =
        "\n    <Telegram Pid=\"61\" CallingType=\"FireAndForget\" TelegramType=\"Request\" "
        "Trace=\"08000000\">\n        <I2cWriteRegister>\n            <SlaveAddress>40"
        "</SlaveAddress>\n            <AddressSize>1</AddressSize>\n            <Address>21"
        "</Address>\n            <DataSize>1</DataSize>\n            <Data>5a</Data>\n"
        "        </I2cWriteRegister>\n    </Telegram>\n    <!-- " +
        QByteArray(8000, 'c') + " -->";
    QByteArray block;
    while (block.size() < (1 << 20))
        block += telegram;
    const int blocks = 210;
    {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE LogData>\n"
                           "<LogData>") > 0);
        for (int i = 0; i < blocks; ++i)
            QVERIFY(file.write(block) == block.size());
        QVERIFY(file.write("\n</LogData>\n") > 0);
    }
    const auto removeFile = qScopeGuard([&fileName] { QFile::remove(fileName); });
    QVERIFY(QFileInfo(fileName).size() > 200 * 1024 * 1024);

    TraceCost cost;
    const QString failure = measureTraceCost(QStringLiteral("play"), fileName, &cost);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QVERIFY(cost.succeeded);
    QVERIFY2(cost.growthKilobytes < 64 * 1024,
             QByteArray("grew by " + QByteArray::number(cost.growthKilobytes) + " kB"));
}

void TestTracing::hostileTracesCostWhatTheirSizeDoes_data() {
    QTest::addColumn<QByteArray>("head"); // up to the repeated part
    QTest::addColumn<QByteArray>("unit"); // repeated
    QTest::addColumn<QByteArray>("tail");
    QTest::addColumn<int>("units");     // in the smaller file; the larger holds twice as many
    QTest::addColumn<bool>("readable"); // read, played and loaded whole
    QTest::addColumn<int>("telegramCharacters"); // of each unit's telegrams

    const QByteArray header = "<?xml version=\"1.0\"?><!DOCTYPE LogData>";
    const QByteArray request =
        i2cTelegram("FireAndForget", "Request", "I2cWriteRegister", "21", "<Data>5a</Data>")
            .toLatin1();
    const QByteArray telegramStart = request.left(request.indexOf('>') + 1);
    const QByteArray name = "urn:" + QByteArray(ZyrCore::Tools::maxNamespaceNameLength - 4, 'n');
    const auto row = [&](const char* rowName, const QByteArray& head, const QByteArray& unit,
                         const QByteArray& tail, int units, bool readable, int characters) {
        QTest::newRow(rowName) << head << unit << tail << units << readable << characters;
    };
    row("prefix from the root on many elements",
        header + "<LogData xmlns:p=\"" + name + "\">" + telegramStart, "<p:v/>",
        "</Telegram></LogData>", 50000, false, 0);
    row("default namespace from the root", header + "<LogData xmlns=\"" + name + "\">", request,
        "</LogData>", 3000, false, 0);
    const QByteArray prefixed = QByteArray(request)
                                    .replace("<Telegram", "<p:Telegram xmlns:p=\"" + name + "\"")
                                    .replace("</Telegram>", "</p:Telegram>");
    row("prefix declared on each telegram", header + "<LogData>", prefixed, "</LogData>", 1000,
        true, prefixed.size());
    row("comments after telegrams", header + "<LogData>",
        request + "<!-- " + QByteArray(8000, 'c') + " -->", "</LogData>", 250, true,
        request.size());
    // A name longer than trace files may hold: whatever reading gives, it ends.
    row("very long name from the root",
        header + "<LogData xmlns:p=\"urn:" + QByteArray(120000, 'n') + "\">" + telegramStart,
        "<p:v/>", "</Telegram></LogData>", 10000, false, 0);

    // About 4 MB, and 8: telegrams within every limit as the file holds them, which a writer's
    // escaping, or layout, would make many times longer.
    const auto mebibytes = [&](const char* rowName, const QByteArray& telegram) {
        row(rowName, header + "<LogData>", telegram, "</LogData>", (4 << 20) / telegram.size() + 1,
            true, telegram.size());
    };
    mebibytes("comment of 300,000 '>'",
              writeWith("<Comment>" + QString(300000, '>') + "</Comment>").toLatin1());
    mebibytes("single-quoted value of 20,000 '\"'",
              QByteArray(request).replace("<Data>", "<Data a='" + QByteArray(20000, '"') + "'>"));
    mebibytes("namespace name of 200 '\"'",
              QByteArray(request).replace("<Telegram",
                                          "<Telegram xmlns:p='" + QByteArray(200, '"') + "'"));
    mebibytes("comments between values", QByteArray(request).replace("><", "><!--c--><?pi?><"));
    // Laid out, each empty element would stand on a line of its own indented by its depth.
    QByteArray empty;
    for (int i = 0; i < 50; ++i)
        empty += "<e" + QByteArray::number(i) + "/>";
    mebibytes("small elements deep", readNested(ZyrCore::Tools::maxTelegramDepth - 1)
                                         .toLatin1()
                                         .replace("</x15>", empty + "</x15>"));
}

// Reading, playing and loading agree, and take time and memory in proportion to the file: at
// most 64 MB and a small multiple of the file besides what reading returns, which is at most
// twice the telegrams read, whatever one telegram or what stands between telegrams holds.
// Measured at two sizes of the same file.
void TestTracing::hostileTracesCostWhatTheirSizeDoes() {
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, unit);
    QFETCH(QByteArray, tail);
    QFETCH(int, units);
    QFETCH(bool, readable);
    QFETCH(int, telegramCharacters);
    const QString fileName = itsFolder.filePath(QStringLiteral("costly.xml"));
    const auto removeFile = qScopeGuard([&fileName] { QFile::remove(fileName); });
    for (const QString& mode :
         {QStringLiteral("read"), QStringLiteral("play"), QStringLiteral("load")}) {
        TraceCost costs[2];
        qint64 sizes[2] = {};
        for (int i = 0; i < 2; ++i) {
            {
                QFile file(fileName);
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                QVERIFY(file.write(head + unit.repeated(units << i) + tail) > 0);
            }
            sizes[i] = QFileInfo(fileName).size();
            const QString failure = measureTraceCost(mode, fileName, &costs[i]);
            QVERIFY2(failure.isEmpty(), qPrintable(failure));
            QVERIFY2(costs[i].succeeded == readable, qPrintable(mode));
            // A telegram's copy adds at most as much layout as the telegram holds.
            const qint64 held = qint64(2 * telegramCharacters) * (units << i) + 1024;
            QVERIFY2(costs[i].heldCharacters <= held,
                     qPrintable(QStringLiteral("%1 characters read").arg(costs[i].heldCharacters)));
            // What reading returns is held as UTF-16, in strings with room to grow; a loaded
            // program holds each value element of the file in the two maps of its record.
            const qint64 records = mode == QLatin1String("load") ? 16 * sizes[i] : 0;
            const qint64 allowed =
                64 * 1024 + (4 * sizes[i] + 4 * costs[i].heldCharacters + records) / 1024;
            QVERIFY2(costs[i].growthKilobytes <= allowed,
                     qPrintable(QStringLiteral("%1 of %2 bytes grew by %3 kB")
                                    .arg(mode)
                                    .arg(sizes[i])
                                    .arg(costs[i].growthKilobytes)));
        }
        const QString figures = QStringLiteral("%1: %2 bytes in %3 ms, +%4 kB; %5 bytes in %6 ms, "
                                               "+%7 kB")
                                    .arg(mode)
                                    .arg(sizes[0])
                                    .arg(costs[0].milliseconds)
                                    .arg(costs[0].growthKilobytes)
                                    .arg(sizes[1])
                                    .arg(costs[1].milliseconds)
                                    .arg(costs[1].growthKilobytes);
        qInfo("%s", qPrintable(figures));
        // Twice the file takes about twice as long and as much memory, not four times.
        QVERIFY2(costs[1].milliseconds <= 3 * costs[0].milliseconds + 1000, qPrintable(figures));
        QVERIFY2(costs[1].growthKilobytes <= 3 * costs[0].growthKilobytes + 16 * 1024,
                 qPrintable(figures));
    }
}

ZYR_TEST_CLASS(TestTracing)
#include "tst_tracing.moc"
