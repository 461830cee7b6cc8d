#ifndef FORMSCROLLAREA_H
#define FORMSCROLLAREA_H

#include <QScrollArea>

// Holds a form: shows it whole, without frame or scroll bars, wherever it is given the room the
// form needs, and lets it scroll where it is given less (a window on a small screen).
class FormScrollArea : public QScrollArea {
    Q_OBJECT

public:
    // Takes ownership of form.
    explicit FormScrollArea(QWidget* form, QWidget* parent = nullptr);

    // The form's own minimum, so that a window's layout still asks for the whole form; the window
    // decides whether it gives less.
    QSize minimumSizeHint() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

#endif // FORMSCROLLAREA_H
