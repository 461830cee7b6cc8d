#include "zyrstatusfield.h"

namespace ZyrGui {

namespace {

StatusFieldState colouredState(const char* background, const char* textColour, const char* text) {
    return StatusFieldState(QStringLiteral("background-color: %1; color: %2;")
                                .arg(QLatin1String(background), QLatin1String(textColour)),
                            QLatin1String(text));
}

// The looks of the node states 0 to 4: grey while unknown, green while opening or open, red
// while closing or closed.
QList<StatusFieldState> nodeStates() {
    return {colouredState("#acb2b7", "#ffffff", "unknown"),
            colouredState("#009f69", "#ffffff", "opening"),
            colouredState("#009f69", "#ffffff", "open"),
            colouredState("#df5353", "#ffffff", "closing"),
            colouredState("#df5353", "#ffffff", "closed")};
}

} // namespace

ZyrStatusField::ZyrStatusField(QWidget* parent)
    : QLabel(parent) {
    itsStates.append(nodeStates().constFirst());
    applyState(itsStates.constFirst());
    setAlignment(Qt::AlignCenter);
}

void ZyrStatusField::setState(int index) {
    if (index >= 0 && index < itsStates.size())
        applyState(itsStates.at(index));
}

void ZyrStatusField::addState(const StatusFieldState& state) {
    itsStates.append(state);
}

bool ZyrStatusField::setStateManager(ZyrCore::Communication::NodeStateManager* manager) {
    releaseStateManager();
    if (manager == nullptr)
        return false;
    itsStateManager = manager;
    itsBound = true;
    itsShowStateText = false;
    itsStates = nodeStates();
    connect(manager, &ZyrCore::Communication::NodeStateManager::stateChanged, this,
            &ZyrStatusField::onStateChanged);
    return true;
}

bool ZyrStatusField::releaseStateManager() {
    if (!itsBound)
        return false;
    if (!itsStateManager.isNull())
        disconnect(itsStateManager.data(), &ZyrCore::Communication::NodeStateManager::stateChanged,
                   this, &ZyrStatusField::onStateChanged);
    itsStateManager.clear();
    itsBound = false;
    return true;
}

void ZyrStatusField::onStateChanged(ZyrCore::Communication::NodeStateContext /*context*/,
                                    int /*previousState*/, int currentState) {
    setState(currentState);
}

void ZyrStatusField::applyState(const StatusFieldState& state) {
    if (itsShowStateText)
        setText(state.text());
    setStyleSheet(state.styleSheet());
}

} // namespace ZyrGui
