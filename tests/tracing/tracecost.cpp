#include "tracecost.h"

#include "cputime.h"
#include "nullexecutor.h"

#include "Communication/commandmanager.h"
#include "Tracing/traceplayer.h"
#include "Tracing/traceprogrammer.h"
#include "raspi/streamcontrolcommandset.h"
#include "raspi/streamregistercommandset.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>

using namespace ZyrCore::Communication;
using namespace ZyrCore::Tracing;

namespace {

// A line of /proc/self/status in kB, or -1.
qint64 statusKilobytes(const QByteArray& name) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

void registerStreamCommandSets() {
    ZyrCom::Commands::StreamRegisterCommandSet registerCommands;
    ZyrCom::Commands::StreamControlCommandSet controlCommands;
    CommandManager::instance()->registerCommandSet(&registerCommands);
    CommandManager::instance()->registerCommandSet(&controlCommands);
}

// Prints by how many kB the peak resident size grew, the milliseconds of CPU time it took,
// whether it succeeded and how many characters of telegram text reading returned.
int reportTraceCost(const QString& mode, const QString& fileName) {
    registerStreamCommandSets();
    NullExecutor executor;
    TracePlayer player(nullptr, &executor);
    TraceProgrammer programmer;
    programmer.setPlayer(&player);
    QList<QString> telegrams;
    // Writing 5 starts the peak resident size (VmHWM) over at the present one.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        return 2;
    clearRefs.close();
    const qint64 before = statusKilobytes("VmHWM");
    const qint64 cpuBefore = cpuTimeMs(CLOCK_PROCESS_CPUTIME_ID);
    bool succeeded = false;
    if (mode == QLatin1String("read"))
        succeeded = player.readTelegrams(fileName, &telegrams);
    else if (mode == QLatin1String("play"))
        succeeded = player.open(fileName) && player.playToEnd();
    else if (mode == QLatin1String("load"))
        succeeded = programmer.loadProgram(fileName);
    else
        return 2;
    const qint64 elapsed = cpuTimeMs(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore;
    const qint64 after = statusKilobytes("VmHWM");
    qint64 held = 0;
    for (const QString& telegram : qAsConst(telegrams))
        held += telegram.size();
    std::printf("%lld %lld %d %lld\n", static_cast<long long>(after - before),
                static_cast<long long>(elapsed), succeeded ? 1 : 0, static_cast<long long>(held));
    return before > 0 && after > 0 ? 0 : 1;
}

QString measureTraceCost(const QString& mode, const QString& fileName, TraceCost* cost) {
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The address sanitizer keeps freed memory aside for a while; that is not the player's.
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS")) +
                           QStringLiteral(":quarantine_size_mb=1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--trace-cost"), mode, fileName});
    if (!child.waitForFinished(240000))
        return mode + QStringLiteral(": the child did not finish");
    const QByteArray output = child.readAllStandardOutput();
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return mode + QStringLiteral(": the child failed: ") + QString::fromLocal8Bit(output) +
               QString::fromLocal8Bit(child.readAllStandardError().right(2000));
    const QList<QByteArray> fields = output.trimmed().split(' ');
    if (fields.size() != 4)
        return mode + QStringLiteral(": no measurement in ") + QString::fromLocal8Bit(output);
    cost->growthKilobytes = fields.at(0).toLongLong();
    cost->milliseconds = fields.at(1).toLongLong();
    cost->succeeded = fields.at(2) == "1";
    cost->heldCharacters = fields.at(3).toLongLong();
    return QString();
}
