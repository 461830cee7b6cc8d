#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include "Communication/nodestatecontext.h"
#include "controllogic.h"
#include "devicestatusbar.h"
#include "intents/iintentexecutor.h"

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QSettings>
#include <QString>

class QAction;
class QTimer;
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

// The program's main window: it owns the control logic with the board's communication stack,
// shows the channel states in its status bar and builds its menus from the intents.
class MainWindow : public QMainWindow, public ZyrGui::Intents::IIntentExecutor {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    static const char* const organizationName;
    static const char* const applicationName;
    static const char* const alreadyRunningKey;

public slots:
    void intUpdateGraphs_update(bool& enabled);
    void intUpdateGraphs_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);
    void onToFModuleActivated();

private slots:
    void onMcuStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                           int currentState);
    void onIcStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                          int currentState);
    void on_communicationInitialized();
    void on_communicationDeinitialized();
    void clickpbStartContinuous();
    void resizeMainWindowToMinimum();

private:
    void addStatusFieldStates();
    void connectStatusFields();
    void disconnectStatusFields();
    void buildMenuBar();
    void findModuleStream();
    void checkSingleInstance();
    void readDeviceInfo();

    DeviceStatusBar itsDeviceStatusBar;
    ControlLogic itsControlLogic;
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
};

#endif // MAINWINDOW_H
