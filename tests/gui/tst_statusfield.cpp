#include "testregistry.h"

#include "fakecommunicationnode.h"

#include "Communication/nodestatemanager.h"
#include "statusfieldstate.h"
#include "zyrstatusfield.h"

#include <QtTest>
#include <memory>

using ZyrCore::Communication::NodeStateContext;
using ZyrCore::Communication::NodeStateManager;
using ZyrGui::StatusFieldState;
using ZyrGui::ZyrStatusField;

namespace {
const QString greyStyle = QStringLiteral("background-color: #acb2b7; color: #ffffff;");
const QString greenStyle = QStringLiteral("background-color: #009f69; color: #ffffff;");
const QString redStyle = QStringLiteral("background-color: #df5353; color: #ffffff;");
} // namespace

class TestStatusField : public QObject {
    Q_OBJECT

private slots:
    void boundFieldFollowsManagerTransitions();
    void managerDestroyedWhileBoundIsNotTouched();
};

void TestStatusField::boundFieldFollowsManagerTransitions() {
    FakeCommunicationNode node;
    NodeStateManager manager(&node);
    ZyrStatusField field(nullptr);
    field.setText(QStringLiteral("Module HID"));

    QVERIFY(field.setStateManager(&manager));
    // Binding alone shows nothing new; the next transition does.
    QCOMPARE(field.styleSheet(), greyStyle);

    QCOMPARE(manager.setActive(true), 2);
    QCOMPARE(field.styleSheet(), greenStyle);
    QCOMPARE(field.text(), QStringLiteral("Module HID"));

    QCOMPARE(manager.setActive(false), 4);
    QCOMPARE(field.styleSheet(), redStyle);
    QCOMPARE(field.text(), QStringLiteral("Module HID"));
}

void TestStatusField::managerDestroyedWhileBoundIsNotTouched() {
    FakeCommunicationNode node;
    auto manager = std::make_unique<NodeStateManager>(&node);
    ZyrStatusField field(nullptr);
    QVERIFY(field.setStateManager(manager.get()));

    manager.reset();

    QVERIFY(field.releaseStateManager());
    QVERIFY(!field.releaseStateManager());
}

ZYR_TEST_CLASS(TestStatusField)

#include "tst_statusfield.moc"
