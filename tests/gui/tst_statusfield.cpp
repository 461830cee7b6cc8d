#include "testregistry.h"

#include "fakecommunicationnode.h"

#include "Communication/nodestatemanager.h"
#include "zyrstatusfield.h"

#include <QtTest>
#include <memory>

using ZyrCore::Communication::NodeStateManager;
using ZyrGui::ZyrStatusField;

class TestStatusField : public QObject {
    Q_OBJECT

private slots:
    void managerDestroyedWhileBoundIsNotTouched();
};

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
