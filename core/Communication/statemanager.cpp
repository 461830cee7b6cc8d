#include "Communication/statemanager.h"

namespace ZyrCore::Communication {

StateManager::StateManager(QObject* parent)
    : QObject(parent)
    , itsTimer(this) {
    itsTimer.setInterval(defaultTimerInterval);
    itsTimer.setSingleShot(false);
    connect(&itsTimer, &QTimer::timeout, this, &StateManager::onItsTimerTimeout);
}

StateManager::~StateManager() {
    if (itsTimer.isActive())
        itsTimer.stop();
}

bool StateManager::isActive() {
    return itsTimer.isActive();
}

int StateManager::setActive(bool active) {
    if (active && !itsTimer.isActive())
        itsTimer.start();
    else if (!active && itsTimer.isActive())
        itsTimer.stop();
    return lastState();
}

void StateManager::setTimerInterval(int ms) {
    itsTimer.setInterval(ms);
}

void StateManager::onItsTimerTimeout() {
    checkState();
}

} // namespace ZyrCore::Communication
