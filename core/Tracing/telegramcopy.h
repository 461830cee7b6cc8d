#ifndef ZYRCORE_TRACING_TELEGRAMCOPY_H
#define ZYRCORE_TRACING_TELEGRAMCOPY_H

#include <QString>
#include <QVector>
#include <QXmlStreamWriter>

class QXmlStreamReader;

namespace ZyrCore::Tracing {

// Copies one telegram of a trace file, token by token as a reader gives them, into a text that
// reads on its own, laid out by an auto-formatting writer. Names keep the prefixes the file gives
// them and namespace declarations stay on the elements that carry them in the file. A namespace
// the telegram takes from the elements around it is declared once, on the copied Telegram
// element: the copy is the telegram laid out plus one declaration of each such name, however
// often the telegram uses it.
class TelegramCopy {
public:
    TelegramCopy();

    // Copies the reader's current token; the first is the Telegram start element.
    void copy(const QXmlStreamReader& reader);
    // The copied text.
    QString take();

private:
    struct Namespace {
        QString prefix; // empty for the default namespace
        QString name;
    };

    void copyStartElement(const QXmlStreamReader& reader);
    // Notes a name's prefix bound to the namespace name; one not declared inside the telegram
    // comes from around it.
    void use(const QStringRef& prefix, const QStringRef& name);

    QString itsText;
    QXmlStreamWriter itsWriter;
    int itsTelegramNameEnd = -1;          // where the Telegram element's name ends in the text
    QVector<QString> itsDeclaredPrefixes; // by the open elements, outermost first
    QVector<int> itsOpenElements;         // for each: the declared prefixes before it
    QVector<Namespace> itsFromAround;     // in the order first used
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TELEGRAMCOPY_H
