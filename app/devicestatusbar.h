#ifndef DEVICESTATUSBAR_H
#define DEVICESTATUSBAR_H

#include <QWidget>

namespace ZyrGui {
class ZyrStatusField;
}

class Ui_DeviceStatusBar;

// The strip of status fields for the board's control and module channels, the register
// loopback check and the automation status. The loopback and automation fields start hidden.
class DeviceStatusBar : public QWidget {
    Q_OBJECT

public:
    // States of the module-HID and register-loopback fields once the window has added its two
    // (the module-HID field shows the node states instead while it is bound to a manager).
    enum LinkFieldState { LinkUnknown = 0, LinkUp = 1, LinkDown = 2 };
    // States of the automation field, as the window adds them: local, client connected, and
    // a port the server cannot listen on.
    enum AutomationFieldState {
        AutomationUnknown = 0,
        AutomationLocal = 1,
        AutomationClientConnected = 2,
        AutomationUnavailable = 3,
    };

    explicit DeviceStatusBar(QWidget* parent);
    ~DeviceStatusBar() override;

    ZyrGui::ZyrStatusField* controlHidField() const;
    ZyrGui::ZyrStatusField* moduleHidField() const;
    ZyrGui::ZyrStatusField* registerLoopbackField() const;
    ZyrGui::ZyrStatusField* automationStatusField() const;

private:
    Ui_DeviceStatusBar* ui;
};

#endif // DEVICESTATUSBAR_H
