#include "Communication/telegramtemplate.h"

#include "Communication/commandinfo.h"

#include <QXmlStreamReader>

namespace ZyrCore::Communication {

namespace {

// Markers are "@<index>@"; the writer copies the character unescaped.
constexpr char16_t kMarker = u'@';

// Every element and attribute name of the text, each once; the edit looks values up by these.
QVector<QString> namesIn(const QString& telegram) {
    QVector<QString> names;
    auto add = [&names](const QStringRef& name) {
        if (!names.contains(name.toString()))
            names.append(name.toString());
    };
    QXmlStreamReader reader(telegram);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        add(reader.name());
        for (const QXmlStreamAttribute& attribute : reader.attributes())
            add(attribute.name());
    }
    return names;
}

// Appends the value as the writer writes it; false for anything but printable ASCII.
bool appendPlain(const QString& value, QString* text) {
    for (const QChar character : value) {
        switch (character.unicode()) {
        case u'&':
            text->append(QLatin1String("&amp;"));
            break;
        case u'<':
            text->append(QLatin1String("&lt;"));
            break;
        case u'>':
            text->append(QLatin1String("&gt;"));
            break;
        case u'"':
            text->append(QLatin1String("&quot;"));
            break;
        default:
            if (character.unicode() < 0x20 || character.unicode() > 0x7E)
                return false;
            text->append(character);
        }
    }
    return true;
}

} // namespace

std::unique_ptr<TelegramTemplate>
TelegramTemplate::create(const QString& commandName, const QString& telegram, const Edit& edit) {
    if (telegram.contains(QChar(kMarker)))
        return nullptr;
    const QVector<QString> names = namesIn(telegram);
    CommandInfo marked(commandName);
    for (int i = 0; i < names.size(); ++i)
        marked.addProperty(names.at(i), QStringLiteral("@%1@").arg(i), QString(), false);
    QString markedText;
    auto result = std::make_unique<TelegramTemplate>();
    if (!edit(telegram, marked, &markedText) || !result->cut(markedText, names))
        return nullptr;
    return result;
}

bool TelegramTemplate::cut(const QString& markedText, const QVector<QString>& names) {
    int pieceStart = 0;
    for (int open = markedText.indexOf(QChar(kMarker)); open >= 0;
         open = markedText.indexOf(QChar(kMarker), pieceStart)) {
        const int close = markedText.indexOf(QChar(kMarker), open + 1);
        bool isIndex = false;
        const int index = markedText.midRef(open + 1, close - open - 1).toInt(&isIndex);
        if (close < 0 || !isIndex || index < 0 || index >= names.size())
            return false;
        itsPlaces.append({names.at(index), markedText.mid(pieceStart, open - pieceStart)});
        itsFixedLength += open - pieceStart;
        pieceStart = close + 1;
    }
    itsTextAfter = markedText.mid(pieceStart);
    itsFixedLength += itsTextAfter.size();
    return true;
}

TelegramTemplate::FillResult TelegramTemplate::fill(const CommandInfo& record,
                                                    QString* telegram) const {
    QString text;
    text.reserve(itsFixedLength + 8 * itsPlaces.size());
    QString value;
    for (const Place& place : itsPlaces) {
        text += place.textBefore;
        if (!record.tryGetPropertyValue(place.name, &value))
            return MissingValue;
        if (!appendPlain(value, &text))
            return NotPlain;
    }
    text += itsTextAfter;
    *telegram = std::move(text);
    return Filled;
}

} // namespace ZyrCore::Communication
