#ifndef ZYRTESTS_RASPI_RASPIRIG_H
#define ZYRTESTS_RASPI_RASPIRIG_H

#include "Communication/I2c/i2cconfigcomobject.h"
#include "Communication/communicationstackelement.h"
#include "Communication/nodestatemanager.h"
#include "boardids.h"
#include "raspi/raspistreamcommunicationstack.h"
#include "simulatedevaluationboard.h"

#include <QStringList>

// The names of the stack's nodes, root first.
inline QStringList raspiNodeNames() {
    return {"CONTROL_HID",   "CONTROL_STREAM", "MODULE_HID",
            "MODULE_STREAM", "IcComCore",      "SerialComDriver"};
}

// A simulated evaluation board with the application's stack over it, initialised as the
// application does; every request frame that reaches the board's firmware is logged as
// "<control|module> <frame bytes in hex>".
struct RasPiRig {
    static constexpr unsigned int i2cTracePattern = 0x8000000;

    // The tracer, when given, must outlive the rig.
    explicit RasPiRig(const ZyrSim::SimulatorConfig& config = ZyrSim::SimulatorConfig(),
                      ZyrCore::Tracing::Tracer* tracer = nullptr)
        : board(config)
        , configObject(2, 2, 0, i2cTracePattern)
        , itsTracer(tracer) {
        logRequests(ZyrSim::BoardInterface::Control, QStringLiteral("control"));
        logRequests(ZyrSim::BoardInterface::Module, QStringLiteral("module"));
        initialize();
    }

    void initialize() {
        stack.initialize(ZyrHid::BoardIds::productId,
                         ZyrSim::SimulatedRegisterFile::defaultSlaveAddress, &configObject,
                         itsTracer);
        stack.setIcIdentification(ZyrSim::SimulatedRegisterFile::identificationRegister,
                                  ZyrSim::SimulatedRegisterFile::identificationValue);
    }

    ZyrCore::Communication::NodeStateManager* manager(const QString& name) const {
        ZyrCore::Communication::NodeStateManager* found = nullptr;
        stack.tryGetStateManager(name, &found);
        return found;
    }

    int state(const QString& name) const {
        ZyrCore::Communication::NodeStateManager* found = manager(name);
        return found != nullptr ? found->lastState() : -1;
    }

    // The states of all six nodes, in the order of raspiNodeNames().
    QList<int> states() const {
        QList<int> all;
        for (const QString& name : raspiNodeNames())
            all.append(state(name));
        return all;
    }

    // The names of the nodes whose managers are supervising.
    QStringList activeManagers() const {
        QStringList active;
        for (const QString& name : raspiNodeNames()) {
            if (manager(name) != nullptr && manager(name)->isActive())
                active.append(name);
        }
        return active;
    }

    static QByteArray frameOf(const ZyrSim::FirmwareRequest& request) {
        QByteArray frame;
        frame.append(char(request.protocol | (request.fireAndForget ? 0x80 : 0)));
        frame.append(char(request.payload.size() >> 8));
        frame.append(char(request.payload.size() & 0xFF));
        frame.append(char(request.replySize >> 8));
        frame.append(char(request.replySize & 0xFF));
        return frame + request.payload;
    }

    // Declared first: the board's firmware writes to it until the board is gone.
    QStringList requests;
    ZyrSim::SimulatedEvaluationBoard board;
    ZyrCore::Communication::I2c::I2cConfigComObject configObject;
    // Declared last: its nodes are closed and deleted before the board goes.
    ZyrRasPi::RasPiStreamCommunicationStack stack;

private:
    ZyrCore::Tracing::Tracer* itsTracer;

    void logRequests(ZyrSim::BoardInterface which, const QString& label) {
        board.board().firmware(which).setObserver(
            [this, label](const ZyrSim::FirmwareRequest& request) {
                requests.append(label + QLatin1Char(' ') +
                                QString::fromLatin1(frameOf(request).toHex(' ').toUpper()));
            });
    }
};

#endif // ZYRTESTS_RASPI_RASPIRIG_H
