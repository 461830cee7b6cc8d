#include "Tracing/telegramcopy.h"

#include <QXmlStreamReader>

namespace ZyrCore::Tracing {

namespace {

// Layout the copy of a small telegram may add whatever the telegram's size.
constexpr qint64 kLayoutAllowance = 4096;

} // namespace

void TelegramCopy::copy(const QXmlStreamReader& reader) {
    if (itsStartOffset < 0)
        itsStartOffset = reader.characterOffset();
    itsLayout.copyAsRead(reader);
    const qint64 telegramSize = reader.characterOffset() - itsStartOffset;
    if (itsLayout.autoFormatting() && itsLayout.text().size() > telegramSize + kLayoutAllowance)
        itsLayout.setAutoFormatting(false);
}

} // namespace ZyrCore::Tracing
