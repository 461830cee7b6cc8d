#ifndef ZYRHID_HIDDEVICE_HIDBACKEND_SIM_H
#define ZYRHID_HIDDEVICE_HIDBACKEND_SIM_H

#include "HidDevice/ihidbackend.h"
#include "boardids.h"

namespace ZyrSim {
class SimulatedBoard;
}

namespace ZyrHid {

// Presents the HID interfaces of a simulated board that are plugged in, with the board's ids
// and paths that carry their interface token ("simulated-board#vid_16d0&pid_4d58&mi_03").
// Select it with HidBackend::setCurrent; the board must outlive every device opened on it.
class SimHidBackend : public IHidBackend {
public:
    explicit SimHidBackend(ZyrSim::SimulatedBoard& board, quint16 vendorId = BoardIds::vendorId,
                           quint16 productId = BoardIds::productId);

    bool devicePath(unsigned int index, QByteArray* path) override;
    std::unique_ptr<IHidConnection> openExclusive(const QByteArray& path) override;
    int lastOpenError() const override { return itsLastOpenError; }
    QString lastOpenErrorString() const override;

    static const char* const deviceNode;

private:
    QByteArray pathOf(int interfaceIndex) const;

    ZyrSim::SimulatedBoard& itsBoard;
    quint16 itsVendorId;
    quint16 itsProductId;
    int itsLastOpenError = 0;
};

} // namespace ZyrHid

#endif // ZYRHID_HIDDEVICE_HIDBACKEND_SIM_H
