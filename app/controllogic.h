#ifndef CONTROLLOGIC_H
#define CONTROLLOGIC_H

#include "Communication/I2c/i2cconfigcomobject.h"
#include "Communication/nodestatecontext.h"
#include "Tools/delegate.h"
#include "intents/iintentexecutor.h"
#include "raspi/raspistreamcommunicationstack.h"

#include <QList>
#include <QObject>

namespace ZyrGui::Intents {
class Intent;
class IIntentExecuteParameter;
} // namespace ZyrGui::Intents

namespace ZyrCore::Communication {
class CommunicationStackElement;
}

// Owns the interface board's communication stack and the program's intents, and turns the state
// changes of the module stream and the register node into tofModuleActivated() and the two
// delegate calls.
class ControlLogic : public QObject, public ZyrGui::Intents::IIntentExecutor {
    Q_OBJECT

public:
    ControlLogic();
    ControlLogic(const ControlLogic&) = delete;
    ControlLogic& operator=(const ControlLogic&) = delete;
    ~ControlLogic() override;

    // Builds the stack and connects the state handlers; called once, after the window's form.
    void initialize();
    void deinitialize();
    void activateCommunication();
    void deactivateCommunication();
    // Unlinks and deinitialises the register-bound controls.
    void deinitializeControls();

    ZyrRasPi::RasPiStreamCommunicationStack* communicationStack();

    // Called after the register node opened, and when it leaves the open or closing state.
    ZyrCore::Tools::Delegate communicationInitialized;
    ZyrCore::Tools::Delegate communicationDeinitialized;

    static constexpr unsigned char i2cSlaveAddress = 0x40;
    static constexpr unsigned char icIdRegister = 0x90;
    static constexpr unsigned char icIdValue = 0x8E;

signals:
    void tofModuleActivated();

private slots:
    void onIcStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                          int currentState);
    void onModuleStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                              int currentState);

public slots:
    void intExit_update(bool& enabled);
    void intExit_execute(ZyrGui::Intents::IIntentExecuteParameter* parameter);

private:
    ZyrCore::Communication::CommunicationStackElement* findIcElement() const;
    void connectStateHandlers();
    void disconnectStateHandlers();

    ZyrCore::Communication::I2c::I2cConfigComObject itsI2cConfig;
    ZyrRasPi::RasPiStreamCommunicationStack itsCommunicationStack;
    QList<ZyrGui::Intents::Intent*> itsIntents;
};

#endif // CONTROLLOGIC_H
