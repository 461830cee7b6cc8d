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

void ZyrStatusField::applyState(const StatusFieldState& state) {
    if (itsShowStateText)
        setText(state.text());
    setStyleSheet(state.styleSheet());
}

} // namespace ZyrGui
