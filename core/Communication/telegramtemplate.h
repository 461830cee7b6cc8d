#ifndef ZYRCORE_COMMUNICATION_TELEGRAMTEMPLATE_H
#define ZYRCORE_COMMUNICATION_TELEGRAMTEMPLATE_H

#include <QString>
#include <QVector>

#include <functional>
#include <memory>

namespace ZyrCore::Communication {

class CommandInfo;

// A telegram with open places for a record's values, cut from what an edit of the telegram
// writes for a marked record: one holding, for every name in the telegram, a marker naming it.
// Because the edit's output depends on a record only through those values, filling the places
// with another record's values gives the text the same edit writes for that record, without
// reading and writing XML again. Only plain printable ASCII values are filled; those the writer
// escapes in just one way.
class TelegramTemplate {
public:
    // Writes the edited telegram; false when the record does not fit the telegram.
    using Edit =
        std::function<bool(const QString& telegram, const CommandInfo& record, QString* edited)>;

    enum FillResult {
        Filled,
        MissingValue, // the record lacks a value, so the edit fails as well
        NotPlain      // a value needs the edit itself
    };

    // Null when the edit fails for the marked record named commandName, or when the telegram
    // holds the marker character itself.
    static std::unique_ptr<TelegramTemplate> create(const QString& commandName,
                                                    const QString& telegram, const Edit& edit);

    FillResult fill(const CommandInfo& record, QString* telegram) const;

private:
    struct Place {
        QString name;
        QString textBefore;
    };

    bool cut(const QString& markedText, const QVector<QString>& names);

    QVector<Place> itsPlaces;
    QString itsTextAfter;
    int itsFixedLength = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_TELEGRAMTEMPLATE_H
