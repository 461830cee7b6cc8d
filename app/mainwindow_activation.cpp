// The main window's module activation: the device information, the settings the sensor gets
// when its stream opens, and the form's adaptation to the chip family.
#include "mainwindow.h"

#include "Communication/comstream.h"
#include "commands/getserialnumbercommand.h"
#include "exchange.h"
#include "logging.h"
#include "plots/distancebar.h"
#include "ui_mainwindow.h"
#include "userdialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

// The oldest firmware still seen in the field; it is not supported.
const char* const kOutdatedApp0Revision = "2.0.15.1";
// The only firmware that offers the 4 m range.
const char* const kFourMeterApp0Revision = "3.0.21.0";

} // namespace

void MainWindow::onToFModuleActivated() {
    readDeviceInfo();
    sendMeasurementSettings();
    // An activation during construction leaves the detection to the constructor's single shot.
    if (itsElapsedTimer.isValid())
        detectTargetChipAndSetupGUI();
}

void MainWindow::readDeviceInfo() {
    if (itsModuleStream == nullptr || !itsModuleStream->isOpen())
        return;
    GetSerialNumberCommand command;
    // A failed read would bring the command's placeholders; the last good values stay.
    if (!executeExchange(itsModuleStream, &command)) {
        UserDialogs::warning(this, tr("Warning"), tr("Could not retrieve serial number."));
        return;
    }
    itsSerialNumber = command.serialNumber();
    itsApp0Revision = command.app0Revision();
    itsDriverRevision = command.driverRevision();
    itsChipId = command.chipId();
    itsChipRevision = command.chipRevision();

    itsUi->lbSerialNumber->setText(tr("Serial #") + itsSerialNumber);
    itsUi->lbApp0Revision->setText(tr("App0 Rev. ") + itsApp0Revision);
    itsUi->lbDriverRevision->setText(tr("Drv. Rev. ") + itsDriverRevision);
    itsUi->lbChipInfo->setText(tr("Chip Revision: ") + itsChipRevision);

    if (itsApp0Revision == QLatin1String(kOutdatedApp0Revision)) {
        UserDialogs::critical(this, tr("Critical"),
                              tr("KEL4X0X target runs with outdated and unsupported ROM firmware. "
                                 "Device may not function correctly."));
    }
}

void MainWindow::detectTargetChipAndSetupGUI() {
    {
        const QSignalBlocker blocker(itsUi->cb4mMode);
        itsUi->cb4mMode->setChecked(false);
    }
    itsChipFamilyFlag = itsApp0Revision.startsWith(QLatin1Char('2')) ? 0 : 1;
    on_cbIterationSelector_currentIndexChanged(itsUi->cbIterationSelector->currentIndex());
    updateFirmwareDependentWidgets();
    updateFirmwareDependentLabels();
    itsUi->plotHistogram->setChipFamilyFlag(itsChipFamilyFlag == 1);
    on_cbOperationMode_currentIndexChanged(itsUi->cbOperationMode->currentIndex());
    itsDistanceBar->setTemperatureVisible(itsChipFamilyFlag == 1);
}

void MainWindow::updateFirmwareDependentWidgets() {
    const bool iterationFamily = itsChipFamilyFlag == 1;
    for (QWidget* widget :
         {static_cast<QWidget*>(itsUi->lIterations), static_cast<QWidget*>(itsUi->lThreshold),
          static_cast<QWidget*>(itsUi->sbIterations), static_cast<QWidget*>(itsUi->sbThreshold),
          static_cast<QWidget*>(itsUi->cbIterationSelector)})
        widget->setVisible(iterationFamily);
    itsUi->cbOperationMode->setVisible(!iterationFamily);
    itsUi->cb4mMode->setVisible(itsApp0Revision == QLatin1String(kFourMeterApp0Revision));
}

void MainWindow::updateFirmwareDependentLabels() {
    const bool longRangeFamily = itsChipFamilyFlag == 1;
    itsUi->cbProximity->setText(longRangeFamily ? tr("Short Range") : tr("Proximity"));
    itsUi->cbRaw->setText(longRangeFamily ? tr("Long Range") : tr("Distance"));
    itsUi->lHistogramProximity->setText(longRangeFamily ? tr("Short R.") : tr("Prox."));
    itsUi->lHistogramDistance->setText(longRangeFamily ? tr("Long R.") : tr("Dist."));
}

void MainWindow::logIterationSettings() {
    if (itsLogging == nullptr)
        return;
    itsLogging->writeIterations(static_cast<uint16_t>(itsUi->sbIterations->value()),
                                static_cast<uint8_t>(itsUi->sbThreshold->value()),
                                itsUi->cb4mMode->checkState() == Qt::Checked,
                                itsChipFamilyFlag != 0);
}
