#ifndef ZYRGUI_ZYRDOUBLESPINBOX_H
#define ZYRGUI_ZYRDOUBLESPINBOX_H

#include <QDoubleSpinBox>

namespace ZyrGui {

// A double spin box that leaves stepping to whoever listens: a press on its up or down arrow is
// reported by spinBoxButtonPressed until spinBoxButtonReleased, and a wheel turn by modifyIndex,
// instead of changing the value by a fixed step. Without listeners it steps as usual.
// mouseButtonPressed and mouseButtonReleased report every mouse press with the arrow it hit.
class ZyrDoubleSpinBox : public QDoubleSpinBox {
    Q_OBJECT

public:
    enum DoubleSpinBoxButtons { NoButton = 0, UpButton = 1, DownButton = -1 };
    Q_ENUM(DoubleSpinBoxButtons)

    explicit ZyrDoubleSpinBox(QWidget* parent = nullptr);

signals:
    void spinBoxButtonPressed(ZyrGui::ZyrDoubleSpinBox::DoubleSpinBoxButtons button);
    void spinBoxButtonReleased();
    void modifyIndex(ZyrGui::ZyrDoubleSpinBox::DoubleSpinBoxButtons button);
    void mouseButtonPressed(ZyrGui::ZyrDoubleSpinBox::DoubleSpinBoxButtons button);
    void mouseButtonReleased();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    DoubleSpinBoxButtons buttonAt(const QPoint& position) const;
    bool isListenedTo(const QMetaMethod& signal) const;

    bool itsArrowHeld = false;
};

} // namespace ZyrGui

#endif // ZYRGUI_ZYRDOUBLESPINBOX_H
