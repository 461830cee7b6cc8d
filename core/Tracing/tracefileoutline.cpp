#include "Tracing/tracefileoutline.h"

#include <QTextCodec>

#include <cstring>
#include <memory>

namespace ZyrCore::Tracing {

namespace {

bool isBlank(char16_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// An encoding name as XML spells it: a letter, then letters, digits, '.', '_' and '-'.
bool isEncodingName(const QByteArray& name) {
    if (name.isEmpty() || !isLetter(name.at(0)))
        return false;
    for (const char c : name) {
        if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '.' && c != '_' && c != '-')
            return false;
    }
    return true;
}

// Reads an XML declaration in its plain form from its bytes: pseudo-attributes in their order,
// literals without references. Whatever else it holds makes the reading fail.
class DeclarationReader {
public:
    DeclarationReader(const QByteArray& head, int at)
        : itsHead(head)
        , itsAt(at) {}

    // The encoding named, empty when none is; false when the declaration is not plain.
    bool read(QByteArray* encoding) {
        if (!skip("<?xml") || !skipBlanks())
            return false;
        QByteArray version;
        if (!pseudoAttribute("version", &version) || !isVersion(version))
            return false;
        bool blank = skipBlanks();
        if (blank && startsWith("encoding")) {
            if (!pseudoAttribute("encoding", encoding) || !isEncodingName(*encoding))
                return false;
            blank = skipBlanks();
        }
        if (blank && startsWith("standalone")) {
            QByteArray standalone;
            if (!pseudoAttribute("standalone", &standalone) ||
                (standalone != "yes" && standalone != "no"))
                return false;
            skipBlanks();
        }
        return skip("?>");
    }

    // Just past the declaration, once read.
    int end() const { return itsAt; }

private:
    static bool isVersion(const QByteArray& value) {
        if (value.isEmpty())
            return false;
        for (const char c : value) {
            if (!(c >= '0' && c <= '9') && c != '.')
                return false;
        }
        return true;
    }

    bool startsWith(const char* text) const {
        const int length = int(std::strlen(text));
        return itsHead.size() - itsAt >= length &&
               std::memcmp(itsHead.constData() + itsAt, text, size_t(length)) == 0;
    }

    bool skip(const char* text) {
        if (!startsWith(text))
            return false;
        itsAt += int(std::strlen(text));
        return true;
    }

    bool skipBlanks() {
        const int from = itsAt;
        while (itsAt < itsHead.size() && isBlank(char16_t(itsHead.at(itsAt))))
            ++itsAt;
        return itsAt > from;
    }

    bool pseudoAttribute(const char* name, QByteArray* value) {
        if (!skip(name))
            return false;
        skipBlanks();
        if (!skip("="))
            return false;
        skipBlanks();
        if (itsAt >= itsHead.size())
            return false;
        const char quote = itsHead.at(itsAt);
        if (quote != '"' && quote != '\'')
            return false;
        const int end = itsHead.indexOf(quote, itsAt + 1);
        if (end < 0)
            return false;
        *value = itsHead.mid(itsAt + 1, end - itsAt - 1);
        itsAt = end + 1;
        return true;
    }

    const QByteArray& itsHead;
    int itsAt;
};

QString decoded(QTextCodec* codec, const QByteArray& bytes) {
    std::unique_ptr<QTextDecoder> decoder(codec->makeDecoder());
    return decoder->toUnicode(bytes);
}

} // namespace

QTextCodec* traceFileCodec(const QByteArray& head) {
    const auto byte = [&head](int i) { return i < head.size() ? int(uchar(head.at(i))) : -1; };
    // The reader decodes these starts as UTF-16 or UTF-32, which the outline does not follow.
    if (byte(0) == 0x00 || (byte(0) == 0xFE && byte(1) == 0xFF) ||
        (byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0x3C && byte(1) == 0x00))
        return nullptr;

    QTextCodec* const utf8 = QTextCodec::codecForMib(106);
    const int at = head.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    // Without a declaration the reader stays with UTF-8. "<?xml" followed by anything but a blank
    // is no declaration to the reader either: it fails there.
    if (!head.mid(at, 5).startsWith("<?xml") || byte(at + 5) < 0 ||
        !isBlank(char16_t(byte(at + 5))))
        return utf8;

    DeclarationReader declaration(head, at);
    QByteArray encoding;
    if (!declaration.read(&encoding) || declaration.end() > maxTraceFileDeclarationSize)
        return nullptr;
    if (encoding.isEmpty())
        return utf8;
    QTextCodec* const codec = QTextCodec::codecForName(encoding);
    if (codec == nullptr)
        return nullptr;
    // The reader reads the declaration in UTF-8, then decodes the text again from its start in the
    // named encoding and goes on where the declaration ended: both must read the declaration alike.
    const QByteArray declared = head.left(declaration.end());
    if (codec != utf8 && decoded(codec, declared) != decoded(utf8, declared))
        return nullptr;
    return codec;
}

int TraceFileOutline::refuse(qint64 pieceStart) {
    itsRefused = true;
    return int(qMax<qint64>(0, itsConstructStart - pieceStart));
}

int TraceFileOutline::read(const QChar* characters, int length) {
    if (itsRefused)
        return 0;
    const qint64 pieceStart = itsPosition;
    itsPosition += length;
    const auto* const text = reinterpret_cast<const char16_t*>(characters);
    // Reading stops at a NUL character, which no text in an encoding taken here holds, and at a
    // zero-width no-break space after the start: a UTF-8 decoder drops one at the start of each
    // piece it is given while it has seen only ASCII, and the reader's pieces are not these.
    int count = pieceStart == 0 && length > 0 && text[0] == 0xFEFF ? 1 : 0;
    while (count < length && text[count] != 0 && text[count] != 0xFEFF)
        ++count;
    const auto previous = [&](int i) { return i > 0 ? text[i - 1] : itsLast; };
    // Skips characters up to the next one that is one of the given ones.
    const auto skipTo = [&](int i, char16_t a, char16_t b, char16_t c, char16_t d) {
        while (i < count && text[i] != a && text[i] != b && text[i] != c && text[i] != d)
            ++i;
        return i;
    };
    int textFrom = itsState == State::Text ? 0 : count; // where the last run of text began
    int i = 0;
    while (i < count) {
        switch (itsState) {
        case State::Text:
            i = skipTo(i, '<', '<', '<', '<');
            if (i < count) {
                itsConstructStart = pieceStart + i;
                itsState = State::AfterLessThan;
                itsTextAfterMarkup = false;
                textFrom = count;
                ++i;
            }
            break;
        case State::AfterLessThan:
            if (text[i] == '/') {
                itsState = State::EndTag;
            } else if (text[i] == '?') {
                itsState = State::ProcessingInstruction;
                itsRun = 0;
            } else if (text[i] == '!') {
                itsState = State::Declaration;
                itsRun = 0;
            } else {
                itsState = State::StartTag;
                itsAttributes = 0;
                itsQuote = 0;
                break; // the name's first character is the tag's
            }
            ++i;
            break;
        case State::Declaration: {
            itsKeyword[itsRun++] = text[i++];
            const QStringView keyword(itsKeyword, itsRun);
            if (keyword == u"--") {
                itsState = State::Comment;
                itsRun = 0;
            } else if (keyword == u"[CDATA[") {
                itsState = State::CData;
                itsRun = 0;
            } else if (keyword == u"DOCTYPE") {
                itsState = State::DocumentType;
                itsQuote = 0;
            } else if (!QStringView(u"--").startsWith(keyword) &&
                       !QStringView(u"[CDATA[").startsWith(keyword) &&
                       !QStringView(u"DOCTYPE").startsWith(keyword)) {
                // Entity, attribute-list, element and notation declarations belong in an
                // internal subset, which is refused.
                return refuse(pieceStart);
            }
            break;
        }
        case State::Comment:
        case State::CData: {
            // Ends at the first "-->" or "]]>" after the opening.
            const char16_t closing = itsState == State::Comment ? '-' : ']';
            const int from = i;
            i = skipTo(i, closing, '>', '>', '>');
            if (i > from)
                itsRun = 0;
            if (i == count)
                break;
            if (text[i] == '>' && itsRun >= 2) {
                itsState = State::Text;
                textFrom = i + 1;
            } else {
                itsRun = text[i] == closing ? itsRun + 1 : 0;
            }
            ++i;
            break;
        }
        case State::ProcessingInstruction: {
            // Ends at the first "?>" after the opening "<?"; itsRun tells whether its body has
            // begun.
            const int from = i;
            i = skipTo(i, '>', '>', '>', '>');
            const bool inBody = itsRun != 0 || i > from;
            if (i == count) {
                itsRun = inBody;
                break;
            }
            if (inBody && previous(i) == '?') {
                itsState = State::Text;
                textFrom = i + 1;
            }
            itsRun = 1;
            ++i;
            break;
        }
        case State::DocumentType:
        case State::StartTag:
            if (itsQuote != 0) {
                i = skipTo(i, itsQuote, itsQuote, itsQuote, itsQuote);
                if (i < count && text[i] == itsQuote) {
                    itsQuote = 0;
                    ++i;
                }
                break;
            }
            i = itsState == State::StartTag ? skipTo(i, '"', '\'', '=', '>')
                                            : skipTo(i, '"', '\'', '[', '>');
            if (i == count)
                break;
            if (text[i] == '"' || text[i] == '\'') {
                itsQuote = text[i];
            } else if (text[i] == '[') {
                // An internal subset: its entities expand and its attribute defaults add to
                // elements beyond what the outline can count.
                return refuse(pieceStart);
            } else if (text[i] == '=') {
                if (++itsAttributes > maxElementAttributes)
                    return refuse(pieceStart);
            } else {
                if (itsState == State::StartTag && previous(i) != '/') {
                    if (itsDepth + 1 > maxTraceFileDepth)
                        return refuse(pieceStart);
                    ++itsDepth;
                }
                itsState = State::Text;
                textFrom = i + 1;
            }
            ++i;
            break;
        case State::EndTag:
            i = skipTo(i, '>', '>', '>', '>');
            if (i < count && text[i] == '>') {
                --itsDepth;
                itsState = State::Text;
                textFrom = ++i;
            }
            break;
        }
    }
    if (count < length) {
        itsConstructStart = pieceStart + count;
        return refuse(pieceStart);
    }
    if (itsState == State::Text) {
        for (int at = textFrom; at < count && !itsTextAfterMarkup; ++at)
            itsTextAfterMarkup = !isBlank(text[at]);
    }
    if (count > 0)
        itsLast = text[count - 1];
    return -1;
}

bool TraceFileOutline::onlyRootEndMissing() const {
    return !itsRefused && itsState == State::Text && !itsTextAfterMarkup && itsDepth == 1;
}

} // namespace ZyrCore::Tracing
