#ifndef ZYRGUI_ZYRSTATUSFIELD_H
#define ZYRGUI_ZYRSTATUSFIELD_H

#include "statusfieldstate.h"

#include <QLabel>
#include <QList>

namespace ZyrGui {

// A label that shows a state by its colours and, unless it keeps its own caption, by a word.
class ZyrStatusField : public QLabel {
    Q_OBJECT

public:
    explicit ZyrStatusField(QWidget* parent);

    // Applies the state at index; an index outside the state list is ignored.
    void setState(int index);
    // Appends a state after the existing ones.
    void addState(const StatusFieldState& state);

private:
    void applyState(const StatusFieldState& state);

    QList<StatusFieldState> itsStates;
    bool itsShowStateText = true;
};

} // namespace ZyrGui

#endif // ZYRGUI_ZYRSTATUSFIELD_H
