#ifndef ZYRSIM_SIMULATEDHIDINTERFACE_H
#define ZYRSIM_SIMULATEDHIDINTERFACE_H

#include "HidDevice/hidconstants.h"
#include "HidDevice/ihidconnection.h"
#include "boardinterface.h"
#include "firmwaretable.h"
#include "simulatorconfig.h"

#include <QByteArray>

#include <array>
#include <chrono>
#include <deque>
#include <random>

namespace ZyrSim {

// One HID interface of the simulated board, at report level. The host's output reports
// (report id, counter, payload count, status, payload) are joined into a byte stream of request
// frames; each answered request becomes a reply frame cut into input reports of report id 0,
// the counter of the host's last report in the high nibble, payload count (up to 61), reply
// status and payload.
//
// A host uses the interface through a session: claim() opens it exclusively, unplugging ends
// every session. Nothing runs in the background; reads never wait beyond their time-out.
class SimulatedHidInterface {
public:
    using Transfer = ZyrHid::IHidConnection::Transfer;
    using Session = quint64;

    static constexpr unsigned int reportLength = 65;
    static constexpr unsigned int reportHeaderSize = 3;
    static constexpr unsigned int payloadPerReport = 61;
    static constexpr unsigned int frameHeaderSize = 5;
    static constexpr unsigned int maxRequestPayload = 1088;
    static constexpr quint32 waitForever = ZyrHid::HID_TIMEOUT_INFINITE;

    SimulatedHidInterface(BoardInterface which, const SimulatorConfig& config,
                          std::mt19937& random);
    SimulatedHidInterface(const SimulatedHidInterface&) = delete;
    SimulatedHidInterface& operator=(const SimulatedHidInterface&) = delete;

    BoardInterface which() const { return itsWhich; }
    int interfaceNumber() const { return usbInterfaceNumber(itsWhich); }
    FirmwareTable& firmware() { return itsFirmware; }

    bool isPresent() const;
    // 0 when the interface is unplugged, refuses access or is already claimed; refusal (when
    // given) then says which, as an errno value: ENODEV, EACCES or EBUSY.
    Session claim(int* refusal = nullptr);
    // Calls of claim(), for tests of a host's retries.
    int claimAttempts() const { return itsClaimAttempts; }
    void release(Session session);
    bool isSessionValid(Session session) const;

    Transfer hostWrite(Session session, const unsigned char* report, unsigned int length);
    Transfer hostRead(Session session, unsigned char* report, unsigned int capacity,
                      quint32 timeoutMs, unsigned int* transferred);

    // The board calls this after the interface's fault changed in the config.
    void onFaultChanged();
    // Reports that wait for the host; for tests of the framing.
    int pendingReports() const { return int(itsInput.size()); }

private:
    using Clock = std::chrono::steady_clock;

    struct InputReport {
        std::array<unsigned char, reportLength> bytes;
        Clock::time_point readyAt;
    };

    void acceptReport(const unsigned char* report, unsigned int length);
    void processFrames();
    void answer(const FirmwareRequest& request);
    void queueReport(Clock::time_point readyAt, unsigned char counter, const char* payload,
                     unsigned int count, unsigned char status);
    unsigned char wrongCounter();

    BoardInterface itsWhich;
    const SimulatorConfig& itsConfig;
    std::mt19937& itsRandom;
    FirmwareTable itsFirmware;
    Session itsHeldSession = 0;
    Session itsLastSession = 0;
    int itsClaimAttempts = 0;
    unsigned char itsHostCounter = 0;
    QByteArray itsRequestBytes;
    std::deque<InputReport> itsInput;
    // End of the last frame used in each direction, for the timing model.
    Clock::time_point itsOutFree;
    Clock::time_point itsInFree;
};

} // namespace ZyrSim

#endif // ZYRSIM_SIMULATEDHIDINTERFACE_H
