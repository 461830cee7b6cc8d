#ifndef ZYRCORE_COMMUNICATION_TELEGRAMCONTENT_H
#define ZYRCORE_COMMUNICATION_TELEGRAMCONTENT_H

#include "zyrcore_global.h"

#include <QString>
#include <QVector>
#include <QXmlStreamAttributes>

class QXmlStreamReader;

namespace ZyrCore::Communication {

// One telegram text taken apart: the Telegram element's attributes, its comment, the name of the
// object's element and every element below that one, in document order.
//
// read() accepts only a whole, well-formed telegram: no DTD (so no entity expansion), Telegram as
// the root, at most one leading Comment, exactly one object element, no text outside the value
// elements and no value element named twice. Anything else, truncated text included, is refused
// as a whole.
class ZYRCORE_EXPORT TelegramContent {
public:
    struct Value {
        QString name;
        // The text right after the element's start tag (blanks for an element holding elements).
        QString text;
        // The element's type attribute, when it has one.
        QString type;
        bool hasType = false;
        // The element is marked as a result of a response (OutProperty).
        bool out = false;
    };

    // More value elements than any com object writes: such text is refused unread.
    static constexpr int maxValueCount = 256;

    // What a token within an object's element is to a telegram, the reader standing on it:
    // inValue says whether a value element's text is being read (since its start tag). Blanks
    // between elements, comments and processing instructions mean nothing; other text outside a
    // value, a document type, an entity reference or an error refuses the telegram.
    enum class ObjectToken { ValueStart, End, ValueText, Ignored, Refused };
    static ObjectToken objectToken(const QXmlStreamReader& reader, bool inValue);

    // Whether a telegram text stays within the limits of markup (Tools/markupoutline.h) that
    // keep an XML reader's work linear in its size, nesting included. Text entry points refuse
    // any other before a reader sees it.
    static bool isWithinLimits(const QString& telegram);

    bool read(const QString& telegram);
    // The same for the Telegram element a reader of a larger document (a trace file) stands on;
    // the reader is left on its end element. As every Telegram start in such a document begins
    // a telegram of its own, no element below the root may be named Telegram.
    bool readElement(QXmlStreamReader& reader);

    // The same reading in pieces, for a caller that reads the object's element itself:
    // readHeader leaves the reader on the object's start element with the attributes, comment
    // and object name taken; readTrailer reads what follows the object's element to the end.
    bool readHeader(QXmlStreamReader& reader);
    static bool readTrailer(QXmlStreamReader& reader);

    bool hasAttribute(const QString& name) const;
    QString attribute(const QString& name) const;
    QString comment() const { return itsComment; }
    QString objectName() const { return itsObjectName; }
    const QVector<Value>& values() const { return itsValues; }

private:
    // Reads the object's element on from its start; no element may open deeper than
    // Tools::maxTelegramDepth.
    bool readValues(QXmlStreamReader& reader);

    QXmlStreamAttributes itsAttributes;
    QString itsComment;
    QString itsObjectName;
    QVector<Value> itsValues;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_TELEGRAMCONTENT_H
