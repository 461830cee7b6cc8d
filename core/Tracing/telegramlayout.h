#ifndef ZYRCORE_TRACING_TELEGRAMLAYOUT_H
#define ZYRCORE_TRACING_TELEGRAMLAYOUT_H

#include <QByteArray>
#include <QString>
#include <QVector>

class QXmlStreamReader;

namespace ZyrCore::Tracing {

// Lays telegrams out exactly as an auto-formatting QXmlStreamWriter (indent 4) does, appending to
// one text: the writer makes a small allocation for every piece it writes, which costs more than
// reading the telegram.
//
// copy() writes as the writer writes, for a trace file's telegrams below its root. It takes only
// plain tokens (elements and attributes without namespaces, text in printable ASCII); for
// anything else it reports false and the caller falls back on the writer.
//
// copyAsRead() takes every token of a telegram, names as read, and writes each character so that
// a reader takes it back as it is (a carriage return as a reference), escaping no more than XML
// asks: no construct comes out longer than in any text a reader reads it from.
class TelegramLayout {
public:
    enum class Start {
        InRoot, // right after a trace file root's start tag and the blanks before the first
                // telegram
        Empty   // nothing written yet, as a telegram's text of its own
    };
    explicit TelegramLayout(Start start = Start::InRoot);

    // Copies the reader's current token. False, with nothing written, for a token it does not
    // take.
    bool copy(const QXmlStreamReader& reader);
    // Copies the reader's current token, of any kind but the document's start and end.
    void copyAsRead(const QXmlStreamReader& reader);
    // Ends the innermost open element, as QXmlStreamWriter::writeEndElement.
    void endElement();
    // Line breaks and indentation from now on, as QXmlStreamWriter::setAutoFormatting.
    void setAutoFormatting(bool autoFormatting) { itsAutoFormatting = autoFormatting; }
    bool autoFormatting() const { return itsAutoFormatting; }

    // Where a telegram starts, to go back to when it turns out torn or not plain.
    struct Mark {
        int textSize;
        int openElements;
        bool inStartElement;
        bool wroteSomething;
        bool lastWasStartElement;
    };
    Mark mark() const;
    void rewind(const Mark& mark);
    // Appends a whole telegram that a writer in this state laid out; the state is then the one
    // every whole telegram leaves behind.
    void appendTelegram(const QString& laidOut);

    // Whether no telegram has been written yet: the next one starts without a line break.
    bool atFirstTelegram() const { return itsWroteSomething && itsLastWasStartElement; }
    // The text laid out since the last take.
    const QString& text() const { return itsText; }
    // How many '>' and '"' copy() has written as references, longer than a reader may have read
    // them.
    qint64 lengthened() const { return itsLengthened; }
    // What was laid out since the last call, in UTF-8.
    QByteArray takeUtf8();
    QString takeText();

private:
    // Writes the start tag's opening and keeps its qualified name for the end tag.
    void openStartTag(QStringView qualifiedName);
    // Before a comment or processing instruction: ends an open start tag, indents.
    void beginMarkup();
    bool finishStartElement(bool contents);
    void indent(int level);
    // Appends text, each character that reference gives a text for as that text.
    template <typename Reference>
    void appendWith(QStringView text, Reference reference);
    // As the writer escapes text and values.
    void appendEscaped(QStringView text);
    void appendTextAsRead(QStringView text);
    void appendAttributeAsRead(QStringView name, QStringView value);

    QString itsText;
    // The open elements' names, the root's included, in the first itsOpenElements entries; the
    // entries are reused, so copying an element allocates nothing once the text has room.
    QVector<QString> itsElementNames;
    int itsOpenElements = 1;
    bool itsInStartElement = false;
    bool itsWroteSomething = true;
    bool itsLastWasStartElement = true;
    bool itsAutoFormatting = true;
    qint64 itsLengthened = 0;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TELEGRAMLAYOUT_H
