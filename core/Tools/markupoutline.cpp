#include "Tools/markupoutline.h"

#include <QString>
#include <QStringView>

namespace ZyrCore::Tools {

namespace {

bool isBlank(char16_t c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Whether c belongs to a name in a tag; every character that ends one is below '?'.
bool isNameCharacter(char16_t c) {
    return c > '>' || !(isBlank(c) || c == '=' || c == '"' || c == '\'' || c == '>' || c == '/');
}

// The first index at or after i holding one of the given characters, or count.
int skipTo(const char16_t* text, int count, int i, char16_t a, char16_t b, char16_t c, char16_t d) {
    while (i < count && text[i] != a && text[i] != b && text[i] != c && text[i] != d)
        ++i;
    return i;
}

// 1 for NUL, U+FEFF or either half of a surrogate pair, else 0.
unsigned isStop(unsigned c) {
    return unsigned(c == 0) | unsigned(c == 0xFEFF) | unsigned((c & 0xF800) == 0xD800);
}

// The first index at or after i holding a stop, or count. Blocks without one are passed over in
// a loop the compiler vectorizes (with an unsigned sum; it does not with a bool).
int skipToStop(const char16_t* text, int count, int i) {
    constexpr int kBlock = 32;
    for (; count - i >= kBlock; i += kBlock) {
        unsigned stops = 0;
        for (int k = 0; k < kBlock; ++k)
            stops |= isStop(text[i + k]);
        if (stops != 0)
            break;
    }
    while (i < count && !isStop(text[i]))
        ++i;
    return i;
}

constexpr char16_t kNamespaceAttribute[] = u"xmlns:";
constexpr int kDocumentTypeOpeningLength = 9; // "<!DOCTYPE"

} // namespace

inline qint64 MarkupOutline::constructLimit(State state) {
    switch (state) {
    case State::Text:
        return maxTextLength;
    case State::Comment:
        return maxCommentLength;
    case State::CData:
        return maxCDataLength;
    case State::ProcessingInstructionTarget:
        return maxNameLength;
    case State::ProcessingInstruction:
        return maxProcessingInstructionLength;
    case State::DocumentType:
        return maxDocumentTypeLength;
    case State::AttributeValue: // set where its quote opens
    case State::AfterLessThan:
    case State::Declaration:
    case State::StartTag:
    case State::EndTag:
        break;
    }
    return 0;
}

inline char16_t MarkupOutline::closingMark(State state) {
    switch (state) {
    case State::Comment:
        return '-';
    case State::CData:
        return ']';
    default:
        return '?';
    }
}

inline int MarkupOutline::closingMarkCount(State state) {
    switch (state) {
    case State::Comment:
    case State::CData:
        return 2;
    case State::ProcessingInstructionTarget:
    case State::ProcessingInstruction:
        return 1;
    default:
        return 0;
    }
}

MarkupOutline::MarkupOutline(int maxDepth)
    : itsMaxDepth(maxDepth) {}

bool MarkupOutline::isWithinLimits(const QChar* characters, int length, int maxDepth) {
    MarkupOutline outline(maxDepth);
    return outline.read(characters, length) < 0 && !outline.endsWithinCharacter();
}

bool MarkupOutline::isBetweenMarkup() const {
    return !itsRefused && itsState == State::Text && !itsTextAfterMarkup && !endsWithinCharacter();
}

bool MarkupOutline::endsWithinCharacter() const {
    return QChar::isHighSurrogate(itsLast);
}

inline int MarkupOutline::readText(int i) {
    const int end = skipTo(itsText, itsCount, i, '<', '<', '<', '<');
    if (lengthen(end - i))
        return end;
    if (end == itsCount) {
        for (int at = i; at < end && !itsTextAfterMarkup; ++at)
            itsTextAfterMarkup = !isBlank(itsText[at]);
        return end;
    }
    itsTextAfterMarkup = false;
    beginConstruct(end, State::AfterLessThan);
    return end + 1;
}

inline int MarkupOutline::readAfterLessThan(int i) {
    switch (itsText[i]) {
    case '/':
        enter(State::EndTag);
        return i + 1;
    case '?':
        enter(State::ProcessingInstructionTarget);
        return i + 1;
    case '!':
        enter(State::Declaration);
        return i + 1;
    default:
        enter(State::StartTag);
        return i; // the name's first character is the tag's
    }
}

inline int MarkupOutline::readDeclaration(int i) {
    itsKeyword[itsKeywordLength++] = itsText[i];
    const QStringView keyword(itsKeyword, itsKeywordLength);
    if (keyword == u"--") {
        enter(State::Comment);
    } else if (keyword == u"[CDATA[") {
        enter(State::CData);
    } else if (keyword == u"DOCTYPE") {
        enter(State::DocumentType);
        // Its limit is of the whole.
        itsConstructLength = kDocumentTypeOpeningLength;
    } else if (!QStringView(u"--").startsWith(keyword) &&
               !QStringView(u"[CDATA[").startsWith(keyword) &&
               !QStringView(u"DOCTYPE").startsWith(keyword)) {
        // Entity, attribute-list, element and notation declarations belong in an internal
        // subset, which is refused.
        refuse();
    }
    return i + 1;
}

inline int MarkupOutline::readClosedConstruct(int i) {
    // Ends at the first "-->", "]]>" or "?>" after the opening.
    const char16_t mark = closingMark(itsState);
    const int end = skipTo(itsText, itsCount, i, mark, '>', '>', '>');
    if (end > i)
        itsClosingMarks = 0;
    if (end == itsCount) {
        lengthen(end - i);
        return end;
    }
    if (itsText[end] == '>' && itsClosingMarks >= closingMarkCount(itsState)) {
        // Its length was checked with the marks.
        beginConstruct(end + 1, State::Text);
        return end + 1;
    }
    itsClosingMarks = itsText[end] == mark ? itsClosingMarks + 1 : 0;
    lengthen(end - i + 1);
    return end + 1;
}

inline int MarkupOutline::readProcessingInstructionTarget(int i) {
    for (; i < itsCount; ++i) {
        const char16_t c = itsText[i];
        if (c == '>' && itsClosingMarks > 0) {
            beginConstruct(i + 1, State::Text);
            return i + 1;
        }
        if (isBlank(c)) {
            // The instruction's limit counts the target too.
            itsState = State::ProcessingInstruction;
            itsConstructLimit = maxProcessingInstructionLength;
            return i;
        }
        itsClosingMarks = c == '?' ? itsClosingMarks + 1 : 0;
        if (lengthen(1))
            return i;
    }
    return i;
}

inline int MarkupOutline::readDocumentType(int i) {
    if (itsQuote != 0) {
        int end = skipTo(itsText, itsCount, i, itsQuote, itsQuote, itsQuote, itsQuote);
        if (end < itsCount) {
            itsQuote = 0;
            ++end;
        }
        lengthen(end - i);
        return end;
    }
    const int end = skipTo(itsText, itsCount, i, '"', '\'', '[', '>');
    if (end == itsCount) {
        lengthen(end - i);
        return end;
    }
    if (lengthen(end - i + 1))
        return end;
    const char16_t c = itsText[end];
    if (c == '[') {
        // An internal subset: its entities expand and its attribute defaults add to elements
        // beyond what the outline can count.
        refuse();
    } else if (c == '>') {
        beginConstruct(end + 1, State::Text);
    } else {
        itsQuote = c;
    }
    return end + 1;
}

inline int MarkupOutline::readStartTag(int i) {
    while (i < itsCount) {
        const char16_t c = itsText[i];
        if (isNameCharacter(c)) {
            i = readName(i);
            if (itsRefused)
                return i;
            continue;
        }
        endName(); // one that went on to the end of the previous piece
        if (readBlank(c))
            return i;
        if (c == '"' || c == '\'') {
            itsQuote = c;
            itsState = State::AttributeValue;
            itsConstructLength = 0;
            itsConstructLimit =
                itsLastNameDeclaresNamespace ? maxNamespaceNameLength : maxAttributeValueLength;
            itsLastNameDeclaresNamespace = false;
            return i + 1;
        }
        if (c == '=') {
            if (++itsAttributes > maxElementAttributes) {
                refuse();
                return i;
            }
        } else if (c == '>') {
            // An empty element opens a level too, as a reader reports it, but only for its tag.
            if (itsDepth + 1 > itsMaxDepth) {
                refuse();
                return i;
            }
            if (previous(i) != '/')
                ++itsDepth;
            beginConstruct(i + 1, State::Text);
            return i + 1;
        }
        ++i;
    }
    return i;
}

inline int MarkupOutline::readAttributeValue(int i) {
    const int end = skipTo(itsText, itsCount, i, itsQuote, itsQuote, itsQuote, itsQuote);
    if (lengthen(end - i) || end == itsCount)
        return end;
    itsQuote = 0;
    itsState = State::StartTag;
    return end + 1;
}

inline int MarkupOutline::readEndTag(int i) {
    while (i < itsCount) {
        const char16_t c = itsText[i];
        if (isNameCharacter(c)) {
            i = readName(i);
            if (itsRefused)
                return i;
            continue;
        }
        endName(); // one that went on to the end of the previous piece
        if (readBlank(c))
            return i;
        if (c == '>') {
            --itsDepth;
            beginConstruct(i + 1, State::Text);
            return i + 1;
        }
        ++i;
    }
    return i;
}

inline int MarkupOutline::readName(int i) {
    int end = i;
    while (end < itsCount && isNameCharacter(itsText[end]))
        ++end;
    // Whether it is xmlns, or xmlns: and a prefix.
    int length = itsNameLength;
    if (length == 0)
        itsNameMayDeclareNamespace = true;
    for (int at = i; at < end && length < 6; ++at)
        itsNameMayDeclareNamespace =
            itsNameMayDeclareNamespace && itsText[at] == kNamespaceAttribute[length++];
    itsNameLength += end - i;
    itsSpaceLength = 0;
    if (itsNameLength > maxNameLength) {
        refuse();
        return end;
    }
    if (end < itsCount)
        endName();
    return end;
}

inline void MarkupOutline::endName() {
    if (itsNameLength == 0)
        return;
    itsLastNameDeclaresNamespace = itsNameMayDeclareNamespace && itsNameLength >= 5;
    itsNameLength = 0;
}

inline bool MarkupOutline::readBlank(char16_t c) {
    if (!isBlank(c)) {
        itsSpaceLength = 0;
        return false;
    }
    if (++itsSpaceLength > maxTagSpaceLength)
        refuse();
    return itsRefused;
}

inline void MarkupOutline::beginConstruct(int i, State state) {
    itsConstructStart = itsPieceStart + i;
    enter(state);
}

inline void MarkupOutline::enter(State state) {
    itsState = state;
    itsConstructLength = 0;
    itsConstructLimit = constructLimit(state);
    itsClosingMarks = 0;
    itsKeywordLength = 0;
    itsAttributes = 0;
    itsNameLength = 0;
    itsSpaceLength = 0;
    itsNameMayDeclareNamespace = false;
    itsLastNameDeclaresNamespace = false;
    itsQuote = 0;
}

inline bool MarkupOutline::lengthen(qint64 count) {
    itsConstructLength += count;
    if (itsConstructLength - qMin(itsClosingMarks, closingMarkCount(itsState)) > itsConstructLimit)
        refuse();
    return itsRefused;
}

inline char16_t MarkupOutline::previous(int i) const {
    return i > 0 ? itsText[i - 1] : itsLast;
}

inline void MarkupOutline::refuse() {
    itsRefused = true;
}

inline int MarkupOutline::skipToRefusedCharacter(int length) const {
    // The previous piece ended with the first half of a pair.
    if (endsWithinCharacter() && length > 0 && !QChar::isLowSurrogate(itsText[0]))
        return 0;
    // A byte-order mark at the start is no character of the text.
    int i = itsPieceStart == 0 && length > 0 && itsText[0] == 0xFEFF ? 1 : 0;
    while ((i = skipToStop(itsText, length, i)) < length) {
        const char16_t c = itsText[i];
        if (QChar::isHighSurrogate(c)) {
            // One that ends the piece may be completed by the next.
            if (i + 1 < length && !QChar::isLowSurrogate(itsText[i + 1]))
                return i;
            i += 2;
        } else if (QChar::isLowSurrogate(c) && i == 0 && QChar::isHighSurrogate(itsLast)) {
            ++i;
        } else {
            return i;
        }
    }
    return length;
}

int MarkupOutline::read(const QChar* characters, int length) {
    if (itsRefused)
        return 0;
    itsPieceStart = itsPosition;
    itsPosition += length;
    itsText = reinterpret_cast<const char16_t*>(characters);
    // Reading stops at a NUL character, which no text in an encoding taken here holds; at a
    // zero-width no-break space after the start: a UTF-8 decoder drops one at the start of each
    // piece it is given while it has seen only ASCII, and a reader's pieces are not these; and at
    // a surrogate that is not half of a pair, which is no XML character: a reader of a QString
    // reads it as '?', which may close a processing instruction.
    const int count = skipToRefusedCharacter(length);
    itsCount = count;
    int i = 0;
    while (i < count && !itsRefused) {
        switch (itsState) {
        case State::Text:
            i = readText(i);
            break;
        case State::AfterLessThan:
            i = readAfterLessThan(i);
            break;
        case State::Declaration:
            i = readDeclaration(i);
            break;
        case State::Comment:
        case State::CData:
        case State::ProcessingInstruction:
            i = readClosedConstruct(i);
            break;
        case State::ProcessingInstructionTarget:
            i = readProcessingInstructionTarget(i);
            break;
        case State::DocumentType:
            i = readDocumentType(i);
            break;
        case State::StartTag:
            i = readStartTag(i);
            break;
        case State::AttributeValue:
            i = readAttributeValue(i);
            break;
        case State::EndTag:
            i = readEndTag(i);
            break;
        }
    }
    if (!itsRefused && count < length) {
        itsConstructStart = itsPieceStart + count;
        refuse();
    }
    if (itsRefused)
        return int(qMax<qint64>(0, itsConstructStart - itsPieceStart));
    if (count > 0)
        itsLast = itsText[count - 1];
    return -1;
}

} // namespace ZyrCore::Tools
