// The main window's result log: saving to the chosen file starts and stops with cbSaveData.
#include "mainwindow.h"

#include "Tools/versioninfo.h"
#include "commands/getcalibrationdatacommand.h"
#include "logging.h"
#include "ui_mainwindow.h"
#include "userdialogs.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

void MainWindow::on_cbSaveData_stateChanged(int arg1) {
    if (arg1 != Qt::Checked) {
        itsUi->plotDistance->setLogging(nullptr);
        delete itsLogging;
        itsLogging = nullptr;
        itsUi->pbSelectDataFile->setEnabled(true);
        itsUi->leDataFile->setEnabled(true);
        return;
    }
    const QString fileName = itsUi->leDataFile->text();
    if (fileName.isEmpty()) {
        UserDialogs::warning(this, tr("Warning"), tr("Output filename is empty."));
        // Unticked inside the click that ticked it: setChecked would not make the box report
        // the change, and the box would then take the user's next tick for no change at all.
        itsUi->cbSaveData->setCheckState(Qt::Unchecked);
        return;
    }
    auto* logging = new Logging(fileName, this);
    if (!logging->open()) {
        delete logging;
        UserDialogs::warning(this, tr("Warning"),
                             tr("Could not open file ") + fileName + tr(" for writing."));
        itsUi->cbSaveData->setCheckState(Qt::Unchecked);
        return;
    }
    itsLogging = logging;
    // Queued: a failure met inside a measurement is handled from the event loop.
    connect(itsLogging, &Logging::writeFailed, this, &MainWindow::onLogWriteFailed,
            Qt::QueuedConnection);
    itsUi->plotDistance->setLogging(itsLogging);
    itsLogging->writeHeader(itsSerialNumber, itsApp0Revision,
                            itsVersionInfo->productVersionString(), itsDriverRevision, itsChipId,
                            itsChipRevision, itsChipFamilyFlag != 0);
    itsUi->pbSelectDataFile->setEnabled(false);
    itsUi->leDataFile->setEnabled(false);
    // Every log carries the calibration in force.
    runCalibrationCommand(GetCalibrationDataCommand::ReadCalibration);
}

// A log whose file can no longer be written stops saving, and the user hears of it once.
void MainWindow::onLogWriteFailed(const QString& reason) {
    // A report from a log that was replaced meanwhile is stale; the automation client's log
    // is dropped with its connection.
    if (itsLogging == nullptr || !itsLogging->hasFailed() || itsAutomationActive)
        return;
    itsUi->cbSaveData->setCheckState(Qt::Unchecked);
    UserDialogs::warning(this, tr("Warning"), reason);
}
