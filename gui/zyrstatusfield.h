#ifndef ZYRGUI_ZYRSTATUSFIELD_H
#define ZYRGUI_ZYRSTATUSFIELD_H

#include "statusfieldstate.h"

#include <QLabel>
#include <QList>
#include <QPointer>

#include "Communication/nodestatemanager.h"

namespace ZyrGui {

// A label that shows a state by its colours and, unless it keeps its own caption, by a word.
// Bound to a node-state manager it follows the node: grey while unknown, green while opening or
// open, red while closing or closed, keeping its caption.
class ZyrStatusField : public QLabel {
    Q_OBJECT

public:
    explicit ZyrStatusField(QWidget* parent);

    // Applies the state at index; an index outside the state list is ignored.
    void setState(int index);
    // Appends a state after the existing ones.
    void addState(const StatusFieldState& state);

    // Follows manager from its next state change on, replacing the states with the five node
    // states and keeping the caption; releases an earlier manager first. False for null.
    bool setStateManager(ZyrCore::Communication::NodeStateManager* manager);
    // Stops following the bound manager; false when none is bound.
    bool releaseStateManager();

public slots:
    void onStateChanged(ZyrCore::Communication::NodeStateContext context, int previousState,
                        int currentState);

private:
    void applyState(const StatusFieldState& state);

    QList<StatusFieldState> itsStates;
    bool itsShowStateText = true;
    // Guarded, so that a manager destroyed while bound is not touched again.
    QPointer<ZyrCore::Communication::NodeStateManager> itsStateManager;
    bool itsBound = false;
};

} // namespace ZyrGui

#endif // ZYRGUI_ZYRSTATUSFIELD_H
