#include "guitests.h"

#include "statusfieldstate.h"
#include "zyrstatusfield.h"

#include <QtTest>

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
    void freshFieldShowsUnknownOnGrey();
    void indexOutsideTheStatesIsIgnored_data();
    void indexOutsideTheStatesIsIgnored();
    void addedStatesFollowTheFirst();
};

void TestStatusField::freshFieldShowsUnknownOnGrey() {
    QWidget parent;
    ZyrStatusField field(&parent);

    QCOMPARE(field.parentWidget(), &parent);
    QCOMPARE(field.text(), QStringLiteral("unknown"));
    QCOMPARE(field.styleSheet(), greyStyle);
    QCOMPARE(field.alignment(), Qt::AlignCenter);
}

void TestStatusField::indexOutsideTheStatesIsIgnored_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("negative") << -1;
    QTest::newRow("one past the end") << 1;
    QTest::newRow("closing") << 3;
    QTest::newRow("far out") << 1000;
}

void TestStatusField::indexOutsideTheStatesIsIgnored() {
    QFETCH(int, index);
    ZyrStatusField field(nullptr);
    field.setText(QStringLiteral("Caption"));
    field.setStyleSheet(QStringLiteral("color: blue;"));

    field.setState(index);

    QCOMPARE(field.text(), QStringLiteral("Caption"));
    QCOMPARE(field.styleSheet(), QStringLiteral("color: blue;"));
}

void TestStatusField::addedStatesFollowTheFirst() {
    ZyrStatusField field(nullptr);
    field.addState(StatusFieldState(greenStyle, QStringLiteral("Firmware")));
    field.addState(StatusFieldState(redStyle, QStringLiteral("Loopback")));

    field.setState(2);
    QCOMPARE(field.text(), QStringLiteral("Loopback"));
    QCOMPARE(field.styleSheet(), redStyle);

    field.setState(1);
    QCOMPARE(field.text(), QStringLiteral("Firmware"));
    QCOMPARE(field.styleSheet(), greenStyle);

    field.setState(0);
    QCOMPARE(field.text(), QStringLiteral("unknown"));
    QCOMPARE(field.styleSheet(), greyStyle);

    field.setState(3);
    QCOMPARE(field.text(), QStringLiteral("unknown"));
}

int runStatusFieldTests(int argc, char** argv) {
    TestStatusField test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_statusfield.moc"
