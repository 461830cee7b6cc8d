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
