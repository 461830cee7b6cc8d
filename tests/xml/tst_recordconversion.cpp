#include "testregistry.h"

#include "Communication/I2c/i2creadregistercomobject.h"
#include "Communication/commandinfo.h"
#include "Communication/commandmanager.h"
#include "Communication/ixmlserializable.h"
#include "raspi/streamregistercommandset.h"

#include <QXmlStreamWriter>

#include <memory>

using namespace ZyrCore::Communication;

namespace {

// Everything of an object that a record decides, or "null".
QString describe(IComObject* object) {
    if (object == nullptr)
        return QStringLiteral("null");
    QString text = QStringLiteral("%1 %2 ").arg(object->callingType()).arg(object->tracePattern());
    QXmlStreamWriter writer(&text);
    dynamic_cast<IXmlSerializable*>(object)->xmlSerialize(&writer, 0);
    return text;
}

} // namespace

// Records become objects through their command's request telegram, edited with their values.
class TestRecordConversion : public QObject {
    Q_OBJECT

private slots:
    void recordValuesReachTheObject_data();
    void recordValuesReachTheObject();
    void conversionFollowsTheRegistry();
};

void TestRecordConversion::recordValuesReachTheObject_data() {
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value"); // a null value removes the property
    QTest::addColumn<bool>("converts");

    QTest::newRow("as created") << "Data" << QStringLiteral("5a") << true;
    QTest::newRow("markup in an attribute") << "TelegramType" << QStringLiteral("<\"&'>") << true;
    QTest::newRow("unknown calling type") << "CallingType" << QStringLiteral("a&b") << true;
    QTest::newRow("line break in an attribute") << "Trace" << QStringLiteral("\n8000000") << true;
    QTest::newRow("control character") << "Data" << QStringLiteral("5\u0001a") << true;
    QTest::newRow("trace not hex") << "Trace" << QStringLiteral("xyz") << false;
    QTest::newRow("missing value") << "Address" << QString() << false;
}

// A record with a comment is edited from its own telegram every time; one without reuses its
// command's prepared telegram. Both must give the same object.
void TestRecordConversion::recordValuesReachTheObject() {
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(bool, converts);

    CommandManager manager;
    ZyrCom::Commands::StreamRegisterCommandSet commands;
    manager.registerCommandSet(&commands);
    std::unique_ptr<CommandInfo> record(manager.createCommand(QStringLiteral("I2cWriteRegister")));
    if (value.isNull())
        record->removeProperty(property);
    else
        QVERIFY(record->trySetPropertyValue(property, value, false));

    std::unique_ptr<IComObject> prepared(manager.convertToComObject(record.get()));
    QCOMPARE(prepared != nullptr, converts);
    record->comment = QStringLiteral("c");
    std::unique_ptr<IComObject> edited(manager.convertToComObject(record.get()));
    if (edited != nullptr)
        edited->setComment(QString());
    QCOMPARE(describe(prepared.get()), describe(edited.get()));
}

void TestRecordConversion::conversionFollowsTheRegistry() {
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

ZYR_TEST_CLASS(TestRecordConversion)
#include "tst_recordconversion.moc"
