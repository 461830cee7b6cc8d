#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "Communication/nodestatecontext.h"
#include "automation/automationserver.h"
#include "controllogic.h"
#include "devicestatusbar.h"
#include "intents/iintentexecutor.h"

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QMargins>
#include <QMutex>
#include <QSettings>
#include <QSize>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>

class DistanceBar;
class GetCalibrationDataCommand;
class Logging;
class QAction;
class QCheckBox;
class QCloseEvent;
class QTcpSocket;
class QTimer;
class QWidget;
class Ui_MainWindow;
class ZyrUploadFileDemoWidget;

namespace ZyrCore::Communication {
class ComStream;
}
namespace ZyrCore::Tools {
class VersionInfo;
}
namespace ZyrGui::Intents {
class IntentGroup;
class IIntentExecuteParameter;
} // namespace ZyrGui::Intents
namespace ZyrGui::Controls {
class AboutDialog;
}

// The program's main window: it owns the control logic with the board's communication stack,
// shows the channel states in its status bar and builds its menus from the intents.
class MainWindow : public QMainWindow, public ZyrGui::Intents::IIntentExecutor {
    Q_OBJECT

public:
    // The automation server listens on automationPort (0: any free port).
    explicit MainWindow(QWidget* parent = nullptr,
                        quint16 automationPort = AutomationServer::defaultPort);
    ~MainWindow() override;

    static const char* const organizationName;
    static const char* const applicationName;
    static const char* const alreadyRunningKey;

    // True when a calibration or proximity histogram of at least one zone is asked for; the
    // reference proximity box does not count.
    bool isCalibrationOrProximitySelected() const;
    // The port the automation server listens on; 0 when it does not listen.
    quint16 automationPort() const;

public slots:
    void intOpenAboutDialog_update(bool& enabled);
    void intOpenAboutDialog_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    // Requests one histogram type for every checked box (its index is the channel) into the
    // cache, channel-major, and logs it. Stops at the first failed exchange, which copies and
    // logs nothing; false then, or when the module stream is closed.
    bool fillHistogramCache(uint8_t histogramType, QList<QCheckBox*> checkBoxes,
                            uint16_t* histogramCache, bool keepPreviousHistogramCache = false);
    void intSaveConfiguration_update(bool& enabled);
    void intSaveConfiguration_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void intLoadConfiguration_update(bool& enabled);
    void intLoadConfiguration_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void intRedockWindows_update(bool& enabled);
    void intRedockWindows_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void intUpdateGraphs_update(bool& enabled);
    void intUpdateGraphs_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void onToFModuleActivated();
    void on_pbNewCalibration_clicked();
    void on_pbClearCalibration_clicked();

    // Calibration: runs the command on the module stream by the one exchange rule.
    bool executeCalibrationCommand(GetCalibrationDataCommand& command);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private slots:
    void onMcuStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                           int currentState);
    void onIcStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                          int currentState);
    void on_communicationInitialized();
    void on_communicationDeinitialized();
    void on_tabWidget_currentChanged(int index);
    void on_pbSelectDataFile_clicked();
    void on_dockHistogram_topLevelChanged(bool isFloating);
    void on_dockDistanceVsTime_topLevelChanged(bool isFloating);
    void resizeMainWindowToMinimum();
    void newAutomationConnection(QTcpSocket* client);
    void disconnectAutomation();
    void onAutomationListenFailed(const QString& message);
    void onAutomationOperationModeRequested(int index);

    // Measurement cycle and the settings that reach the sensor (mainwindow_measurement.cpp).
    void on_pbStart_clicked();
    void clickpbStartContinuous();
    void on_cbTDC1_stateChanged(int state);
    void on_cbTDC2_stateChanged(int state);
    void on_cbTDC3_stateChanged(int state);
    void on_cbTDC4_stateChanged(int state);
    void on_sbCaptureTime_valueChanged(int value);
    void on_cbCalibration_stateChanged(int state);
    void on_cbRaw_stateChanged(int state);
    void on_cbSummed_stateChanged(int state);
    void on_cbProximity_stateChanged(int state);
    void on_cbPileupCorrection_stateChanged(int state);
    void on_cbOperationMode_currentIndexChanged(int currentIndex);
    void on_cb4mMode_stateChanged(int checkState);
    void on_sbIterations_valueChanged(int value);
    void on_sbThreshold_valueChanged(int value);
    void on_cbIterationSelector_currentIndexChanged(int index);

    // Plot options (mainwindow_plotview.cpp).
    void on_cbLegend_stateChanged(int state);
    void on_cbAutoScaleX_stateChanged(int state);
    void on_cbAutoScaleY_stateChanged(int state);
    void on_sbXAxisMax_valueChanged(int currentValue);
    void on_sbYAxisMax_valueChanged(int currentValue);
    void on_cbAutoScaleYDist_stateChanged(int state);
    void on_sbYAxisMaxDist_valueChanged(int currentValue);
    void on_cbContinuousMode_stateChanged(int state);
    void on_pbSnapshot_clicked();

    // Result log (mainwindow_resultlog.cpp).
    void on_cbSaveData_stateChanged(int arg1);
    void onLogWriteFailed(const QString& reason);

    // Chip detection (mainwindow_activation.cpp).
    void detectTargetChipAndSetupGUI();

private:
    void startAutomationServer(quint16 port);
    // Runs a calibration command of this mode; on success its "#CAL" record goes to the log.
    void runCalibrationCommand(uint8_t mode);

    void addStatusFieldStates();
    void connectStatusFields();
    void disconnectStatusFields();
    void buildMenuBar();
    // Raises the minimum size above the form's when the layouts need more (wider fonts), and
    // lowers it to what the screen has room for, frame included.
    void fitMinimumSizeToLayouts();
    // The window's frame around its inside; none before the window system has framed it.
    QMargins frameMargins() const;
    // The largest inside that leaves the window within the screen's free area.
    QSize roomOnScreen() const;
    void moveFrameIntoFreeArea();
    void findModuleStream();
    void checkSingleInstance();

    void updateHistograms();
    void readTemperature();
    void sendSelectTDCs();
    void sendCaptureTime();
    void sendTargetConfiguration();
    void sendIterationsAndThreshold();
    void sendMeasurementSettings();
    void setupDistanceBarPlot();
    void updateDistanceBar();

    void readDeviceInfo();
    void updateFirmwareDependentWidgets();
    void updateFirmwareDependentLabels();
    void logIterationSettings();

    // One saved control: its key (the widget's object name), the widget and the value a missing
    // key loads as.
    struct ConfigurationEntry {
        const char* key;
        QWidget* widget;
        QVariant defaultValue;
    };
    QList<ConfigurationEntry> configurationEntries() const;
    // Whether loading a configuration may set this control.
    bool userCanChange(const QWidget* control) const;

    DeviceStatusBar itsDeviceStatusBar;
    ControlLogic itsControlLogic;
    ZyrGui::Controls::AboutDialog* itsAboutDialog = nullptr;
    ZyrCore::Tools::VersionInfo* itsVersionInfo = nullptr;
    QList<ZyrGui::Intents::IntentGroup*> itsIntentGroups;
    Ui_MainWindow* itsUi;
    // Owned by the form's tab widget.
    ZyrUploadFileDemoWidget* itsUploadWidget = nullptr;
    QTimer* itsContinuousTimer = nullptr;
    QSettings itsSettings;
    QSettings itsGlobalSettings;
    bool itsAlreadyRunningWarned = false;
    QString itsSerialNumber;
    QString itsApp0Revision;
    QString itsDriverRevision;
    QString itsChipId;
    QString itsChipRevision;
    ZyrCore::Communication::ComStream* itsModuleStream = nullptr;
    bool itsGraphUpdatesEnabled = true;
    QAction* itsDockWindowsAction = nullptr;
    QElapsedTimer itsElapsedTimer;
    // The form's minimum size: the window's never goes below it where the screen has room.
    QSize itsFormMinimumSize;
    // The start-up shrink placed the window before the window system had framed it.
    bool itsPlacedUnframed = false;
    // Owned; the file log or the automation client's log, null while neither is active.
    Logging* itsLogging = nullptr;
    bool itsAutomationActive = false;
    // 1 when the App0 revision does not begin with '2', else 0.
    int itsChipFamilyFlag = 1;
    // Held by one timer-driven measurement cycle.
    QMutex itsMeasurementMutex;
    std::unique_ptr<DistanceBar> itsDistanceBar;
    AutomationServer* itsAutomationServer = nullptr;
};

#endif // MAINWINDOW_H
