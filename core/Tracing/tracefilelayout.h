#ifndef ZYRCORE_TRACING_TRACEFILELAYOUT_H
#define ZYRCORE_TRACING_TRACEFILELAYOUT_H

#include "Tracing/telegramlayout.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <memory>

class QXmlStreamWriter;

namespace ZyrCore::Tracing {

// Lays out the telegrams of a trace file below its root, in memory, as an auto-formatting
// QXmlStreamWriter lays them out: each telegram is copied token by token without blank text. A
// telegram goes in only in a form that every reading of the file takes back whole: within the
// limits of markup (Tools/markupoutline.h) as laid out, each character as it was.
class TraceFileLayout {
public:
    TraceFileLayout();
    ~TraceFileLayout();

    enum class Outcome {
        Added,
        Left,   // no whole, well-formed Telegram element, or one the filter does not take
        Refused // a telegram that cannot go in whole: its text or its laid-out form is over a limit
    };
    // Adds a telegram after those before it. With a filter, only a telegram whose Trace pattern
    // shares a set bit with it.
    Outcome add(const QString& telegram, const unsigned int* filter);
    // Ends the root.
    void endRoot() { itsLayout.endElement(); }

    // What was laid out since the last call, in UTF-8.
    QByteArray takeUtf8() { return itsLayout.takeUtf8(); }

    // The text of an XML declaration, "<!DOCTYPE LogData>" and the root's start tag with the
    // blanks before the first telegram, in UTF-8.
    static QByteArray header();
    // The telegram's Trace pattern, read from its start tag only when the text is within the
    // limits of markup up to there. False when the text begins with no Telegram element that
    // carries a hexadecimal Trace attribute.
    static bool tryGetPattern(const QString& telegram, unsigned int* pattern);
    // What add() would find for the telegram; what this layout holds stays as it was.
    Outcome check(const QString& telegram);
    // Writes a telegram to the writer token by token without blank text, when it goes in whole
    // as add() finds; what this layout holds stays as it was.
    Outcome write(const QString& telegram, QXmlStreamWriter* writer);

private:
    // A whole telegram the layout does not take, as a writer in this state lays it out next.
    QString laidOutByWriter(const QString& telegram, bool isFirst);

    // Reads each telegram once, while it is copied.
    QXmlStreamReader itsReader;
    TelegramLayout itsLayout;
    // Lays out the telegrams the layout does not take. One writer serves the whole file: it
    // numbers the namespace prefixes it makes up across telegrams, as a writer of the whole file
    // does.
    std::unique_ptr<QXmlStreamWriter> itsFallbackWriter;
    QString itsFallbackText;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TRACEFILELAYOUT_H
