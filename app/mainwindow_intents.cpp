// The main window's intent slots: the about dialog, the saved configuration, re-docking and
// graph updates.
#include "mainwindow.h"

#include "Tools/versioninfo.h"
#include "controls/aboutdialog.h"
#include "pagedock.h"
#include "ui_mainwindow.h"
#include "userdialogs.h"
#include "zyruploadfiledemowidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QSpinBox>

using ZyrGui::Intents::IIntentExecuteParameter;

QList<MainWindow::ConfigurationEntry> MainWindow::configurationEntries() const {
    // Written and read in this order, so on loading the settings reach the device in it too.
    // The reference proximity box is not part of the configuration.
    return {
        {"sbCaptureTime", itsUi->sbCaptureTime, 100},
        {"leDataFile", itsUi->leDataFile, QString()},
        {"cbContinuousMode", itsUi->cbContinuousMode, false},
        {"cbCalibration", itsUi->cbCalibration, false},
        {"cbSummed", itsUi->cbSummed, true},
        {"cbRaw", itsUi->cbRaw, false},
        {"cbProximity", itsUi->cbProximity, false},
        {"cbTDC0", itsUi->cbTDC0, false},
        {"cbTDC1", itsUi->cbTDC1, false},
        {"cbTDC2", itsUi->cbTDC2, false},
        {"cbTDC3", itsUi->cbTDC3, false},
        {"cbTDC4", itsUi->cbTDC4, false},
        {"cbTDCPX1", itsUi->cbTDCPX1, false},
        {"cbTDCPX2", itsUi->cbTDCPX2, false},
        {"cbTDCPX3", itsUi->cbTDCPX3, false},
        {"cbTDCPX4", itsUi->cbTDCPX4, false},
        {"cbAutoScaleYDist", itsUi->cbAutoScaleYDist, false},
        {"cbAutoScaleX", itsUi->cbAutoScaleX, true},
        {"cbAutoScaleY", itsUi->cbAutoScaleY, true},
        {"cbLegend", itsUi->cbLegend, true},
        {"cbPileupCorrection", itsUi->cbPileupCorrection, true},
        {"sbYAxisMaxDist", itsUi->sbYAxisMaxDist, 100},
        {"sbXAxisMax", itsUi->sbXAxisMax, 100},
        {"sbYAxisMax", itsUi->sbYAxisMax, 100},
        {"cbOperationMode", itsUi->cbOperationMode, 0},
        {"cbIterationSelector", itsUi->cbIterationSelector, 0},
        {"sbIterations", itsUi->sbIterations, 900},
        {"sbThreshold", itsUi->sbThreshold, 0},
    };
}

namespace {

QVariant widgetValue(QWidget* widget) {
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        return box->checkState() == Qt::Checked; // a partial check is saved as unchecked
    if (auto* spinBox = qobject_cast<QSpinBox*>(widget))
        return spinBox->value();
    if (auto* comboBox = qobject_cast<QComboBox*>(widget))
        return comboBox->currentIndex();
    if (auto* lineEdit = qobject_cast<QLineEdit*>(widget))
        return lineEdit->text();
    return {};
}

// Whether value is a whole number from minimum to maximum; if so, it is stored in number.
bool tryGetNumberInRange(const QVariant& value, int minimum, int maximum, int& number) {
    bool isNumber = false;
    const int converted = value.toInt(&isNumber);
    if (!isNumber || converted < minimum || converted > maximum)
        return false;
    number = converted;
    return true;
}

// Through the ordinary setters, so the widget's change slots run as if the user had set it. A
// number the widget cannot show (no such row, outside the spin box's range; the file may have
// been edited) is not applied: the widget keeps its value, and the device its setting.
void setWidgetValue(QWidget* widget, const QVariant& value) {
    int number = 0;
    if (auto* box = qobject_cast<QCheckBox*>(widget)) {
        box->setChecked(value.toBool());
    } else if (auto* spinBox = qobject_cast<QSpinBox*>(widget)) {
        if (tryGetNumberInRange(value, spinBox->minimum(), spinBox->maximum(), number))
            spinBox->setValue(number);
    } else if (auto* comboBox = qobject_cast<QComboBox*>(widget)) {
        if (tryGetNumberInRange(value, 0, comboBox->count() - 1, number))
            comboBox->setCurrentIndex(number);
    } else if (auto* lineEdit = qobject_cast<QLineEdit*>(widget)) {
        lineEdit->setText(value.toString());
    }
}

} // namespace

void MainWindow::intOpenAboutDialog_update(bool& enabled) {
    enabled = true;
}

void MainWindow::intOpenAboutDialog_execute(IIntentExecuteParameter*) {
    if (itsAboutDialog == nullptr) {
        itsAboutDialog = new ZyrGui::Controls::AboutDialog(nullptr);
        itsAboutDialog->setVersionInfo(itsVersionInfo);
    }
    itsAboutDialog->show();
    itsAboutDialog->raise();
}

void MainWindow::intSaveConfiguration_update(bool&) {}

void MainWindow::intSaveConfiguration_execute(IIntentExecuteParameter*) {
    for (const ConfigurationEntry& entry : configurationEntries())
        itsSettings.setValue(QLatin1String(entry.key), widgetValue(entry.widget));
    UserDialogs::information(this, itsVersionInfo->productNameString(), tr("Configuration saved."));
}

void MainWindow::intLoadConfiguration_update(bool&) {}

// A load changes what the user could change now, as the user would; what the window keeps from
// the user it keeps from a load too.
bool MainWindow::userCanChange(const QWidget* control) const {
    // Hidden for this chip family or for good: it holds what the window set.
    if (control->isHidden())
        return false;
    // While saving, the field names the file being written.
    if (control == itsUi->leDataFile)
        return !itsUi->cbSaveData->isChecked();
    // Nothing is measured while a script is connected or on the upload tab, and a load starts
    // nothing there either.
    if (control == itsUi->cbContinuousMode)
        return !itsAutomationActive && itsUi->tabWidget->currentWidget() != itsUploadWidget;
    return true;
}

void MainWindow::intLoadConfiguration_execute(IIntentExecuteParameter*) {
    for (const ConfigurationEntry& entry : configurationEntries()) {
        if (userCanChange(entry.widget))
            setWidgetValue(entry.widget,
                           itsSettings.value(QLatin1String(entry.key), entry.defaultValue));
    }
    UserDialogs::information(this, itsVersionInfo->productNameString(),
                             tr("Configuration loaded."));
}

void MainWindow::intRedockWindows_update(bool&) {}

void MainWindow::intRedockWindows_execute(IIntentExecuteParameter*) {
    PageDock::dockIntoItsPage(itsUi->dockHistogram);
    PageDock::dockIntoItsPage(itsUi->dockDistanceVsTime);
    if (itsDockWindowsAction != nullptr)
        itsDockWindowsAction->setEnabled(false);
}

void MainWindow::intUpdateGraphs_update(bool&) {}

void MainWindow::intUpdateGraphs_execute(IIntentExecuteParameter*) {
    itsGraphUpdatesEnabled = !itsGraphUpdatesEnabled;
}
