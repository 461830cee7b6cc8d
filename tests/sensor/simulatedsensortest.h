#ifndef ZYRTEST_SIMULATEDSENSORTEST_H
#define ZYRTEST_SIMULATEDSENSORTEST_H

#include <QObject>

// The simulated sensor, on its own and behind a stream, and its configuration text.
class SimulatedSensorTest : public QObject {
    Q_OBJECT

private slots:
    void configParsesPairs_data();
    void configParsesPairs();
    void configRefusesBadText_data();
    void configRefusesBadText();
    void configTextRoundTrips();

    void replySizes_data();
    void replySizes();
    void malformedRequests_data();
    void malformedRequests();
    void everyCommandRoundTripsThroughStream();
    void identityFollowsChipModel_data();
    void identityFollowsChipModel();

    void histogramPeakSitsAtTargetBin_data();
    void histogramPeakSitsAtTargetBin();
    void referenceChannelPeaksEarly();
    void peakGrowsWithCaptureTimeAndIterations();
    void tdcSelectionAndHistogramSwitchShapeReplies();
    void longRangeHistogramsCarryExponents_data();
    void longRangeHistogramsCarryExponents();
    void targetMovesSmoothlyAndReproducibly();
    void temperatureDriftsWithinRange();

    void objectsFollowTargetAndMode();
    void calibrationTimesOutWithShortReadTimeout();
    void calibrationNewClearAndRead();

    void faultsAreRefusedByTheCommands();
    void deviceStatusFaultReachesEveryCommand();
};

#endif // ZYRTEST_SIMULATEDSENSORTEST_H
