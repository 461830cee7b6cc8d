#include "hidbackend_sim.h"

#include "HidDevice/hidpath.h"
#include "simulatedboard.h"

#include <cerrno>

namespace ZyrHid {

using ZyrSim::BoardInterface;
using ZyrSim::SimulatedHidInterface;

namespace {

class SimHidConnection : public IHidConnection {
public:
    SimHidConnection(ZyrSim::SimulatedBoard& board, SimulatedHidInterface& hidInterface,
                     SimulatedHidInterface::Session session, quint16 vendorId, quint16 productId)
        : itsBoard(board)
        , itsInterface(hidInterface)
        , itsSession(session)
        , itsVendorId(vendorId)
        , itsProductId(productId) {}
    ~SimHidConnection() override { itsInterface.release(itsSession); }

    bool attributes(quint16* vendorId, quint16* productId) override {
        if (!itsInterface.isSessionValid(itsSession))
            return false;
        *vendorId = itsVendorId;
        *productId = itsProductId;
        return true;
    }

    bool reportLengths(quint16* inputLength, quint16* outputLength) override {
        if (!itsInterface.isSessionValid(itsSession))
            return false;
        *inputLength = SimulatedHidInterface::reportLength;
        *outputLength = SimulatedHidInterface::reportLength;
        return true;
    }

    bool productString(std::u16string* text) override {
        if (!itsInterface.isSessionValid(itsSession))
            return false;
        *text = itsBoard.productString().toStdU16String();
        return true;
    }

    Transfer read(unsigned char* report, unsigned int length, quint32 timeoutMs,
                  unsigned int* transferred) override {
        return itsInterface.hostRead(itsSession, report, length, timeoutMs, transferred);
    }

    Transfer write(const unsigned char* report, unsigned int length, quint32 /*timeoutMs*/,
                   unsigned int* transferred) override {
        const Transfer result = itsInterface.hostWrite(itsSession, report, length);
        if (result == Transfer::Done)
            *transferred = length;
        return result;
    }

private:
    ZyrSim::SimulatedBoard& itsBoard;
    SimulatedHidInterface& itsInterface;
    SimulatedHidInterface::Session itsSession;
    quint16 itsVendorId;
    quint16 itsProductId;
};

} // namespace

const char* const SimHidBackend::deviceNode = "simulated-board";

SimHidBackend::SimHidBackend(ZyrSim::SimulatedBoard& board, quint16 vendorId, quint16 productId)
    : itsBoard(board)
    , itsVendorId(vendorId)
    , itsProductId(productId) {}

QByteArray SimHidBackend::pathOf(int interfaceIndex) const {
    return HidPath::make(deviceNode, itsVendorId, itsProductId,
                         ZyrSim::usbInterfaceNumber(BoardInterface(interfaceIndex)));
}

bool SimHidBackend::devicePath(unsigned int index, QByteArray* path) {
    unsigned int present = 0;
    for (int interfaceIndex = 0; interfaceIndex < ZyrSim::boardInterfaceCount; ++interfaceIndex) {
        if (!itsBoard.hidInterface(BoardInterface(interfaceIndex)).isPresent())
            continue;
        if (present++ == index) {
            *path = pathOf(interfaceIndex);
            return true;
        }
    }
    return false;
}

std::unique_ptr<IHidConnection> SimHidBackend::openExclusive(const QByteArray& path) {
    for (int interfaceIndex = 0; interfaceIndex < ZyrSim::boardInterfaceCount; ++interfaceIndex) {
        if (path != pathOf(interfaceIndex))
            continue;
        SimulatedHidInterface& hidInterface = itsBoard.hidInterface(BoardInterface(interfaceIndex));
        const SimulatedHidInterface::Session session = hidInterface.claim(&itsLastOpenError);
        if (session == 0)
            return nullptr;
        return std::make_unique<SimHidConnection>(itsBoard, hidInterface, session, itsVendorId,
                                                  itsProductId);
    }
    itsLastOpenError = ENOENT;
    return nullptr;
}

QString SimHidBackend::lastOpenErrorString() const {
    return itsLastOpenError != 0 ? qt_error_string(itsLastOpenError) : QString();
}

} // namespace ZyrHid
