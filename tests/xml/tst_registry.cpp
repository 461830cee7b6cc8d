#include "testregistry.h"

#include "Communication/Control/firmwarenumbercomobject.h"
#include "Communication/commandinfo.h"
#include "Communication/commandset.h"
#include "Tools/xmlmapper.h"

#include <QXmlStreamReader>

#include <type_traits>

using namespace ZyrCore::Communication;
using ZyrCore::Tools::XmlMapper;
using ZyrCore::Tools::XmlMappingEntry;

// A set owns its prototypes: copying one would delete them twice.
static_assert(!std::is_copy_constructible_v<CommandSet> && !std::is_copy_assignable_v<CommandSet>);

namespace {

// Accepts a record whose "Value" property is "ok".
class Validator : public QObject {
    Q_OBJECT
public slots:
    bool onValidate(CommandInfo* info) {
        return info->getPropertyValue(QStringLiteral("Value")) == QLatin1String("ok");
    }
};

} // namespace

class TestCommandRegistry : public QObject {
    Q_OBJECT

private slots:
    void mapperReadsChildren_data();
    void mapperReadsChildren();
    void commandSetKeepsItsOwnCopies();
    void recordValidatesAndCompares();
};

void TestCommandRegistry::mapperReadsChildren_data() {
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

void TestCommandRegistry::mapperReadsChildren() {
    QFETCH(QString, xml);

    unsigned int a = 0;
    QByteArray buffer(4, '\x55');
    auto* data = reinterpret_cast<unsigned char*>(buffer.data());
    XmlMapper mapper;
    QVERIFY(mapper.addEntry(XmlMappingEntry(QStringLiteral("A"), &a, 16, false)));
    QVERIFY(mapper.addEntry(XmlMappingEntry(QStringLiteral("B"), &data, 4, 16, true)));
    QVERIFY(!mapper.addEntry(XmlMappingEntry(QStringLiteral("A"), &a, 10, true)));
    QXmlStreamReader reader(xml);
    QTEST(mapper.tryParse(&reader), "parsed");
    QTEST(a, "value");
    QTEST(buffer, "bytes");

    // The strict walk of one telegram element, on a fresh mapper over fresh targets.
    unsigned int strictA = 0;
    QByteArray strictBuffer(4, '\0');
    auto* strictData = reinterpret_cast<unsigned char*>(strictBuffer.data());
    XmlMapper strict;
    QVERIFY(strict.addEntry(XmlMappingEntry(QStringLiteral("A"), &strictA, 16, false)));
    QVERIFY(strict.addEntry(XmlMappingEntry(QStringLiteral("B"), &strictData, 4, 16, true)));
    QXmlStreamReader strictReader(xml);
    strictReader.readNextStartElement();
    QTEST(strict.tryParseStrictly(&strictReader), "strict");

    // An entry whose buffer is missing fails instead of writing through it.
    unsigned char* missing = nullptr;
    XmlMappingEntry entry(QStringLiteral("B"), &missing, 4, 16, false);
    QXmlStreamReader bytesReader(QStringLiteral("<B>0a</B>"));
    bytesReader.readNextStartElement();
    QVERIFY(!entry.tryParse(&bytesReader));
}

void TestCommandRegistry::commandSetKeepsItsOwnCopies() {
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
}

void TestCommandRegistry::recordValidatesAndCompares() {
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

ZYR_TEST_CLASS(TestCommandRegistry)
#include "tst_registry.moc"
