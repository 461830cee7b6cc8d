#ifndef ZYRCORE_TRACING_TELEGRAMCOPY_H
#define ZYRCORE_TRACING_TELEGRAMCOPY_H

#include "Tracing/telegramlayout.h"

#include <QString>

class QXmlStreamReader;

namespace ZyrCore::Tracing {

// Copies one telegram of a trace file, token by token as a reader gives them, into a text laid
// out as an auto-formatting writer lays it out. Names keep the prefixes the file gives them and
// namespace declarations stay on the elements that carry them in the file, so the copy is the
// telegram laid out, whatever namespaces it uses; the telegram must bind every prefix it uses
// itself. Every character of the tokens copied reads back from the copy, and no construct of the
// copy is longer than in the file, so the copy stays within every limit the file does. Blank text
// is layout: callers leave it out and the copy lays out its own, as the writer does, also within
// an element's text beside a comment or processing instruction. Layout indents each element by
// its depth, many times the size of a small element: once the copy grows to twice the telegram
// in the file, the rest is copied without layout.
class TelegramCopy {
public:
    // Copies the reader's current token; the first is the Telegram start element.
    void copy(const QXmlStreamReader& reader);
    // The copied text.
    QString take() { return itsLayout.takeText(); }

private:
    TelegramLayout itsLayout{TelegramLayout::Start::Empty};
    qint64 itsStartOffset = -1; // the reader's character offset after the Telegram start tag
    qint64 itsStartTagLength = 0;
};

} // namespace ZyrCore::Tracing

#endif // ZYRCORE_TRACING_TELEGRAMCOPY_H
