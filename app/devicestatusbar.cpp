#include "devicestatusbar.h"

#include "ui_devicestatusbar.h"

DeviceStatusBar::DeviceStatusBar(QWidget* parent)
    : QWidget(parent)
    , ui(new Ui_DeviceStatusBar) {
    ui->setupUi(this);
    ui->sfRegLoopback->hide();
    ui->sfAutomationStatus->hide();
}

DeviceStatusBar::~DeviceStatusBar() {
    delete ui;
}

ZyrGui::ZyrStatusField* DeviceStatusBar::controlHidField() const {
    return ui->sfControlHID;
}

ZyrGui::ZyrStatusField* DeviceStatusBar::moduleHidField() const {
    return ui->sfModuleHID;
}

ZyrGui::ZyrStatusField* DeviceStatusBar::registerLoopbackField() const {
    return ui->sfRegLoopback;
}

ZyrGui::ZyrStatusField* DeviceStatusBar::automationStatusField() const {
    return ui->sfAutomationStatus;
}
