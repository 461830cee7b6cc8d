#include "formscrollarea.h"

#include <QCoreApplication>
#include <QEvent>

FormScrollArea::FormScrollArea(QWidget* form, QWidget* parent)
    : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    // No stop of its own in the tab order: it scrolls to the control that takes the focus.
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    setWidget(form);
}

QSize FormScrollArea::minimumSizeHint() const {
    return widget()->minimumSizeHint().expandedTo(widget()->minimumSize());
}

// The form's layout tells only the form of a change (a control shown or hidden, another font),
// and nobody of those made before the form first shows: the window's layout must hear of them,
// and the form be sized anew once its layout has taken them.
bool FormScrollArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget() &&
        (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show)) {
        updateGeometry();
        QCoreApplication::postEvent(this, new QEvent(QEvent::LayoutRequest));
    }
    return QScrollArea::eventFilter(watched, event);
}
