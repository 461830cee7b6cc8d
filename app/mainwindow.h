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
#include <QSettings>
#include <QString>
#include <QVariant>

#include <cstdint>

class QAction;
class QCloseEvent;
class QTcpSocket;
class QTimer;
class QWidget;
class GetCalibrationDataCommand;
class Logging;
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
    void intSaveConfiguration_update(bool& enabled);
    void intSaveConfiguration_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void intLoadConfiguration_update(bool& enabled);
    void intLoadConfiguration_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void intRedockWindows_update(bool& enabled);
    void intRedockWindows_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void intUpdateGraphs_update(bool& enabled);
    void intUpdateGraphs_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void onToFModuleActivated();

    // Calibration: runs the command on the module stream by the one exchange rule.
    bool executeCalibrationCommand(GetCalibrationDataCommand& command);

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    void onMcuStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                           int currentState);
    void onIcStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                          int currentState);
    void on_communicationInitialized();
    void on_communicationDeinitialized();
    void on_tabWidget_currentChanged(int index);
    void on_pbSelectDataFile_clicked();
    void clickpbStartContinuous();
    void on_dockHistogram_topLevelChanged(bool isFloating);
    void on_dockDistanceVsTime_topLevelChanged(bool isFloating);
    void resizeMainWindowToMinimum();
    void on_pbNewCalibration_clicked();
    void on_pbClearCalibration_clicked();
    void newAutomationConnection(QTcpSocket* client);
    void disconnectAutomation();
    void onAutomationListenFailed(const QString& message);
    void onAutomationOperationModeRequested(int index);

private:
    void startAutomationServer(quint16 port);
    // Runs a calibration command of this mode; on success its "#CAL" record goes to the log.
    void runCalibrationCommand(uint8_t mode);

    void addStatusFieldStates();
    void connectStatusFields();
    void disconnectStatusFields();
    void buildMenuBar();
    void findModuleStream();
    void checkSingleInstance();
    void readDeviceInfo();

    // One saved control: its key (the widget's object name), the widget and the value a missing
    // key loads as.
    struct ConfigurationEntry {
        const char* key;
        QWidget* widget;
        QVariant defaultValue;
    };
    QList<ConfigurationEntry> configurationEntries() const;

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
    Logging* itsLogging = nullptr;
    AutomationServer* itsAutomationServer = nullptr;
    bool itsAutomationActive = false;
    int itsChipFamilyFlag = 1;
};

#endif // MAINWINDOW_H
