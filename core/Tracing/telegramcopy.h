#ifndef ZYRCORE_TRACING_TELEGRAMCOPY_H
#define ZYRCORE_TRACING_TELEGRAMCOPY_H

#include <QString>
#include <QXmlStreamWriter>

class QXmlStreamReader;

namespace ZyrCore::Tracing {

// Copies one telegram of a trace file, token by token as a reader gives them, into a text laid
// out by an auto-formatting writer. Names keep the prefixes the file gives them and namespace
// declarations stay on the elements that carry them in the file, so the copy is the telegram
// laid out, whatever namespaces it uses. The telegram must bind every prefix it uses itself.
class TelegramCopy {
public:
    TelegramCopy();

    // Copies the reader's current token; the first is the Telegram start element.
    void copy(const QXmlStreamReader& reader);
    // The copied text.
    QString take() { return std::move(itsText); }

private:
    void copyStartElement(const QXmlStreamReader& reader);

    QString itsText;
    QXmlStreamWriter itsWriter;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TELEGRAMCOPY_H
