#include "testregistry.h"

#include "Tools/versioninfo.h"

#include <QtTest>
#include <functional>

using ZyrCore::Tools::VersionInfo;

using VersionReader = std::function<QString(const VersionInfo&)>;
Q_DECLARE_METATYPE(VersionReader)

class TestVersionInfo : public QObject {
    Q_OBJECT

private slots:
    void readers_data();
    void readers();
    void absentKeyIsEmpty_data();
    void absentKeyIsEmpty();
};

void TestVersionInfo::readers_data() {
    using Reader = VersionReader;
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    QTest::newRow("product name") << Reader(&VersionInfo::productNameString) << "ProductName"
                                  << ZYR_EXPECTED_PRODUCT_NAME;
    QTest::newRow("product version")
        << Reader(&VersionInfo::productVersionString) << "ProductVersion" << ZYR_EXPECTED_VERSION;
    QTest::newRow("file version") << Reader(&VersionInfo::fileVersionString) << "FileVersion"
                                  << ZYR_EXPECTED_VERSION;
    QTest::newRow("product folder") << Reader(&VersionInfo::productFolderString) << "InternalName"
                                    << ZYR_EXPECTED_PRODUCT_FOLDER;
    QTest::newRow("company name") << Reader(&VersionInfo::companyNameString) << "CompanyName"
                                  << ZYR_EXPECTED_COMPANY_NAME;
}

void TestVersionInfo::readers() {
    using Reader = VersionReader;
    QFETCH(Reader, reader);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QVERIFY(!expected.isEmpty());
    VersionInfo info;

    QCOMPARE(reader(info), QString());
    QCOMPARE(info.getInfoFromResource(key), QString());

    info.retrieveInfo();
    QCOMPARE(reader(info), expected);
    QCOMPARE(info.getInfoFromResource(key), expected);
}

void TestVersionInfo::absentKeyIsEmpty_data() {
    QTest::addColumn<QString>("key");
    QTest::newRow("unknown key") << "Comments";
    QTest::newRow("other letter case") << "productname";
    QTest::newRow("empty key") << "";
}

void TestVersionInfo::absentKeyIsEmpty() {
    QFETCH(QString, key);
    VersionInfo info;
    info.retrieveInfo();

    const QString value = info.getInfoFromResource(key);

    QVERIFY(value.isEmpty());
    QVERIFY(!info.productNameString().isEmpty());
}

ZYR_TEST_CLASS(TestVersionInfo)

#include "tst_versioninfo.moc"
