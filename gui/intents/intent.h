#ifndef ZYRGUI_INTENTS_INTENT_H
#define ZYRGUI_INTENTS_INTENT_H

#include "intents/iintent.h"

#include <QObject>

namespace ZyrGui::Intents {

// An intent that registers itself with the intent manager for its lifetime. Its execute() slot
// is what menu and tool-bar actions connect to.
class Intent : public QObject, public IIntent {
    Q_OBJECT

public:
    // name is stored as given, not copied: it must outlive the intent (a string literal).
    Intent(const char* name, const QString& text, const QIcon& icon, const QString& description,
           bool checkable);
    ~Intent() override;

    QString text() const override;
    const char* name() const override;
    QString description() const override;
    QIcon icon() const override;
    bool isCheckable() const override;

public slots:
    // Dispatches the intent; when an action fired it, its checked state travels along.
    void execute() override;

private:
    const char* itsName;
    QString itsText;
    QIcon itsIcon;
    QString itsDescription;
    bool itsCheckable;
};

} // namespace ZyrGui::Intents

#endif // ZYRGUI_INTENTS_INTENT_H
