// The main window's measurement cycle (histograms, temperature, objects, plots and log) and the
// settings widgets that send their command to the sensor when they change.
#include "mainwindow.h"

#include "Communication/comstream.h"
#include "commands/gethistogramcommand.h"
#include "commands/gettemperaturecommand.h"
#include "commands/selecttdcscommand.h"
#include "commands/setcapturetimecommand.h"
#include "commands/setiterationsandobjectdetectionthresholdcommand.h"
#include "commands/targetconfigurationcommand.h"
#include "exchange.h"
#include "logging.h"
#include "plots/distancebar.h"
#include "ui_mainwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// The distance bar and its texts refresh at most once in this time.
constexpr qint64 kDistanceBarIntervalMs = 33;

// Histogram types, named by their log tags: the two calibration kinds (only logged), proximity,
// distance and summed.
enum HistogramType : uint8_t {
    CalibrationCI = 0,
    ProximityPT = 1,
    DistanceTG = 2,
    SummedSUM = 3,
    CalibrationCO = 4,
};

constexpr int kChannelCount = 5;
constexpr int kBinCount = GetHistogramCommand::binCount;

// Operation mode the sensor gets for the long-range family's 4 m range.
constexpr uint8_t kFourMeterOperationMode = 3;

struct IterationPreset {
    int iterations;
    int threshold;
};
// The iteration selector's entries: high performance, low power, default.
constexpr IterationPreset kIterationPresets[] = {{900, 0}, {80, 0}, {4000, 0}};

// Sends one setting. Its outcome is not shown to the user; executeExchange fetches the stream's
// error, so a refused setting does not hold back the requests after it.
template <typename Command>
void sendSetting(ZyrCore::Communication::ComStream* stream, Command& command, Logging* logging) {
    if (stream == nullptr || !stream->isOpen())
        return;
    executeExchange(stream, &command);
    if (logging != nullptr)
        logging->writeCommandTrace(command.traceText());
}

// Shows or hides one histogram type; a shown type shows the channels whose box is checked.
void showHistogramType(QHistogramPlot* plot, int type, bool shown,
                       const QList<QCheckBox*>& channelBoxes) {
    plot->setTypeVisible(type, shown);
    for (int channel = 0; channel < channelBoxes.size(); ++channel)
        plot->setChannelVisible(type, channel, shown && channelBoxes[channel]->isChecked());
}

} // namespace

void MainWindow::on_pbStart_clicked() {
    if (itsGraphUpdatesEnabled) {
        if (!itsUi->cbContinuousMode->isChecked())
            itsUi->plotHistogram->setForceRescale(true);
        updateHistograms();
        itsUi->plotHistogram->refresh();
    }
    if (itsChipFamilyFlag == 1) {
        readTemperature();
        logIterationSettings();
    }
    itsUi->plotDistance->measureDistance();
    if (!itsGraphUpdatesEnabled)
        return;

    itsUi->plotDistance->updateGraph();
    on_cbAutoScaleYDist_stateChanged(itsUi->cbAutoScaleYDist->checkState());
    if (itsElapsedTimer.elapsed() < kDistanceBarIntervalMs)
        return;
    itsElapsedTimer.restart();
    updateDistanceBar();
}

void MainWindow::clickpbStartContinuous() {
    // The mutex is not recursive: a tick that an event loop inside a running cycle delivers is
    // dropped instead of locking it a second time on this thread.
    if (!itsMeasurementMutex.tryLock())
        return;
    if (itsUi->cbContinuousMode->isChecked())
        on_pbStart_clicked();
    itsMeasurementMutex.unlock();
}

bool MainWindow::fillHistogramCache(uint8_t histogramType, QList<QCheckBox*> checkBoxes,
                                    uint16_t* histogramCache, bool keepPreviousHistogramCache) {
    if (!keepPreviousHistogramCache)
        std::memset(histogramCache, 0, sizeof(uint16_t) * kChannelCount * kBinCount);
    if (itsModuleStream == nullptr || !itsModuleStream->isOpen())
        return false;

    const bool logHistograms =
        itsLogging != nullptr && (itsUi->cbSaveData->isChecked() || itsAutomationActive);
    const int channels = std::min<int>(checkBoxes.size(), kChannelCount);
    for (int channel = 0; channel < channels; ++channel) {
        if (!checkBoxes[channel]->isChecked())
            continue;
        GetHistogramCommand command(histogramType, static_cast<uint8_t>(channel));
        const bool received = executeExchange(itsModuleStream, &command);
        if (itsLogging != nullptr)
            itsLogging->writeCommandTrace(command.traceText());
        // A refused or lost reply says nothing about the scene: neither plot nor log it.
        if (!received)
            return false;
        std::memcpy(histogramCache + channel * kBinCount, command.data(),
                    sizeof(uint16_t) * kBinCount);
        if (logHistograms) {
            itsLogging->writeHistogram(command.data(), static_cast<unsigned int>(channel),
                                       histogramType, itsUi->cbPileupCorrection->isChecked(),
                                       itsChipFamilyFlag == 1);
        }
    }
    return true;
}

void MainWindow::updateHistograms() {
    if (itsModuleStream == nullptr || !itsModuleStream->isOpen())
        return;

    const QList<QCheckBox*> distanceBoxes{itsUi->cbTDC0, itsUi->cbTDC1, itsUi->cbTDC2,
                                          itsUi->cbTDC3, itsUi->cbTDC4};
    const QList<QCheckBox*> proximityBoxes{itsUi->cbTDCPX0, itsUi->cbTDCPX1, itsUi->cbTDCPX2,
                                           itsUi->cbTDCPX3, itsUi->cbTDCPX4};
    // Every channel follows the first zone's box; calibration and summed have one channel.
    const QList<QCheckBox*> allChannels{itsUi->cbTDC1, itsUi->cbTDC1, itsUi->cbTDC1, itsUi->cbTDC1,
                                        itsUi->cbTDC1};
    const QList<QCheckBox*> referenceChannel{itsUi->cbTDC1};
    const QList<QCheckBox*> summedChannel{itsUi->cbSummed};
    uint16_t cache[kChannelCount * kBinCount];
    QHistogramPlot* plot = itsUi->plotHistogram;
    const bool proximity = itsUi->cbProximity->isChecked();
    const bool raw = itsUi->cbRaw->isChecked();

    // The calibration histograms reach only the log; the cache is taken over below.
    if (raw || proximity) {
        fillHistogramCache(CalibrationCI, allChannels, cache, false);
        fillHistogramCache(CalibrationCO, referenceChannel, cache, true);
    }

    if (proximity) {
        if (!raw && itsLogging != nullptr)
            fillHistogramCache(DistanceTG, allChannels, cache, false);
        // A failed request keeps the plot on the last whole measurement.
        if (fillHistogramCache(ProximityPT, allChannels, cache, false))
            plot->setProximityData(cache);
    }
    showHistogramType(plot, QHistogramPlot::Proximity, proximity, proximityBoxes);

    if (raw) {
        if (!proximity && itsLogging != nullptr)
            fillHistogramCache(ProximityPT, allChannels, cache, false);
        if (fillHistogramCache(DistanceTG, allChannels, cache, false))
            plot->setDistanceData(cache);
    }
    showHistogramType(plot, QHistogramPlot::Distance, raw, distanceBoxes);

    const bool summed = itsUi->cbSummed->isChecked();
    if (summed && fillHistogramCache(SummedSUM, summedChannel, cache, false))
        plot->setProcessedData(cache);
    showHistogramType(plot, QHistogramPlot::Processed, summed, summedChannel);
}

void MainWindow::readTemperature() {
    GetTemperatureCommand command;
    if (!executeExchange(itsModuleStream, &command))
        return;
    itsDistanceBar->setTemperatureText(tr("Temperature: ") +
                                       QString::number(command.temperature()) +
                                       QString::fromUtf8("\u00B0C"));
    if (itsLogging != nullptr)
        itsLogging->writeTemperature(command.temperature());
}

void MainWindow::sendSelectTDCs() {
    SelectTDCsCommand command(itsUi->cbTDC1->isChecked(), itsUi->cbTDC2->isChecked(),
                              itsUi->cbTDC3->isChecked(), itsUi->cbTDC4->isChecked());
    sendSetting(itsModuleStream, command, itsLogging);
}

void MainWindow::sendCaptureTime() {
    SetCaptureTimeCommand command(static_cast<uint8_t>(itsUi->sbCaptureTime->value()));
    sendSetting(itsModuleStream, command, itsLogging);
}

void MainWindow::sendTargetConfiguration() {
    const bool histogramsEnabled = itsUi->cbSummed->isChecked() || itsUi->cbRaw->isChecked() ||
                                   itsUi->cbCalibration->isChecked() ||
                                   itsUi->cbProximity->isChecked();
    uint8_t operationMode = static_cast<uint8_t>(itsUi->cbOperationMode->currentIndex());
    if (itsChipFamilyFlag == 1 && itsUi->cb4mMode->isChecked())
        operationMode = kFourMeterOperationMode;
    TargetConfigurationCommand command(
        histogramsEnabled ? 1 : 0, itsUi->cbPileupCorrection->isChecked() ? 1 : 0, operationMode);
    sendSetting(itsModuleStream, command, itsLogging);
}

void MainWindow::sendIterationsAndThreshold() {
    SetIterationsAndObjectDetectionThresholdCommand command(
        static_cast<uint16_t>(itsUi->sbIterations->value()),
        static_cast<uint8_t>(itsUi->sbThreshold->value()));
    executeExchange(itsModuleStream, &command);
}

void MainWindow::sendMeasurementSettings() {
    sendSelectTDCs();
    sendTargetConfiguration();
    sendCaptureTime();
}

void MainWindow::setupDistanceBarPlot() {
    itsDistanceBar->setup(itsChipFamilyFlag != 0);
}

void MainWindow::updateDistanceBar() {
    itsDistanceBar->update(*itsUi->plotDistance);
}

void MainWindow::on_cbTDC1_stateChanged(int) {
    sendSelectTDCs();
}

void MainWindow::on_cbTDC2_stateChanged(int) {
    sendSelectTDCs();
}

void MainWindow::on_cbTDC3_stateChanged(int) {
    sendSelectTDCs();
}

void MainWindow::on_cbTDC4_stateChanged(int) {
    sendSelectTDCs();
}

void MainWindow::on_sbCaptureTime_valueChanged(int) {
    sendCaptureTime();
}

void MainWindow::on_cbCalibration_stateChanged(int) {
    sendTargetConfiguration();
    itsUi->plotHistogram->setForceRescale(true);
}

// Summed histograms exclude the per-channel ones; they come with the pile-up correction.
void MainWindow::on_cbSummed_stateChanged(int state) {
    {
        const QSignalBlocker rawBlocker(itsUi->cbRaw);
        const QSignalBlocker proximityBlocker(itsUi->cbProximity);
        const QSignalBlocker pileupBlocker(itsUi->cbPileupCorrection);
        itsUi->cbRaw->setChecked(false);
        itsUi->cbProximity->setChecked(false);
        itsUi->cbPileupCorrection->setCheckState(static_cast<Qt::CheckState>(state));
    }
    sendTargetConfiguration();
    itsUi->plotHistogram->setForceRescale(true);
}

void MainWindow::on_cbRaw_stateChanged(int) {
    {
        const QSignalBlocker summedBlocker(itsUi->cbSummed);
        const QSignalBlocker pileupBlocker(itsUi->cbPileupCorrection);
        itsUi->cbSummed->setChecked(false);
        itsUi->cbPileupCorrection->setChecked(false);
    }
    sendTargetConfiguration();
    itsUi->plotHistogram->setForceRescale(true);
}

// Proximity histograms exclude the summed one just as raw ones do.
void MainWindow::on_cbProximity_stateChanged(int state) {
    on_cbRaw_stateChanged(state);
}

void MainWindow::on_cbPileupCorrection_stateChanged(int state) {
    const bool correction = state == Qt::Checked;
    itsUi->plotHistogram->setPileUpCorrection(correction);
    // Corrected histograms use half the bins; without a channel to follow, the axis says so.
    if (!isCalibrationOrProximitySelected() && itsUi->cbAutoScaleX->isChecked())
        itsUi->plotHistogram->xAxis->setRange(0, correction ? 128 : 256);
    sendTargetConfiguration();
}

void MainWindow::on_cbOperationMode_currentIndexChanged(int currentIndex) {
    sendTargetConfiguration();
    itsDistanceBar->applyOperationMode(currentIndex, itsChipFamilyFlag != 0);
}

void MainWindow::on_cb4mMode_stateChanged(int checkState) {
    itsDistanceBar->applyFourMeterMode(checkState == Qt::Checked);
    sendTargetConfiguration();
}

void MainWindow::on_sbIterations_valueChanged(int) {
    sendIterationsAndThreshold();
}

void MainWindow::on_sbThreshold_valueChanged(int) {
    sendIterationsAndThreshold();
}

// A preset sets both values at once, so the sensor gets one command rather than one per box.
void MainWindow::on_cbIterationSelector_currentIndexChanged(int index) {
    const QSignalBlocker thresholdBlocker(itsUi->sbThreshold);
    const QSignalBlocker iterationsBlocker(itsUi->sbIterations);
    if (index >= 0 && index < int(std::size(kIterationPresets))) {
        itsUi->sbIterations->setValue(kIterationPresets[index].iterations);
        itsUi->sbThreshold->setValue(kIterationPresets[index].threshold);
    }
    sendIterationsAndThreshold();
}
