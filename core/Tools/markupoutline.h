#ifndef ZYRCORE_TOOLS_MARKUPOUTLINE_H
#define ZYRCORE_TOOLS_MARKUPOUTLINE_H

#include "zyrcore_global.h"

#include <QChar>

namespace ZyrCore::Tools {

// Limits on what one construct of markup may hold before an XML reader sees it. Telegrams carry a
// few KB; each limit stands far above what any writer of telegrams or trace files writes, and low
// enough that the reader's work stays linear in its input with a small constant. Lengths are
// counted in UTF-16 code units, as a QString holds the text: a character outside the Basic
// Multilingual Plane counts two.

// A Telegram element carries four attributes and a value element two. The reader's cost grows
// with the square of one element's attributes.
constexpr int maxElementAttributes = 16;
// An element, attribute or prefix name (prefix included) or a processing instruction's target.
constexpr int maxNameLength = 1024;
// The value of an xmlns or xmlns:prefix attribute. The reader compares the namespace names of an
// element's attributes pairwise, and declarations are used by any number of elements: this bounds
// what one short element may cost.
constexpr int maxNamespaceNameLength = 256;
// Any other attribute value, as written (references not resolved).
constexpr int maxAttributeValueLength = 64 * 1024;
// Between "<!--" and "-->".
constexpr int maxCommentLength = 1024 * 1024;
// Between "<?" and "?>", the target included.
constexpr int maxProcessingInstructionLength = 64 * 1024;
// Between "<![CDATA[" and "]]>".
constexpr int maxCDataLength = 1024 * 1024;
// Code units between two tags, blanks included.
constexpr int maxTextLength = 1024 * 1024;
// Blanks in a row inside a tag.
constexpr int maxTagSpaceLength = 1024;
// A whole document type, from "<!DOCTYPE" to its '>'.
constexpr int maxDocumentTypeLength = 1024;
// Elements open at once in a telegram, its Telegram element counting one: an element, empty or
// not, may open only while fewer stand open around it. Telegrams nest three or four deep; the
// indentation a writer lays out grows with the square of the depth. A trace file's root adds one.
constexpr int maxTelegramDepth = 16;

// Follows the markup of a text piece by piece and finds the first construct that could make an
// XML reader's work or memory grow beyond the text's size: an element with more than
// maxElementAttributes attributes, nesting deeper than the depth given, a construct longer than
// its limit above, a document type with an internal subset (whose entities and attribute
// defaults expand), any other markup declaration, a NUL character, a zero-width no-break space
// (U+FEFF) other than a byte-order mark at the start, or a surrogate that is not half of a pair
// (no XML character; a reader of a QString reads it as '?'). Everything before that construct
// reads as the reader reads it. A reader handed the text piece by piece may already hold the start
// of a refused construct that began in an earlier piece.
class ZYRCORE_EXPORT MarkupOutline {
public:
    explicit MarkupOutline(int maxDepth);

    // Reads the next length code units. The offset within them of the first one of the first
    // refused construct (where a construct began in an earlier piece: 0), or -1 when all of them
    // may be read. Nothing is read after a refusal.
    int read(const QChar* characters, int length);
    // Whether a text is read whole without a refusal.
    static bool isWithinLimits(const QChar* characters, int length, int maxDepth);

    // Nothing refused, no construct open and no text but blanks since the last tag.
    bool isBetweenMarkup() const;
    // Elements open.
    int depth() const { return itsDepth; }

private:
    enum class State {
        Text,
        AfterLessThan,
        Declaration, // "<!", up to the keyword that says which
        Comment,
        CData,
        ProcessingInstructionTarget,
        ProcessingInstruction,
        DocumentType,
        StartTag,
        AttributeValue,
        EndTag,
    };

    // Each reads the piece on from i in its state; the index where reading goes on.
    int readText(int i);
    int readAfterLessThan(int i);
    int readDeclaration(int i);
    // A comment, CDATA section or processing instruction after its target.
    int readClosedConstruct(int i);
    int readProcessingInstructionTarget(int i);
    int readDocumentType(int i);
    int readStartTag(int i);
    int readAttributeValue(int i);
    int readEndTag(int i);

    // Reads a tag's name on from i, a name character, up to the name's end or the piece's.
    int readName(int i);
    void endName();
    // Counts c, a tag's character outside names and values, when blank; true when refused.
    bool readBlank(char16_t c);
    // The last piece read ends with the first half of a surrogate pair.
    bool endsWithinCharacter() const;
    // The first index of the piece holding a character refused wherever it stands, or length.
    int skipToRefusedCharacter(int length) const;
    // Starts the construct at i ('<' or a text run's first character).
    void beginConstruct(int i, State state);
    void enter(State state);
    // Counts count more characters of the construct being read and refuses it once they pass
    // its limit, the closing marks seen last not counted while they may still close it; true
    // when refused.
    bool lengthen(qint64 count);
    // The most characters a construct read in the state may hold (an attribute value's is set
    // where it opens); the mark that closes it before its '>' ('-' of "-->", ']' of "]]>", '?'
    // of "?>") and how many of them do.
    static qint64 constructLimit(State state);
    static char16_t closingMark(State state);
    static int closingMarkCount(State state);
    char16_t previous(int i) const;
    // Refuses the construct that starts at itsConstructStart.
    void refuse();

    int itsMaxDepth;
    State itsState = State::Text;
    qint64 itsPosition = 0;       // code units read before this piece
    qint64 itsConstructStart = 0; // where the current markup's '<' or text run stands
    int itsDepth = 0;

    // The construct being read (a run of text, a comment, CDATA section, processing instruction,
    // attribute value or document type): its characters so far between its opening and its
    // closing ('>', "-->", ...), a processing instruction's target included, and for a document
    // type "<!DOCTYPE" too; and the most it may hold.
    qint64 itsConstructLength = 0;
    qint64 itsConstructLimit = maxTextLength;
    // The closing marks of a comment, CDATA section or processing instruction seen last in a row.
    int itsClosingMarks = 0;
    // After "<!": the keyword read so far.
    char16_t itsKeyword[8] = {};
    int itsKeywordLength = 0;

    // In a tag: attributes begun, the length of the name being read, blanks in a row.
    int itsAttributes = 0;
    int itsNameLength = 0;
    int itsSpaceLength = 0;
    // The name being read could still be xmlns or xmlns:prefix; the last name read was one.
    bool itsNameMayDeclareNamespace = false;
    bool itsLastNameDeclaresNamespace = false;
    char16_t itsQuote = 0; // the quote of the value being read, in a tag or document type

    char16_t itsLast = 0;            // the last character of the previous piece
    bool itsTextAfterMarkup = false; // non-blank text since the last markup
    bool itsRefused = false;

    // The piece being read.
    const char16_t* itsText = nullptr;
    int itsCount = 0;
    qint64 itsPieceStart = 0;
};

} // namespace ZyrCore::Tools

#endif // ZYRCORE_TOOLS_MARKUPOUTLINE_H
