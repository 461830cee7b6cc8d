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

int TraceFileOutline::read(const QChar* characters, int length) {
    return itsMarkup.read(characters, length);
}

bool TraceFileOutline::onlyRootEndMissing() const {
    return itsMarkup.isBetweenMarkup() && itsMarkup.depth() == 1;
}

} // namespace ZyrCore::Tracing
