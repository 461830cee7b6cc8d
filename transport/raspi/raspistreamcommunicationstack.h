#ifndef ZYRRASPI_RASPISTREAMCOMMUNICATIONSTACK_H
#define ZYRRASPI_RASPISTREAMCOMMUNICATIONSTACK_H

#include "Communication/I2c/i2ccomobjectprovider.h"
#include "Communication/communicationstack.h"
#include "Communication/nodestatecontext.h"

#include <QObject>
#include <QString>

namespace ZyrCore::Communication {
class IComObject;
}

namespace ZyrCore::Register {
class RegisterSet;
}

namespace ZyrCore::Tracing {
class Tracer;
}

namespace ZyrRasPi {

// The communication stack of one interface board:
//
//     CONTROL_HID (HID interface 3) <- CONTROL_STREAM
//                                   <- MODULE_HID (HID interface 4) <- MODULE_STREAM <- IcComCore
//                                   <- SerialComDriver
//
// Activating the stack activates the root's manager only; each node that opens activates the
// managers of the nodes stacked on it, so one successful open ripples up the tree within the
// same call, and a node that leaves the open state takes every node above it down. The active
// managers re-check their nodes every 500 ms. Everything runs on the thread that owns the stack.
class RasPiStreamCommunicationStack : public ZyrCore::Communication::CommunicationStack {
    Q_OBJECT

public:
    static const char* const controlHidName;
    static const char* const controlStreamName;
    static const char* const moduleHidName;
    static const char* const moduleStreamName;
    // The names of the register and serial nodes, taken from their types.
    static QString icComCoreName();
    static QString serialComDriverName();

    // Trace pattern of the channel checks' firmware-number requests.
    static constexpr unsigned int channelCheckTracePattern = 0x40000000;
    // Trace pattern of the identification read.
    static constexpr unsigned int identificationTracePattern = 0x100000;

    explicit RasPiStreamCommunicationStack(QObject* parent = nullptr);
    ~RasPiStreamCommunicationStack() override;

    // Builds the six nodes for the board with this product id; configObject (not owned) goes to
    // the board each time the module stream opens, i2cSlaveAddress is the sensor chip's. A
    // tracer (not owned, may be null) watches the module stream and replays on it; it must
    // outlive the stack's initialisation, whose end takes the stream from its player again.
    void initialize(ushort productId, uchar i2cSlaveAddress,
                    ZyrCore::Communication::IComObject* configObject,
                    ZyrCore::Tracing::Tracer* tracer);
    // Closes every node and deletes the nodes and formatters; the stack can be initialised again.
    // Does nothing on a stack that is not initialised.
    void deinitialize();
    bool isInitialized() const { return itsIsInitialized; }

    // The register the identification check reads and the value it must hold.
    void setIcIdentification(uchar registerAddress, uchar expectedValue);
    // Only on an initialised stack.
    void setRegisterSet(ZyrCore::Register::RegisterSet* registerSet);
    void setActive(bool active);

public slots:
    int onCheckControlStreamState(ZyrCore::Communication::NodeStateContext* stateContext);
    int onCheckModuleStreamState(ZyrCore::Communication::NodeStateContext* stateContext);
    int onCheckIcState(ZyrCore::Communication::NodeStateContext* stateContext);
    int onCheckCdcState(ZyrCore::Communication::NodeStateContext* stateContext);
    void onControlHidStateChanged(ZyrCore::Communication::NodeStateContext context,
                                  int previousState, int currentState);
    void onControlStreamStateChanged(ZyrCore::Communication::NodeStateContext context,
                                     int previousState, int currentState);
    void onModuleHidStateChanged(ZyrCore::Communication::NodeStateContext context,
                                 int previousState, int currentState);
    void onModuleStreamStateChanged(ZyrCore::Communication::NodeStateContext context,
                                    int previousState, int currentState);
    void onIcStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                          int currentState);
    void onCdcStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                           int currentState);

private:
    void activate(const QString& nodeName, bool active);
    void wireManagers();
    void unwireManagers();
    static int checkChannel(ZyrCore::Communication::NodeStateContext* stateContext);

    bool itsIsInitialized = false;
    uchar itsI2cSlaveAddress = 0;
    uchar itsIcIdRegisterAddress = 0;
    uchar itsIcIdValue = 0;
    ZyrCore::Communication::I2c::I2cComObjectProvider itsProvider;
    ZyrCore::Communication::IComObject* itsConfigObject = nullptr;
    ZyrCore::Tracing::Tracer* itsTracer = nullptr;
};

} // namespace ZyrRasPi

#endif // ZYRRASPI_RASPISTREAMCOMMUNICATIONSTACK_H
