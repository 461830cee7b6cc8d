#include "Tracing/tracefilelayout.h"

#include "Tools/markupoutline.h"
#include "Tracing/tracepattern.h"
#include "Tracing/tracerecorder.h"

#include <QBuffer>
#include <QXmlStreamWriter>

namespace ZyrCore::Tracing {

namespace {

const QString kRootElement = QStringLiteral("LogData");

// The offset of the first construct of a telegram text over a limit of markup, or -1.
int refusedAt(QStringView text) {
    Tools::MarkupOutline outline(maxTelegramDepth);
    return outline.read(reinterpret_cast<const QChar*>(text.data()), int(text.size()));
}

// Starts reading a telegram: its first token after the document start must be a Telegram
// element. The reader is the caller's, reused: setting one up costs as much as a third of the
// reading.
bool startTelegram(QXmlStreamReader& reader, const QString& telegram) {
    reader.clear();
    reader.addData(telegram);
    readFirstToken(&reader);
    return reader.isStartElement() && reader.name() == QLatin1String("Telegram");
}

// Whether the reader, standing on a text's first token, shows a telegram the filter takes (any
// telegram without a filter): a Telegram start tag with a hexadecimal Trace pattern that shares a
// set bit with the filter.
bool filterTakes(const QXmlStreamReader& reader, const unsigned int* filter) {
    unsigned int pattern = 0;
    return tryGetStartTagPattern(reader, &pattern) && (filter == nullptr || (pattern & *filter));
}

// Reads the telegram on from its Telegram element to its end, handing each token to be copied
// to copy as it goes. True when the telegram was one whole, well-formed element with nothing
// after it but whitespace.
template <typename Copy>
bool readTelegramTokens(QXmlStreamReader& reader, Copy copy) {
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.tokenType()) {
        case QXmlStreamReader::DTD:
            return false;
        case QXmlStreamReader::StartElement:
            if (++depth > maxTelegramDepth)
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
        if (isCopiedToken(reader))
            copy(reader);
        reader.readNext();
    }
    return !reader.hasError();
}

// Whether a text that is refused where the construct at refused begins shows before it that it is
// no telegram the file would take: its first token is no Telegram start tag, or one without a
// hexadecimal Trace attribute or with a pattern the filter does not take. Cut within its first
// token, it shows nothing.
bool isLeftOutBefore(const QString& telegram, int refused, const unsigned int* filter) {
    QXmlStreamReader reader(telegram.left(refused));
    readFirstToken(&reader);
    return reader.error() != QXmlStreamReader::PrematureEndOfDocumentError &&
           !filterTakes(reader, filter);
}

// Writes the token as the writer does, but a carriage return in text as a reference: a reader
// takes a raw one for a line break.
void writeToken(QXmlStreamWriter& writer, const QXmlStreamReader& reader) {
    if (reader.tokenType() != QXmlStreamReader::Characters || reader.isCDATA() ||
        !reader.text().contains(QLatin1Char('\r'))) {
        writer.writeCurrentToken(reader);
        return;
    }
    const QVector<QStringRef> lines = reader.text().split(QLatin1Char('\r'));
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            writer.writeEntityReference(QStringLiteral("#13"));
        if (!lines.at(i).isEmpty())
            writer.writeCharacters(lines.at(i).toString());
    }
}

// Writes a whole, well-formed telegram token by token without blank text.
void writeWholeTelegram(const QString& telegram, QXmlStreamWriter* writer) {
    QXmlStreamReader reader;
    startTelegram(reader, telegram);
    readTelegramTokens(reader,
                       [writer](const QXmlStreamReader& token) { writeToken(*writer, token); });
}

// Ends the root's start tag at once, so that a file never closed parses up to its missing end
// tag; the blanks are those auto-formatting puts before the first telegram.
void endRootStartTag(QXmlStreamWriter& writer) {
    writer.writeCharacters(QLatin1Char('\n') +
                           QString(writer.autoFormattingIndent(), QLatin1Char(' ')));
}

} // namespace

TraceFileLayout::TraceFileLayout() = default;

TraceFileLayout::~TraceFileLayout() = default;

QByteArray TraceFileLayout::header() {
    QByteArray header;
    QBuffer device(&header);
    device.open(QIODevice::WriteOnly);
    QXmlStreamWriter writer(&device);
    TraceRecorder::writeHeaderOpening(&writer);
    endRootStartTag(writer);
    return header;
}

bool TraceFileLayout::tryGetPattern(const QString& telegram, unsigned int* pattern) {
    // Checked once: what stands before the first refused construct is within every limit. A
    // text ending within a character (the first half of a pair) the registry refuses whole.
    const int refused = refusedAt(telegram);
    if (refused < 0 && !telegram.isEmpty() && telegram.back().isHighSurrogate())
        return false;
    QXmlStreamReader reader(refused < 0 ? telegram : telegram.left(refused));
    readFirstToken(&reader);
    return tryGetStartTagPattern(reader, pattern);
}

TraceFileLayout::Outcome TraceFileLayout::check(const QString& telegram) {
    const TelegramLayout::Mark start = itsLayout.mark();
    const Outcome outcome = add(telegram, nullptr);
    itsLayout.rewind(start);
    return outcome;
}

TraceFileLayout::Outcome TraceFileLayout::write(const QString& telegram, QXmlStreamWriter* writer) {
    // Laid out here first: a half-written telegram, or one a reading refuses, would leave the
    // file unreadable from there on.
    const Outcome outcome = check(telegram);
    if (outcome == Outcome::Added)
        writeWholeTelegram(telegram, writer);
    return outcome;
}

TraceFileLayout::Outcome TraceFileLayout::add(const QString& telegram, const unsigned int* filter) {
    // The check first: an XML reader's work on text beyond its limits grows faster than the text.
    // Such a telegram cannot go in; what is no telegram, or one the filter does not take, is
    // still left out.
    const int refused = refusedAt(telegram);
    if (refused >= 0)
        return isLeftOutBefore(telegram, refused, filter) ? Outcome::Left : Outcome::Refused;
    // One reading checks the pattern, copies the telegram and finds whether it was whole.
    if (!startTelegram(itsReader, telegram) ||
        (filter != nullptr && !filterTakes(itsReader, filter)))
        return Outcome::Left;
    const bool isFirst = itsLayout.atFirstTelegram();
    const TelegramLayout::Mark start = itsLayout.mark();
    const qint64 lengthened = itsLayout.lengthened();
    bool plain = true;
    const bool whole = readTelegramTokens(itsReader, [&](const QXmlStreamReader& reader) {
        plain = plain && itsLayout.copy(reader);
    });
    if (!whole) {
        itsLayout.rewind(start);
        return Outcome::Left;
    }
    if (!plain) {
        itsLayout.rewind(start);
        itsLayout.appendTelegram(laidOutByWriter(telegram, isFirst));
    }
    // Laid out, the telegram holds the names, values and text it was read with, but for the
    // references the writer writes '>' and '"' as, which may take a construct past its limit.
    if ((!plain || itsLayout.lengthened() != lengthened) &&
        refusedAt(QStringView(itsLayout.text()).mid(start.textSize)) >= 0) {
        itsLayout.rewind(start);
        // Its writer stands after a telegram the file does not hold.
        if (isFirst)
            itsFallbackWriter.reset();
        return Outcome::Refused;
    }
    return Outcome::Added;
}

QString TraceFileLayout::laidOutByWriter(const QString& telegram, bool isFirst) {
    if (itsFallbackWriter == nullptr) {
        // Brought to the file's state: right after the blanks before the first telegram, or
        // after another telegram.
        itsFallbackWriter = std::make_unique<QXmlStreamWriter>(&itsFallbackText);
        itsFallbackWriter->setAutoFormatting(true);
        itsFallbackWriter->writeStartElement(kRootElement);
        if (isFirst) {
            endRootStartTag(*itsFallbackWriter);
        } else {
            itsFallbackWriter->writeStartElement(QStringLiteral("Telegram"));
            itsFallbackWriter->writeEndElement();
        }
    }
    itsFallbackText.clear();
    writeWholeTelegram(telegram, itsFallbackWriter.get());
    return itsFallbackText;
}

} // namespace ZyrCore::Tracing
