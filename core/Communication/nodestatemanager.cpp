#include "Communication/nodestatemanager.h"

#include "Communication/icommunicationnode.h"
#include "Tools/zyrassert.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/nodestatemanager";
} // namespace

NodeStateManager::NodeStateManager(ICommunicationNode* node)
    : StateManager(nullptr) {
    ZYR_ASSERT_NOT_NULL(kSource, node);
    itsContext.setCommunicationNode(node);
}

int NodeStateManager::setActive(bool active) {
    return setActive(active, active ? NodeState::Open : NodeState::Closed);
}

int NodeStateManager::setActive(bool active, int desiredState) {
    setDesiredState(desiredState);
    StateManager::setActive(active);
    return checkState();
}

void NodeStateManager::setDesiredState(int state) {
    itsDesiredState = state;
}

int NodeStateManager::lastState() {
    return itsCurrentState;
}

NodeStateContext* NodeStateManager::context() {
    return &itsContext;
}

int NodeStateManager::checkState() {
    int newState = NodeState::Unknown;
    if (itsDesiredState == NodeState::Open) {
        newState = openAndCheck();
    } else if (itsDesiredState == NodeState::Closed) {
        itsContext.communicationNode()->close();
        newState = NodeState::Closed;
    }

    if (newState != itsCurrentState) {
        const int oldState = itsCurrentState;
        itsPreviousState = itsCurrentState;
        itsCurrentState = newState;
        emit stateChanged(itsContext, oldState, newState);
    }
    return newState;
}

// Opens the node if needed and runs the check; a node that fails either is closed again.
int NodeStateManager::openAndCheck() {
    ICommunicationNode* node = itsContext.communicationNode();
    bool usable = node->isOpen() || node->open();
    usable = usable && node->isOpen();
    if (usable && checkDelegate.isSet()) {
        int checkedState = NodeState::Unknown;
        const bool invoked =
            checkDelegate.invoke(Q_RETURN_ARG(int, checkedState),
                                 Q_ARG(ZyrCore::Communication::NodeStateContext*, &itsContext));
        usable = invoked && checkedState == NodeState::Open;
    }
    if (usable)
        return NodeState::Open;
    node->close();
    return NodeState::Closed;
}

bool NodeStateManager::setState(int state) {
    if (state == itsCurrentState)
        return false;
    itsPreviousState = itsCurrentState;
    itsCurrentState = state;
    return true;
}

bool NodeStateManager::waitForState(int state, int timeout, int pollInterval, bool processEvents) {
    QElapsedTimer elapsed;
    elapsed.start();
    if (processEvents)
        QCoreApplication::processEvents();
    for (;;) {
        if (lastState() == state)
            return true;
        if (elapsed.elapsed() >= qint64(timeout))
            return false;
        QThread::msleep(static_cast<unsigned long>(qMax(pollInterval, 0)));
        if (processEvents)
            QCoreApplication::processEvents();
    }
}

} // namespace ZyrCore::Communication
