#ifndef ZYRHID_HIDDEVICE_HIDDEVICESETTINGS_H
#define ZYRHID_HIDDEVICE_HIDDEVICESETTINGS_H

namespace ZyrHid {

// The report ids a HID com driver puts in front of its output reports and expects on input.
class HidDeviceSettings {
public:
    HidDeviceSettings(unsigned char outputReportId, unsigned char inputReportId)
        : outputReportId(outputReportId)
        , inputReportId(inputReportId) {}
    HidDeviceSettings(const HidDeviceSettings& other) = default;
    HidDeviceSettings& operator=(const HidDeviceSettings& other) = default;
    virtual ~HidDeviceSettings() = default;

    unsigned char outputReportId;
    unsigned char inputReportId;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDDEVICESETTINGS_H
