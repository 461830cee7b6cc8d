#include "Tracing/telegramcopy.h"

#include <QXmlStreamReader>

namespace ZyrCore::Tracing {

namespace {

// How many times the telegram in the file its copy may grow with layout.
constexpr qint64 kLayoutFactor = 2;

} // namespace

void TelegramCopy::copy(const QXmlStreamReader& reader) {
    itsLayout.copyAsRead(reader);
    if (itsStartOffset < 0) {
        itsStartOffset = reader.characterOffset();
        // At most as long as in the file; the line break before it is layout.
        itsStartTagLength = itsLayout.text().size() - 1;
    }
    const qint64 telegramSize = reader.characterOffset() - itsStartOffset + itsStartTagLength;
    if (itsLayout.autoFormatting() && itsLayout.text().size() > kLayoutFactor * telegramSize)
        itsLayout.setAutoFormatting(false);
}

} // namespace ZyrCore::Tracing
