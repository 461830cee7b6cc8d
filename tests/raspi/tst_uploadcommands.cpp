#include "testregistry.h"

#include "raspi/Commands/configuremodulecomobject.h"
#include "raspi/Commands/uploadfilecomobject.h"

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

// Packages owned for the test's whole run, so a failing check frees them too.
struct Packages {
    ~Packages() { UploadFileComObject::deleteObjects(&list); }
    QList<UploadFileComObject*> list;
};

} // namespace

class TestUploadCommands : public QObject {
    Q_OBJECT

private slots:
    void packagesCarryTheFile_data();
    void packagesCarryTheFile();
    void refusedBeforeAnythingIsSent_data();
    void refusedBeforeAnythingIsSent();
    void moduleRequestAndFileName();
};

void TestUploadCommands::packagesCarryTheFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("packages"); // flags:content size of each package
    QTest::addColumn<QByteArray>("checksum");
    QTest::newRow("crc of 123456789")
        << QByteArray("123456789") << kName20 << "3:11" << QByteArray("\x90\x6E");
    QTest::newRow("empty file") << QByteArray() << kName20 << "3:2" << QByteArray("\0\0", 2);
    QTest::newRow("991 bytes fill the first")
        << patterned(991) << kName20 << "3:993" << QByteArray();
    QTest::newRow("992 bytes") << patterned(992) << kName20 << "1:993 2:1" << QByteArray();
    QTest::newRow("2011 bytes") << patterned(2011) << kName20 << "1:993 2:1020" << QByteArray();
    QTest::newRow("2013 bytes") << patterned(2013) << kName20 << "1:993 0:1020 2:2" << QByteArray();
    // 21 characters, 26 UTF-8 bytes.
    QTest::newRow("non-ASCII name") << patterned(1500) << QStringLiteral("/home/pi/größe_µ€.csv")
                                    << "1:987 2:515" << QByteArray();
}

void TestUploadCommands::packagesCarryTheFile() {
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    QFETCH(QByteArray, checksum);
    QTemporaryDir folder;
    QFile local(folder.filePath(QStringLiteral("local.bin")));
    QVERIFY(local.open(QIODevice::WriteOnly) && local.write(file) == file.size());
    local.close();

    Packages packages;
    QList<UploadFileComObject*>& objects = packages.list;
    QVERIFY(UploadFileComObject::createObjects(local.fileName(), name, &objects));
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
    QTEST(layout.join(' '), "packages");
    QCOMPARE(joined.left(file.size()), file);
    if (!checksum.isEmpty())
        QCOMPARE(joined.mid(file.size()).toHex(' '), checksum.toHex(' '));

    objects.last()->setStatus(5);
    QVERIFY(!UploadFileComObject::deleteObjects(&objects));
    QVERIFY(objects.isEmpty());
}

void TestUploadCommands::refusedBeforeAnythingIsSent_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("fileSize"); // -1: no such file
    QTest::addColumn<bool>("accepted");
    const QString name1012 = QLatin1Char('/') + QString(1011, QLatin1Char('n'));
    QTest::newRow("name of 1012 bytes") << name1012 << qint64(10) << true;
    QTest::newRow("name of 1013 bytes") << name1012 + QLatin1Char('n') << qint64(10) << false;
    QTest::newRow("name of 507 characters, 1014 bytes")
        << QString(507, QChar(0xE9)) << qint64(10) << false;
    QTest::newRow("empty name") << QString() << qint64(10) << false;
    QTest::newRow("missing file") << kName20 << qint64(-1) << false;
    QTest::newRow("file of 4 GiB") << kName20 << (qint64(4) << 30) << false;
}

void TestUploadCommands::refusedBeforeAnythingIsSent() {
    QFETCH(QString, name);
    QFETCH(qint64, fileSize);
    QFETCH(bool, accepted);
    QTemporaryDir folder;
    QFile local(folder.filePath(QStringLiteral("local.bin")));
    // Sparse: a large file costs no disk space until read.
    if (fileSize >= 0)
        QVERIFY(local.open(QIODevice::WriteOnly) && local.resize(fileSize));
    local.close();

    Packages packages;
    QCOMPARE(UploadFileComObject::createObjects(local.fileName(), name, &packages.list), accepted);
    QCOMPARE(packages.list.size(), accepted ? 2 : 0);
    if (accepted)
        QCOMPARE(payloadOf(*packages.list.first()).size(), 1024);
}

void TestUploadCommands::moduleRequestAndFileName() {
    ConfigureModuleComObject unload(QStringLiteral("abcd"), ConfigureModuleComObject::Unload, 0);
    QCOMPARE(payloadOf(unload).toHex(' '), QByteArray("01 00 61 62 63 64 00"));
    QCOMPARE(UploadFileComObject::fileNameFromPath(QStringLiteral("C:\\dir\\sub/file.bin")),
             QStringLiteral("file.bin"));
}

ZYR_TEST_CLASS(TestUploadCommands)
#include "tst_uploadcommands.moc"
