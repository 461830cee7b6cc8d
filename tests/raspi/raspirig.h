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
    // The tracer, when given, must outlive the rig.
    explicit RasPiRig(const ZyrSim::SimulatorConfig& config = ZyrSim::SimulatorConfig(),
                      ZyrCore::Tracing::Tracer* tracer = nullptr)
        : board(config)
        , configObject(2, 2, 0, 0x8000000) {
        logRequests(ZyrSim::BoardInterface::Control, QStringLiteral("control"));
        logRequests(ZyrSim::BoardInterface::Module, QStringLiteral("module"));
        stack.initialize(ZyrHid::BoardIds::productId,
                         ZyrSim::SimulatedRegisterFile::defaultSlaveAddress, &configObject, tracer);
        stack.setIcIdentification(ZyrSim::SimulatedRegisterFile::identificationRegister,
                                  ZyrSim::SimulatedRegisterFile::identificationValue);
    }

    ZyrCore::Communication::NodeStateManager* manager(const QString& name) const {
        ZyrCore::Communication::NodeStateManager* found = nullptr;
        stack.tryGetStateManager(name, &found);
        return found;
    }

    // The states of all six nodes, in the order of raspiNodeNames(); -1: no manager.
    QList<int> states() const {
        QList<int> all;
        for (const QString& name : raspiNodeNames())
            all.append(manager(name) != nullptr ? manager(name)->lastState() : -1);
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

    // Declared first: the board's firmware writes to it until the board is gone.
    QStringList requests;
    ZyrSim::SimulatedEvaluationBoard board;
    ZyrCore::Communication::I2c::I2cConfigComObject configObject;
    // Declared last: its nodes are closed and deleted before the board goes.
    ZyrRasPi::RasPiStreamCommunicationStack stack;

private:
    void logRequests(ZyrSim::BoardInterface which, const QString& label) {
        auto log = [this, label](const ZyrSim::FirmwareRequest& request) {
            const int size = request.payload.size();
            QByteArray frame;
            frame.append(char(request.protocol | (request.fireAndForget ? 0x80 : 0)));
            frame.append(char(size >> 8)).append(char(size & 0xFF));
            frame.append(char(request.replySize >> 8)).append(char(request.replySize & 0xFF));
            requests.append(label + QLatin1Char(' ') +
                            QString::fromLatin1((frame + request.payload).toHex(' ').toUpper()));
        };
        board.board().firmware(which).setObserver(log);
    }
};

#endif // ZYRTESTS_RASPI_RASPIRIG_H
