#ifndef ZYRGUI_STATUSFIELDSTATE_H
#define ZYRGUI_STATUSFIELDSTATE_H

#include <QString>

namespace ZyrGui {

// One look of a status field: its style sheet and the text it may show.
class StatusFieldState {
public:
    StatusFieldState(const QString& styleSheet, const QString& text);

    QString styleSheet() const { return itsStyleSheet; }
    QString text() const { return itsText; }

private:
    QString itsStyleSheet;
    QString itsText;
};

} // namespace ZyrGui

#endif // ZYRGUI_STATUSFIELDSTATE_H
