#ifndef ZYRCORE_TRACING_TELEGRAMLAYOUT_H
#define ZYRCORE_TRACING_TELEGRAMLAYOUT_H

#include <QByteArray>
#include <QString>
#include <QVector>

class QXmlStreamReader;

namespace ZyrCore::Tracing {

// Lays out the elements and text of telegrams below a trace file's root exactly as an
// auto-formatting QXmlStreamWriter (indent 4) does, but appends to one text: the writer makes a
// small allocation for every piece it writes, which costs the recorder more than reading the
// telegram. Only plain tokens are taken (elements and attributes without namespaces, text in
// printable ASCII); for anything else copy() reports false and the caller falls back on the
// writer.
class TelegramLayout {
public:
    // The state a writer is in right after the root's start tag and the blanks before the first
    // telegram.
    TelegramLayout();

    // Copies the reader's current token. False, with nothing written, for a token it does not
    // take.
    bool copy(const QXmlStreamReader& reader);
    // Ends the innermost open element, as QXmlStreamWriter::writeEndElement.
    void endElement();

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
    // What was laid out since the last call, in UTF-8.
    QByteArray takeUtf8();

private:
    bool finishStartElement(bool contents);
    void indent(int level);
    void appendEscaped(QStringView text);

    QString itsText;
    // The open elements' names, the root's included, in the first itsOpenElements entries; the
    // entries are reused, so copying an element allocates nothing once the text has room.
    QVector<QString> itsElementNames;
    int itsOpenElements = 1;
    bool itsInStartElement = false;
    bool itsWroteSomething = true;
    bool itsLastWasStartElement = true;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TELEGRAMLAYOUT_H
