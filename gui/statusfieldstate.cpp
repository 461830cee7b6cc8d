#include "statusfieldstate.h"

namespace ZyrGui {

StatusFieldState::StatusFieldState(const QString& styleSheet, const QString& text)
    : itsStyleSheet(styleSheet)
    , itsText(text) {}

} // namespace ZyrGui
