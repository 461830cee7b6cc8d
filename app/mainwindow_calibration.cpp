#include "calibration.h"
#include "commands/getcalibrationdatacommand.h"
#include "logging.h"
#include "mainwindow.h"

bool MainWindow::executeCalibrationCommand(GetCalibrationDataCommand& command) {
    return executeCalibration(itsModuleStream, command);
}

void MainWindow::on_pbNewCalibration_clicked() {
    runCalibrationCommand(GetCalibrationDataCommand::NewCalibration);
}

void MainWindow::on_pbClearCalibration_clicked() {
    runCalibrationCommand(GetCalibrationDataCommand::ClearCalibration);
}

void MainWindow::runCalibrationCommand(uint8_t mode) {
    GetCalibrationDataCommand command(mode);
    if (!executeCalibrationCommand(command) || itsLogging == nullptr)
        return;
    itsLogging->writeCommandTrace(command.traceText());
    itsLogging->writeCalibration(mode, command.calibrationData());
}
