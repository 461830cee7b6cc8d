#include "apptestsupport.h"
#include "testregistry.h"

#include "HidDevice/hidbackend.h"
#include "Tools/versioninfo.h"
#include "commands/getobjectscommand.h"
#include "controls/aboutdialog.h"
#include "devicestatusbar.h"
#include "mainwindow.h"
#include "plots/qcpstringlegenditem.h"
#include "plots/qdistanceplot.h"
#include "simulatedevaluationboard.h"
#include "ticklabelspacing.h"
#include "zyrstatusfield.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTabBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <qcustomplot.h>

namespace {

QSettings globalSettings() {
    return QSettings(QSettings::SystemScope, MainWindow::organizationName,
                     MainWindow::applicationName);
}

bool alreadyRunningFlag() {
    return globalSettings().value(MainWindow::alreadyRunningKey, false).toBool();
}

// "Menu/Entry" for every entry of the window's menu bar.
QStringList menuTexts(QMainWindow& window) {
    QStringList texts;
    for (QAction* top : window.menuBar()->actions()) {
        for (QAction* action : top->menu()->actions())
            texts << top->text() + "/" + action->text();
    }
    return texts;
}

QAction* menuEntry(QMainWindow& window, const QString& menu, const QString& entry) {
    for (QAction* top : window.menuBar()->actions()) {
        for (QAction* action : top->menu()->actions()) {
            if (top->text() == menu && action->text() == entry)
                return action;
        }
    }
    return nullptr;
}

// Every saved control with the value an empty store loads and a value unlike it.
// clang-format off
const struct {
    const char* name;
    QVariant loadedDefault;
    QVariant changed;
} kConfiguration[] = {
    {"sbCaptureTime", 100, 42}, {"leDataFile", QString(), "/data/run.csv"},
    {"cbContinuousMode", false, true}, {"cbCalibration", false, true},
    {"cbSummed", true, false}, {"cbRaw", false, true},
    {"cbProximity", false, true}, {"cbTDC0", false, true},
    {"cbTDC1", false, true}, {"cbTDC2", false, true},
    {"cbTDC3", false, true}, {"cbTDC4", false, true},
    {"cbTDCPX1", false, true}, {"cbTDCPX2", false, true},
    {"cbTDCPX3", false, true}, {"cbTDCPX4", false, true},
    {"cbAutoScaleYDist", false, true}, {"cbAutoScaleX", true, false},
    {"cbAutoScaleY", true, false}, {"cbLegend", true, false},
    {"cbPileupCorrection", true, false}, {"sbYAxisMaxDist", 100, 2500},
    {"sbXAxisMax", 100, 300}, {"sbYAxisMax", 100, 50000},
    {"cbOperationMode", 0, 1}, {"cbIterationSelector", 0, 2},
    {"sbIterations", 900, 1234}, {"sbThreshold", 0, 17},
};
// clang-format on

// The saved controls that the window hides on a long-range board, or before any board has
// reported: a load leaves them as they are. (The pile-up box is hidden too, but follows the
// summed one.)
const QStringList kHiddenOnLongRange = {
    "sbCaptureTime", "cbCalibration", "cbTDC1",   "cbTDC2",   "cbTDC3",         "cbTDC4",
    "cbTDCPX1",      "cbTDCPX2",      "cbTDCPX3", "cbTDCPX4", "cbOperationMode"};

// The value of a saved control, as the user sees it: a combo box's row, else the widget's own.
QByteArray valueProperty(const QWidget* control) {
    if (qobject_cast<const QComboBox*>(control) != nullptr)
        return "currentIndex";
    return control->metaObject()->userProperty().name();
}

QVariant valueOf(const QWidget& window, const char* name) {
    const auto* control = window.findChild<QWidget*>(name);
    return control->property(valueProperty(control));
}

void setValue(QWidget& window, const char* name, const QVariant& value) {
    auto* control = window.findChild<QWidget*>(name);
    control->setProperty(valueProperty(control), value);
}

// The pages of the window's tabs.
const char* const kHistogramPage = "tabHistogramDisplay";
const char* const kDistancePage = "tabDistanceVsTime";
const char* const kUploadPage = "ZyrUploadFileDemoWidget";

// A shown main window, without a board unless a simulated one is asked for; a recorder answers
// its dialogs.
struct ShownWindow {
    explicit ShownWindow(bool withBoard = false)
        : board(withBoard ? ZyrSim::SimulatedEvaluationBoard::create({}) : nullptr) {
        window.show();
    }
    // On a simulated board of that configuration.
    explicit ShownWindow(const char* boardConfig)
        : board(ZyrSim::SimulatedEvaluationBoard::create(boardConfig)) {
        window.show();
    }
    // True once the board's module has reported and the window is set up for its chip.
    bool waitUntilActivated() {
        auto* serial = widget<QLabel>("lbSerialNumber");
        return board && QTest::qWaitForWindowExposed(&window) &&
               QTest::qWaitFor([serial] { return !serial->text().endsWith("00-00-00-00"); }, 10000);
    }
    // True once the window is exposed and has shrunk to its minimum size, as it does shortly
    // after it shows.
    bool waitUntilLaidOut() {
        return QTest::qWaitForWindowExposed(&window) &&
               QTest::qWaitFor([this] { return window.size() == window.minimumSize(); }, 10000);
    }
    template <typename Widget = QWidget>
    Widget* widget(const char* name) {
        return window.findChild<Widget*>(QLatin1String(name));
    }
    bool isVisible(const char* name) { return widget(name)->isVisible(); }
    // Opens the tab of the page with that name; false when there is none.
    bool openTab(const char* page) {
        auto* tabs = widget<QTabWidget>("tabWidget");
        const int index = tabs->indexOf(widget(page));
        tabs->setCurrentIndex(index);
        return index >= 0;
    }
    // Opens the tab of the page with that name by clicking it; false when that did not open it.
    bool clickTab(const char* page) {
        auto* tabs = widget<QTabWidget>("tabWidget");
        const int index = tabs->indexOf(widget(page));
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier,
                          tabs->tabBar()->tabRect(index).center());
        return index >= 0 && tabs->currentIndex() == index;
    }
    // Picks the output file in the file dialog that the user opens with the mouse.
    void chooseDataFile(const QString& path) {
        dialogs.pathAnswer = path;
        QTest::mouseClick(widget<QPushButton>("pbSelectDataFile"), Qt::LeftButton);
    }
    // Presses Start with the mouse; the distance then measured, 0 when nothing was found.
    int measuredDistance() {
        QTest::mouseClick(widget<QPushButton>("pbStart"), Qt::LeftButton);
        return widget<QDistancePlot>("plotDistance")->latestDistance();
    }
    // Empty when the named widgets are shown and hidden as given, else says which are not and
    // on which tab.
    QString notAsExpected(const QStringList& shown, const QStringList& hidden) {
        QStringList wrong;
        for (const QString& name : shown + hidden) {
            if (isVisible(qPrintable(name)) != shown.contains(name))
                wrong << name + (shown.contains(name) ? " hidden" : " shown");
        }
        auto* tabs = widget<QTabWidget>("tabWidget");
        return wrong.isEmpty() ? QString()
                               : QString("on tab %1: %2")
                                     .arg(tabs->tabText(tabs->currentIndex()), wrong.join(", "));
    }

    std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> board;
    DialogRecorder dialogs;
    MainWindow window{nullptr, kAnyFreePort};
};

// The lines of a file; none when there is no file.
QStringList linesOf(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromLatin1(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
}

QAbstractButton* floatButton(QDockWidget* dock) {
    return dock->findChild<QAbstractButton*>("qt_dockwidget_floatbutton");
}

// Double-clicks a floating dock's title where the user sees it: in the title bar Qt draws, with
// the float button in it, or in the window manager's, which reports it as a non-client click.
void doubleClickTitle(QDockWidget* dock) {
    const QAbstractButton* button = floatButton(dock);
    if (button->isVisible()) {
        QTest::mouseDClick(dock, Qt::LeftButton, Qt::NoModifier,
                           QPoint(dock->width() / 2, button->geometry().center().y()));
        return;
    }
    const QPoint onTitle(dock->width() / 2, -8);
    QMouseEvent click(QEvent::NonClientAreaMouseButtonDblClick, onTitle, dock->mapToGlobal(onTitle),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dock, &click);
}

// Passes every call on to the backend selected before it and counts the searches for the
// board's HID interfaces: each opening attempt of a channel searches once.
class SearchCountingBackend : public ZyrHid::IHidBackend {
public:
    bool devicePath(unsigned int index, QByteArray* path) override {
        searches += index == 0 ? 1 : 0;
        return itsBackend->devicePath(index, path);
    }
    std::unique_ptr<ZyrHid::IHidConnection> openExclusive(const QByteArray& path) override {
        return itsBackend->openExclusive(path);
    }
    int lastOpenError() const override { return itsBackend->lastOpenError(); }
    QString lastOpenErrorString() const override { return itsBackend->lastOpenErrorString(); }

    int searches = 0;

private:
    ZyrHid::IHidBackend* const itsBackend = ZyrHid::HidBackend::current();
    const ZyrHid::HidBackend::Scope itsScope{this};
};

// Qt reads QT_FONT_DPI and QT_SCALE_FACTOR only as the application starts, so a row that sets
// one runs again in a child process: this test executable, told the current function and row,
// with the variables set (on top of the offscreen platform) and kRowInChild marking it as the
// child.
const char kRowInChild[] = "ZYR_TEST_ROW_IN_CHILD";

bool rowPassesInChild(const QProcessEnvironment& variables, QString& output) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_FONT_DPI");
    environment.remove("QT_SCALE_FACTOR");
    environment.insert(kRowInChild, "1");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert(variables);
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("TestMainWindow::%1:%2")
                     .arg(QTest::currentTestFunction(), QTest::currentDataTag())});
    const bool finished = child.waitForFinished(60000);
    if (!finished) {
        child.kill();
        child.waitForFinished();
    }
    output = QString::fromLocal8Bit(child.readAll());
    return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0 &&
           output.contains("PASS   : TestMainWindow::" + QString(QTest::currentTestFunction()));
}

bool rowPassesInChild(const QByteArray& variable, const QByteArray& value, QString& output) {
    QProcessEnvironment variables;
    variables.insert(variable, value);
    return rowPassesInChild(variables, output);
}

// Where a child on a FramingScreen finds the window manager's configuration.
const char kManagerConfig[] = "ZYR_TEST_MANAGER_CONFIG";

// An X server with a window manager that frames windows and keeps a strip at the bottom free, as
// a desktop panel does, for as long as it lives. whyNot is empty once it runs.
class FramingScreen {
public:
    static constexpr int kPanelHeight = 40; // in the screen's pixels

    // The window manager's configuration; a title font size above 0 sets the frames' titles.
    static bool writeManagerConfig(const QString& path, int titleFontSize = 0) {
        QString theme;
        if (titleFontSize > 0) {
            for (const char* place : {"ActiveWindow", "InactiveWindow"})
                theme += QString("<font place=\"%1\"><size>%2</size></font>")
                             .arg(place)
                             .arg(titleFontSize);
        }
        QFile file(path);
        return file.open(QIODevice::WriteOnly) &&
               file.write(QString("<openbox_config xmlns=\"http://openbox.org/3.4/rc\"><margins>"
                                  "<bottom>%1</bottom></margins><theme>%2</theme></openbox_config>")
                              .arg(kPanelHeight)
                              .arg(theme)
                              .toUtf8()) >= 0;
    }
    // The window manager reads its configuration again.
    static bool reconfigureManager() {
        return QProcess::execute("openbox", {"--reconfigure"}) == 0;
    }

    FramingScreen(const QSize& size, int dpi) {
        for (const char* program : {"Xvfb", "openbox"}) {
            if (QStandardPaths::findExecutable(program).isEmpty()) {
                whyNot = QString("%1 is not installed").arg(program);
                return;
            }
        }
        // Xvfb picks a free display and tells its number once it takes connections.
        itsServer.start("Xvfb",
                        {"-displayfd", "1", "-nolisten", "tcp", "-dpi", QString::number(dpi),
                         "-screen", "0", QString("%1x%2x24").arg(size.width()).arg(size.height())});
        if (!QTest::qWaitFor([this] { return itsServer.canReadLine(); }, 30000)) {
            whyNot = "Xvfb did not start: " + itsServer.readAllStandardError();
            return;
        }
        display = ":" + QString::fromLatin1(itsServer.readLine().trimmed());
        const QString config = itsFolder.filePath("rc.xml");
        if (!writeManagerConfig(config)) {
            whyNot = "cannot write " + config;
            return;
        }
        // Openbox runs its start-up command once it manages the screen.
        const QString started = itsFolder.filePath("started");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", display);
        environment.insert("HOME", itsFolder.path());
        environment.insert("XDG_CACHE_HOME", itsFolder.filePath("cache"));
        environment.insert("XDG_CONFIG_HOME", itsFolder.filePath("config"));
        itsManager.setProcessEnvironment(environment);
        itsManager.start("openbox", {"--config-file", config, "--startup", "touch " + started});
        if (!QTest::qWaitFor([&started] { return QFile::exists(started); }, 30000))
            whyNot = "openbox did not start: " + itsManager.readAllStandardError();
    }
    ~FramingScreen() {
        for (QProcess* process : {&itsManager, &itsServer}) {
            process->terminate();
            if (!process->waitForFinished(10000))
                process->kill();
            process->waitForFinished();
        }
    }

    // What a child runs with on this screen, scaled to its density as the program scales.
    QProcessEnvironment childVariables() const {
        QProcessEnvironment variables;
        variables.insert("QT_QPA_PLATFORM", "xcb");
        variables.insert("DISPLAY", display);
        variables.insert("QT_ENABLE_HIGHDPI_SCALING", "1");
        variables.insert("QT_SCALE_FACTOR_ROUNDING_POLICY", "PassThrough");
        // Without OpenGL, whose driver leaks from a library unloaded before leaks are counted.
        variables.insert("QT_XCB_GL_INTEGRATION", "none");
        // The X keyboard library copies names of a given length that end without a terminator,
        // which strict string checks take for an overflow.
        if (qEnvironmentVariableIsSet("ASAN_OPTIONS"))
            variables.insert("ASAN_OPTIONS",
                             qEnvironmentVariable("ASAN_OPTIONS") + ":strict_string_checks=0");
        variables.insert(kManagerConfig, itsFolder.filePath("rc.xml"));
        return variables;
    }

    QString display;
    QString whyNot;

private:
    QTemporaryDir itsFolder;
    QProcess itsServer;
    QProcess itsManager;
};

// Runs the current row again in a child process on a FramingScreen of that size and density.
void runRowOnFramingScreen(const QSize& screen, int dpi) {
    const FramingScreen framing(screen, dpi);
    if (!framing.whyNot.isEmpty())
        QSKIP(qPrintable(framing.whyNot));
    QString output;
    QVERIFY2(rowPassesInChild(framing.childVariables(), output), qPrintable(output));
}

// The scroll area that the widget lies in, if any.
const QScrollArea* scrollAreaHolding(const QWidget* widget) {
    const QScrollArea* area = nullptr;
    for (QWidget* parent = widget->parentWidget(); parent && !area; parent = parent->parentWidget())
        area = qobject_cast<const QScrollArea*>(parent);
    return area;
}

// The controls of a window that a user cannot bring onto the free area of the screen: neither
// within it, nor inside a scroll area's form whose view and needed scroll bars are.
QStringList unreachableControls(const QWidget& window, const QRect& freeArea) {
    const auto onScreen = [&freeArea](const QWidget* widget) {
        return freeArea.contains(QRect(widget->mapToGlobal(QPoint()), widget->size()));
    };
    QStringList found;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const bool isControl = qobject_cast<const QAbstractButton*>(control) ||
                               qobject_cast<const QComboBox*>(control) ||
                               qobject_cast<const QAbstractSpinBox*>(control) ||
                               qobject_cast<const QLineEdit*>(control) ||
                               qobject_cast<const QTabBar*>(control) ||
                               qobject_cast<const QMenuBar*>(control) ||
                               qobject_cast<const ZyrGui::ZyrStatusField*>(control);
        if (!isControl || !control->isVisible())
            continue;
        const QScrollArea* area = scrollAreaHolding(control);
        bool reachable = onScreen(control);
        if (!reachable && area != nullptr) {
            const QWidget* form = area->widget();
            const QRect inForm(control->mapTo(form, QPoint()), control->size());
            const auto scrolls = [](const QScrollBar* bar, bool needed) {
                return !needed || bar->isVisible();
            };
            reachable =
                form->rect().contains(inForm) && onScreen(area->viewport()) &&
                scrolls(area->horizontalScrollBar(), form->width() > area->viewport()->width()) &&
                scrolls(area->verticalScrollBar(), form->height() > area->viewport()->height());
        }
        if (!reachable) {
            QString text;
            QDebug(&text) << control->metaObject()->className() << control->objectName()
                          << QRect(control->mapToGlobal(QPoint()), control->size());
            found << text;
        }
    }
    return found;
}

// What covers part of a plot's axes or legend rows, where the plot's last drawing put them:
// legend rows over the numbers or the label of the x or y axis, or out of the plot, and the
// widgets beside the plot that overlap it.
QStringList overlapsInPlot(const QCustomPlot& plot) {
    QStringList found;
    for (int i = 0; i < plot.legend->itemCount(); ++i) {
        const auto* row = qobject_cast<QCPStringLegendItem*>(plot.legend->item(i));
        const QRect rect = row->outerRect();
        bool over = !plot.rect().contains(rect);
        for (int y = rect.top(); y <= rect.bottom() && !over; ++y) {
            for (int x = rect.left(); x <= rect.right() && !over; ++x) {
                for (const QCPAxis* axis : {plot.xAxis, plot.yAxis}) {
                    const QCPAxis::SelectablePart part = axis->getPartAt(QPointF(x, y));
                    over = over || part == QCPAxis::spTickLabels || part == QCPAxis::spAxisLabel;
                }
            }
        }
        if (over) {
            QString text;
            QDebug(&text) << row->text() << rect << "axis rect" << plot.axisRect()->rect();
            found << text;
        }
    }
    for (const QWidget* sibling :
         plot.parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (sibling != &plot && sibling->isVisible() &&
            sibling->geometry().intersects(plot.geometry())) {
            QString text;
            QDebug(&text) << sibling->objectName() << sibling->geometry() << "over the plot"
                          << plot.geometry();
            found << text;
        }
    }
    return found;
}

// The tab titles that the tab bar does not show whole: behind scroll arrows, outside the bar or
// shortened.
QStringList cutTabTitles(const QTabWidget& tabs) {
    const QTabBar* bar = tabs.tabBar();
    QStringList found;
    for (int i = 0; i < bar->count(); ++i) {
        const QRect place = bar->tabRect(i);
        const int textWidth = bar->fontMetrics().horizontalAdvance(bar->tabText(i));
        if (!bar->rect().contains(place) || place.width() < textWidth)
            found << bar->tabText(i);
    }
    for (const QToolButton* arrow : bar->findChildren<QToolButton*>()) {
        if (arrow->isVisible())
            found << "scroll arrows shown";
    }
    return found;
}

// The shown labels of a window that are shorter than their text needs at their width, or
// narrower than a text that does not wrap.
QStringList cutLabels(const QWidget& window) {
    QStringList found;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->isVisible())
            continue;
        const QSize needed = label->minimumSizeHint();
        const bool cut = label->hasHeightForWidth()
                             ? label->height() < label->heightForWidth(label->width())
                             : label->height() < needed.height() || label->width() < needed.width();
        if (cut) {
            QString text;
            QDebug(&text) << label->objectName() << label->size() << "needs" << needed
                          << label->heightForWidth(label->width());
            found << text;
        }
    }
    return found;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void runningFlagAndItsWarning();
    void configurationDefaultsAndRoundTrip();
    void loadingKeepsWhatAControlCannotShow_data();
    void loadingKeepsWhatAControlCannotShow();
    void loadLeavesTheTargetFound_data();
    void loadLeavesTheTargetFound();
    void loadWhileSavingKeepsTheFileWritten();
    void loadOnTheUploadTabStartsNothing();
    void menuBarHoldsItsEntries();
    void dockWindowsPutsAFloatingPlotBack();
    void distanceTabShowsItsGraphOnly();
    void uploadTabHidesTheControlsAndEndsContinuousMode();
    void histogramTabBringsItsPanelsBack();
    void altSMeasuresOnEveryPlotTab_data();
    void altSMeasuresOnEveryPlotTab();
    void outputFileComesFromTheFileDialog();
    void aboutDialogOpensOnceAndClosesWithTheWindow();
    void redockedPlotsFillTheirPages_data();
    void redockedPlotsFillTheirPages();
    void calibrationOrProximitySelected_data();
    void calibrationOrProximitySelected();
    void minimumSizeFitsTheLayouts_data();
    void minimumSizeFitsTheLayouts();
    void distanceBarRowsAndAxesStayClear_data();
    void distanceBarRowsAndAxesStayClear();
    void denseScreenShowsEveryTextWhole_data();
    void denseScreenShowsEveryTextWhole();
    void windowFitsTheScreen_data();
    void windowFitsTheScreen();
    void windowKeepsItsSizeWhenItsFrameChanges_data();
    void windowKeepsItsSizeWhenItsFrameChanges();
    void missingControlInterfaceShowsOnTheControlField_data();
    void missingControlInterfaceShowsOnTheControlField();

private:
    std::unique_ptr<ScopedSettingsFolder> itsSettingsFolder;
};

void TestMainWindow::init() {
    itsSettingsFolder = std::make_unique<ScopedSettingsFolder>();
    QVERIFY(itsSettingsFolder->isValid());
}

// Set while a window runs and cleared after; found set, it brings one warning and stays set.
void TestMainWindow::runningFlagAndItsWarning() {
    DialogRecorder dialogs;
    {
        auto board = ZyrSim::SimulatedEvaluationBoard::create({});
        QVERIFY(board && !alreadyRunningFlag());
        MainWindow window(nullptr, kAnyFreePort);
        QVERIFY(alreadyRunningFlag());
    }
    QVERIFY(!alreadyRunningFlag());
    QVERIFY(dialogs.seen.isEmpty());
    globalSettings().setValue(MainWindow::alreadyRunningKey, true);
    {
        // Without a board the module stream stays closed, so the flag is taken at its word.
        MainWindow window(nullptr, kAnyFreePort);
        ZyrCore::Tools::VersionInfo version;
        version.retrieveInfo();
        QVERIFY(!version.productNameString().isEmpty());
        QCOMPARE(window.windowTitle(), version.productNameString());
        QCOMPARE(dialogs.seen, QStringList(version.productNameString() +
                                           ": Could not connect to target. Is another instance of "
                                           "the GUI already running?\n"));
        auto* statusBar = window.findChild<DeviceStatusBar*>();
        QVERIFY(!showsOpen(statusBar->controlHidField()) &&
                !showsOpen(statusBar->moduleHidField()));
    }
    QVERIFY(alreadyRunningFlag());
    QCOMPARE(dialogs.seen.size(), 1);
}

void TestMainWindow::configurationDefaultsAndRoundTrip() {
    DialogRecorder dialogs;
    MainWindow window(nullptr, kAnyFreePort);
    auto* referenceProximity = window.findChild<QCheckBox*>("cbTDCPX0");
    const auto loadAndCompare = [&window](bool changed) {
        QVariantMap before;
        for (const auto& entry : kConfiguration)
            before[entry.name] = valueOf(window, entry.name);
        menuEntry(window, "File", "Load Configuration")->trigger();
        for (const auto& entry : kConfiguration) {
            const QVariant expected = kHiddenOnLongRange.contains(entry.name) ? before[entry.name]
                                      : changed                               ? entry.changed
                                                                              : entry.loadedDefault;
            QVERIFY2(valueOf(window, entry.name) == expected, entry.name);
        }
    };
    loadAndCompare(false); // from the empty store

    for (const auto& entry : kConfiguration)
        setValue(window, entry.name, entry.changed);
    referenceProximity->setChecked(true);
    menuEntry(window, "File", "Save Configuration")->trigger();
    for (const auto& entry : kConfiguration)
        setValue(window, entry.name, entry.loadedDefault);
    referenceProximity->setChecked(false);
    loadAndCompare(true);
    QVERIFY(!referenceProximity->isChecked());

    QSettings store(QSettings::IniFormat, QSettings::UserScope, MainWindow::organizationName,
                    MainWindow::applicationName);
    QCOMPARE(store.allKeys().size(), int(std::size(kConfiguration)));
    const QString title = window.windowTitle() + ": ";
    QCOMPARE(dialogs.seen,
             (QStringList{title + "Configuration loaded.", title + "Configuration saved.",
                          title + "Configuration loaded."}));
}

void TestMainWindow::loadingKeepsWhatAControlCannotShow_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("board"); // the modes show on the short-range family only
    const QString shortRange = "chip=KEL4301";
    QTest::newRow("mode past the rows") << "cbOperationMode" << QVariant(7) << shortRange;
    QTest::newRow("mode before the rows") << "cbOperationMode" << QVariant(-1) << shortRange;
    QTest::newRow("mode not a number") << "cbOperationMode" << QVariant("distance") << shortRange;
    QTest::newRow("preset past the rows") << "cbIterationSelector" << QVariant(99) << QString();
    QTest::newRow("iterations past the range") << "sbIterations" << QVariant(70000) << QString();
    QTest::newRow("threshold below the range") << "sbThreshold" << QVariant(-1) << QString();
    QTest::newRow("capture time below the range") << "sbCaptureTime" << QVariant(0) << QString();
}

// A hand-edited store: the value no control can show is not applied, that control and the
// device keep their settings, and every other key still loads. The preset stays as it is, so
// the iterations and threshold are the store's; what the window hides stays as it is too.
void TestMainWindow::loadingKeepsWhatAControlCannotShow() {
    QFETCH(QString, key);
    QFETCH(QVariant, stored);
    QFETCH(QString, board);
    auto simulated = ZyrSim::SimulatedEvaluationBoard::create(board);
    QVERIFY(simulated);
    DialogRecorder dialogs;
    MainWindow window(nullptr, kAnyFreePort);
    if (!board.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(!window.findChild<QWidget*>("cbOperationMode")->isHidden(), 10000);
    QSettings store(QSettings::IniFormat, QSettings::UserScope, MainWindow::organizationName,
                    MainWindow::applicationName);
    const auto keeps = [&key, &window](const char* name) {
        return name == key || qstrcmp(name, "cbIterationSelector") == 0 ||
               (window.findChild<QWidget*>(name)->isHidden() &&
                qstrcmp(name, "cbPileupCorrection") != 0);
    };
    for (const auto& entry : kConfiguration) {
        setValue(window, entry.name, entry.changed);
        store.setValue(entry.name, entry.name == key   ? stored
                                   : keeps(entry.name) ? entry.changed
                                                       : entry.loadedDefault);
    }
    menuEntry(window, "File", "Load Configuration")->trigger();
    for (const auto& entry : kConfiguration) {
        const QVariant expected = keeps(entry.name) ? entry.changed : entry.loadedDefault;
        QVERIFY2(valueOf(window, entry.name) == expected, entry.name);
    }
    const ZyrSim::SimulatedSensor::Settings& device = simulated->sensor().settings();
    QCOMPARE(int(device.operationMode), valueOf(window, "cbOperationMode").toInt());
    QCOMPARE(int(device.captureTime), valueOf(window, "sbCaptureTime").toInt());
    QCOMPARE(int(device.iterations), valueOf(window, "sbIterations").toInt());
    QCOMPARE(int(device.threshold), valueOf(window, "sbThreshold").toInt());
}

void TestMainWindow::loadLeavesTheTargetFound_data() {
    QTest::addColumn<QString>("savedOn"); // the board of the saved configuration; none: nothing
    QTest::newRow("nothing saved") << QString();
    QTest::newRow("proximity mode of the short-range family") << "chip=KEL4301";
}

// A load on a long-range board sets what its window offers only: the zones, the capture time and
// the operation mode that it hides stay as the window set them, so the target is still found,
// also after 4 m Mode has been ticked and unticked.
void TestMainWindow::loadLeavesTheTargetFound() {
    QFETCH(QString, savedOn);
    if (!savedOn.isEmpty()) {
        ShownWindow other(qPrintable(savedOn));
        QVERIFY(other.waitUntilActivated());
        auto* mode = other.widget<QComboBox>("cbOperationMode");
        QTest::keyClicks(mode, "P");
        QCOMPARE(mode->currentText(), QStringLiteral("Proximity Mode"));
        QVERIFY(chooseMenuEntry(other.window, "File", "Save Configuration"));
    }
    ShownWindow shown("target=1200");
    QVERIFY(shown.waitUntilActivated());
    const ZyrSim::SimulatedSensor::Settings& device = shown.board->sensor().settings();
    const ZyrSim::SimulatedSensor::Settings before = device;
    QVERIFY(chooseMenuEntry(shown.window, "File", "Load Configuration"));
    QCOMPARE(shown.dialogs.seen.last(), shown.window.windowTitle() + ": Configuration loaded.");
    const auto foundTheTarget = [&shown] { return qAbs(shown.measuredDistance() - 1200) <= 10; };
    QVERIFY2(foundTheTarget(), "the target is lost after the load");
    QCOMPARE(int(device.captureTime), int(before.captureTime));
    QCOMPARE(int(device.operationMode), int(before.operationMode));
    for (int zone = 0; zone < 4; ++zone)
        QVERIFY2(device.tdcSelected[zone], qPrintable(QString("zone %1 off").arg(zone + 1)));
    auto* fourMeter = shown.widget<QCheckBox>("cb4mMode");
    clickBox(fourMeter);
    clickBox(fourMeter);
    QCOMPARE(int(device.operationMode), int(before.operationMode));
    QVERIFY2(foundTheTarget(), "the target is lost after 4 m Mode on and off");
}

// While saving, the field names the file being written: a load keeps it there, and the next
// measurements go into that file.
void TestMainWindow::loadWhileSavingKeepsTheFileWritten() {
    QTemporaryDir folder;
    ShownWindow shown("target=1200");
    QVERIFY(shown.waitUntilActivated());
    auto* dataFile = shown.widget<QLineEdit>("leDataFile");
    const QString saved = folder.filePath("saved.csv");
    const QString written = folder.filePath("written.csv");
    shown.chooseDataFile(saved);
    QVERIFY(chooseMenuEntry(shown.window, "File", "Save Configuration"));
    shown.chooseDataFile(written);
    clickBox(shown.widget<QCheckBox>("cbSaveData"));
    QVERIFY(QFileInfo::exists(written));
    QVERIFY(chooseMenuEntry(shown.window, "File", "Load Configuration"));
    QCOMPARE(dataFile->text(), written);
    const int lines = linesOf(written).size();
    QVERIFY(shown.measuredDistance() > 0 && shown.measuredDistance() > 0);
    const QStringList added = linesOf(written).mid(lines);
    QCOMPARE(added.filter(QRegularExpression("^#OBJ;")).size(), 2);
    QVERIFY2(!QFileInfo::exists(saved), "the saved file name was written to");
}

// On the upload tab nothing is measured, and a load that ticks Continuous Mode starts nothing
// there: no record reaches the log; back on a plot tab, Start is there to press.
void TestMainWindow::loadOnTheUploadTabStartsNothing() {
    QTemporaryDir folder;
    ShownWindow shown("target=1200");
    QVERIFY(shown.waitUntilActivated());
    auto* continuous = shown.widget<QCheckBox>("cbContinuousMode");
    clickBox(continuous);
    QVERIFY(chooseMenuEntry(shown.window, "File", "Save Configuration"));
    clickBox(continuous);
    const QString log = folder.filePath("run.csv");
    shown.chooseDataFile(log);
    clickBox(shown.widget<QCheckBox>("cbSaveData"));
    QVERIFY(shown.clickTab(kUploadPage));
    const int lines = linesOf(log).size();
    QVERIFY(lines > 0);
    QVERIFY(chooseMenuEntry(shown.window, "File", "Load Configuration"));
    QTest::qWait(1500);
    const QStringList added = linesOf(log).mid(lines);
    QVERIFY2(added.isEmpty(), qPrintable(QString("%1 lines logged").arg(added.size())));
    QVERIFY(!continuous->isChecked());
    QVERIFY(shown.clickTab(kHistogramPage));
    QVERIFY2(shown.widget<QPushButton>("pbStart")->isEnabled(), "Start is off");
}

void TestMainWindow::menuBarHoldsItsEntries() {
    ShownWindow shown;
    QCOMPARE(menuTexts(shown.window),
             QStringList({"File/Load Configuration", "File/Save Configuration", "File/Exit",
                          "View/Dock Windows", "View/Disable Graph Updates", "Help/About Dialog"}));
    QVERIFY(menuEntry(shown.window, "View", "Disable Graph Updates")->isCheckable());
}

// Dock Windows is offered only while a plot floats, and puts it back into its page.
void TestMainWindow::dockWindowsPutsAFloatingPlotBack() {
    ShownWindow shown;
    QAction* dockWindows = menuEntry(shown.window, "View", "Dock Windows");
    auto* dock = shown.widget<QDockWidget>("dockDistanceVsTime");
    QVERIFY2(!dockWindows->isEnabled(), "offered with every plot docked");
    dock->setFloating(true);
    QVERIFY2(dockWindows->isEnabled(), "not offered for a floating plot");
    QCOMPARE(dock->windowTitle(), QStringLiteral("Distance vs. Time"));
    dockWindows->trigger();
    QVERIFY2(!dock->isFloating() && !dock->isHidden(), "the plot is not docked and shown");
    QVERIFY2(dock->parentWidget()->rect().contains(dock->geometry()),
             "the docked plot lies outside its page");
    QVERIFY(dock->windowTitle().isEmpty());
    QVERIFY2(!dockWindows->isEnabled(), "still offered once every plot is docked");
}

// The distance tab shows its own graph and none of the histogram tab's panels.
void TestMainWindow::distanceTabShowsItsGraphOnly() {
    ShownWindow shown;
    QVERIFY2(!shown.isVisible("gbDistanceGraph"), "the distance graph shows on the histogram tab");
    QVERIFY(shown.openTab(kDistancePage));
    const QString wrong = shown.notAsExpected(
        {"gbDistanceGraph"}, {"gbHistogramGraph", "gbData", "gbHistogramDisplay", "pbSnapshot"});
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QCOMPARE(shown.widget<QPushButton>("pbStart")->text(), QStringLiteral("Show"));
}

// The upload tab hides the control panel and ends continuous mode.
void TestMainWindow::uploadTabHidesTheControlsAndEndsContinuousMode() {
    ShownWindow shown;
    auto* continuous = shown.widget<QCheckBox>("cbContinuousMode");
    QVERIFY(shown.openTab(kDistancePage));
    continuous->setChecked(true);
    QVERIFY(shown.openTab(kUploadPage));
    QVERIFY2(!shown.isVisible("gbTof"), "the control panel shows on the upload tab");
    QVERIFY2(!continuous->isChecked(), "continuous mode outlasts the change to the upload tab");
}

// Back on the histogram tab after the others, its panels and the control panel show again.
void TestMainWindow::histogramTabBringsItsPanelsBack() {
    ShownWindow shown;
    QVERIFY(shown.openTab(kDistancePage) && shown.openTab(kUploadPage));
    QVERIFY(shown.openTab(kHistogramPage));
    const QString wrong =
        shown.notAsExpected({"gbTof", "gbHistogramGraph", "pbSnapshot"}, {"gbDistanceGraph"});
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    QCOMPARE(shown.widget<QPushButton>("pbStart")->text(), QStringLiteral("Start"));
}

void TestMainWindow::altSMeasuresOnEveryPlotTab_data() {
    QTest::addColumn<QStringList>("pages"); // their tabs clicked one after the other
    QTest::newRow("distance tab") << QStringList{kDistancePage};
    QTest::newRow("histogram tab, back from the distance tab")
        << QStringList{kDistancePage, kHistogramPage};
}

// Alt+S presses Start, whichever plot tab the user has switched to.
void TestMainWindow::altSMeasuresOnEveryPlotTab() {
    QFETCH(QStringList, pages);
    int cycles = 0; // outlives the board that counts them
    ShownWindow shown("target=1200");
    QVERIFY(shown.waitUntilActivated());
    shown.board->board().firmware(ZyrSim::BoardInterface::Module).setObserver([&cycles](auto& r) {
        cycles += r.protocol == GetObjectsCommand::commandId;
    });
    for (const QString& page : pages)
        QVERIFY(shown.clickTab(qPrintable(page)));
    shown.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&shown.window));
    QTest::keyClick(&shown.window, Qt::Key_S, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(cycles, 1, 10000);
}

// The output file is the one chosen in the file dialog; cancelling it clears the file.
void TestMainWindow::outputFileComesFromTheFileDialog() {
    ShownWindow shown;
    auto* selectFile = shown.widget<QPushButton>("pbSelectDataFile");
    auto* dataFile = shown.widget<QLineEdit>("leDataFile");
    shown.dialogs.pathAnswer = "/data/run.csv";
    selectFile->click();
    QCOMPARE(dataFile->text(), shown.dialogs.pathAnswer);
    shown.dialogs.pathAnswer.clear(); // cancelled
    selectFile->click();
    QVERIFY2(dataFile->text().isEmpty(), "a cancelled choice kept the last file");
    QCOMPARE(shown.dialogs.captions, (QStringList{"Select Output File", "Select Output File"}));
}

// Asked for twice, the About dialog opens once, tells the versions, and goes with the window.
void TestMainWindow::aboutDialogOpensOnceAndClosesWithTheWindow() {
    ShownWindow shown;
    QAction* about = menuEntry(shown.window, "Help", "About Dialog");
    about->trigger();
    about->trigger();
    QList<ZyrGui::Controls::AboutDialog*> abouts;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<ZyrGui::Controls::AboutDialog*>(widget))
            abouts << dialog;
    }
    QVERIFY2(abouts.size() == 1, qPrintable(QString("%1 About dialogs").arg(abouts.size())));
    QVERIFY(abouts[0]->isVisible());
    QCOMPARE(abouts[0]->findChild<QLabel*>("lbApplicationVersion")->text(),
             QStringLiteral("Product Version: " ZYR_EXPECTED_VERSION));
    const QString qtCredit = abouts[0]->findChild<QLabel*>("lbQt")->text();
    QVERIFY2(qtCredit.contains("Qt version " QT_VERSION_STR) && !qtCredit.contains("__"),
             qPrintable(qtCredit));
    // The logos are SVG: drawn only when Qt's SVG image plugin is there.
    QVERIFY2(!abouts[0]->findChild<QLabel*>("lbZyrLogo")->pixmap(Qt::ReturnByValue).isNull(),
             "no logo: is Qt's SVG image plugin missing?");
    QPointer<QDialog> kept = abouts[0];
    shown.window.close();
    QVERIFY2(kept.isNull(), "the About dialog outlived its window");
}

void TestMainWindow::redockedPlotsFillTheirPages_data() {
    QTest::addColumn<int>("openTab");     // while the docks float and are docked again
    QTest::addColumn<bool>("movedAside"); // the floating docks moved and resized by the user
    QTest::addColumn<QString>("docking"); // "Dock Windows", each "float button" or "title"
    QTest::newRow("histogram tab open, floating in place") << 0 << false << "Dock Windows";
    QTest::newRow("distance tab open, floating in place") << 1 << false << "Dock Windows";
    QTest::newRow("histogram tab open, moved aside") << 0 << true << "Dock Windows";
    QTest::newRow("distance tab open, moved aside") << 1 << true << "Dock Windows";
    QTest::newRow("float buttons, distance tab open") << 1 << false << "float button";
    QTest::newRow("float buttons, histogram tab open, moved aside") << 0 << true << "float button";
    QTest::newRow("title double clicks, histogram tab open") << 0 << false << "title";
}

// Dock Windows puts each floating plot back into its page as if it had never floated, whether
// that page is open at the time or shown only later, and the page keeps it fitted on resizing.
// So does the user by hand: the float button (floating it, too) or a double click on the title.
// (Where the window manager draws a floating dock's title, that is on every platform but X11,
// Qt hides the float button; clicked there it goes the button's way all the same.)
void TestMainWindow::redockedPlotsFillTheirPages() {
    QFETCH(int, openTab);
    QFETCH(bool, movedAside);
    QFETCH(QString, docking);
    const bool byHand = docking != QLatin1String("Dock Windows");
    ShownWindow shown(true);
    QVERIFY(shown.board);
    QVERIFY(shown.waitUntilLaidOut());
    MainWindow& window = shown.window;
    auto* tabs = window.findChild<QTabWidget*>("tabWidget");
    const QList<QDockWidget*> docks{window.findChild<QDockWidget*>("dockHistogram"),
                                    window.findChild<QDockWidget*>("dockDistanceVsTime")};
    // What the page's layout gives its dock.
    const auto layoutArea = [](const QDockWidget* dock) {
        const QWidget* page = dock->parentWidget();
        return page->contentsRect().marginsRemoved(page->layout()->contentsMargins());
    };
    // Where each plot of a tab's dock sits in its page; a plot missing or hidden has no place.
    const QStringList plotsOfTab[2] = {{"plotDistanceBar", "plotHistogram"}, {"plotDistance"}};
    const auto plotPlaces = [&](int tab) {
        const QDockWidget* dock = docks[tab];
        QList<QRect> places;
        for (const QString& name : plotsOfTab[tab]) {
            const auto* plot = dock->findChild<QCustomPlot*>(name);
            places << (plot && plot->isVisible()
                           ? QRect(plot->mapTo(dock->parentWidget(), QPoint()), plot->size())
                           : QRect());
        }
        return places;
    };
    // Above the minimum size, so the window keeps its size while the docks float.
    const QSize sizes[] = {window.size() + QSize(160, 120), window.size()};
    QList<QRect> neverFloated[2][2]; // by window size and dock
    for (int size = 0; size < 2; ++size) {
        window.resize(sizes[size]);
        for (int tab = 0; tab < 2; ++tab) {
            tabs->setCurrentIndex(tab);
            QCoreApplication::sendPostedEvents(); // the layouts' requests of the tab change
            QTRY_COMPARE_WITH_TIMEOUT(docks[tab]->geometry(), layoutArea(docks[tab]), 10000);
            neverFloated[size][tab] = plotPlaces(tab);
            for (const QRect& place : neverFloated[size][tab])
                QVERIFY2(!place.isEmpty(), qPrintable(tabs->tabText(tab) + ": a plot not shown"));
        }
    }
    window.resize(sizes[0]);

    // A dock floats from its own tab; what the window does in the user's pause before the next
    // click (its layouts' requests) is done before going on.
    for (int tab = 0; tab < 2; ++tab) {
        tabs->setCurrentIndex(tab);
        if (byHand)
            QTest::mouseClick(floatButton(docks[tab]), Qt::LeftButton);
        else
            docks[tab]->setFloating(true);
        QTRY_VERIFY_WITH_TIMEOUT(docks[tab]->isWindow() && docks[tab]->isVisible(), 10000);
        if (movedAside)
            docks[tab]->setGeometry(QRect(window.geometry().bottomRight(), QSize(300, 220)));
        QCoreApplication::sendPostedEvents();
    }
    tabs->setCurrentIndex(openTab);
    QCoreApplication::sendPostedEvents();
    for (QDockWidget* dock : docks) {
        if (docking == QLatin1String("float button"))
            QTest::mouseClick(floatButton(dock), Qt::LeftButton);
        else if (docking == QLatin1String("title"))
            doubleClickTitle(dock);
    }
    if (!byHand)
        menuEntry(window, "View", "Dock Windows")->trigger();
    for (const QDockWidget* dock : docks)
        QVERIFY2(!dock->isFloating() && !dock->isWindow(), qPrintable(dock->objectName()));
    for (int size = 0; size < 2; ++size) {
        window.resize(sizes[size]);
        for (int tab : {openTab, 1 - openTab}) {
            tabs->setCurrentIndex(tab);
            const auto fitted = [&] {
                return docks[tab]->isVisible() &&
                       docks[tab]->geometry() == layoutArea(docks[tab]) &&
                       plotPlaces(tab) == neverFloated[size][tab];
            };
            const auto found = [&] {
                QString text;
                QDebug(&text) << tabs->tabText(tab) << "at window size" << sizes[size] << "dock"
                              << docks[tab]->geometry() << "in" << layoutArea(docks[tab]) << "plots"
                              << plotPlaces(tab) << "never floated" << neverFloated[size][tab];
                return text;
            };
            QTRY_VERIFY2_WITH_TIMEOUT(fitted(), qPrintable(found()), 10000);
        }
    }
}

void TestMainWindow::calibrationOrProximitySelected_data() {
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<bool>("selected");
    QTest::newRow("proximity, zone") << QStringList{"cbProximity", "cbTDCPX3"} << true;
    QTest::newRow("proximity, reference") << QStringList{"cbProximity", "cbTDCPX0"} << false;
    QTest::newRow("zones only") << QStringList{"cbTDCPX1", "cbTDC2"} << false;
    QTest::newRow("calibration, reference") << QStringList{"cbCalibration", "cbTDC0"} << true;
    QTest::newRow("calibration, proximity zone")
        << QStringList{"cbCalibration", "cbTDCPX4"} << false;
}

void TestMainWindow::calibrationOrProximitySelected() {
    QFETCH(QStringList, checked);
    DialogRecorder dialogs;
    MainWindow window(nullptr, kAnyFreePort);
    for (QCheckBox* box : window.findChildren<QCheckBox*>())
        box->setChecked(checked.contains(box->objectName()));
    QTEST(window.isCalibrationOrProximitySelected(), "selected");
}

void TestMainWindow::minimumSizeFitsTheLayouts_data() {
    QTest::addColumn<int>("pointSize"); // of the application font; 0 keeps the platform's
    QTest::newRow("platform font") << 0;
    QTest::newRow("10 pt") << 10;
    QTest::newRow("12 pt") << 12;
    // Larger than the form was made for: the window grows, or the form scrolls, rather than clip
    // its controls.
    QTest::newRow("16 pt") << 16;
}

void TestMainWindow::minimumSizeFitsTheLayouts() {
    QFETCH(int, pointSize);
    struct FontRestorer {
        const QFont platformFont = QApplication::font();
        ~FontRestorer() { QApplication::setFont(platformFont); }
    } restorer;
    if (pointSize > 0)
        QApplication::setFont(QFont(restorer.platformFont.family(), pointSize));
    ShownWindow shown(true);
    QVERIFY(shown.board);
    QVERIFY(shown.waitUntilLaidOut());
    MainWindow& window = shown.window;
    // The form's minimum size as far as the screen's free area has room for it, frame included.
    const QSize frame = window.frameGeometry().size() - window.size();
    const QSize room = window.screen()->availableGeometry().size() - frame;
    const QSize formMinimum = QSize(1024, 768).boundedTo(room);
    QVERIFY2(window.minimumSize().expandedTo(formMinimum).boundedTo(room) == window.minimumSize(),
             qPrintable(QString("minimum %1x%2 with room for %3x%4")
                            .arg(window.minimumWidth())
                            .arg(window.minimumHeight())
                            .arg(room.width())
                            .arg(room.height())));
    // On every tab the window at its minimum size gives the form all the room its layouts need,
    // scrolling where the screen has less.
    auto* form = shown.widget("centralWidget");
    const auto fits = [form] {
        return form->size().expandedTo(form->minimumSizeHint()) == form->size();
    };
    auto* tabs = window.findChild<QTabWidget*>("tabWidget");
    for (int tab = tabs->count() - 1; tab >= 0; --tab) {
        tabs->setCurrentIndex(tab);
        QTRY_VERIFY2_WITH_TIMEOUT(fits(), qPrintable(tabs->tabText(tab)), 10000);
        // The layouts may shrink a button only as far as its explicit minimum: that must leave
        // room for its text.
        for (const QPushButton* button : window.findChildren<QPushButton*>()) {
            if (button->isVisible())
                QVERIFY2(button->height() >= button->sizeHint().height(),
                         qPrintable(button->objectName() + " is cut off"));
        }
    }
    // Kept in the build tree, to look at the window as a user sees it.
    const QDir folder(QCoreApplication::applicationDirPath() + "/screenshots");
    QString name = QStringLiteral("mainwindow-%1.png").arg(QTest::currentDataTag());
    QVERIFY(folder.mkpath(".") && window.grab().save(folder.filePath(name.replace(' ', '-'))));
}

void TestMainWindow::distanceBarRowsAndAxesStayClear_data() {
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("value");
    for (const char* dpi : {"96", "120", "144", "150", "192"})
        QTest::newRow(qPrintable(QStringLiteral("%1 dpi").arg(dpi)))
            << QByteArray("QT_FONT_DPI") << QByteArray(dpi);
    QTest::newRow("scaled by 1.5") << QByteArray("QT_SCALE_FACTOR") << QByteArray("1.5");
}

// Whatever size the fonts are drawn at, the distance bar's five legend rows stay clear of its
// axes' numbers and labels, and the histogram plot below leaves the distance axis whole: in the
// window as it starts, measuring, with the legend shown again and in a larger window.
void TestMainWindow::distanceBarRowsAndAxesStayClear() {
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, value);
    if (!qEnvironmentVariableIsSet(kRowInChild)) {
        QString output;
        QVERIFY2(rowPassesInChild(variable, value, output), qPrintable(output));
        return;
    }
    ShownWindow shown(true);
    QVERIFY(shown.board);
    QVERIFY(shown.waitUntilLaidOut());
    MainWindow& window = shown.window;
    auto* plot = window.findChild<QCustomPlot*>("plotDistanceBar");
    if (variable == "QT_FONT_DPI")
        QCOMPARE(plot->logicalDpiY(), value.toInt());
    else
        QCOMPARE(plot->devicePixelRatioF(), value.toDouble());
    QCOMPARE(plot->legend->itemCount(), 5);
    auto* start = window.findChild<QPushButton*>("pbStart");
    auto* legendBox = window.findChild<QCheckBox*>("cbLegend");
    const auto referencePhotons = [plot] {
        return qobject_cast<QCPStringLegendItem*>(plot->legend->item(2))->text();
    };
    // Drawn where the window's layouts have placed the plot by then.
    const auto overlaps = [plot] {
        plot->replot();
        return overlapsInPlot(*plot);
    };
    const QString steps[] = {"as the window starts", "with a measurement",
                             "shown again after a measurement without it", "in a larger window"};
    for (const QString& step : steps) {
        legendBox->setChecked(step != steps[2]);
        if (step == steps[1] || step == steps[2]) {
            // The bar follows at most every 33 ms: Start is pressed until its counts change.
            const QString before = referencePhotons();
            QTRY_VERIFY2_WITH_TIMEOUT((start->click(), referencePhotons() != before),
                                      qPrintable(step), 10000);
        }
        legendBox->setChecked(true);
        if (step == steps[3])
            window.resize(window.size() + QSize(200, 200));
        QTRY_VERIFY2_WITH_TIMEOUT(overlaps().isEmpty(),
                                  qPrintable(step + ": " + overlaps().join("; ")), 10000);
    }
}

void TestMainWindow::denseScreenShowsEveryTextWhole_data() {
    QTest::addColumn<int>("dpi");
    for (int dpi : {96, 144, 192})
        QTest::newRow(qPrintable(QStringLiteral("%1 dpi").arg(dpi))) << dpi;
}

// Fonts drawn for a dense screen, without scaling the rest: the window opens with every tab title
// whole, each plot's tick labels stay apart as it starts and measures, and the About dialog opens
// with every text whole.
void TestMainWindow::denseScreenShowsEveryTextWhole() {
    QFETCH(int, dpi);
    if (!qEnvironmentVariableIsSet(kRowInChild)) {
        QString output;
        QVERIFY2(rowPassesInChild("QT_FONT_DPI", QByteArray::number(dpi), output),
                 qPrintable(output));
        return;
    }
    ShownWindow shown(true);
    QVERIFY(shown.board);
    QVERIFY(shown.waitUntilLaidOut());
    MainWindow& window = shown.window;
    QCOMPARE(window.logicalDpiY(), dpi);
    const QString cutTitles = cutTabTitles(*shown.widget<QTabWidget>("tabWidget")).join(", ");
    QVERIFY2(cutTitles.isEmpty(), qPrintable("cut tab titles: " + cutTitles));

    auto* start = shown.widget<QPushButton>("pbStart");
    auto* distance = shown.widget<QDistancePlot>("plotDistance");
    for (const char* page : {kHistogramPage, kDistancePage}) {
        QVERIFY(shown.openTab(page));
        const QList<QCustomPlot*> plots = shown.widget(page)->findChildren<QCustomPlot*>();
        QVERIFY(!plots.isEmpty());
        const auto crowded = [&plots] {
            QStringList found;
            for (const QCustomPlot* plot : plots)
                found << crowdedTickLabels(*plot);
            return found.join("; ");
        };
        // Drawn as they open, and again once a measurement has set their ranges.
        QTRY_VERIFY2_WITH_TIMEOUT(crowded().isEmpty(), qPrintable(crowded()), 10000);
        const QVector<double> before = distance->timeValues();
        QTRY_VERIFY_WITH_TIMEOUT((start->click(), distance->timeValues() != before), 10000);
        QTRY_VERIFY2_WITH_TIMEOUT(crowded().isEmpty(), qPrintable(crowded()), 10000);
    }

    menuEntry(window, "Help", "About Dialog")->trigger();
    ZyrGui::Controls::AboutDialog* about = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        about = about != nullptr ? about : qobject_cast<ZyrGui::Controls::AboutDialog*>(widget);
    QVERIFY(about != nullptr && QTest::qWaitForWindowExposed(about));
    QTRY_VERIFY2_WITH_TIMEOUT(cutLabels(*about).isEmpty(), qPrintable(cutLabels(*about).join("; ")),
                              10000);
}

void TestMainWindow::windowFitsTheScreen_data() {
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("dpi");
    QTest::newRow("1366x768 at 96 dpi") << QSize(1366, 768) << 96;
    QTest::newRow("1920x1080 at 144 dpi") << QSize(1920, 1080) << 144;
    QTest::newRow("1920x1080 at 96 dpi") << QSize(1920, 1080) << 96;
    QTest::newRow("2560x1600 at 192 dpi") << QSize(2560, 1600) << 192;
}

// On a screen with a window manager and a panel, scaled to its density as the program scales:
// the window opens within the screen's free area, frame included, and every control of every tab
// is on it or can be scrolled onto it. Where the screen has room for the form, the window keeps
// the form's minimum size and nothing scrolls.
void TestMainWindow::windowFitsTheScreen() {
    QFETCH(QSize, screen);
    QFETCH(int, dpi);
    if (!qEnvironmentVariableIsSet(kRowInChild)) {
        runRowOnFramingScreen(screen, dpi);
        return;
    }
    ShownWindow shown(true);
    QVERIFY(shown.board);
    MainWindow& window = shown.window;
    const QRect freeArea = window.screen()->availableGeometry();
    const qreal scale = window.devicePixelRatioF();
    QVERIFY2(qAbs(scale - dpi / 96.0) < 0.01, qPrintable(QString("scaled by %1").arg(scale)));
    QVERIFY2(freeArea.bottom() * scale < screen.height() - FramingScreen::kPanelHeight / 2,
             "the panel's strip is not kept free");
    const auto placed = [&window, &freeArea] {
        return window.isVisible() && window.frameGeometry() != window.geometry() &&
               window.size() == window.minimumSize() && freeArea.contains(window.frameGeometry());
    };
    const auto where = [&] {
        QString text;
        QDebug(&text) << "frame" << window.frameGeometry() << "inside" << window.geometry()
                      << "minimum" << window.minimumSize() << "free area" << freeArea;
        return text;
    };
    QTRY_VERIFY2_WITH_TIMEOUT(placed(), qPrintable(where()), 10000);

    auto* form = shown.widget("centralWidget");
    auto* tabs = shown.widget<QTabWidget>("tabWidget");
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QCoreApplication::sendPostedEvents(); // the layouts' requests of the tab change
        const QString unreachable = unreachableControls(window, freeArea).join("; ");
        QVERIFY2(unreachable.isEmpty(), qPrintable(tabs->tabText(tab) + ": " + unreachable +
                                                   " out of reach in " + where()));
        QVERIFY2(form->size().expandedTo(form->minimumSizeHint()) == form->size(),
                 qPrintable(tabs->tabText(tab) + ": the form is squeezed"));
    }

    // With room, the window is as it always was: the form's minimum size, or what its layouts
    // need (the form's and the bars' around it) where that is more.
    const QSize frame = window.frameGeometry().size() - window.size();
    const QSize formMinimum(1024, 768);
    if (freeArea.size() - frame == (freeArea.size() - frame).expandedTo(formMinimum)) {
        const QScrollArea* area = scrollAreaHolding(form);
        const QWidget* view = area != nullptr ? area->viewport() : form;
        const QSize needed = form->minimumSizeHint() + (window.size() - view->size());
        QVERIFY2(window.minimumSize() == formMinimum.expandedTo(needed), qPrintable(where()));
        QVERIFY2(area == nullptr || (!area->horizontalScrollBar()->isVisible() &&
                                     !area->verticalScrollBar()->isVisible()),
                 "scroll bars on a screen with room for the form");
    }
}

void TestMainWindow::windowKeepsItsSizeWhenItsFrameChanges_data() {
    windowFitsTheScreen_data();
}

// Once the window has opened, a frame that changes (another theme of the window manager, or a
// screen of another density that the window is moved to) leaves it as large as the user made it.
void TestMainWindow::windowKeepsItsSizeWhenItsFrameChanges() {
    QFETCH(QSize, screen);
    QFETCH(int, dpi);
    if (!qEnvironmentVariableIsSet(kRowInChild)) {
        runRowOnFramingScreen(screen, dpi);
        return;
    }
    ShownWindow shown(true);
    QVERIFY(shown.board);
    MainWindow& window = shown.window;
    const auto titleHeight = [&window] {
        return window.geometry().top() - window.frameGeometry().top();
    };
    // The window shrinks 100 ms after it was made; a timer started after it ends after it.
    bool shrunk = false;
    QTimer::singleShot(100, &window, [&shrunk] { shrunk = true; });
    QTRY_VERIFY_WITH_TIMEOUT(shrunk, 10000);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_VERIFY_WITH_TIMEOUT(titleHeight() > 0 && window.size() == window.minimumSize(), 10000);
    const QSize wider = window.size() + QSize(150, 0);
    window.resize(wider);
    QTRY_COMPARE_WITH_TIMEOUT(window.size(), wider, 10000);

    const int title = titleHeight();
    QVERIFY(FramingScreen::writeManagerConfig(qEnvironmentVariable(kManagerConfig), 24));
    QVERIFY(FramingScreen::reconfigureManager());
    QTRY_VERIFY_WITH_TIMEOUT(titleHeight() > title, 10000);
    // The user moves it on.
    const QPoint place = window.pos();
    window.move(place + QPoint(40, 30));
    QTRY_VERIFY_WITH_TIMEOUT(window.pos() != place, 10000);
    QCOMPARE(window.size(), wider);
}

void TestMainWindow::missingControlInterfaceShowsOnTheControlField_data() {
    QTest::addColumn<QString>("config");
    QTest::newRow("missing at start") << "fault.control=unplugged";
    QTest::newRow("unplugged while running") << "";
}

// With the control interface missing, the control channel must not take the module interface:
// its field stays red through the retries and the module interface stays free for its own
// channel (which rides on the control channel, so it goes down with it).
void TestMainWindow::missingControlInterfaceShowsOnTheControlField() {
    QFETCH(QString, config);
    auto board = ZyrSim::SimulatedEvaluationBoard::create(config);
    QVERIFY(board);
    SearchCountingBackend lookups;
    DialogRecorder dialogs;
    MainWindow window(nullptr, kAnyFreePort);
    auto* statusBar = window.findChild<DeviceStatusBar*>();
    ZyrSim::SimulatedBoard& hardware = board->board();
    hardware.setFault(ZyrSim::BoardInterface::Control, ZyrSim::TransportFault::Unplugged);
    QTRY_VERIFY_WITH_TIMEOUT(showsClosed(statusBar->controlHidField()), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(showsClosed(statusBar->moduleHidField()), 10000);
    // Several retries of the control channel.
    const int searches = lookups.searches;
    QTRY_VERIFY_WITH_TIMEOUT(lookups.searches >= searches + 3, 10000);
    QVERIFY(showsClosed(statusBar->controlHidField()));
    auto& module = hardware.hidInterface(ZyrSim::BoardInterface::Module);
    const auto session = module.claim();
    QVERIFY(session != 0);
    module.release(session);
    hardware.setFault(ZyrSim::BoardInterface::Control, ZyrSim::TransportFault::None);
    QTRY_VERIFY_WITH_TIMEOUT(showsOpen(statusBar->controlHidField()), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(showsOpen(statusBar->moduleHidField()), 10000);
}

ZYR_TEST_CLASS(TestMainWindow)
#include "tst_mainwindow.moc"
