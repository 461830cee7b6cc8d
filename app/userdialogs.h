#ifndef ZYRAPP_USERDIALOGS_H
#define ZYRAPP_USERDIALOGS_H

#include <QString>

#include <functional>

class QWidget;

// The one way the application asks or tells the user something through a modal dialog. The
// program shows Qt's real dialogs; a test installs handlers that answer and record instead, so
// no test waits for a person or a nested event loop.
class UserDialogs {
public:
    enum class Kind { Information, Warning, Critical };

    struct Message {
        Kind kind;
        QString title;
        QString text;
    };

    using MessageHandler = std::function<void(const Message&)>;
    // Answers a file or directory question; gets the caption, returns the chosen path or an
    // empty text for "cancelled".
    using PathHandler = std::function<QString(const QString& caption)>;

    // Message boxes with the single button Ok.
    static void information(QWidget* parent, const QString& title, const QString& text);
    static void warning(QWidget* parent, const QString& title, const QString& text);
    static void critical(QWidget* parent, const QString& title, const QString& text);

    // QFileDialog::getExistingDirectory, directories only, symbolic links not resolved.
    static QString existingDirectory(QWidget* parent, const QString& caption,
                                     const QString& startDirectory);
    // QFileDialog::getSaveFileName.
    static QString saveFileName(QWidget* parent, const QString& caption,
                                const QString& startDirectory, const QString& filter);

    // Replace the real dialogs; an empty handler restores them.
    static void setMessageHandler(MessageHandler handler);
    static void setPathHandler(PathHandler handler);

private:
    static void show(QWidget* parent, const Message& message);
};

#endif // ZYRAPP_USERDIALOGS_H
