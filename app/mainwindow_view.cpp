// The main window's slots that change what is shown without touching the plots.
#include "mainwindow.h"

#include "ui_mainwindow.h"
#include "userdialogs.h"

#include <QAction>
#include <QKeySequence>
#include <QStandardPaths>

#include <algorithm>

void MainWindow::on_tabWidget_currentChanged(int) {
    const QString page = itsUi->tabWidget->currentWidget()->objectName();
    if (page == QLatin1String("tabHistogramDisplay") ||
        page == QLatin1String("tabDistanceVsTime")) {
        const bool histogram = page == QLatin1String("tabHistogramDisplay");
        itsUi->gbHistogramGraph->setVisible(histogram);
        itsUi->gbHistogramDisplay->setVisible(histogram);
        itsUi->gbDistanceGraph->setVisible(!histogram);
        itsUi->gbData->setVisible(histogram);
        itsUi->pbSnapshot->setVisible(histogram);
        itsUi->gbTof->show();
        // A new text brings its own mnemonic as the shortcut, none here: Alt+S stays.
        const QKeySequence shortcut = itsUi->pbStart->shortcut();
        itsUi->pbStart->setText(histogram ? tr("Start") : tr("Show"));
        itsUi->pbStart->setShortcut(shortcut);
    } else if (page == QLatin1String("ZyrUploadFileDemoWidget")) {
        // Nothing is measured while files go to the board.
        if (itsUi->cbContinuousMode->isChecked())
            itsUi->cbContinuousMode->setChecked(false);
        itsUi->gbTof->hide();
    }
}

void MainWindow::on_pbSelectDataFile_clicked() {
    // Cancelling empties the field; the file is opened only when saving starts.
    itsUi->leDataFile->setText(
        UserDialogs::saveFileName(nullptr, tr("Select Output File"),
                                  QStandardPaths::writableLocation(QStandardPaths::HomeLocation),
                                  tr("Output Files (*.csv)")));
}

void MainWindow::on_dockHistogram_topLevelChanged(bool isFloating) {
    itsUi->dockHistogram->setWindowTitle(isFloating ? tr("Histogram Display") : QString());
    if (itsDockWindowsAction != nullptr)
        itsDockWindowsAction->setEnabled(true);
}

void MainWindow::on_dockDistanceVsTime_topLevelChanged(bool isFloating) {
    itsUi->dockDistanceVsTime->setWindowTitle(isFloating ? tr("Distance vs. Time") : QString());
    if (itsDockWindowsAction != nullptr)
        itsDockWindowsAction->setEnabled(true);
}

bool MainWindow::isCalibrationOrProximitySelected() const {
    const auto anyChecked = [](std::initializer_list<const QCheckBox*> boxes) {
        return std::any_of(boxes.begin(), boxes.end(),
                           [](const QCheckBox* box) { return box->isChecked(); });
    };
    const bool proximity =
        itsUi->cbProximity->isChecked() &&
        anyChecked({itsUi->cbTDCPX1, itsUi->cbTDCPX2, itsUi->cbTDCPX3, itsUi->cbTDCPX4});
    const bool calibration =
        itsUi->cbCalibration->isChecked() &&
        anyChecked({itsUi->cbTDC0, itsUi->cbTDC1, itsUi->cbTDC2, itsUi->cbTDC3, itsUi->cbTDC4});
    return proximity || calibration;
}
