// The main window's slots for the plot options: legend, axis scaling, continuous mode and the
// snapshot button. Each hands its widget's value to the plot, which redraws itself.
#include "mainwindow.h"

#include "plots/plotlegends.h"
#include "ui_mainwindow.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>

void MainWindow::on_cbLegend_stateChanged(int state) {
    applyLegendBox(*itsUi->plotHistogram, *itsDistanceBar, state);
}

void MainWindow::on_cbAutoScaleX_stateChanged(int state) {
    itsUi->sbXAxisMax->setEnabled(state != Qt::Checked);
    itsUi->plotHistogram->applyAutoScaleXBox(state, itsUi->sbXAxisMax->value());
}

void MainWindow::on_cbAutoScaleY_stateChanged(int state) {
    itsUi->sbYAxisMax->setEnabled(state != Qt::Checked);
    itsUi->plotHistogram->applyAutoScaleYBox(state, itsUi->sbYAxisMax->value());
}

void MainWindow::on_sbXAxisMax_valueChanged(int currentValue) {
    itsUi->plotHistogram->applyXAxisMaxBox(currentValue, itsUi->cbAutoScaleX->checkState());
}

void MainWindow::on_sbYAxisMax_valueChanged(int currentValue) {
    itsUi->plotHistogram->applyYAxisMaxBox(currentValue, itsUi->cbAutoScaleY->checkState());
}

void MainWindow::on_cbAutoScaleYDist_stateChanged(int state) {
    itsUi->sbYAxisMaxDist->setEnabled(state != Qt::Checked);
    itsUi->plotDistance->applyAutoScaleYBox(state, itsUi->sbYAxisMaxDist->value());
}

void MainWindow::on_sbYAxisMaxDist_valueChanged(int currentValue) {
    itsUi->plotDistance->applyYAxisMaxBox(currentValue, itsUi->cbAutoScaleYDist->checkState());
}

// In continuous mode the 16 ms timer measures, so Start has nothing to do.
void MainWindow::on_cbContinuousMode_stateChanged(int state) {
    itsUi->pbStart->setEnabled(state != Qt::Checked);
    itsUi->plotHistogram->applyContinuousModeBox();
}

// Two states told by the button's text: take a snapshot and show it, or clear it again.
void MainWindow::on_pbSnapshot_clicked() {
    const bool takeSnapshot = itsUi->pbSnapshot->text() == QLatin1String("Sn&apshot");
    if (takeSnapshot) {
        itsUi->pbSnapshot->setText(tr("&Clear"));
        itsUi->pbSnapshot->setShortcut(QKeySequence(tr("Alt+C")));
    } else {
        itsUi->pbSnapshot->setShortcut(QKeySequence(tr("Alt+A")));
        itsUi->pbSnapshot->setText(tr("Sn&apshot"));
    }
    itsUi->plotHistogram->applySnapshotButton(takeSnapshot);
}
