#ifndef TESTS_COMMON_BOARDRIG_H
#define TESTS_COMMON_BOARDRIG_H

#include "Communication/comstream.h"
#include "Communication/comstreamformatter.h"
#include "Communication/serializablecomobject.h"
#include "boardids.h"
#include "hid/hidcomdriver.h"
#include "simulatedevaluationboard.h"

#include <QList>
#include <QtGlobal>

#include <cstring>
#include <memory>

// The simulated evaluation board as HID backend, with an open stream over the HID driver of one
// of its interfaces. Every request frame that reaches that interface's firmware is kept.
struct BoardRig {
    explicit BoardRig(const QString& configText = QString(),
                      ZyrSim::BoardInterface which = ZyrSim::BoardInterface::Module)
        : board(ZyrSim::SimulatedEvaluationBoard::create(configText))
        , driver(deviceInfo(which))
        , stream(&driver, ZyrCore::Communication::ComStream::theImmediateFlushPolicy) {
        if (!board)
            qFatal("bad simulator configuration in a test: %s", qPrintable(configText));
        driver.setStreamFormatter(&formatter);
        board->board().firmware(which).setObserver(
            [this](const ZyrSim::FirmwareRequest& request) { requests.append(request); });
        stream.open();
    }
    ~BoardRig() { stream.close(); }

    static ZyrHid::HidComDeviceInfo deviceInfo(ZyrSim::BoardInterface which) {
        ZyrHid::HidComDeviceInfo info(ZyrHid::BoardIds::vendorId, ZyrHid::BoardIds::productId);
        info.setPath(which == ZyrSim::BoardInterface::Control
                         ? ZyrHid::BoardIds::controlInterfaceFilter
                         : ZyrHid::BoardIds::moduleInterfaceFilter);
        return info;
    }

    // Executes one command and returns the error the stream reports for it.
    int run(ZyrCore::Communication::IComObject& command) {
        stream.execute(&command);
        return stream.lastError();
    }

    std::unique_ptr<ZyrSim::SimulatedEvaluationBoard> board;
    ZyrCore::Communication::ComStreamFormatter formatter;
    ZyrHid::HidComDriver driver;
    ZyrCore::Communication::ComStream stream;
    QList<ZyrSim::FirmwareRequest> requests;
};

// A device command with fixed request bytes that keeps whatever the device answers.
class RawCommand : public ZyrCore::Communication::SerializableComObject {
public:
    RawCommand(unsigned char protocol, QByteArray request, unsigned int replySize)
        : SerializableComObject(protocol, unsigned(request.size()), replySize, RequestAndResponse,
                                0)
        , itsRequest(std::move(request)) {}

    bool serialize(unsigned char* buffer, unsigned int size) override {
        if (unsigned(itsRequest.size()) > size)
            return false;
        std::memcpy(buffer, itsRequest.constData(), size_t(itsRequest.size()));
        return true;
    }
    bool deserialize(unsigned char* buffer, unsigned int size) override {
        reply = QByteArray(reinterpret_cast<const char*>(buffer), int(size));
        return true;
    }
    IComObject* clone() override { return new RawCommand(*this); }

    QByteArray reply;

private:
    QByteArray itsRequest;
};

#endif // TESTS_COMMON_BOARDRIG_H
