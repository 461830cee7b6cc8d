#include "automationcommandparser.h"

const char AutomationCommandParser::invalidCommandReply[] = "#ERR;;Invalid command.\r\n";
const char AutomationCommandParser::noTargetReply[] = "#ERR;;No target system connected.\r\n";

AutomationCommandParser::AutomationCommandParser(QObject* parent)
    : QObject(parent) {}

void AutomationCommandParser::setTargetCheck(std::function<bool()> isTargetConnected) {
    itsTargetCheck = std::move(isTargetConnected);
}

void AutomationCommandParser::feed(const QByteArray& chunk) {
    const int end = chunk.indexOf('\0');
    const QString text = QString::fromLatin1(end < 0 ? chunk : chunk.left(end)).trimmed();
    itsDroppingChunk = false;
    for (const QChar character : text) {
        if (itsDroppingChunk)
            break;
        if (itsInCommand)
            takeInsideCommand(character);
        else
            takeOutsideCommand(character);
    }
}

void AutomationCommandParser::dropRestOfChunk() {
    itsDroppingChunk = true;
}

void AutomationCommandParser::reset() {
    itsCommand.clear();
    itsInCommand = false;
    itsDroppingCommand = false;
}

void AutomationCommandParser::takeOutsideCommand(QChar character) {
    if (itsTargetCheck && !itsTargetCheck()) {
        emit replyReady(noTargetReply);
        return;
    }
    switch (character.toLatin1()) {
    case 'd':
        emit operationModeRequested(0);
        break;
    case 'p':
        emit operationModeRequested(1);
        break;
    case 'b':
        emit operationModeRequested(2);
        break;
    case '(':
        itsInCommand = true;
        break;
    default:
        emit measurementRequested();
        break;
    }
}

void AutomationCommandParser::takeInsideCommand(QChar character) {
    if (character == QLatin1Char(')')) {
        const QString command = itsCommand;
        const bool dropped = itsDroppingCommand;
        itsCommand.clear();
        itsInCommand = false;
        itsDroppingCommand = false;
        if (!dropped)
            processCommand(command);
        return;
    }
    if (itsDroppingCommand)
        return;
    itsCommand += character;
    if (itsCommand.size() > maximumCommandLength) {
        itsCommand.clear();
        itsDroppingCommand = true;
        emit replyReady(invalidCommandReply);
    }
}

// The letter is taken in either case; a number that does not convert counts as 0 and the
// receiver clamps it to its range.
void AutomationCommandParser::processCommand(const QString& command) {
    const QChar letter = command.isEmpty() ? QChar() : command.at(0).toUpper();
    if (command.size() < 2 || (letter != QLatin1Char('I') && letter != QLatin1Char('T'))) {
        emit replyReady(invalidCommandReply);
        return;
    }
    const int value = command.mid(1).toInt();
    if (letter == QLatin1Char('I'))
        emit iterationsRequested(value);
    else
        emit thresholdRequested(value);
}
