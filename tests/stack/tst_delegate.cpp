#include "testregistry.h"

#include "Tools/delegate.h"
#include "Tools/multidelegate.h"

#include <QtTest>

using ZyrCore::Tools::Delegate;
using ZyrCore::Tools::MultiDelegate;

namespace {

class DelegateTarget : public QObject {
    Q_OBJECT

public:
    QStringList calls;

signals:
    void changed(int value);

public slots:
    int onTwice(int value) {
        calls << "onTwice";
        return 2 * value;
    }
    int onNegate(int value) {
        calls << "onNegate";
        return -value;
    }
    bool onFirst() {
        calls << "onFirst";
        return false;
    }
    void onThird() { calls << "onThird"; }
};

} // namespace

class TestDelegate : public QObject {
    Q_OBJECT

private slots:
    void setParsesSlotText_data();
    void setParsesSlotText();

    void multiDelegateInvokesAllInOrder();
};

void TestDelegate::setParsesSlotText_data() {
    QTest::addColumn<QByteArray>("slotText");
    QTest::addColumn<bool>("isNull");
    QTest::addColumn<bool>("setResult");
    QTest::addColumn<bool>("invokeResult");
    QTest::addColumn<int>("answer");

    // The delegate starts on onNegate; a refused text must leave it there.
    QTest::newRow("slot signature")
        << QByteArray(SLOT(onTwice(int))) << false << true << true << 42;
    QTest::newRow("bare name") << QByteArray("1onTwice") << false << true << true << 42;
    QTest::newRow("signal text") << QByteArray(SIGNAL(changed(int))) << false << false << true
                                 << -21;
    QTest::newRow("no code character")
        << QByteArray("onTwice(int)") << false << false << true << -21;
    QTest::newRow("empty text") << QByteArray("") << false << false << true << -21;
    QTest::newRow("null text") << QByteArray() << true << false << true << -21;
    QTest::newRow("code character only") << QByteArray("1") << false << true << false << 0;
    // A null target unsets the delegate.
    QTest::newRow("null target") << QByteArray("no target") << false << true << false << 0;
}

void TestDelegate::setParsesSlotText() {
    QFETCH(QByteArray, slotText);
    QFETCH(bool, isNull);
    QFETCH(bool, setResult);
    QFETCH(bool, invokeResult);

    DelegateTarget target;
    Delegate delegate;
    QVERIFY(delegate.set(&target, SLOT(onNegate(int))));

    const bool noTarget = slotText == "no target";
    QCOMPARE(delegate.set(noTarget ? nullptr : &target, noTarget ? SLOT(onTwice(int))
                                                        : isNull ? nullptr
                                                                 : slotText.constData()),
             setResult);
    QCOMPARE(delegate.isSet(), invokeResult);
    int result = 0;
    QCOMPARE(delegate.invoke(Q_RETURN_ARG(int, result), Q_ARG(int, 21)), invokeResult);
    QTEST(result, "answer");
    QCOMPARE(target.calls.size(), invokeResult ? 1 : 0);
}

void TestDelegate::multiDelegateInvokesAllInOrder() {
    DelegateTarget target;
    MultiDelegate multi;
    QVERIFY(multi.add(&target, SLOT(onFirst())));
    QVERIFY(multi.add(&target, SLOT(onMissing())));
    QVERIFY(multi.add(&target, SLOT(onThird())));

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("No such method"));
    // onFirst's own return value is not asked for; only the failed second call counts.
    QVERIFY(!multi.invoke());
    QCOMPARE(target.calls, QStringList({"onFirst", "onThird"}));

    // A refused slot text is never called.
    MultiDelegate refused;
    QVERIFY(refused.add(&target, SIGNAL(changed(int))));
    QVERIFY(!refused.invoke(Q_ARG(int, 1)));
    QCOMPARE(target.calls.size(), 2);
}

ZYR_TEST_CLASS(TestDelegate)

#include "tst_delegate.moc"
