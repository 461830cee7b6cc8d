#include "Tracing/tracefileoutline.h"

#include <QTextCodec>

#include <cstring>

namespace ZyrCore::Tracing {

namespace {

bool startsWith(const char* at, const char* end, const char* prefix) {
    const size_t length = std::strlen(prefix);
    return size_t(end - at) >= length && std::memcmp(at, prefix, length) == 0;
}

// Just past the first marker at or after from; null when the text ends first.
const char* pastMarker(const char* from, const char* end, const char* marker) {
    const size_t length = std::strlen(marker);
    while (size_t(end - from) >= length) {
        const auto* found =
            static_cast<const char*>(std::memchr(from, marker[0], size_t(end - from) - length + 1));
        if (found == nullptr)
            return nullptr;
        if (std::memcmp(found, marker, length) == 0)
            return found + length;
        from = found + 1;
    }
    return nullptr;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

struct Markup {
    const char* end = nullptr; // just past the closing '>' (or '['); null when the text ends first
    int equalSigns = 0;        // outside quoted values: a start tag's attributes
    int words = 0;             // blank-separated, a quoted literal counting as one
};

// Reads a tag or declaration up to its closing '>', or to the '[' that opens a document type's
// internal subset, whose declarations are read one by one.
Markup readMarkup(const char* from, const char* end, bool stopAtBracket) {
    Markup markup;
    bool inWord = false;
    for (const char* at = from; at < end; ++at) {
        const char c = *at;
        if (c == '>' || (c == '[' && stopAtBracket)) {
            markup.end = at + 1;
            break;
        }
        if (isBlank(c)) {
            inWord = false;
            continue;
        }
        if (!inWord)
            ++markup.words;
        inWord = true;
        if (c == '=') {
            ++markup.equalSigns;
        } else if (c == '"' || c == '\'') {
            at = static_cast<const char*>(std::memchr(at + 1, c, size_t(end - at - 1)));
            if (at == nullptr)
                break;
        }
    }
    return markup;
}

// Whether the reader decodes the text in an encoding whose markup bytes are ASCII: the one its
// declaration names, if any (UTF-8 otherwise). Markup in another one (UTF-7, EBCDIC) could hide
// from the outline. The declaration itself is ASCII in every encoding taken here.
bool declaresAsciiMarkup(const char* begin, const char* end) {
    if (startsWith(begin, end, "\xEF\xBB\xBF"))
        begin += 3;
    if (!startsWith(begin, end, "<?xml") || end - begin < 6 || !isBlank(begin[5]))
        return true;
    const char* const close = pastMarker(begin, end, "?>");
    const QByteArray declaration(begin, int((close != nullptr ? close : end) - begin));
    int at = declaration.indexOf("encoding");
    if (at < 0)
        return true;
    at += 8;
    auto skipBlanks = [&] {
        while (at < declaration.size() && isBlank(declaration.at(at)))
            ++at;
    };
    skipBlanks();
    if (at >= declaration.size() || declaration.at(at) != '=')
        return true; // no encoding named: the reader refuses the declaration
    ++at;
    skipBlanks();
    if (at >= declaration.size() || (declaration.at(at) != '"' && declaration.at(at) != '\''))
        return true;
    const int valueEnd = declaration.indexOf(declaration.at(at), at + 1);
    if (valueEnd < 0)
        return true;
    const QTextCodec* codec = QTextCodec::codecForName(declaration.mid(at + 1, valueEnd - at - 1));
    if (codec == nullptr)
        return true; // the reader refuses an encoding it does not know
    const int mib = codec->mibEnum();
    // UTF-8, US-ASCII, ISO 8859 and the Windows code pages 1250 to 1258.
    return mib == 106 || (mib >= 3 && mib <= 13) || (mib >= 109 && mib <= 112) ||
           (mib >= 2250 && mib <= 2258);
}

} // namespace

TraceFileOutline outlineTraceFile(const QByteArray& text) {
    const char* const begin = text.constData();
    const auto* nul = static_cast<const char*>(std::memchr(begin, 0, size_t(text.size())));
    const char* const end = nul != nullptr ? nul : begin + text.size();
    TraceFileOutline outline;
    if (!declaresAsciiMarkup(begin, end))
        return outline;
    outline.readableSize = int(end - begin);

    int depth = 0;
    int declaredAttributes = 0;
    const char* at = begin;
    while (const auto* open = static_cast<const char*>(std::memchr(at, '<', size_t(end - at)))) {
        const char* close = nullptr;
        if (startsWith(open, end, "<!--")) {
            close = pastMarker(open + 4, end, "-->");
        } else if (startsWith(open, end, "<![CDATA[")) {
            close = pastMarker(open + 9, end, "]]>");
        } else if (startsWith(open, end, "<?")) {
            close = pastMarker(open + 2, end, "?>");
        } else {
            const Markup markup = readMarkup(open + 1, end, startsWith(open, end, "<!DOCTYPE"));
            close = markup.end;
            if (startsWith(open, end, "<!ENTITY")) {
                // An entity that holds markup, or references that may make some, would give
                // the reader elements the outline never sees.
                const char* const last = close != nullptr ? close : end;
                if (std::memchr(open + 1, '<', size_t(last - open - 1)) != nullptr ||
                    std::memchr(open, '&', size_t(last - open)) != nullptr) {
                    outline.readableSize = int(open - begin);
                    return outline;
                }
            } else if (startsWith(open, end, "<!ATTLIST")) {
                // Each attribute it declares takes three words at least: name, type, default.
                declaredAttributes += markup.words / 3;
                if (declaredAttributes > maxElementAttributes) {
                    outline.readableSize = int(open - begin);
                    return outline;
                }
            } else if (open + 1 < end && open[1] == '/') {
                --depth;
            } else if (open + 1 < end && open[1] != '!') {
                const bool opens = close != nullptr && close[-2] != '/';
                if (markup.equalSigns > maxElementAttributes ||
                    (opens && depth + 1 > maxTraceFileDepth)) {
                    outline.readableSize = int(open - begin);
                    return outline;
                }
                if (opens)
                    ++depth;
            }
        }
        if (close == nullptr)
            return outline; // the text breaks off inside markup
        at = close;
    }
    if (nul != nullptr)
        return outline;
    for (; at < end; ++at) {
        if (!isBlank(*at))
            return outline; // the text breaks off in text
    }
    outline.onlyRootEndMissing = depth == 1;
    return outline;
}

} // namespace ZyrCore::Tracing
