#include "cputime.h"
#include "testregistry.h"

#include "Communication/Control/firmwarenumbercomobject.h"
#include "Communication/Control/resetfwcomobject.h"
#include "Communication/I2c/i2cblockreadregistercomobject.h"
#include "Communication/I2c/i2cconfigcomobject.h"
#include "Communication/I2c/i2cmodifyregistercomobject.h"
#include "Communication/I2c/i2creadregistercomobject.h"
#include "Communication/I2c/i2ctxrxcomobject.h"
#include "Communication/I2c/i2cwriteregistercomobject.h"
#include "Communication/commandinfo.h"
#include "Communication/commandmanager.h"
#include "Communication/commandset.h"
#include "Communication/ixmlserializable.h"
#include "Communication/telegramcontent.h"
#include "Tools/markupoutline.h"
#include "Tools/xmlmapper.h"
#include "raspi/streamcontrolcommandset.h"
#include "raspi/streamregistercommandset.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <memory>
#include <type_traits>

using namespace ZyrCore::Communication;
using ZyrCore::Tools::XmlMapper;
using ZyrCore::Tools::XmlMappingEntry;
using ComObjectPointer = std::shared_ptr<IComObject>;
Q_DECLARE_METATYPE(ComObjectPointer)

// A set owns its prototypes: copying one would delete them twice.
static_assert(!std::is_copy_constructible_v<CommandSet> && !std::is_copy_assignable_v<CommandSet>);

namespace {

constexpr unsigned int kI2cTrace = 0x8000000;
constexpr unsigned int kControlTrace = 0x40000000;

// One line, so that golden texts stay short; the form is that of the traced text.
QString telegramOf(IComObject* object, unsigned int telegramType) {
    QString text;
    QXmlStreamWriter writer(&text);
    if (!dynamic_cast<IXmlSerializable*>(object)->xmlSerialize(&writer, telegramType))
        return QStringLiteral("(refused)");
    return text;
}

// What the stream would send for the object: header fields and request payload.
QString wireOf(IComObject* object) {
    auto* serializable = dynamic_cast<ISerializable*>(object);
    QByteArray payload(1088, '\0');
    const bool written = serializable->serialize(reinterpret_cast<unsigned char*>(payload.data()),
                                                 static_cast<unsigned int>(payload.size()));
    payload.truncate(static_cast<int>(serializable->serializeSize()));
    return QStringLiteral("%1 %2/%3 %4 %5 %6 [%7] %8")
        .arg(serializable->protocol())
        .arg(serializable->serializeSize())
        .arg(serializable->deserializeSize())
        .arg(object->callingType())
        .arg(object->tracePattern(), 0, 16)
        .arg(written)
        .arg(object->getComment(), QString::fromLatin1(payload.toHex()));
}

QString
wrap(const QString& object,
     const QString& attributes = QStringLiteral("Pid=\"61\" CallingType=\"RequestAndResponse\" "
                                                "TelegramType=\"Response\" Trace=\"08000000\"")) {
    return QStringLiteral("<Telegram %1>%2</Telegram>").arg(attributes, object);
}

QString block(const QString& max, const QString& size, const QString& data) {
    return wrap(QStringLiteral("<I2cBlockRegister><SlaveAddress>40</SlaveAddress><AddressSize>1"
                               "</AddressSize><Address>20</Address><MaxBlockSize>%1</MaxBlockSize>"
                               "<BlockSize>%2</BlockSize><Data>%3</Data></I2cBlockRegister>")
                    .arg(max, size, data));
}

QString transfer(const QString& tx, const QString& rx, const QString& max,
                 const QString& txData = QString()) {
    return wrap(QStringLiteral("<I2cTxRx><SlaveAddress>40</SlaveAddress><TxDataSize>%1"
                               "</TxDataSize><RxDataSize>%2</RxDataSize><MaxBlockSize>%3"
                               "</MaxBlockSize>%4</I2cTxRx>")
                    .arg(tx, rx, max, txData));
}

// Accepts a record whose "Value" property is "ok".
class Validator : public QObject {
    Q_OBJECT
public slots:
    bool onValidate(CommandInfo* info) {
        return info->getPropertyValue(QStringLiteral("Value")) == QLatin1String("ok");
    }
};

// Where a refused telegram goes wrong: in its header's attributes, from the command's own
// element on, or in naming no command at all.
enum class Fault { InHeader, InCommand, NoCommand };

} // namespace

Q_DECLARE_METATYPE(Fault)

class TestTelegrams : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTripsKeepEveryByte_data();
    void roundTripsKeepEveryByte();
    void hostileTelegramsAreRefused_data();
    void hostileTelegramsAreRefused();
    void configModuleIsCutToItsByte();
    void updateTelegramSetsEveryTextOrNone();
    void recordValuesReachTheObject_data();
    void recordValuesReachTheObject();
    void conversionFollowsTheRegistry();
    void mapperReadsChildren_data();
    void mapperReadsChildren();
    void setsAndRecordsKeepTheirOwnCopies();
    void textEntryPointsHoldTheMarkupLimits_data();
    void textEntryPointsHoldTheMarkupLimits();
    void crowdedTelegramsAreRefusedQuickly_data();
    void crowdedTelegramsAreRefusedQuickly();
    void textsReadOtherwiseThanWrittenAreRefused_data();
    void textsReadOtherwiseThanWrittenAreRefused();
    void updateKeepsPrefixedAttributes();
    void updateWritesWhatTheRegistryReads_data();
    void updateWritesWhatTheRegistryReads();

private:
    CommandManager itsManager; // knows the stream's commands
};

void TestTelegrams::initTestCase() {
    ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
    ZyrCom::Commands::StreamControlCommandSet controlCommands;
    itsManager.registerCommandSet(&registerCommands);
    itsManager.registerCommandSet(&controlCommands);
}

void TestTelegrams::roundTripsKeepEveryByte_data() {
    QTest::addColumn<ComObjectPointer>("object");
    QTest::addColumn<QString>("request"); // null: at full range, without a golden text
    QTest::addColumn<QString>("response");

    // The response telegram holds the body with its out values, the request without them.
    auto add = [](const char* name, IComObject* object, const QString& head, const QString& body,
                  const QString& out = QString(), const QString& requestOut = QString()) {
        QTest::newRow(name) << ComObjectPointer(object)
                            << wrap(QString(body).replace("%1", requestOut), head.arg("Request"))
                            << wrap(QString(body).replace("%1", out), head.arg("Response"));
    };
    const QString fireI2c = QStringLiteral(
        "Pid=\"%2\" CallingType=\"FireAndForget\" TelegramType=\"%1\" Trace=\"08000000\"");
    const QString askI2c = QStringLiteral(
        "Pid=\"61\" CallingType=\"RequestAndResponse\" TelegramType=\"%1\" Trace=\"08000000\"");
    const QString control =
        QStringLiteral("Pid=\"%2\" CallingType=\"%3\" TelegramType=\"%1\" Trace=\"40000000\"");
    const QString values = QStringLiteral(
        "<SlaveAddress>40</SlaveAddress><AddressSize>2</AddressSize><Address>102</Address>"
        "<DataSize>2</DataSize><Data>304</Data>");

    auto* config = new I2c::I2cConfigComObject(2, 2, 1000, kI2cTrace);
    config->setComment(QStringLiteral("bus <1> & 2"));
    add("I2cConfig", config, fireI2c.arg("%1", "62"),
        QStringLiteral("<Comment>bus &lt;1&gt; &amp; 2</Comment><I2cConfig><Module>2</Module>"
                       "<AddressSize>1</AddressSize><ClockMode>2</ClockMode><CustomClockSpeed>3e8"
                       "</CustomClockSpeed></I2cConfig>"));
    add("I2cWriteRegister", new I2c::I2cWriteRegisterComObject(0x40, 0x102, 0x304, kI2cTrace, 2, 2),
        fireI2c.arg("%1", "61"), "<I2cWriteRegister>" + values + "</I2cWriteRegister>");
    add("I2cModifyRegister",
        new I2c::I2cModifyRegisterComObject(0x40, 0x102, 0x304, 0x506, kI2cTrace, 2, 2),
        fireI2c.arg("%1", "6c"),
        "<I2cModifyRegister>" + values + "<Mask>506</Mask></I2cModifyRegister>");

    unsigned char bytes[] = {0x0A, 0x0B, 0xFC};
    add("I2cBlockRegister",
        new I2c::I2cBlockReadRegisterComObject(0x40, 0x20, 3, bytes, 1, 1, 1088, kI2cTrace), askI2c,
        QStringLiteral("<I2cBlockRegister><SlaveAddress>40</SlaveAddress><AddressSize>1"
                       "</AddressSize><Address>20</Address><MaxBlockSize>440</MaxBlockSize>"
                       "<BlockSize>3</BlockSize>%1</I2cBlockRegister>"),
        QStringLiteral("<Data OutProperty=\"True\">0a0bfc</Data>"));

    unsigned char toWrite[] = {0x01, 0xF2};
    auto* txRx = new I2c::I2cTxRxComObject(0x40, 2, toWrite, 4, 1088, kI2cTrace, 97);
    unsigned char received[] = {0xDE, 0xAD, 0xBE, 0xEF};
    txRx->deserialize(received, 4);
    add("I2cTxRx", txRx, askI2c,
        QStringLiteral("<I2cTxRx><SlaveAddress>40</SlaveAddress><TxDataSize>2</TxDataSize>"
                       "<RxDataSize>4</RxDataSize><MaxBlockSize>440</MaxBlockSize>%1<TxData>01f2"
                       "</TxData></I2cTxRx>"),
        QStringLiteral("<Data OutProperty=\"True\">deadbeef</Data>"));

    add("Reset", new Control::ResetFwComObject(0x1F, kControlTrace),
        control.arg("%1", "65", "FireAndForget"),
        QStringLiteral("<Reset><Objects>1f</Objects></Reset>"));

    auto* firmware = new Control::FirmwareNumberComObject(kControlTrace);
    unsigned char number[] = {1, 0x12, 0xA3};
    firmware->deserialize(number, 3);
    add("FirmwareNumber", firmware, control.arg("%1", "67", "RequestAndResponse"),
        QStringLiteral("%1"),
        QStringLiteral("<FirmwareNumber><Major OutProperty=\"True\">1</Major><Minor "
                       "OutProperty=\"True\">12</Minor><Marker OutProperty=\"True\">a3"
                       "</Marker></FirmwareNumber>"),
        QStringLiteral("<FirmwareNumber/>"));

    // Every value at the top of its range, and bytes that are neither all zero nor all ones.
    constexpr unsigned int all = 0xFFFFFFFF;
    unsigned char mixed[] = {0xFF, 0x00, 0x80};
    unsigned char ones[] = {0xFF, 0xFF, 0xFF, 0xFF};
    unsigned char reply[] = {0x7F, 0xFE};
    auto* read = new I2c::I2cReadRegisterComObject(0xFF, all, all, 4, 4);
    read->deserialize(ones, 4);
    auto* transfer = new I2c::I2cTxRxComObject(0xFF, 3, mixed, 2, 1088, all, 97);
    transfer->deserialize(reply, 2);
    auto* version = new Control::FirmwareNumberComObject(all);
    version->deserialize(ones, 3);
    const QMap<QString, ComObjectPointer> fullRange = {
        {"I2cConfig", ComObjectPointer(new I2c::I2cConfigComObject(2, 0xFF, all, all))},
        {"I2cReadRegister", ComObjectPointer(read)},
        {"I2cWriteRegister",
         ComObjectPointer(new I2c::I2cWriteRegisterComObject(0xFF, all, all, all, 4, 4))},
        {"I2cModifyRegister",
         ComObjectPointer(new I2c::I2cModifyRegisterComObject(0xFF, all, all, all, all, 4, 4))},
        {"I2cBlockRegister", ComObjectPointer(new I2c::I2cBlockReadRegisterComObject(
                                 0xFF, all, 3, mixed, 3, 4, 1088, all))},
        {"I2cTxRx", ComObjectPointer(transfer)},
        {"Reset", ComObjectPointer(new Control::ResetFwComObject(0xFF, all))},
        {"FirmwareNumber", ComObjectPointer(version)}};

    ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
    ZyrCom::Commands::StreamControlCommandSet controlCommands;
    for (const QString& name : registerCommands.commandNames() + controlCommands.commandNames())
        QTest::addRow("%s at full range", qPrintable(name))
            << fullRange.value(name) << QString() << QString();
}

// Golden texts, and round trips: telegram -> object -> telegram, directly and through the record
// a program holds, gives the same text and the same bytes on the wire, for every registered
// command; so does the indented form a program is saved in.
void TestTelegrams::roundTripsKeepEveryByte() {
    QFETCH(ComObjectPointer, object);
    QFETCH(QString, request);
    QFETCH(QString, response);
    QVERIFY2(object != nullptr, "a registered command without a full-range object");
    // Without golden texts the object's own telegrams are the reference.
    if (request.isNull()) {
        request = telegramOf(object.get(), 0);
        response = telegramOf(object.get(), 1);
    } else {
        QCOMPARE(telegramOf(object.get(), 0), request);
        QCOMPARE(telegramOf(object.get(), 1), response);
    }
    QCOMPARE(telegramOf(object.get(), 7), response);

    QCOMPARE(itsManager.getTelegramType(&request), 0);
    QCOMPARE(itsManager.getTelegramType(&response), 1);
    for (const QString& telegram : {request, response, itsManager.convertToXml(object.get())}) {
        const uint telegramType = telegram == response ? 1 : 0;
        std::unique_ptr<IComObject> read(itsManager.convertToComObject(telegram));
        QVERIFY(read != nullptr);
        QCOMPARE(telegramOf(read.get(), telegramType), telegramType ? response : request);
        QCOMPARE(wireOf(read.get()), wireOf(object.get()));
        // Comments and processing instructions between elements are no content.
        const QString commented = QString(telegram).replace("><", "><!--c--><?pi x?><");
        std::unique_ptr<IComObject> readCommented(itsManager.convertToComObject(commented));
        QVERIFY2(readCommented != nullptr, qPrintable(commented));
        QCOMPARE(wireOf(readCommented.get()), wireOf(object.get()));

        std::unique_ptr<CommandInfo> record(itsManager.convertToCommandInfo(telegram));
        QVERIFY(record != nullptr);
        std::unique_ptr<IComObject> rebuilt(itsManager.convertToComObject(record.get()));
        QVERIFY(rebuilt != nullptr);
        QCOMPARE(telegramOf(rebuilt.get(), 0), request);
        QCOMPARE(wireOf(rebuilt.get()), wireOf(object.get()));
    }
    std::unique_ptr<CommandInfo> info(itsManager.convertToCommandInfo(response));
    QCOMPARE(info->outPropertyNames().size(), response.count(QLatin1String("OutProperty")));

    // An object needs no Pid, and keeps an unknown calling type as 255; a record needs all four.
    const QString odd = QString(response).replace(
        QRegularExpression(QStringLiteral(" Pid=\"\\w+\" CallingType=\"\\w+\"")),
        QStringLiteral(" CallingType=\"Other\""));
    std::unique_ptr<IComObject> answered(itsManager.convertToComObject(odd));
    QVERIFY(answered != nullptr && itsManager.convertToCommandInfo(odd) == nullptr);
    QCOMPARE(int(answered->callingType()), 255);
}

void TestTelegrams::hostileTelegramsAreRefused_data() {
    QTest::addColumn<QString>("telegram");
    QTest::addColumn<bool>("recordRefused");
    QTest::addColumn<Fault>("fault");

    const QString config = QStringLiteral("<I2cConfig><Module>2</Module><AddressSize>%1"
                                          "</AddressSize><ClockMode>2</ClockMode></I2cConfig>");
    const QString good = block("440", "2", "0a0b");
    QTest::newRow("truncated") << good.left(good.size() - 30) << true << Fault::InCommand;
    QTest::newRow("no object element")
        << wrap(QStringLiteral("<Comment>x</Comment>")) << true << Fault::NoCommand;
    QTest::newRow("no trace") << wrap(config.arg(1), QStringLiteral("CallingType=\"x\"")) << true
                              << Fault::InHeader;
    QTest::newRow("trace not hex")
        << wrap(config.arg(1),
                QStringLiteral("Pid=\"62\" CallingType=\"x\" TelegramType=\"Request\" Trace=\"g\""))
        << false << Fault::InHeader;
    QTest::newRow("address size 2") << wrap(config.arg(2)) << false << Fault::InCommand;
    QTest::newRow("bad hex") << wrap(config.arg(QLatin1String("1x"))) << false << Fault::InCommand;
    QTest::newRow("bad hex pair") << block("440", "2", "0a0g") << false << Fault::InCommand;
    QTest::newRow("data shorter than block")
        << block("440", "3", "0a0b") << false << Fault::InCommand;
    QTest::newRow("maximum beyond the buffer")
        << block("441", "2", "0a0b") << false << Fault::InCommand;
    QTest::newRow("huge maximum") << block("7fffffff", "2", "0a0b") << false << Fault::InCommand;
    QTest::newRow("block beyond the maximum")
        << block("1", "2", "0a0b") << false << Fault::InCommand;
    QTest::newRow("huge tx size") << transfer("7ffffffe", "1", "440") << false << Fault::InCommand;
    QTest::newRow("rx beyond the maximum")
        << transfer("0", "441", "440") << false << Fault::InCommand;
    QTest::newRow("request beyond the maximum")
        << transfer("3", "1", "4") << false << Fault::InCommand;
    QTest::newRow("bytes to write missing")
        << transfer("2", "1", "440") << false << Fault::InCommand;
    QTest::newRow("bytes to write short")
        << transfer("2", "1", "440", QStringLiteral("<TxData>01</TxData>")) << false
        << Fault::InCommand;
    QTest::newRow("bytes to write beyond their count")
        << transfer("0", "1", "440", QStringLiteral("<TxData>01</TxData>")) << false
        << Fault::InCommand;
    QTest::newRow("value beyond 32 bits")
        << wrap(QStringLiteral("<I2cWriteRegister><AddressSize>4</AddressSize><DataSize>4"
                               "</DataSize><Data>100000000</Data></I2cWriteRegister>"))
        << false << Fault::InCommand;
    QTest::newRow("unsupported width")
        << wrap(QStringLiteral("<I2cWriteRegister><AddressSize>3</AddressSize><Data>1</Data>"
                               "</I2cWriteRegister>"))
        << false << Fault::InCommand;
    QTest::newRow("nested element")
        << wrap(config.arg(QLatin1String("<a>1</a>"))) << false << Fault::InCommand;
    QTest::newRow("repeated element")
        << wrap(config.arg(1).replace(QLatin1String("<Module>2"),
                                      QLatin1String("<Module>1"
                                                    "</Module><Module>2")))
        << true << Fault::InCommand;
    QTest::newRow("repeated object")
        << wrap(config.arg(1) + config.arg(1)) << true << Fault::InCommand;
    QTest::newRow("unknown command")
        << wrap(QStringLiteral("<Histogram/>")) << false << Fault::NoCommand;
    QTest::newRow("entity expansion")
        << QStringLiteral("<!DOCTYPE t [<!ENTITY a \"aaaaaaaaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;"
                          "&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;\">]>") +
               wrap(config.arg(QLatin1String("&c;&c;&c;&c;&c;&c;&c;&c;")))
        << true << Fault::InCommand;
    // Longer than any text the registry reads: refused before a record is made.
    QTest::newRow("10 MB of data") << block("440", "2", QString(10 * 1024 * 1024, QLatin1Char('a')))
                                   << true << Fault::InCommand;
    QTest::newRow("10 MB of tags")
        << wrap(QString(10 * 1024 * 1024 / 3, QLatin1Char('a')).replace("a", "<a>")) << true
        << Fault::NoCommand;
    QString manyValues;
    for (int i = 0; i <= TelegramContent::maxValueCount; ++i)
        manyValues += QStringLiteral("<v%1/>").arg(i);
    QTest::newRow("too many values")
        << wrap("<Reset>" + manyValues + "</Reset>") << true << Fault::InCommand;
}

void TestTelegrams::hostileTelegramsAreRefused() {
    QFETCH(QString, telegram);

    const qint64 cpuBefore = cpuTimeMs();
    std::unique_ptr<IComObject> object(itsManager.convertToComObject(telegram));
    std::unique_ptr<CommandInfo> info(itsManager.convertToCommandInfo(telegram));
    QVERIFY(object == nullptr);
    QTEST(info == nullptr, "recordRefused");
    // A second or two of CPU time under the sanitizers for the 10 MB rows, however busy the
    // machine; only a reading that grows faster than the text comes near this.
    const qint64 cpuMs = cpuTimeMs() - cpuBefore;
    QVERIFY2(cpuMs < 20000, qPrintable(QString::number(cpuMs)));

    // Read directly into an object in use, a refused telegram leaves every field as it was, the
    // buffers included.
    unsigned char bytes[] = {1, 2};
    I2c::I2cBlockReadRegisterComObject blockRead(0x40, 0x20, 2, bytes, 1, 1, 1088, kI2cTrace);
    I2c::I2cTxRxComObject txRx(0x40, 2, bytes, 1, 8, kI2cTrace, 97);
    I2c::I2cConfigComObject config(1, 1, 0, kI2cTrace);
    I2c::I2cWriteRegisterComObject writeRegister(0x40, 0x20, 0x1234, kI2cTrace, 1, 2);
    Control::ResetFwComObject reset(1, kControlTrace);
    const QMap<QString, IComObject*> objects = {{"I2cBlockRegister", &blockRead},
                                                {"I2cTxRx", &txRx},
                                                {"I2cConfig", &config},
                                                {"I2cWriteRegister", &writeRegister},
                                                {"Reset", &reset}};
    QXmlStreamReader reader(telegram);
    reader.readNextStartElement();
    reader.readNextStartElement();
    const QString name = reader.name().toString();
    IComObject* target = objects.value(name);
    QFETCH(Fault, fault);
    if (fault == Fault::NoCommand) {
        std::unique_ptr<CommandInfo> known(itsManager.createCommand(name));
        QVERIFY2(target == nullptr && known == nullptr, qPrintable(name + " is a command"));
        return;
    }
    QVERIFY2(target != nullptr, qPrintable("no object here to read " + name + " into"));
    // The header is the command manager's to read; the object reads from its element on.
    const QString before = telegramOf(target, 1) + wireOf(target);
    const bool taken = dynamic_cast<IXmlSerializable*>(target)->xmlDeserialize(&reader);
    if (fault == Fault::InHeader) {
        QVERIFY2(taken, "the object refused a sound command under a faulty header");
    } else {
        QVERIFY2(!taken, "the object took the refused command");
        QCOMPARE(telegramOf(target, 1) + wireOf(target), before);
    }
}

// The module is cut to its byte and then checked, as the constructor takes it: a module the
// board does not know is taken as 1.
void TestTelegrams::configModuleIsCutToItsByte() {
    I2c::I2cConfigComObject config(2, 2, 0, kI2cTrace);
    const std::pair<const char*, int> modules[] = {{"5", 1}, {"102", 2}, {"101", 1}, {"2", 2}};
    for (const auto& [text, module] : modules) {
        QXmlStreamReader reader(
            wrap(QStringLiteral("<I2cConfig><Module>%1</Module></I2cConfig>").arg(text)));
        reader.readNextStartElement();
        reader.readNextStartElement();
        QVERIFY(config.xmlDeserialize(&reader));
        QCOMPARE(int(config.module()), module);
        const auto byte = static_cast<unsigned char>(QString(text).toUInt(nullptr, 16));
        QCOMPARE(config.module(), I2c::I2cConfigComObject(byte, 1, 0, 0).module());
    }
}

void TestTelegrams::updateTelegramSetsEveryTextOrNone() {
    CommandInfo info(QStringLiteral("Reset"));
    for (const char* name : {"Pid", "CallingType", "TelegramType", "Trace"})
        info.addProperty(QLatin1String(name), QStringLiteral("1"), QStringLiteral("hex"), false);
    const QString original = wrap(QStringLiteral("<Reset><Objects/><Extra>1</Extra></Reset>"));

    QString telegram = original;
    QVERIFY(!itsManager.updateTelegram(&telegram, &info));
    QCOMPARE(telegram, original);

    info.addProperty(QStringLiteral("Objects"), QStringLiteral("7"), QStringLiteral("hex"), false);
    info.addProperty(QStringLiteral("Extra"), QStringLiteral("2"), QStringLiteral("hex"), false);
    QVERIFY(itsManager.updateTelegram(&telegram, &info));
    QCOMPARE(telegram, QStringLiteral("\n<Telegram Pid=\"1\" CallingType=\"1\" TelegramType=\"1\" "
                                      "Trace=\"1\">\n <Reset>\n  <Objects>7</Objects>\n  <Extra>2"
                                      "</Extra>\n </Reset>\n</Telegram>\n"));
}

void TestTelegrams::recordValuesReachTheObject_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value"); // a null value removes the property
    QTest::addColumn<bool>("converts");

    QTest::newRow("as created") << "Data" << QStringLiteral("5a") << true;
    QTest::newRow("markup in an attribute") << "TelegramType" << QStringLiteral("<\"&'>") << true;
    QTest::newRow("unknown calling type") << "CallingType" << QStringLiteral("a&b") << true;
    QTest::newRow("line break in an attribute") << "Trace" << QStringLiteral("\n8000000") << true;
    // No XML text holds it: the reader would drop it from the value.
    QTest::newRow("control character") << "Data" << QStringLiteral("5\u0001a") << false;
    QTest::newRow("trace not hex") << "Trace" << QStringLiteral("xyz") << false;
    QTest::newRow("missing value") << "Address" << QString() << false;
}

// Records become objects through their command's request telegram, edited with their values. A
// record with a comment is edited from its own telegram every time; one without reuses its
// command's prepared telegram. Both must give the same object.
void TestTelegrams::recordValuesReachTheObject() {
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(bool, converts);

    std::unique_ptr<CommandInfo> record(
        itsManager.createCommand(QStringLiteral("I2cWriteRegister")));
    if (value.isNull())
        record->removeProperty(property);
    else
        QVERIFY(record->trySetPropertyValue(property, value, false));

    std::unique_ptr<IComObject> prepared(itsManager.convertToComObject(record.get()));
    QCOMPARE(prepared != nullptr, converts);
    record->comment = QStringLiteral("c");
    std::unique_ptr<IComObject> edited(itsManager.convertToComObject(record.get()));
    if (edited != nullptr)
        edited->setComment(QString());
    auto describe = [](IComObject* object) {
        return object != nullptr ? telegramOf(object, 0) + wireOf(object) : QString();
    };
    QCOMPARE(describe(prepared.get()), describe(edited.get()));
}

void TestTelegrams::conversionFollowsTheRegistry() {
    CommandManager manager;
    I2c::I2cReadRegisterComObject prototype(0x40, 0x90, 0x8000000, 1, 1);
    prototype.setComment(QStringLiteral("first"));
    manager.registerCommand(QStringLiteral("I2cReadRegister"), &prototype);
    std::unique_ptr<CommandInfo> record(manager.createCommand(QStringLiteral("I2cReadRegister")));
    record->comment.clear();
    for (const QString& comment : {QStringLiteral("first"), QStringLiteral("second")}) {
        prototype.setComment(comment);
        manager.registerCommand(QStringLiteral("I2cReadRegister"), &prototype);
        std::unique_ptr<IComObject> object(manager.convertToComObject(record.get()));
        QVERIFY(object != nullptr);
        QCOMPARE(object->getComment(), comment);
    }
    manager.unregisterCommands();
    QVERIFY(std::unique_ptr<IComObject>(manager.convertToComObject(record.get())) == nullptr);
}

void TestTelegrams::mapperReadsChildren_data() {
    QTest::addColumn<QString>("xml");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<uint>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("strict"); // what tryParseStrictly makes of the same element

    const QByteArray untouched("\x55\x55\x55\x55", 4);
    QTest::newRow("required read, optional absent")
        << "<p><A>1F</A></p>" << true << 0x1Fu << untouched << true;
    QTest::newRow("required missing")
        << "<p><B>0a</B></p>" << false << 0u << QByteArray("\x0a\x55\x55\x55", 4) << false;
    QTest::newRow("three bytes") << "<p><A>1</A><B>0A0B0C</B></p>" << true << 1u
                                 << QByteArray("\x0a\x0b\x0c\x55", 4) << true;
    QTest::newRow("five bytes are too many")
        << "<p><A>1</A><B>0A0B0C0D0E</B></p>" << true << 1u << untouched << false;
    QTest::newRow("bad pair") << "<p><A>1</A><B>0A0G</B></p>" << true << 1u
                              << QByteArray("\x0a\x00\x55\x55", 4) << false;
    QTest::newRow("unsigned 32 bits")
        << "<p><A>FFFFFFFF</A></p>" << true << 0xFFFFFFFFu << untouched << true;
    QTest::newRow("beyond 32 bits")
        << "<p><A>100000000</A></p>" << false << 0u << untouched << false;
    QTest::newRow("negative") << "<p><A>-1</A></p>" << false << 0u << untouched << false;
    QTest::newRow("unmapped text ends the walk")
        << "<p><C>x</C><A>1</A></p>" << false << 0u << untouched << false;
    QTest::newRow("wrapper is walked into")
        << "<p><W>\n <A>2</A>\n</W></p>" << true << 2u << untouched << true;
    QTest::newRow("nested element") << "<p><A>1<X/></A></p>" << false << 0u << untouched << false;
    QTest::newRow("repeated child")
        << "<p><A>1</A><A>2</A></p>" << true << 2u << untouched << false;
}

void TestTelegrams::mapperReadsChildren() {
    QFETCH(QString, xml);

    // The walk over the children, then the strict walk of one telegram element, each on a fresh
    // mapper over fresh targets.
    for (bool strict : {false, true}) {
        unsigned int a = 0;
        QByteArray buffer(4, '\x55');
        auto* data = reinterpret_cast<unsigned char*>(buffer.data());
        XmlMapper mapper;
        QVERIFY(mapper.addEntry(XmlMappingEntry(QStringLiteral("A"), &a, 16, false)));
        QVERIFY(mapper.addEntry(XmlMappingEntry(QStringLiteral("B"), &data, 4, 16, true)));
        QVERIFY(!mapper.addEntry(XmlMappingEntry(QStringLiteral("A"), &a, 10, true)));
        QXmlStreamReader reader(xml);
        if (strict) {
            reader.readNextStartElement();
            QTEST(mapper.tryParseStrictly(&reader), "strict");
        } else {
            QTEST(mapper.tryParse(&reader), "parsed");
            QTEST(a, "value");
            QTEST(buffer, "bytes");
        }
    }

    // An entry whose buffer is missing fails instead of writing through it.
    unsigned char* missing = nullptr;
    XmlMappingEntry entry(QStringLiteral("B"), &missing, 4, 16, false);
    QXmlStreamReader bytesReader(QStringLiteral("<B>0a</B>"));
    bytesReader.readNextStartElement();
    QVERIFY(!entry.tryParse(&bytesReader));
}

void TestTelegrams::setsAndRecordsKeepTheirOwnCopies() {
    Control::FirmwareNumberComObject prototype(0x40000000);
    CommandSet inner;
    inner.addCommand(QStringLiteral("FirmwareNumber"), &prototype);
    CommandSet outer;
    outer.addCommand(QStringLiteral("B"), &prototype);
    outer.addSet(&inner);
    inner.clear();
    prototype.setTracePattern(1);

    QCOMPARE(outer.commandNames(), QList<QString>({"B", "FirmwareNumber"}));
    std::unique_ptr<IComObject> created(outer.createObject(QStringLiteral("FirmwareNumber")));
    QVERIFY(created != nullptr);
    QCOMPARE(created->tracePattern(), 0x40000000u);
    QVERIFY(outer.createObject(QStringLiteral("Reset")) == nullptr);
    QVERIFY(inner.createObject(QStringLiteral("FirmwareNumber")) == nullptr);

    // A record validates its values; its copy is compared by value and changed on its own.
    CommandInfo info(QStringLiteral("Reset"));
    info.addProperty(QStringLiteral("Value"), QStringLiteral("ok"), QStringLiteral("hex"), true);
    QVERIFY(!info.trySetPropertyValue(QStringLiteral("Value"), QStringLiteral("x"), true));
    QCOMPARE(info.getPropertyValue(QStringLiteral("Value")), QStringLiteral("ok"));

    Validator validator;
    info.validator.set(&validator, SLOT(onValidate(CommandInfo*)));
    QVERIFY(!info.trySetPropertyValue(QStringLiteral("Value"), QStringLiteral("x"), true));
    QVERIFY(info.trySetPropertyValue(QStringLiteral("Value"), QStringLiteral("ok"), true));
    QVERIFY(!info.trySetPropertyValue(QStringLiteral("Other"), QStringLiteral("ok"), false));

    CommandInfo copy(info);
    QVERIFY(copy.equals(&info) && info.equals(&copy));
    QVERIFY(copy.trySetPropertyValue(QStringLiteral("Value"), QStringLiteral("x"), false));
    QCOMPARE(info.getPropertyValue(QStringLiteral("Value")), QStringLiteral("ok"));
    QVERIFY(!copy.equals(&info));
    copy.removeProperty(QStringLiteral("Value"));
    QVERIFY(copy.outPropertyNames().isEmpty());
    copy.addProperty(QStringLiteral("Other"), QStringLiteral("ok"), QStringLiteral("hex"), true);
    QVERIFY(!copy.equals(&info));
}

namespace {

const QString kWriteAttributes = QStringLiteral(
    "Pid=\"61\" CallingType=\"FireAndForget\" TelegramType=\"Request\" Trace=\"08000000\"");
const QString kWriteBody = QStringLiteral(
    "<I2cWriteRegister><SlaveAddress>40</SlaveAddress><AddressSize>1</AddressSize><Address>21"
    "</Address><DataSize>1</DataSize><Data>5a</Data>%1</I2cWriteRegister>");

// What each text entry point makes of a telegram; the record updated is the plain request's.
QString readEveryWay(CommandManager& manager, QString telegram) {
    std::unique_ptr<CommandInfo> record(manager.convertToCommandInfo(telegram));
    std::unique_ptr<IComObject> object(manager.convertToComObject(telegram));
    std::unique_ptr<CommandInfo> plain(
        manager.convertToCommandInfo(wrap(kWriteBody.arg(QString()), kWriteAttributes)));
    const int type = manager.getTelegramType(&telegram);
    const bool updated = manager.updateTelegram(&telegram, plain.get());
    return QStringLiteral("type %1 record %2 object %3 update %4")
        .arg(type)
        .arg(record != nullptr)
        .arg(object != nullptr)
        .arg(updated);
}

QString attributesNamed(const QString& name, int count) {
    QString attributes;
    for (int i = 0; i < count; ++i)
        attributes += QStringLiteral(" %1%2=\"\"").arg(name).arg(i);
    return attributes;
}

// A character outside the Basic Multilingual Plane, two UTF-16 code units.
const QString kOutsideTheBmp = QStringLiteral("\U00010000");

// A reader of a QString reads a surrogate that is not half of a pair as '?', which closes the
// processing instruction; the text says the instruction runs on to the "?>" in z's value.
QString behindALoneSurrogate(const QString& telegram) {
    return "<?x " + QString(QChar(0xDC00)) + ">" +
           QString(telegram).replace("<Telegram ", "<Telegram z=\"?>\" ");
}

} // namespace

void TestTelegrams::textEntryPointsHoldTheMarkupLimits_data() {
    QTest::addColumn<QString>("pattern"); // %1: a construct of the length in question
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("counted"); // what counts beside the fill
    QTest::addColumn<QChar>("fill");
    QTest::addColumn<QString>("atLimit");
    using namespace ZyrCore::Tools;
    const QString whole = QStringLiteral("type 0 record 1 object 1 update 1");
    const QString inObject = wrap(kWriteBody, kWriteAttributes);
    const QString onTelegram = wrap(kWriteBody.arg(QString()), kWriteAttributes + " %1");
    const auto row = [](const char* name, const QString& pattern, int limit, int counted, char fill,
                        const QString& atLimit) {
        QTest::newRow(name) << pattern << limit << counted << QChar(fill) << atLimit;
    };
    row("attribute name", onTelegram.arg("%1=\"1\""), maxNameLength, 0, 'n', whole);
    // Lengths count code units: one name character more than half the limit is one too many.
    row("attribute name outside the BMP", onTelegram.arg("n%1=\"1\""), maxNameLength, 1, 'b',
        whole);
    row("attribute value", onTelegram.arg("Note=\"%1\""), maxAttributeValueLength, 0, 'v', whole);
    row("namespace name", onTelegram.arg("xmlns:p=\"%1\""), maxNamespaceNameLength, 0, 'u', whole);
    row("comment", inObject.arg("<!--%1-->"), maxCommentLength, 0, 'c', whole);
    row("blanks between elements", inObject.arg("%1"), maxTextLength, 0, ' ', whole);
    row("blanks in a tag", onTelegram.arg("%1"), maxTagSpaceLength, 1, ' ', whole);
    // Here a fill character stands for one attribute (a) or one level of elements (x).
    row("attributes", onTelegram.arg("%1"), maxElementAttributes, 4, 'a', whole);
    row("depth", inObject.arg("%1"), maxTelegramDepth, 2, 'x', "type 0 record 1 object 0 update 0");
    // The deepest element is an empty one (e).
    row("depth of an empty element", inObject.arg("%1"), maxTelegramDepth, 2, 'e',
        "type 0 record 1 object 0 update 0");
}

// Each text entry point reads a construct at its limit and refuses one over it unread.
void TestTelegrams::textEntryPointsHoldTheMarkupLimits() {
    QFETCH(QString, pattern);
    QFETCH(int, limit);
    QFETCH(int, counted);
    QFETCH(QChar, fill);
    QFETCH(QString, atLimit);
    for (const int length : {limit, limit + 1}) {
        const int fills = length - counted;
        QString construct(fills, fill);
        if (fill == 'b') {
            construct = kOutsideTheBmp.repeated(fills / 2) + QString(fills % 2, 'n');
        } else if (fill == 'a') {
            construct = attributesNamed(QStringLiteral("a"), fills);
        } else if (fill == 'x' || fill == 'e') {
            construct = fill == 'e' ? QStringLiteral("<x%1/>").arg(fills) : QString();
            for (int level = fill == 'e' ? fills - 1 : fills; level > 0; --level)
                construct = QStringLiteral("<x%1>%2</x%1>").arg(level).arg(construct);
        }
        const QString refused = QStringLiteral("type 255 record 0 object 0 update 0");
        QCOMPARE(QString::number(length) + ": " + readEveryWay(itsManager, pattern.arg(construct)),
                 QString::number(length) + ": " + (length > limit ? refused : atLimit));
    }
}

void TestTelegrams::crowdedTelegramsAreRefusedQuickly_data() {
    QTest::addColumn<QString>("telegram");
    const QString body = kWriteBody.arg(QString());
    for (const int count : {40000, 80000}) {
        const QByteArray size = QByteArray::number(count);
        QTest::newRow(size + " extra attributes")
            << wrap(body, kWriteAttributes + attributesNamed(QStringLiteral("a"), count));
        QString prefixed;
        for (int i = 0; i < count / 2; ++i)
            prefixed += QStringLiteral(" xmlns:p%1=\"u%1\" p%1:a=\"\"").arg(i);
        QTest::newRow(size + " prefixed attributes with their declarations")
            << wrap(body, kWriteAttributes + prefixed);
        QString used;
        for (int i = 0; i < count * 3 / 8; ++i)
            used += QStringLiteral("<p%1:x/>").arg(i);
        QString declarations = attributesNamed(QStringLiteral("xmlns:p"), count * 3 / 8);
        QTest::newRow(size + " declarations used by as many elements")
            << wrap(kWriteBody.arg(used), kWriteAttributes + declarations);
        QTest::newRow(size + " extra attributes behind a lone surrogate") << behindALoneSurrogate(
            wrap(body, kWriteAttributes + attributesNamed(QStringLiteral("a"), count)));
    }
}

// Telegrams crowded with attributes or declarations are refused before a reader sees them; a
// reader's work on them grows with the square of their size.
void TestTelegrams::crowdedTelegramsAreRefusedQuickly() {
    QFETCH(QString, telegram);
    const qint64 cpuBefore = cpuTimeMs();
    QCOMPARE(readEveryWay(itsManager, telegram),
             QStringLiteral("type 255 record 0 object 0 update 0"));
    // CPU time, which a busy machine does not stretch.
    const qint64 cpuMs = cpuTimeMs() - cpuBefore;
    QVERIFY2(cpuMs < 1000, qPrintable(QString::number(cpuMs)));
}

void TestTelegrams::textsReadOtherwiseThanWrittenAreRefused_data() {
    QTest::addColumn<QString>("telegram");
    QTest::addColumn<QString>("expected");
    const QString whole = QStringLiteral("type 0 record 1 object 1 update 1");
    const QString refused = QStringLiteral("type 255 record 0 object 0 update 0");
    const QString withComment = wrap(kWriteBody.arg("<!-- %1 -->"), kWriteAttributes);
    const QChar high(0xD800);
    const QChar low(0xDC00);
    QTest::newRow("pair of surrogates") << withComment.arg(QString(high) + low) << whole;
    QTest::newRow("lone high surrogate") << withComment.arg(QString(high) + 'x') << refused;
    QTest::newRow("lone low surrogate") << withComment.arg(QString('x') + low) << refused;
    QTest::newRow("two high surrogates") << withComment.arg(QString(high) + high + low) << refused;
    QTest::newRow("high surrogate at the end") << withComment.arg(QString()) + high << refused;
    QTest::newRow("lone surrogate closing an instruction")
        << behindALoneSurrogate(wrap(kWriteBody.arg(QString()), kWriteAttributes)) << refused;
}

// A surrogate that is not half of a pair is no XML character, and a reader of a QString reads it
// otherwise than the text says: every text entry point refuses it.
void TestTelegrams::textsReadOtherwiseThanWrittenAreRefused() {
    QFETCH(QString, telegram);
    QTEST(readEveryWay(itsManager, telegram), "expected");
}

// A telegram whose attributes share a local name under different prefixes keeps their names and
// declarations when updated, and the result reads again.
void TestTelegrams::updateKeepsPrefixedAttributes() {
    QString telegram = wrap(
        kWriteBody.arg(QString()),
        kWriteAttributes + " xmlns:p0=\"u0\" p0:a=\"0\" xmlns:p1=\"u1\" p1:a=\"1\" p1:Pid=\"x\"");
    std::unique_ptr<CommandInfo> record(itsManager.convertToCommandInfo(telegram));
    QVERIFY(record != nullptr);
    QVERIFY(record->trySetPropertyValue(QStringLiteral("Pid"), "62", false));
    QVERIFY(itsManager.updateTelegram(&telegram, record.get()));
    QXmlStreamReader reader(telegram);
    reader.readNextStartElement();
    QStringList attributes;
    for (const QXmlStreamAttribute& attribute : reader.attributes())
        attributes << attribute.namespaceUri() + "|" + attribute.name() + "=" + attribute.value();
    QCOMPARE(attributes.join(' '), QStringLiteral("|Pid=62 |CallingType=FireAndForget "
                                                  "|TelegramType=Request |Trace=08000000 "
                                                  "u0|a=0 u1|a=1 u1|Pid=x"));
    std::unique_ptr<CommandInfo> again(itsManager.convertToCommandInfo(telegram));
    QVERIFY2(again != nullptr, qPrintable(telegram));
    QCOMPARE(again->getPropertyValue(QStringLiteral("Pid")), QStringLiteral("62"));
}

namespace {

// Each start element's qualified name with its attribute and declaration count, or the error.
QString startElementsOf(const QString& telegram) {
    QXmlStreamReader reader(telegram);
    QStringList elements;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement)
            elements << QStringLiteral("%1(%2)")
                            .arg(reader.qualifiedName())
                            .arg(reader.attributes().size() +
                                 reader.namespaceDeclarations().size());
    }
    return reader.hasError() ? reader.errorString() : elements.join(' ');
}

} // namespace

void TestTelegrams::updateWritesWhatTheRegistryReads_data() {
    QTest::addColumn<QString>("telegram");
    QTest::addColumn<QString>("property"); // set in the record read from the telegram
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("updated"); // else refused: the rewrite would not read again
    using ZyrCore::Tools::maxAttributeValueLength;
    using ZyrCore::Tools::maxTextLength;
    const QString body = kWriteBody.arg(QString());
    const QString crowded = kWriteAttributes + attributesNamed(QStringLiteral("a"), 11);
    QTest::newRow("default namespace on a full telegram")
        << wrap(body, crowded + " xmlns=\"u\"") << "Pid"
        << "62" << true;
    QTest::newRow("prefix of the telegram's own")
        << QStringLiteral("<p:Telegram xmlns:p=\"u\" %1>%2</p:Telegram>").arg(crowded, body)
        << "Pid"
        << "62" << true;
    QTest::newRow("prefix of a value's own")
        << wrap(kWriteBody.arg(QStringLiteral("<q:Note xmlns:q=\"v\"%1/>")
                                   .arg(attributesNamed(QStringLiteral("a"), 15))),
                kWriteAttributes)
        << "Pid"
        << "62" << true;
    // The writer escapes every quote and '>' it writes.
    QTest::newRow("value of quotes")
        << wrap(body, kWriteAttributes + " Note='" + QString(maxAttributeValueLength, '"') + "'")
        << "Pid"
        << "62" << false;
    QTest::newRow("comment of '>'")
        << wrap("<Comment>" + QString(maxTextLength / 2, '>') + "</Comment>" + body,
                kWriteAttributes)
        << "Pid"
        << "62" << false;
    // Characters no XML text holds.
    QTest::newRow("control character in an attribute's value")
        << wrap(body, kWriteAttributes) << "Pid" << QStringLiteral("6\u00012") << false;
    QTest::newRow("lone surrogate in a value's text")
        << wrap(body, kWriteAttributes) << "Data" << QString(QChar(0xD800)) << false;
    QTest::newRow("noncharacter in a value's text")
        << wrap(body, kWriteAttributes) << "Data" << QString(QChar(0xFFFE)) << false;
    QTest::newRow("pair of surrogates in a value's text")
        << wrap(body, kWriteAttributes) << "Data" << QStringLiteral("\U0001F600") << true;
}

// An updated telegram keeps its names and declarations and reads again through the registry; a
// rewrite that would not is refused.
void TestTelegrams::updateWritesWhatTheRegistryReads() {
    QFETCH(QString, telegram);
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(bool, updated);
    std::unique_ptr<CommandInfo> record(itsManager.convertToCommandInfo(telegram));
    QVERIFY(record != nullptr);
    QVERIFY(record->trySetPropertyValue(property, value, false));
    QString edited = telegram;
    QCOMPARE(itsManager.updateTelegram(&edited, record.get()), updated);
    if (!updated)
        return;
    QCOMPARE(startElementsOf(edited), startElementsOf(telegram));
    std::unique_ptr<CommandInfo> again(itsManager.convertToCommandInfo(edited));
    QVERIFY2(again != nullptr, qPrintable(edited.left(400)));
    QCOMPARE(again->getPropertyValue(property), value);
}

ZYR_TEST_CLASS(TestTelegrams)
#include "tst_telegrams.moc"
