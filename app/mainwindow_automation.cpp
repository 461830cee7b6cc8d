#include "Communication/comstream.h"
#include "Tools/versioninfo.h"
#include "automation/automationserver.h"
#include "commands/getcalibrationdatacommand.h"
#include "logging.h"
#include "mainwindow.h"
#include "ui_mainwindow.h"
#include "zyrstatusfield.h"

#include <QTcpSocket>

void MainWindow::startAutomationServer(quint16 port) {
    itsAutomationServer = new AutomationServer(this);
    itsAutomationServer->setTargetCheck(
        [this] { return itsModuleStream != nullptr && itsModuleStream->isOpen(); });
    connect(itsAutomationServer, &AutomationServer::clientConnected, this,
            &MainWindow::newAutomationConnection);
    connect(itsAutomationServer, &AutomationServer::clientDisconnected, this,
            &MainWindow::disconnectAutomation);
    connect(itsAutomationServer, &AutomationServer::measurementRequested, this,
            &MainWindow::on_pbStart_clicked);
    connect(itsAutomationServer, &AutomationServer::operationModeRequested, this,
            &MainWindow::onAutomationOperationModeRequested);
    connect(itsAutomationServer, &AutomationServer::iterationsRequested, itsUi->sbIterations,
            &QSpinBox::setValue);
    connect(itsAutomationServer, &AutomationServer::thresholdRequested, itsUi->sbThreshold,
            &QSpinBox::setValue);
    connect(itsAutomationServer, &AutomationServer::listenFailed, this,
            &MainWindow::onAutomationListenFailed);
    itsAutomationServer->listen(port);
}

quint16 MainWindow::automationPort() const {
    return itsAutomationServer->port();
}

// The client's lines go through a socket-only log; while it is there the interactive
// measurement controls and the file log are off.
void MainWindow::newAutomationConnection(QTcpSocket* client) {
    itsUi->cbSaveData->setChecked(false);
    itsUi->cbSaveData->setEnabled(false);
    itsUi->cbContinuousMode->setChecked(false);
    itsUi->cbContinuousMode->setEnabled(false);
    itsUi->pbStart->setEnabled(false);
    itsUi->pbNewCalibration->setEnabled(false);
    itsUi->pbClearCalibration->setEnabled(false);

    itsLogging = new Logging(this);
    itsLogging->setSocket(client);
    itsUi->plotDistance->setLogging(itsLogging);
    itsLogging->writeVersion(itsSerialNumber, itsApp0Revision,
                             itsVersionInfo->productVersionString(), itsDriverRevision, itsChipId,
                             itsChipRevision);
    runCalibrationCommand(GetCalibrationDataCommand::ReadCalibration);

    ZyrGui::ZyrStatusField* field = itsDeviceStatusBar.automationStatusField();
    field->setState(DeviceStatusBar::AutomationClientConnected);
    field->show();
    itsAutomationActive = true;
}

// Called from the event loop once the client has gone; its socket is deleted later by the
// server, and the log, which may still be on the stack of a caller, likewise.
void MainWindow::disconnectAutomation() {
    ZyrGui::ZyrStatusField* field = itsDeviceStatusBar.automationStatusField();
    field->setState(DeviceStatusBar::AutomationLocal);
    field->hide();
    itsAutomationActive = false;
    if (itsLogging != nullptr) {
        itsUi->plotDistance->setLogging(nullptr);
        itsLogging->deleteLater();
        itsLogging = nullptr;
    }
    itsUi->cbSaveData->setEnabled(true);
    itsUi->cbContinuousMode->setEnabled(true);
    itsUi->pbStart->setEnabled(true);
    itsUi->pbNewCalibration->setEnabled(true);
    itsUi->pbClearCalibration->setEnabled(true);
}

void MainWindow::onAutomationListenFailed(const QString& message) {
    ZyrGui::ZyrStatusField* field = itsDeviceStatusBar.automationStatusField();
    field->setState(DeviceStatusBar::AutomationUnavailable);
    field->setToolTip(message);
    field->show();
}

// The operation modes belong to the short-range family only.
void MainWindow::onAutomationOperationModeRequested(int index) {
    if (itsChipFamilyFlag == 0)
        itsUi->cbOperationMode->setCurrentIndex(index);
}
