#include "boardrig.h"
#include "testregistry.h"

#include "raspi/Commands/configuremodulecomobject.h"
#include "raspi/Commands/uploadfilecomobject.h"

#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using ZyrRasPi::Commands::ConfigureModuleComObject;
using ZyrRasPi::Commands::UploadFileComObject;

namespace {

// Twenty ASCII characters.
const QString kName20 = QStringLiteral("/usr/lib/0123456789X");

// A period that no package size divides, so a misplaced piece shows.
QByteArray patterned(int size) {
    return QByteArray("0123456789abcdefghijklmnopq").repeated(size / 27 + 1).left(size);
}

QByteArray payloadOf(ZyrCore::Communication::SerializableComObject& object) {
    QByteArray buffer(1088, '\0');
    object.serialize(reinterpret_cast<unsigned char*>(buffer.data()), 1088);
    return buffer.left(int(object.serializeSize()));
}

// Rows of packagesCarryTheFile: a file that is sent, and one refused before anything is sent.
void carried(const char* row, const QByteArray& file, const QString& name, const char* packages,
             const QByteArray& checksum = QByteArray()) {
    QTest::newRow(row) << file << qint64(file.size()) << name << packages << checksum;
}

void refused(const char* row, const QString& name, qint64 fileSize) {
    QTest::newRow(row) << QByteArray() << fileSize << name << "" << QByteArray();
}

} // namespace

class TestUploadCommands : public QObject {
    Q_OBJECT

private slots:
    void packagesCarryTheFile_data();
    void packagesCarryTheFile();
    void deliveredOnlyWhenTheBoardTookEveryPackage_data();
    void deliveredOnlyWhenTheBoardTookEveryPackage();
    void moduleRequestAndFileName();
};

void TestUploadCommands::packagesCarryTheFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<qint64>("fileSize"); // beyond the file's bytes: zeros; -1: no such file
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("packages"); // flags:content size of each package; none: refused
    QTest::addColumn<QByteArray>("checksum");
    carried("crc of 123456789", "123456789", kName20, "3:11", QByteArray("\x90\x6E"));
    carried("empty file", QByteArray(), kName20, "3:2", QByteArray("\0\0", 2));
    carried("991 bytes fill the first", patterned(991), kName20, "3:993");
    carried("992 bytes", patterned(992), kName20, "1:993 2:1");
    carried("2011 bytes", patterned(2011), kName20, "1:993 2:1020");
    carried("2013 bytes", patterned(2013), kName20, "1:993 0:1020 2:2");
    // 21 characters, 26 UTF-8 bytes.
    carried("non-ASCII name", patterned(1500), QStringLiteral("/home/pi/größe_µ€.csv"),
            "1:987 2:515");
    const QString name1012 = QLatin1Char('/') + QString(1011, QLatin1Char('n'));
    carried("name of 1012 bytes", patterned(10), name1012, "1:1 2:11");
    refused("name of 1013 bytes", name1012 + QLatin1Char('n'), 10);
    refused("name of 507 characters, 1014 bytes", QString(507, QChar(0xE9)), 10);
    refused("empty name", QString(), 10);
    refused("missing file", kName20, -1);
    refused("file of 4 GiB", kName20, qint64(4) << 30);
}

void TestUploadCommands::packagesCarryTheFile() {
    QFETCH(QByteArray, file);
    QFETCH(qint64, fileSize);
    QFETCH(QString, name);
    QFETCH(QString, packages);
    QFETCH(QByteArray, checksum);
    QTemporaryDir folder;
    QFile local(folder.filePath(QStringLiteral("local.bin")));
    // Sparse: a large file costs no disk space until read.
    if (fileSize >= 0)
        QVERIFY(local.open(QIODevice::WriteOnly) && local.write(file) == file.size() &&
                local.resize(fileSize));
    local.close();

    QList<UploadFileComObject*> objects;
    // Freed however the test ends.
    const auto freeObjects = qScopeGuard([&] { UploadFileComObject::deleteObjects(&objects); });
    QCOMPARE(UploadFileComObject::createObjects(local.fileName(), name, &objects),
             !packages.isEmpty());
    if (packages.isEmpty()) {
        QVERIFY(objects.isEmpty());
        return;
    }
    const QByteArray nameUtf8 = name.toUtf8();
    QStringList layout;
    QByteArray joined;
    for (UploadFileComObject* object : qAsConst(objects)) {
        const QByteArray payload = payloadOf(*object);
        const auto* bytes = reinterpret_cast<const uchar*>(payload.constData());
        const quint16 flags = qFromBigEndian<quint16>(bytes + 2);
        const int headerSize = flags & 1 ? 11 + nameUtf8.size() : 4;
        QCOMPARE(int(qFromBigEndian<quint16>(bytes)), headerSize);
        if (flags & 1) {
            QCOMPARE(qFromBigEndian<quint32>(bytes + 4), quint32(file.size() + 2));
            QCOMPARE(int(qFromBigEndian<quint16>(bytes + 8)), nameUtf8.size() + 1);
            QCOMPARE(payload.mid(10, headerSize - 10), nameUtf8 + '\0');
        }
        layout << QStringLiteral("%1:%2").arg(flags).arg(payload.size() - headerSize);
        joined += payload.mid(headerSize);
    }
    QCOMPARE(layout.join(' '), packages);
    QCOMPARE(joined.left(file.size()), file);
    if (!checksum.isEmpty())
        QCOMPARE(joined.mid(file.size()).toHex(' '), checksum.toHex(' '));

    objects.last()->setStatus(5);
    QVERIFY(!UploadFileComObject::deleteObjects(&objects));
    QVERIFY(objects.isEmpty());
}

void TestUploadCommands::deliveredOnlyWhenTheBoardTookEveryPackage_data() {
    QTest::addColumn<QString>("board");
    QTest::addColumn<bool>("lastReplyRead");
    QTest::addColumn<bool>("delivered");
    QTest::newRow("every package accepted") << QString() << true << true;
    QTest::newRow("checksum refused") << "fault.crcFile=1" << true << false;
    // Sent, but its reply never read: no longer valid, its status still the 0 it was built with.
    QTest::newRow("last reply not read") << QString() << false << false;
}

void TestUploadCommands::deliveredOnlyWhenTheBoardTookEveryPackage() {
    QFETCH(QString, board);
    QFETCH(bool, lastReplyRead);
    QTemporaryDir folder;
    QFile local(folder.filePath(QStringLiteral("local.bin")));
    QVERIFY(local.open(QIODevice::WriteOnly) && local.write(patterned(2013)) == 2013);
    local.close();
    QList<UploadFileComObject*> objects;
    const auto freeObjects = qScopeGuard([&] { UploadFileComObject::deleteObjects(&objects); });
    QVERIFY(UploadFileComObject::createObjects(local.fileName(), kName20, &objects));

    BoardRig rig(board, ZyrSim::BoardInterface::Control);
    for (UploadFileComObject* package : qAsConst(objects)) {
        if (package == objects.last() && !lastReplyRead)
            package->setValid(false); // as the stream leaves a request until its reply is read
        else
            rig.run(*package);
    }
    QCOMPARE(objects.last()->status() == 0, board.isEmpty());
    QTEST(UploadFileComObject::deleteObjects(&objects), "delivered");
}

void TestUploadCommands::moduleRequestAndFileName() {
    ConfigureModuleComObject unload(QStringLiteral("abcd"), ConfigureModuleComObject::Unload, 0);
    QCOMPARE(payloadOf(unload).toHex(' '), QByteArray("01 00 61 62 63 64 00"));
    QCOMPARE(UploadFileComObject::fileNameFromPath(QStringLiteral("C:\\dir\\sub/file.bin")),
             QStringLiteral("file.bin"));
}

ZYR_TEST_CLASS(TestUploadCommands)
#include "tst_uploadcommands.moc"
