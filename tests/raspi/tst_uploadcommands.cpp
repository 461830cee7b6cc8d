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

QByteArray patterned(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int index = 0; index < size; ++index)
        bytes[index] = char(index * 7 + index / 251);
    return bytes;
}

QByteArray payloadOf(ZyrCore::Communication::SerializableComObject& object) {
    QByteArray buffer(1088, '\0');
    if (!object.serialize(reinterpret_cast<unsigned char*>(buffer.data()), 1088))
        return QByteArray();
    return buffer.left(int(object.serializeSize()));
}

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
    QTest::addColumn<QList<int>>("contentSizes");
    QTest::addColumn<QList<int>>("flags");
    QTest::addColumn<QByteArray>("checksum");
    QTest::newRow("crc of 123456789") << QByteArray("123456789") << kName20 << QList<int>{11}
                                      << QList<int>{3} << QByteArray("\x90\x6E");
    QTest::newRow("empty file") << QByteArray() << kName20 << QList<int>{2} << QList<int>{3}
                                << QByteArray("\x00\x00", 2);
    QTest::newRow("991 bytes fill the first")
        << patterned(991) << kName20 << QList<int>{993} << QList<int>{3} << QByteArray();
    QTest::newRow("992 bytes") << patterned(992) << kName20 << QList<int>{993, 1}
                               << QList<int>{1, 2} << QByteArray();
    QTest::newRow("2011 bytes") << patterned(2011) << kName20 << QList<int>{993, 1020}
                                << QList<int>{1, 2} << QByteArray();
    QTest::newRow("2013 bytes") << patterned(2013) << kName20 << QList<int>{993, 1020, 2}
                                << QList<int>{1, 0, 2} << QByteArray();
    // 21 characters, 26 UTF-8 bytes.
    QTest::newRow("non-ASCII name") << patterned(1500) << QStringLiteral("/home/pi/größe_µ€.csv")
                                    << QList<int>{987, 515} << QList<int>{1, 2} << QByteArray();
}

void TestUploadCommands::packagesCarryTheFile() {
    QFETCH(QByteArray, file);
    QFETCH(QString, name);
    QFETCH(QList<int>, contentSizes);
    QFETCH(QList<int>, flags);
    QFETCH(QByteArray, checksum);
    QTemporaryDir folder;
    QFile local(folder.filePath(QStringLiteral("local.bin")));
    QVERIFY(local.open(QIODevice::WriteOnly) && local.write(file) == file.size());
    local.close();

    QList<UploadFileComObject*> packages;
    QVERIFY(UploadFileComObject::createObjects(local.fileName(), name, &packages));
    QCOMPARE(packages.size(), contentSizes.size());
    const QByteArray nameUtf8 = name.toUtf8();
    QByteArray joined;
    for (int index = 0; index < packages.size(); ++index) {
        const QByteArray payload = payloadOf(*packages[index]);
        const auto* bytes = reinterpret_cast<const uchar*>(payload.constData());
        const int headerSize = index == 0 ? 11 + nameUtf8.size() : 4;
        QCOMPARE(packages[index]->protocol(), uchar(64));
        QCOMPARE(int(qFromBigEndian<quint16>(bytes)), headerSize);
        QCOMPARE(int(qFromBigEndian<quint16>(bytes + 2)), flags[index]);
        QCOMPARE(payload.size() - headerSize, contentSizes[index]);
        if (index == 0) {
            QCOMPARE(qFromBigEndian<quint32>(bytes + 4), quint32(file.size() + 2));
            QCOMPARE(int(qFromBigEndian<quint16>(bytes + 8)), nameUtf8.size() + 1);
            QCOMPARE(payload.mid(10, headerSize - 10), nameUtf8 + '\0');
        }
        joined += payload.mid(headerSize);
    }
    QCOMPARE(joined.size(), file.size() + 2);
    QCOMPARE(joined.left(file.size()), file);
    if (!checksum.isEmpty())
        QCOMPARE(joined.right(2).toHex(' '), checksum.toHex(' '));

    packages.last()->setStatus(5);
    QVERIFY(!UploadFileComObject::deleteObjects(&packages));
    QVERIFY(packages.isEmpty());
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

    QList<UploadFileComObject*> packages;
    QCOMPARE(UploadFileComObject::createObjects(local.fileName(), name, &packages), accepted);
    QCOMPARE(packages.size(), accepted ? 2 : 0);
    if (accepted)
        QCOMPARE(payloadOf(*packages.first()).size(), 1024);
    UploadFileComObject::deleteObjects(&packages);
}

void TestUploadCommands::moduleRequestAndFileName() {
    ConfigureModuleComObject unload(QStringLiteral("abcd"), ConfigureModuleComObject::Unload, 0);
    QCOMPARE(unload.protocol(), uchar(65));
    QCOMPARE(payloadOf(unload).toHex(' '), QByteArray("01 00 61 62 63 64 00"));
    QCOMPARE(UploadFileComObject::fileNameFromPath(QStringLiteral("C:\\dir\\sub/file.bin")),
             QStringLiteral("file.bin"));
    QCOMPARE(UploadFileComObject::fileNameFromPath(QStringLiteral("file.bin")),
             QStringLiteral("file.bin"));
}

ZYR_TEST_CLASS(TestUploadCommands)
#include "tst_uploadcommands.moc"
