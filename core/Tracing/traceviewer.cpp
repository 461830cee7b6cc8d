#include "Tracing/traceviewer.h"

#include "Communication/commandmanager.h"
#include "Tools/zyrassert.h"
#include "Tracing/tracepattern.h"

#include <memory>

namespace ZyrCore::Tracing {

using ZyrCore::Communication::CommandManager;

namespace {
constexpr const char* kSource = "Tracing/traceviewer";
}

TraceViewer::TraceViewer(QObject* parent)
    : QObject(parent) {
    registerTraceMetaTypes();
}

TraceViewer::~TraceViewer() {
    qDeleteAll(itsTracedCommands);
}

void TraceViewer::setFilter(unsigned int pattern) {
    if (pattern == itsFilter)
        return;
    itsFilter = pattern;
    emit filterChanged(pattern);
}

void TraceViewer::setNegativeFilter(unsigned int pattern) {
    itsNegativeFilter = pattern;
}

bool TraceViewer::setEnabled(bool enabled) {
    if (enabled != itsEnabled) {
        itsEnabled = enabled;
        emit enabledChanged(enabled);
    }
    return true;
}

bool TraceViewer::matchFilter(QString telegram) const {
    unsigned int pattern = 0;
    return tryGetTracePattern(telegram, &pattern) && (pattern & itsFilter) != 0 &&
           (pattern & itsNegativeFilter) == 0;
}

bool TraceViewer::filterAndTransform(CommandInfo* commandInfo) {
    ZYR_ASSERT_NOT_NULL(kSource, commandInfo);
    const QString telegramType = commandInfo->getPropertyValue(QStringLiteral("TelegramType"));
    const QString callingType = commandInfo->getPropertyValue(QStringLiteral("CallingType"));
    return telegramType.isEmpty() || callingType.isEmpty() ||
           telegramType != QLatin1String("Request") ||
           callingType != QLatin1String("RequestAndResponse");
}

bool TraceViewer::trace(QString telegram) {
    if (!itsEnabled)
        return false;
    if (!matchFilter(telegram))
        return true;
    // A stream only sends what the registry wrote, but a sink must survive any text: the filter
    // refuses text beyond the registry's limits of markup before a reader sees it.
    std::unique_ptr<CommandInfo> entry(CommandManager::instance()->convertToCommandInfo(telegram));
    if (entry == nullptr || !filterAndTransform(entry.get()))
        return true;

    if (itsTracedCommands.count() >= itsMaxCommandCount) {
        const int removed = qMin(itsClearAmount, itsTracedCommands.count());
        for (int i = 0; i < removed; ++i)
            delete itsTracedCommands.takeFirst();
        emit commandsDeleted(0, removed);
    }
    itsTracedCommands.append(entry.get());
    emit telegramTraced(entry.release());
    return true;
}

void TraceViewer::clear() {
    const int count = itsTracedCommands.count();
    qDeleteAll(itsTracedCommands);
    itsTracedCommands.clear();
    emit commandsDeleted(0, count);
}

void TraceViewer::setMaxCommandCount(int maxCommandCount, int clearAmount) {
    ZYR_ASSERT(kSource, clearAmount <= maxCommandCount,
               "The clear intervall must be smaller than the maximum command count");
    ZYR_ASSERT(kSource, clearAmount > 0, "The clear amount cant be set to 0");
    ZYR_ASSERT(kSource, maxCommandCount > 0, "The max amount cant be set to 0");
    itsMaxCommandCount = maxCommandCount;
    itsClearAmount = clearAmount;
    if (!itsTracedCommands.isEmpty())
        clear();
}

QList<CommandInfo*> TraceViewer::exportCommands(int position, int count) const {
    ZYR_ASSERT(kSource, position >= 0, "Position out of range.");
    QList<CommandInfo*> copies;
    const int end = count < 0
                        ? itsTracedCommands.count()
                        : int(qMin<qint64>(qint64(position) + count, itsTracedCommands.count()));
    for (int i = position; i < end; ++i)
        copies.append(new CommandInfo(*itsTracedCommands.at(i)));
    return copies;
}

} // namespace ZyrCore::Tracing
