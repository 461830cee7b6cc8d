#include "zyrdoublespinbox.h"

#include <QMetaMethod>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QWheelEvent>

namespace ZyrGui {

ZyrDoubleSpinBox::ZyrDoubleSpinBox(QWidget* parent)
    : QDoubleSpinBox(parent) {}

ZyrDoubleSpinBox::DoubleSpinBoxButtons ZyrDoubleSpinBox::buttonAt(const QPoint& position) const {
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    switch (style()->hitTestComplexControl(QStyle::CC_SpinBox, &option, position, this)) {
    case QStyle::SC_SpinBoxUp:
        return UpButton;
    case QStyle::SC_SpinBoxDown:
        return DownButton;
    default:
        return NoButton;
    }
}

bool ZyrDoubleSpinBox::isListenedTo(const QMetaMethod& signal) const {
    return isSignalConnected(signal) && isEnabled() && !isReadOnly();
}

void ZyrDoubleSpinBox::mousePressEvent(QMouseEvent* event) {
    const DoubleSpinBoxButtons button =
        event->button() == Qt::LeftButton ? buttonAt(event->pos()) : NoButton;
    emit mouseButtonPressed(button);
    if (button != NoButton &&
        isListenedTo(QMetaMethod::fromSignal(&ZyrDoubleSpinBox::spinBoxButtonPressed))) {
        itsArrowHeld = true;
        event->accept();
        emit spinBoxButtonPressed(button);
        return;
    }
    QDoubleSpinBox::mousePressEvent(event);
}

void ZyrDoubleSpinBox::mouseReleaseEvent(QMouseEvent* event) {
    if (itsArrowHeld) {
        itsArrowHeld = false;
        event->accept();
        emit spinBoxButtonReleased();
    } else {
        QDoubleSpinBox::mouseReleaseEvent(event);
    }
    emit mouseButtonReleased();
}

void ZyrDoubleSpinBox::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0 || !isListenedTo(QMetaMethod::fromSignal(&ZyrDoubleSpinBox::modifyIndex))) {
        QDoubleSpinBox::wheelEvent(event);
        return;
    }
    event->accept();
    emit modifyIndex(delta > 0 ? UpButton : DownButton);
}

} // namespace ZyrGui
