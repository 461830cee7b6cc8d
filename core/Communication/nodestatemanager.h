#ifndef ZYRCORE_COMMUNICATION_NODESTATEMANAGER_H
#define ZYRCORE_COMMUNICATION_NODESTATEMANAGER_H

#include "Communication/nodestate.h"
#include "Communication/nodestatecontext.h"
#include "Communication/statemanager.h"
#include "Tools/delegate.h"

namespace ZyrCore::Communication {

class ICommunicationNode;

// Drives one communication node towards a desired state (open or closed), asks the optional
// check slot whether an opened node really works, and reports every change of the node's state.
//
// The check slot takes the manager's own context and returns the node's state; only
// NodeState::Open keeps the node open. It is looked up by its parameter's type text, so it must
// be declared exactly as
//     int onCheck(ZyrCore::Communication::NodeStateContext* context);
// and set with checkDelegate.set(object, SLOT(onCheck(ZyrCore::Communication::NodeStateContext*))).
// A slot declared otherwise is not found, which counts as a failed check.
class ZYRCORE_EXPORT NodeStateManager : public StateManager {
    Q_OBJECT

public:
    // Asserts on a null node.
    explicit NodeStateManager(ICommunicationNode* node);
    NodeStateManager(const NodeStateManager&) = delete;
    NodeStateManager& operator=(const NodeStateManager&) = delete;

    // Desired state Open when active, else Closed; starts or stops the timer and checks at once.
    int setActive(bool active) override;
    int checkState() override;
    int lastState() override;
    virtual void setDesiredState(int state);
    // As setActive(bool), with the given desired state.
    virtual int setActive(bool active, int desiredState);

    NodeStateContext* context();
    // Sets the current state without any signal and without touching the node; false when the
    // state is the current one already.
    bool setState(int state);
    // Polls lastState() until it equals state or timeout ms have passed. It never checks the
    // node itself: the state moves only through the timer, whose ticks need processEvents, or
    // through other callers.
    bool waitForState(int state, int timeout, int pollInterval, bool processEvents);

    Tools::Delegate checkDelegate;

signals:
    void stateChanged(NodeStateContext context, int previousState, int currentState);

private:
    int openAndCheck();

    int itsDesiredState = NodeState::Unknown;
    int itsPreviousState = NodeState::Unknown;
    int itsCurrentState = NodeState::Unknown;
    NodeStateContext itsContext;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_NODESTATEMANAGER_H
