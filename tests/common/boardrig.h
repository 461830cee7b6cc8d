#ifndef TESTS_COMMON_BOARDRIG_H
#define TESTS_COMMON_BOARDRIG_H

#include "Communication/comstream.h"
#include "Communication/comstreamformatter.h"
#include "boardids.h"
#include "hid/hidcomdriver.h"
#include "simulatedevaluationboard.h"
#include "testcomobject.h"

#include <QList>
#include <QtGlobal>

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

#endif // TESTS_COMMON_BOARDRIG_H
