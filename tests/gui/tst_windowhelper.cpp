#include "testregistry.h"
#include "warningcollector.h"

#include "windowhelper.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QSplashScreen>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace WindowHelper = ZyrGui::WindowHelper;

namespace {

QString styleSheetFileText() {
    QFile file(QStringLiteral(":/css/css/styles.css"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// A window with one of every kind of widget the style sheet has rules for, rendered once so
// that every rule and image is used.
void renderSampleWindow() {
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("File"))->addAction(QStringLiteral("Open"));
    window.addToolBar(QStringLiteral("Tools"))->addAction(QStringLiteral("Run"));
    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    auto* checked = new QCheckBox(QStringLiteral("Checked"));
    checked->setChecked(true);
    layout->addWidget(checked);
    layout->addWidget(new QCheckBox(QStringLiteral("Unchecked")));
    auto* radio = new QRadioButton(QStringLiteral("Radio"));
    radio->setChecked(true);
    layout->addWidget(radio);
    layout->addWidget(new QSpinBox);
    auto* combo = new QComboBox;
    combo->addItems({QStringLiteral("One"), QStringLiteral("Two")});
    layout->addWidget(combo);
    layout->addWidget(new QSlider(Qt::Horizontal));
    layout->addWidget(new QScrollBar(Qt::Vertical));
    layout->addWidget(new QPushButton(QStringLiteral("Push")));
    auto* progress = new QProgressBar;
    progress->setValue(40);
    layout->addWidget(progress);
    auto* tabs = new QTabWidget;
    tabs->addTab(new QGroupBox(QStringLiteral("Group")), QStringLiteral("Tab"));
    layout->addWidget(tabs);
    auto* model = new QStandardItemModel(2, 2, central);
    auto* table = new QTableView;
    table->setModel(model);
    layout->addWidget(table);
    window.setCentralWidget(central);
    window.resize(400, 600);
    window.grab();
}

} // namespace

class TestWindowHelper : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void windowIconIsTheLogo();
    void styleSheetAppliesWithoutWarnings();
    void everyStyleSheetImageExists();
};

void TestWindowHelper::cleanup() {
    qApp->setStyleSheet(QString());
}

void TestWindowHelper::windowIconIsTheLogo() {
    QWidget widget;

    WindowHelper::setWindowIcon(&widget);

    QVERIFY(!widget.windowIcon().isNull());
    QVERIFY(!widget.windowIcon().pixmap(32, 32).isNull());
}

void TestWindowHelper::styleSheetAppliesWithoutWarnings() {
    WarningCollector warnings;

    WindowHelper::applyStyleSheet(qApp);
    renderSampleWindow();

    QCOMPARE(warnings.warnings(), QStringList());
}

void TestWindowHelper::everyStyleSheetImageExists() {
    const QString text = styleSheetFileText();
    const QRegularExpression urlPattern(QStringLiteral(R"(url\(\s*([^)\s]+)\s*\))"));
    int count = 0;
    for (auto match = urlPattern.globalMatch(text); match.hasNext(); ++count) {
        const QString path = match.next().captured(1);
        QVERIFY2(path.startsWith(QLatin1String(":/css/css/")), qPrintable(path));
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QVERIFY2(!QPixmap(path).isNull(), qPrintable(path));
    }
    QVERIFY(count > 0);
    QVERIFY(text.contains(QLatin1String(":/css/css/checkbox_checked.")));
}

ZYR_TEST_CLASS(TestWindowHelper)

#include "tst_windowhelper.moc"
