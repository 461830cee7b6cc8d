#include "fakecommunicationnode.h"
#include "testregistry.h"

#include "Communication/nodestatemanager.h"
#include "devicestatusbar.h"
#include "windowhelper.h"
#include "zyrstatusfield.h"

#include <QApplication>
#include <QDir>
#include <QLayout>
#include <QtTest>

using ZyrCore::Communication::NodeStateManager;
using ZyrGui::ZyrStatusField;

class TestDeviceStatusBar : public QObject {
    Q_OBJECT

private slots:
    void formBuildsFourNamedFields_data();
    void formBuildsFourNamedFields();
};

void TestDeviceStatusBar::formBuildsFourNamedFields_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("maximumHeight");

    QTest::newRow("control") << 0 << "sfControlHID"
                             << "Control HID" << QWIDGETSIZE_MAX;
    QTest::newRow("module") << 1 << "sfModuleHID"
                            << "Module HID" << QWIDGETSIZE_MAX;
    QTest::newRow("loopback") << 2 << "sfRegLoopback"
                              << "Register Loopback" << 16;
    QTest::newRow("automation") << 3 << "sfAutomationStatus"
                                << "AutomationStatus" << QWIDGETSIZE_MAX;
}

void TestDeviceStatusBar::formBuildsFourNamedFields() {
    QFETCH(int, position);
    QFETCH(QString, objectName);
    QFETCH(QString, text);
    QFETCH(int, maximumHeight);
    DeviceStatusBar bar(nullptr);
    const QList<ZyrStatusField*> fields = {bar.controlHidField(), bar.moduleHidField(),
                                           bar.registerLoopbackField(),
                                           bar.automationStatusField()};

    ZyrStatusField* field = fields.at(position);
    QVERIFY(field != nullptr);
    QCOMPARE(field->objectName(), objectName);
    QCOMPARE(field->text(), text);
    QCOMPARE(field->parentWidget(), &bar);
    QCOMPARE(field->minimumSize(), QSize(100, 0));
    QCOMPARE(field->maximumHeight(), maximumHeight);
    QCOMPARE(bar.layout()->indexOf(field), position);
}

ZYR_TEST_CLASS(TestDeviceStatusBar)

#include "tst_devicestatusbar.moc"
