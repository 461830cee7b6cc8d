#include "mainwindow.h"

#include "Communication/communicationstackelement.h"
#include "Communication/comstream.h"
#include "Communication/nodestatemanager.h"
#include "Tools/versioninfo.h"
#include "controls/aboutdialog.h"
#include "formscrollarea.h"
#include "intents/iintent.h"
#include "intents/intentgroup.h"
#include "intents/intentmanager.h"
#include "logging.h"
#include "pagedock.h"
#include "plots/distancebar.h"
#include "statusfieldstate.h"
#include "tools/barcreator.h"
#include "ui_mainwindow.h"
#include "userdialogs.h"
#include "windowhelper.h"
#include "zyrstatusfield.h"
#include "zyruploadfiledemowidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <cmath>

using ZyrCore::Communication::CommunicationStackElement;
using ZyrCore::Communication::ComStream;
using ZyrCore::Communication::NodeState;
using ZyrCore::Communication::NodeStateContext;
using ZyrCore::Communication::NodeStateManager;
using ZyrGui::StatusFieldState;
using ZyrGui::Intents::IntentGroup;
using ZyrGui::Intents::IntentManager;
using ZyrRasPi::RasPiStreamCommunicationStack;

const char* const MainWindow::organizationName = "zyr";
const char* const MainWindow::applicationName = "ORVANE_GUI";
const char* const MainWindow::alreadyRunningKey = "AlreadyRunning";

namespace {

constexpr int kContinuousIntervalMs = 16;
constexpr int kShrinkDelayMs = 100;

StatusFieldState colouredState(const QString& text, const char* background) {
    return StatusFieldState(
        QStringLiteral("background-color: %1; color: %2;").arg(background, "#ffffff"), text);
}

} // namespace

MainWindow::MainWindow(QWidget* parent, quint16 automationPort)
    : QMainWindow(parent)
    , itsDeviceStatusBar(this)
    , itsUi(new Ui_MainWindow)
    , itsSettings(QSettings::IniFormat, QSettings::UserScope, organizationName, applicationName)
    , itsGlobalSettings(QSettings::SystemScope, organizationName, applicationName) {
    ZyrGui::WindowHelper::applyStyleSheet(qApp);
    itsUi->setupUi(this);
    itsFormMinimumSize = minimumSize();
    // A screen too small for the form would leave the form's lower part out of reach.
    setCentralWidget(new FormScrollArea(takeCentralWidget()));
    itsDistanceBar = std::make_unique<DistanceBar>(itsUi->plotDistanceBar);
    itsUploadWidget = new ZyrUploadFileDemoWidget();
    itsUploadWidget->setControlLogic(&itsControlLogic);
    itsUi->tabWidget->addTab(itsUploadWidget, tr("File Upload"));
    // The plots float out of their pages and the user docks them there again by hand.
    new PageDock(itsUi->dockHistogram);
    new PageDock(itsUi->dockDistanceVsTime);
    IntentManager::instance()->registerExecutor(this);
    itsControlLogic.initialize();
    statusBar()->addPermanentWidget(&itsDeviceStatusBar, 0);
    addStatusFieldStates();
    connectStatusFields();
    itsControlLogic.communicationInitialized.set(this, SLOT(on_communicationInitialized()));
    itsControlLogic.communicationDeinitialized.set(this, SLOT(on_communicationDeinitialized()));
    buildMenuBar();
    findModuleStream();
    // Queued: the module may open inside the activation below, and what the window does on
    // activation can open message boxes whose event loop must not run inside that cascade.
    connect(&itsControlLogic, &ControlLogic::tofModuleActivated, this,
            &MainWindow::onToFModuleActivated, Qt::QueuedConnection);
    itsControlLogic.activateCommunication();
    itsUi->plotDistance->setComStream(itsModuleStream);

    itsVersionInfo = new ZyrCore::Tools::VersionInfo();
    itsVersionInfo->retrieveInfo();
    setWindowTitle(itsVersionInfo->productNameString());

    // Until the first tab switch the distance options are out of view, and the axis maxima only
    // count once automatic scaling is switched off.
    itsUi->gbDistanceGraph->hide();
    itsUi->sbXAxisMax->setEnabled(false);
    itsUi->sbYAxisMax->setEnabled(false);
    itsUi->sbYAxisMaxDist->setEnabled(false);

    itsContinuousTimer = new QTimer(this);
    connect(itsContinuousTimer, &QTimer::timeout, this, &MainWindow::clickpbStartContinuous);
    itsContinuousTimer->start(kContinuousIntervalMs);
    itsUi->plotHistogram->setAutoScaleX(true);
    itsUi->plotHistogram->setAutoScaleY(true);

    checkSingleInstance();
    setupDistanceBarPlot();

    itsUi->lbCaptureTime->hide();
    itsUi->sbCaptureTime->hide();
    // Until a module reports, the iteration settings show and the mode choices wait.
    updateFirmwareDependentWidgets();

    // The zone boxes and the calibration and pile-up options stay out of view; the reference
    // boxes choose what is measured.
    itsUi->cbLegend->setChecked(true);
    itsUi->cbCalibration->hide();
    itsUi->cbPileupCorrection->hide();
    for (QCheckBox* box : {itsUi->cbTDC1, itsUi->cbTDC2, itsUi->cbTDC3, itsUi->cbTDC4,
                           itsUi->cbTDCPX1, itsUi->cbTDCPX2, itsUi->cbTDCPX3, itsUi->cbTDCPX4})
        box->hide();
    startAutomationServer(automationPort);

    // Opens within the screen's free area; its frame, unknown until it shows, the start-up
    // shrink fits in.
    setMinimumSize(minimumSize().boundedTo(roomOnScreen()));
    resize(size().boundedTo(roomOnScreen()));

    // From the event loop, so a module found during start-up is set up once the window shows.
    QTimer::singleShot(0, this, &MainWindow::detectTargetChipAndSetupGUI);
    QTimer::singleShot(kShrinkDelayMs, this, &MainWindow::resizeMainWindowToMinimum);
    itsElapsedTimer.start();
}

MainWindow::~MainWindow() {
    if (!itsAlreadyRunningWarned)
        itsGlobalSettings.setValue(alreadyRunningKey, false);
    disconnectStatusFields();
    IntentManager::instance()->unregisterExecutor(this);
    delete itsUi;
    delete itsAboutDialog;
    delete itsVersionInfo;
    qDeleteAll(itsIntentGroups);
    itsIntentGroups.clear();
    delete itsLogging;
    itsLogging = nullptr;
}

// Appended after each field's "unknown" state, in the order of the state enums.
void MainWindow::addStatusFieldStates() {
    ZyrGui::ZyrStatusField* moduleHid = itsDeviceStatusBar.moduleHidField();
    moduleHid->addState(colouredState(tr("Firmware"), "#009f69"));
    moduleHid->addState(colouredState(tr("Firmware"), "#df5353"));
    ZyrGui::ZyrStatusField* loopback = itsDeviceStatusBar.registerLoopbackField();
    loopback->addState(colouredState(tr("Loopback"), "#009f69"));
    loopback->addState(colouredState(tr("Loopback"), "#df5353"));
    ZyrGui::ZyrStatusField* automation = itsDeviceStatusBar.automationStatusField();
    automation->addState(colouredState(tr("Local"), "#009f69"));
    automation->addState(colouredState(tr("Automation On"), "#0075b0"));
    automation->addState(colouredState(tr("Automation Off"), "#df5353"));
}

void MainWindow::connectStatusFields() {
    auto* stack = itsControlLogic.communicationStack();
    NodeStateManager* controlManager = nullptr;
    stack->tryGetStateManager(RasPiStreamCommunicationStack::controlStreamName, &controlManager);
    itsDeviceStatusBar.controlHidField()->setStateManager(controlManager);
    NodeStateManager* moduleManager = nullptr;
    stack->tryGetStateManager(RasPiStreamCommunicationStack::moduleStreamName, &moduleManager);
    itsDeviceStatusBar.moduleHidField()->setStateManager(moduleManager);
}

void MainWindow::disconnectStatusFields() {
    itsDeviceStatusBar.moduleHidField()->releaseStateManager();
    itsDeviceStatusBar.controlHidField()->releaseStateManager();
}

void MainWindow::buildMenuBar() {
    menuBar()->clear();
    auto* mainMenu = new IntentGroup(QStringLiteral("MainMenu"));
    auto* file = new IntentGroup(tr("File"));
    auto* view = new IntentGroup(tr("View"));
    auto* help = new IntentGroup(tr("Help"));
    itsIntentGroups << mainMenu << file << view << help;
    mainMenu->add(file);
    mainMenu->add(view);
    mainMenu->add(help);

    const auto addIntent = [](IntentGroup* group, const char* name) {
        if (auto* intent = IntentManager::instance()->getIntent(QLatin1String(name)))
            group->add(intent);
    };
    addIntent(file, "intLoadConfiguration");
    addIntent(file, "intSaveConfiguration");
    addIntent(file, "intExit");
    addIntent(view, "intRedockWindows");
    addIntent(view, "intUpdateGraphs");
    addIntent(help, "intOpenAboutDialog");
    ZyrGui::BarCreator::createMenuBar(menuBar(), mainMenu);

    // The docks start docked, so "Dock Windows" has nothing to do yet.
    for (QAction* menuAction : menuBar()->actions()) {
        if (menuAction->text() != QLatin1String("View") || menuAction->menu() == nullptr)
            continue;
        for (QAction* action : menuAction->menu()->actions()) {
            if (action->text() == QLatin1String("Dock Windows"))
                itsDockWindowsAction = action;
        }
    }
    if (itsDockWindowsAction != nullptr)
        itsDockWindowsAction->setEnabled(false);
}

void MainWindow::findModuleStream() {
    CommunicationStackElement* element = nullptr;
    if (itsControlLogic.communicationStack()->tryGetElementByName(
            RasPiStreamCommunicationStack::moduleStreamName, &element))
        itsModuleStream = dynamic_cast<ComStream*>(element->node());
}

void MainWindow::checkSingleInstance() {
    if (itsModuleStream != nullptr && itsModuleStream->isOpen()) {
        itsAlreadyRunningWarned = false;
        itsGlobalSettings.setValue(alreadyRunningKey, false);
    }
    if (itsGlobalSettings.value(alreadyRunningKey, false).toBool()) {
        itsAlreadyRunningWarned = true;
        UserDialogs::warning(
            this, itsVersionInfo->productNameString(),
            tr("Could not connect to target. Is another instance of the GUI already running?\n"));
    } else {
        itsGlobalSettings.setValue(alreadyRunningKey, true);
    }
}

void MainWindow::onMcuStateChanged(NodeStateContext, int, int currentState) {
    DeviceStatusBar::LinkFieldState fieldState = DeviceStatusBar::LinkUnknown;
    if (currentState == NodeState::Open)
        fieldState = DeviceStatusBar::LinkUp;
    else if (currentState == NodeState::Closed)
        fieldState = DeviceStatusBar::LinkDown;
    itsDeviceStatusBar.moduleHidField()->setState(fieldState);
}

void MainWindow::onIcStateChanged(NodeStateContext, int, int currentState) {
    DeviceStatusBar::LinkFieldState fieldState = DeviceStatusBar::LinkUnknown;
    if (currentState == NodeState::Open)
        fieldState = DeviceStatusBar::LinkUp;
    else if (currentState == NodeState::Opening || currentState == NodeState::Closing ||
             currentState == NodeState::Closed)
        fieldState = DeviceStatusBar::LinkDown;
    itsDeviceStatusBar.registerLoopbackField()->setState(fieldState);
}

void MainWindow::on_communicationInitialized() {}

void MainWindow::on_communicationDeinitialized() {}

void MainWindow::resizeMainWindowToMinimum() {
    fitMinimumSizeToLayouts();
    resize(minimumSize());
    moveFrameIntoFreeArea();
    itsPlacedUnframed = frameMargins().isNull();
}

void MainWindow::fitMinimumSizeToLayouts() {
    const QSize fitting =
        itsFormMinimumSize.expandedTo(layout()->totalMinimumSize()).boundedTo(roomOnScreen());
    if (fitting != minimumSize())
        setMinimumSize(fitting);
}

QMargins MainWindow::frameMargins() const {
    const QRect frame = frameGeometry();
    const QRect inside = geometry();
    return QMargins(inside.left() - frame.left(), inside.top() - frame.top(),
                    frame.right() - inside.right(), frame.bottom() - inside.bottom());
}

QSize MainWindow::roomOnScreen() const {
    const QScreen* shownOn = screen();
    if (shownOn == nullptr)
        return QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    QMargins frame = frameMargins();
    // Scaled by a fraction, each side of the frame is rounded and may be up to a pixel short.
    const qreal ratio = devicePixelRatioF();
    if (ratio != std::floor(ratio))
        frame += QMargins(frame.left() > 0, frame.top() > 0, frame.right() > 0, frame.bottom() > 0);
    return shownOn->availableGeometry().marginsRemoved(frame).size();
}

// Left and top win over right and bottom, where the title bar and the menus are.
void MainWindow::moveFrameIntoFreeArea() {
    const QScreen* shownOn = screen();
    if (shownOn == nullptr)
        return;
    const QRect area = shownOn->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveRight(qMin(frame.right(), area.right()));
    frame.moveBottom(qMin(frame.bottom(), area.bottom()));
    frame.moveLeft(qMax(frame.left(), area.left()));
    frame.moveTop(qMax(frame.top(), area.top()));
    if (frame.topLeft() != frameGeometry().topLeft())
        move(frame.topLeft());
}

// An explicit minimum size keeps the layout from raising it, so the window follows what its
// layouts need (text size, shown controls) itself, as far as the screen has room.
bool MainWindow::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::LayoutRequest) {
        fitMinimumSizeToLayouts();
    } else if ((event->type() == QEvent::Move || event->type() == QEvent::WindowActivate) &&
               itsPlacedUnframed && !frameMargins().isNull() &&
               !(windowState() &
                 (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen))) {
        // The window system framed the window only after the start-up shrink placed it: a frame
        // around the same place moves nothing, but the window manager activates what it framed.
        // A frame that changes later (another theme, a screen of another density) keeps the
        // user's size.
        resizeMainWindowToMinimum();
    }
    return handled;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The about dialog has no parent, so it would outlive the window on screen.
    if (itsAboutDialog != nullptr) {
        itsAboutDialog->close();
        delete itsAboutDialog;
        itsAboutDialog = nullptr;
    }
    QMainWindow::closeEvent(event);
}
