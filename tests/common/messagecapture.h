#ifndef TESTS_COMMON_MESSAGECAPTURE_H
#define TESTS_COMMON_MESSAGECAPTURE_H

#include <QByteArray>
#include <QStringList>
#include <QtGlobal>

// Collects the messages of one logging category while it lives; every message also goes on to
// the handler installed before. One capture at a time.
class MessageCapture {
public:
    explicit MessageCapture(const char* category)
        : itsCategory(category) {
        theCapture = this;
        itsPrevious = qInstallMessageHandler(&handle);
    }
    ~MessageCapture() {
        qInstallMessageHandler(itsPrevious);
        theCapture = nullptr;
    }
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    QStringList messages;

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (context.category != nullptr && theCapture->itsCategory == context.category)
            theCapture->messages.append(text);
        if (theCapture->itsPrevious != nullptr)
            theCapture->itsPrevious(type, context, text);
    }

    static inline MessageCapture* theCapture = nullptr;
    QByteArray itsCategory;
    QtMessageHandler itsPrevious = nullptr;
};

#endif // TESTS_COMMON_MESSAGECAPTURE_H
