#include "raspi/raspistreamcommunicationstack.h"

#include "Communication/Control/firmwarenumbercomobject.h"
#include "Communication/communicationstackelement.h"
#include "Communication/comstream.h"
#include "Communication/comstreamformatter.h"
#include "Communication/iccomcore.h"
#include "Communication/icomexecutor.h"
#include "Communication/icomobject.h"
#include "Communication/iregistercommunication.h"
#include "Communication/nodestate.h"
#include "Communication/nodestatemanager.h"
#include "Communication/registerinfostd.h"
#include "Communication/registervalue.h"
#include "HidDevice/hidcomdeviceinfo.h"
#include "HidDevice/hiddevicesettings.h"
#include "Serial/serialcomdeviceinfo.h"
#include "Serial/serialcomdriver.h"
#include "Tools/rttihelper.h"
#include "Tools/zyrassert.h"
#include "Tracing/tracer.h"
#include "boardids.h"
#include "hid/hidcomdriver.h"

#include <typeinfo>

namespace ZyrRasPi {

using ZyrCom::Serial::SerialComDeviceInfo;
using ZyrCom::Serial::SerialComDriver;
using ZyrCore::Communication::CommunicationStackElement;
using ZyrCore::Communication::ComStream;
using ZyrCore::Communication::ComStreamFormatter;
using ZyrCore::Communication::IcComCore;
using ZyrCore::Communication::IComExecutor;
using ZyrCore::Communication::IComObject;
using ZyrCore::Communication::IComStreamFormatter;
using ZyrCore::Communication::IRegisterCommunication;
using ZyrCore::Communication::NodeState;
using ZyrCore::Communication::NodeStateContext;
using ZyrCore::Communication::NodeStateManager;
using ZyrCore::Communication::RegisterInfoStd;
using ZyrCore::Communication::RegisterValue;
using ZyrCore::Communication::Control::FirmwareNumberComObject;
using ZyrHid::HidComDeviceInfo;
using ZyrHid::HidComDriver;

namespace {

const char* const kSource = "raspi/raspistreamcommunicationstack";

// The node's type name without namespace, pointer or reference marks: "IcComCore" for an
// IcComCore*.
template <typename Node>
QString nodeNameOf() {
    QString name =
        QString::fromStdString(ZyrCore::Tools::RttiHelper::unmangleTypeName(typeid(Node*).name()));
    name.remove(QLatin1Char('*'));
    name.remove(QLatin1Char('&'));
    return name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
}

HidComDriver* newHidDriver(ushort productId, const char* pathFilter) {
    HidComDeviceInfo info(ZyrHid::BoardIds::vendorId, productId);
    info.setPath(pathFilter);
    auto* driver = new HidComDriver(info);
    driver->setHidDeviceSettings(ZyrHid::HidDeviceSettings{0, 0});
    driver->setStreamFormatter(new ComStreamFormatter);
    return driver;
}

} // namespace

const char* const RasPiStreamCommunicationStack::controlHidName = "CONTROL_HID";
const char* const RasPiStreamCommunicationStack::controlStreamName = "CONTROL_STREAM";
const char* const RasPiStreamCommunicationStack::moduleHidName = "MODULE_HID";
const char* const RasPiStreamCommunicationStack::moduleStreamName = "MODULE_STREAM";

QString RasPiStreamCommunicationStack::icComCoreName() {
    static const QString name = nodeNameOf<IcComCore>();
    return name;
}

QString RasPiStreamCommunicationStack::serialComDriverName() {
    static const QString name = nodeNameOf<SerialComDriver>();
    return name;
}

RasPiStreamCommunicationStack::RasPiStreamCommunicationStack(QObject* parent)
    : CommunicationStack(parent) {}

RasPiStreamCommunicationStack::~RasPiStreamCommunicationStack() {
    deinitialize();
}

void RasPiStreamCommunicationStack::initialize(ushort productId, uchar i2cSlaveAddress,
                                               IComObject* configObject,
                                               ZyrCore::Tracing::Tracer* tracer) {
    ZYR_ASSERT(kSource, !itsIsInitialized, "CommunicationStack is already initialized.");
    ZYR_ASSERT_NOT_NULL(kSource, configObject);

    itsName = QStringLiteral("Default");
    itsI2cSlaveAddress = i2cSlaveAddress;
    itsConfigObject = configObject;

    HidComDriver* controlHid = newHidDriver(productId, ZyrHid::BoardIds::controlInterfaceFilter);
    insertNode(controlHidName, controlHid, QString());
    insertNode(controlStreamName, new ComStream(controlHid, ComStream::theImmediateFlushPolicy),
               QString(controlHidName));

    HidComDriver* moduleHid = newHidDriver(productId, ZyrHid::BoardIds::moduleInterfaceFilter);
    insertNode(moduleHidName, moduleHid, QString(controlHidName));
    auto* moduleStream = new ComStream(moduleHid, ComStream::theImmediateFlushPolicy);
    insertNode(moduleStreamName, moduleStream, QString(moduleHidName));
    insertNode(icComCoreName(), new IcComCore(moduleStream, nullptr), QString(moduleStreamName));

    SerialComDeviceInfo serialFilter;
    serialFilter.setVendorId(ZyrHid::BoardIds::vendorId);
    serialFilter.setProductId(productId);
    auto* serial = new SerialComDriver(serialFilter);
    serial->setWaitForData(false);
    insertNode(serialComDriverName(), serial, QString(controlHidName));

    moduleStream->setTracer(tracer);
    itsTracer = tracer;
    if (tracer != nullptr) {
        // The tracer replays on the stream it watches; its view leaves out register read-backs.
        tracer->setComExecutor(moduleStream);
        tracer->viewer()->setNegativeFilter(IcComCore::readBackTraceBit);
    }
    wireManagers();
    itsIsInitialized = true;
}

void RasPiStreamCommunicationStack::wireManagers() {
    NodeStateManager* manager = nullptr;
    if (tryGetStateManager(controlHidName, &manager)) {
        connect(manager, &NodeStateManager::stateChanged, this,
                &RasPiStreamCommunicationStack::onControlHidStateChanged);
    }
    if (tryGetStateManager(controlStreamName, &manager)) {
        manager->checkDelegate.set(
            this, SLOT(onCheckControlStreamState(ZyrCore::Communication::NodeStateContext*)));
    }
    if (tryGetStateManager(moduleHidName, &manager)) {
        connect(manager, &NodeStateManager::stateChanged, this,
                &RasPiStreamCommunicationStack::onModuleHidStateChanged);
    }
    if (tryGetStateManager(moduleStreamName, &manager)) {
        manager->checkDelegate.set(
            this, SLOT(onCheckModuleStreamState(ZyrCore::Communication::NodeStateContext*)));
        connect(manager, &NodeStateManager::stateChanged, this,
                &RasPiStreamCommunicationStack::onModuleStreamStateChanged);
    }
    if (tryGetStateManager(icComCoreName(), &manager)) {
        manager->checkDelegate.set(this,
                                   SLOT(onCheckIcState(ZyrCore::Communication::NodeStateContext*)));
        connect(manager, &NodeStateManager::stateChanged, this,
                &RasPiStreamCommunicationStack::onIcStateChanged);
    }
    if (tryGetStateManager(serialComDriverName(), &manager)) {
        manager->checkDelegate.set(
            this, SLOT(onCheckCdcState(ZyrCore::Communication::NodeStateContext*)));
        connect(manager, &NodeStateManager::stateChanged, this,
                &RasPiStreamCommunicationStack::onCdcStateChanged);
    }
}

void RasPiStreamCommunicationStack::unwireManagers() {
    NodeStateManager* manager = nullptr;
    if (tryGetStateManager(serialComDriverName(), &manager)) {
        disconnect(manager, &NodeStateManager::stateChanged, this,
                   &RasPiStreamCommunicationStack::onCdcStateChanged);
    }
    if (tryGetStateManager(icComCoreName(), &manager)) {
        disconnect(manager, &NodeStateManager::stateChanged, this,
                   &RasPiStreamCommunicationStack::onIcStateChanged);
    }
    if (tryGetStateManager(moduleStreamName, &manager)) {
        disconnect(manager, &NodeStateManager::stateChanged, this,
                   &RasPiStreamCommunicationStack::onModuleStreamStateChanged);
    }
    if (tryGetStateManager(moduleHidName, &manager)) {
        disconnect(manager, &NodeStateManager::stateChanged, this,
                   &RasPiStreamCommunicationStack::onModuleHidStateChanged);
    }
    if (tryGetStateManager(controlHidName, &manager)) {
        disconnect(manager, &NodeStateManager::stateChanged, this,
                   &RasPiStreamCommunicationStack::onControlHidStateChanged);
    }
}

void RasPiStreamCommunicationStack::deinitialize() {
    if (!itsIsInitialized)
        return;
    setActive(false);
    unwireManagers();

    // The drivers point at their formatters until they are deleted with their nodes.
    QList<IComStreamFormatter*> formatters;
    for (const char* name : {moduleHidName, controlHidName}) {
        CommunicationStackElement* element = findElement(name);
        auto* driver = element != nullptr ? dynamic_cast<HidComDriver*>(element->node()) : nullptr;
        if (driver != nullptr && driver->streamFormatter() != nullptr)
            formatters.append(driver->streamFormatter());
    }
    // The player lets go of the module stream while it still stands: it may have the stream
    // read replies still pending, and must not replay on the stream once it is gone.
    if (itsTracer != nullptr)
        itsTracer->setComExecutor(nullptr);
    itsTracer = nullptr;
    clearElements(true);
    qDeleteAll(formatters);

    itsConfigObject = nullptr;
    itsIsInitialized = false;
}

void RasPiStreamCommunicationStack::setIcIdentification(uchar registerAddress,
                                                        uchar expectedValue) {
    itsIcIdRegisterAddress = registerAddress;
    itsIcIdValue = expectedValue;
}

void RasPiStreamCommunicationStack::setRegisterSet(ZyrCore::Register::RegisterSet* registerSet) {
    CommunicationStackElement* element = findElement(icComCoreName());
    auto* registers =
        element != nullptr ? dynamic_cast<IRegisterCommunication*>(element->node()) : nullptr;
    if (registers != nullptr)
        registers->setRegisterSet(registerSet);
}

void RasPiStreamCommunicationStack::setActive(bool active) {
    ZYR_ASSERT(kSource, itsIsInitialized, "CommunicationStack is not initialized.");
    if (active) {
        activate(controlHidName, true);
        return;
    }
    // From the top down; the serial node follows the control HID node.
    activate(icComCoreName(), false);
    activate(moduleStreamName, false);
    activate(moduleHidName, false);
    activate(controlStreamName, false);
    activate(controlHidName, false);
}

void RasPiStreamCommunicationStack::activate(const QString& nodeName, bool active) {
    NodeStateManager* manager = nullptr;
    if (tryGetStateManager(nodeName, &manager))
        manager->setActive(active);
}

int RasPiStreamCommunicationStack::checkChannel(NodeStateContext* stateContext) {
    if (stateContext == nullptr || stateContext->communicationNode() == nullptr)
        return NodeState::Unknown;
    auto* executor = dynamic_cast<IComExecutor*>(stateContext->communicationNode());
    if (executor == nullptr)
        return NodeState::Unknown;

    FirmwareNumberComObject firmwareNumber(channelCheckTracePattern);
    firmwareNumber.setCallingType(IComObject::RequestAndResponse);
    executor->execute(&firmwareNumber);
    if (executor->lastError() != 0)
        return NodeState::Closed;
    return firmwareNumber.status() == 0 ? NodeState::Open : NodeState::Unknown;
}

int RasPiStreamCommunicationStack::onCheckControlStreamState(NodeStateContext* stateContext) {
    return checkChannel(stateContext);
}

int RasPiStreamCommunicationStack::onCheckModuleStreamState(NodeStateContext* stateContext) {
    return checkChannel(stateContext);
}

int RasPiStreamCommunicationStack::onCheckIcState(NodeStateContext* stateContext) {
    if (stateContext == nullptr || stateContext->communicationNode() == nullptr)
        return NodeState::Unknown;
    auto* registers = dynamic_cast<IRegisterCommunication*>(stateContext->communicationNode());
    if (registers == nullptr)
        return NodeState::Unknown;

    RegisterInfoStd identification(itsIcIdRegisterAddress, 8, 8, 255);
    identification.setTracePattern(identificationTracePattern);
    RegisterValue value;
    if (registers->readRegister(&identification, &value, false) != 0 || value.state() != 0)
        return NodeState::Closed;
    return value.value() == itsIcIdValue ? NodeState::Open : NodeState::Closed;
}

int RasPiStreamCommunicationStack::onCheckCdcState(NodeStateContext* stateContext) {
    if (stateContext == nullptr)
        return NodeState::Unknown;
    return dynamic_cast<SerialComDriver*>(stateContext->communicationNode()) != nullptr
               ? NodeState::Open
               : NodeState::Unknown;
}

void RasPiStreamCommunicationStack::onControlHidStateChanged(NodeStateContext /*context*/,
                                                             int /*previousState*/,
                                                             int currentState) {
    const bool open = currentState == NodeState::Open;
    activate(moduleHidName, open);
    activate(serialComDriverName(), open);
    activate(controlStreamName, open);
}

void RasPiStreamCommunicationStack::onControlStreamStateChanged(NodeStateContext /*context*/,
                                                                int /*previousState*/,
                                                                int /*currentState*/) {}

void RasPiStreamCommunicationStack::onModuleHidStateChanged(NodeStateContext /*context*/,
                                                            int /*previousState*/,
                                                            int currentState) {
    activate(moduleStreamName, currentState == NodeState::Open);
}

void RasPiStreamCommunicationStack::onModuleStreamStateChanged(NodeStateContext /*context*/,
                                                               int /*previousState*/,
                                                               int currentState) {
    if (currentState != NodeState::Open) {
        activate(icComCoreName(), false);
        return;
    }
    CommunicationStackElement* element = findElement(moduleStreamName);
    auto* stream = element != nullptr ? dynamic_cast<ComStream*>(element->node()) : nullptr;
    if (stream == nullptr)
        return;

    // The board's I2C master is set up afresh each time the module interface comes up.
    itsConfigObject->setCallingType(IComObject::FireAndForget);
    // Its result is left to the stream: a failed send stays as the stream's error and fails the
    // identification read that follows.
    stream->execute(itsConfigObject);

    itsProvider.setConfiguration(itsI2cSlaveAddress);
    CommunicationStackElement* icElement = findElement(icComCoreName());
    if (auto* ic = icElement != nullptr ? dynamic_cast<IcComCore*>(icElement->node()) : nullptr)
        ic->setComObjectProvider(&itsProvider);
    activate(icComCoreName(), true);
}

void RasPiStreamCommunicationStack::onIcStateChanged(NodeStateContext /*context*/,
                                                     int /*previousState*/, int /*currentState*/) {}

void RasPiStreamCommunicationStack::onCdcStateChanged(NodeStateContext /*context*/,
                                                      int /*previousState*/, int /*currentState*/) {
}

} // namespace ZyrRasPi
