#include "userdialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include <utility>

namespace {

UserDialogs::MessageHandler& messageHandler() {
    static UserDialogs::MessageHandler handler;
    return handler;
}

UserDialogs::PathHandler& pathHandler() {
    static UserDialogs::PathHandler handler;
    return handler;
}

} // namespace

void UserDialogs::information(QWidget* parent, const QString& title, const QString& text) {
    show(parent, {Kind::Information, title, text});
}

void UserDialogs::warning(QWidget* parent, const QString& title, const QString& text) {
    show(parent, {Kind::Warning, title, text});
}

void UserDialogs::critical(QWidget* parent, const QString& title, const QString& text) {
    show(parent, {Kind::Critical, title, text});
}

QString UserDialogs::existingDirectory(QWidget* parent, const QString& caption,
                                       const QString& startDirectory) {
    if (pathHandler())
        return pathHandler()(caption);
    return QFileDialog::getExistingDirectory(parent, caption, startDirectory,
                                             QFileDialog::ShowDirsOnly |
                                                 QFileDialog::DontResolveSymlinks);
}

QString UserDialogs::saveFileName(QWidget* parent, const QString& caption,
                                  const QString& startDirectory, const QString& filter) {
    if (pathHandler())
        return pathHandler()(caption);
    return QFileDialog::getSaveFileName(parent, caption, startDirectory, filter);
}

void UserDialogs::setMessageHandler(MessageHandler handler) {
    messageHandler() = std::move(handler);
}

void UserDialogs::setPathHandler(PathHandler handler) {
    pathHandler() = std::move(handler);
}

void UserDialogs::show(QWidget* parent, const Message& message) {
    if (messageHandler()) {
        messageHandler()(message);
        return;
    }
    switch (message.kind) {
    case Kind::Information:
        QMessageBox::information(parent, message.title, message.text, QMessageBox::Ok);
        break;
    case Kind::Warning:
        QMessageBox::warning(parent, message.title, message.text, QMessageBox::Ok);
        break;
    case Kind::Critical:
        QMessageBox::critical(parent, message.title, message.text, QMessageBox::Ok);
        break;
    }
}
