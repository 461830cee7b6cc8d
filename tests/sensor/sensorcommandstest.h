#ifndef ZYRTEST_SENSORCOMMANDSTEST_H
#define ZYRTEST_SENSORCOMMANDSTEST_H

#include <QObject>

// The sensor commands' byte forms, copies, trace texts and text conversions.
class SensorCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void requestLayout_data();
    void requestLayout();
    void serializeRefusesSmallBuffer_data();
    void serializeRefusesSmallBuffer();
    void settingCommandsAcceptAnyReply_data();
    void settingCommandsAcceptAnyReply();

    void histogramReplyDecodesLittleEndianBins();
    void histogramReplyOfWrongSizeIsRefused_data();
    void histogramReplyOfWrongSizeIsRefused();
    void objectsReplyDecodesFirstSeventeenBytes_data();
    void objectsReplyDecodesFirstSeventeenBytes();
    void objectsReplyTooShortIsRefused();
    void serialNumberReplyDecodes();
    void serialNumberDefaultsAndShortReply();
    void calibrationReplyKeepsFirstFourteenBytes();
    void calibrationReplyTooShort();
    void temperatureReplyIsSigned_data();
    void temperatureReplyIsSigned();
    void temperatureReplyEmpty();

    void copiesTakeTheDocumentedFields();
    void textConversions_data();
    void textConversions();
};

#endif // ZYRTEST_SENSORCOMMANDSTEST_H
