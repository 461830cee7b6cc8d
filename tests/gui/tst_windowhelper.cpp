#include "testregistry.h"

#include "windowhelper.h"

#include <QFile>
#include <QPixmap>
#include <QRegularExpression>
#include <QtTest>

class TestWindowHelper : public QObject {
    Q_OBJECT

private slots:
    void everyStyleSheetImageExists();
};

// Every image the style sheet names is a resource that loads.
void TestWindowHelper::everyStyleSheetImageExists() {
    QFile file(QStringLiteral(":/css/css/styles.css"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    const QRegularExpression urlPattern(QStringLiteral(R"(url\(\s*([^)\s]+)\s*\))"));
    int count = 0;
    for (auto match = urlPattern.globalMatch(text); match.hasNext(); ++count) {
        const QString path = match.next().captured(1);
        QVERIFY2(path.startsWith(QLatin1String(":/css/css/")), qPrintable(path));
        QVERIFY2(!QPixmap(path).isNull(), qPrintable(path));
    }
    QVERIFY(count > 0);
    QVERIFY(text.contains(QLatin1String(":/css/css/checkbox_checked.")));
}

ZYR_TEST_CLASS(TestWindowHelper)

#include "tst_windowhelper.moc"
