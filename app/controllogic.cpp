#include "controllogic.h"

#include "Communication/commandmanager.h"
#include "Communication/communicationstackelement.h"
#include "Communication/iccomcore.h"
#include "Communication/nodestate.h"
#include "Communication/nodestatemanager.h"
#include "Tools/zyrassert.h"
#include "boardids.h"
#include "controls/controlmanager.h"
#include "intents/intent.h"
#include "intents/intentmanager.h"
#include "raspi/streamcontrolcommandset.h"
#include "raspi/streamregistercommandset.h"

#include <QCoreApplication>
#include <QIcon>

using ZyrCore::Communication::CommandManager;
using ZyrCore::Communication::CommunicationStackElement;
using ZyrCore::Communication::IcComCore;
using ZyrCore::Communication::NodeState;
using ZyrCore::Communication::NodeStateContext;
using ZyrCore::Communication::NodeStateManager;
using ZyrGui::Controls::ControlManager;
using ZyrGui::Intents::Intent;
using ZyrGui::Intents::IntentManager;
using ZyrRasPi::RasPiStreamCommunicationStack;

namespace {
const char* const kSource = "controllogic";

// The I2C bus of the sensor module: module 2 at 400 kHz.
constexpr unsigned char kI2cModule = 2;
constexpr unsigned char kI2cClockMode = 2;
constexpr unsigned int kI2cTracePattern = 0x8000000;
} // namespace

ControlLogic::ControlLogic()
    : itsI2cConfig(kI2cModule, kI2cClockMode, 0, kI2cTracePattern)
    , itsCommunicationStack(this) {
    IntentManager::instance()->registerExecutor(this);

    struct IntentText {
        const char* name;
        const char* text;
        const char* icon;
        const char* description;
        bool checkable;
    };
    static const IntentText intents[] = {
        {"intExit", "Exit", nullptr, "Quits this instance of the program", false},
        {"intOpenRegMap", "Register Map", ":/icons/gray/grid", "Opens the Register Map", false},
        {"intSaveConfiguration", "Save Configuration", nullptr, "Saves the GUI configuration",
         false},
        {"intLoadConfiguration", "Load Configuration", nullptr, "Loads the GUI configuration",
         false},
        {"intRedockWindows", "Dock Windows", nullptr, "Puts all windows back into their dock",
         false},
        {"intUpdateGraphs", "Disable Graph Updates", nullptr, "Disable Graph Updates", true},
        {"intOpenAboutDialog", "About Dialog", nullptr, "Opens the About Dialog", false},
    };
    for (const IntentText& entry : intents) {
        auto* myInt =
            new Intent(entry.name, QString::fromLatin1(entry.text),
                       entry.icon != nullptr ? QIcon(QString::fromLatin1(entry.icon)) : QIcon(),
                       QString::fromLatin1(entry.description), entry.checkable);
        ZYR_ASSERT_NOT_NULL(kSource, myInt);
        itsIntents.append(myInt);
    }
}

ControlLogic::~ControlLogic() {
    IntentManager::instance()->unregisterExecutor(this);
    qDeleteAll(itsIntents);
    itsIntents.clear();
    // The window that the delegates call is being torn down: nothing may reach it from here on.
    communicationInitialized.reset();
    communicationDeinitialized.reset();
    ControlManager::deinitializeControls();
    deinitialize();
}

void ControlLogic::initialize() {
    itsCommunicationStack.initialize(ZyrHid::BoardIds::productId, i2cSlaveAddress, &itsI2cConfig,
                                     nullptr);
    itsCommunicationStack.setIcIdentification(icIdRegister, icIdValue);
    connectStateHandlers();
    itsCommunicationStack.setRegisterSet(nullptr);

    // The registry keeps its own copies: telegrams of these commands can be built by name.
    ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
    ZyrCom::Commands::StreamControlCommandSet controlCommands;
    CommandManager::instance()->registerCommandSet(&registerCommands);
    CommandManager::instance()->registerCommandSet(&controlCommands);
}

void ControlLogic::deinitialize() {
    if (!itsCommunicationStack.isInitialized())
        return;
    // The handlers go first, so deactivating the nodes reaches no one who is shutting down.
    disconnectStateHandlers();
    itsCommunicationStack.setActive(false);
    itsCommunicationStack.deinitialize();
}

void ControlLogic::deinitializeControls() {
    ControlManager::deinitializeControls();
}

void ControlLogic::activateCommunication() {
    itsCommunicationStack.setActive(true);
}

void ControlLogic::deactivateCommunication() {
    itsCommunicationStack.setActive(false);
}

ZyrRasPi::RasPiStreamCommunicationStack* ControlLogic::communicationStack() {
    return &itsCommunicationStack;
}

void ControlLogic::intExit_update(bool&) {}

void ControlLogic::intExit_execute(ZyrGui::Intents::IIntentExecuteParameter*) {
    QCoreApplication::quit();
}

void ControlLogic::onIcStateChanged(NodeStateContext, int previousState, int currentState) {
    if (currentState == NodeState::Open) {
        CommunicationStackElement* icElement = findIcElement();
        if (auto* ic = icElement != nullptr ? dynamic_cast<IcComCore*>(icElement->node()) : nullptr)
            ControlManager::initializeControls(ic, nullptr);
        communicationInitialized.invoke();
        return;
    }
    if (previousState == NodeState::Open || previousState == NodeState::Closing)
        communicationDeinitialized.invoke();
    ControlManager::deinitializeControls();
}

void ControlLogic::onModuleStateChanged(NodeStateContext, int, int currentState) {
    if (currentState == NodeState::Open)
        emit tofModuleActivated();
}

CommunicationStackElement* ControlLogic::findIcElement() const {
    // The element table is ordered by node name.
    for (CommunicationStackElement* element : itsCommunicationStack.stackElements()) {
        if (dynamic_cast<IcComCore*>(element->node()) != nullptr)
            return element;
    }
    return nullptr;
}

void ControlLogic::connectStateHandlers() {
    if (CommunicationStackElement* icElement = findIcElement())
        connect(icElement->stateManager(), &NodeStateManager::stateChanged, this,
                &ControlLogic::onIcStateChanged);
    NodeStateManager* moduleManager = nullptr;
    if (itsCommunicationStack.tryGetStateManager(RasPiStreamCommunicationStack::moduleStreamName,
                                                 &moduleManager))
        connect(moduleManager, &NodeStateManager::stateChanged, this,
                &ControlLogic::onModuleStateChanged);
}

void ControlLogic::disconnectStateHandlers() {
    if (CommunicationStackElement* icElement = findIcElement())
        disconnect(icElement->stateManager(), &NodeStateManager::stateChanged, this,
                   &ControlLogic::onIcStateChanged);
    NodeStateManager* moduleManager = nullptr;
    if (itsCommunicationStack.tryGetStateManager(RasPiStreamCommunicationStack::moduleStreamName,
                                                 &moduleManager))
        disconnect(moduleManager, &NodeStateManager::stateChanged, this,
                   &ControlLogic::onModuleStateChanged);
}
