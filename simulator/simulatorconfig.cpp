#include "simulatorconfig.h"

#include <QStringList>

namespace ZyrSim {

namespace {

struct FaultName {
    TransportFault fault;
    const char* name;
};

const FaultName kFaultNames[] = {
    {TransportFault::None, "none"},
    {TransportFault::NoReply, "noreply"},
    {TransportFault::WrongProtocol, "wrongprotocol"},
    {TransportFault::ReplyTooLong, "toolong"},
    {TransportFault::StaleReports, "stale"},
    {TransportFault::ZeroCountReport, "zerocount"},
    {TransportFault::EndlessWrongCounter, "endless"},
    {TransportFault::Unplugged, "unplugged"},
};

bool tryGetSwitch(const QString& value, bool* on) {
    if (value == QLatin1String("on")) {
        *on = true;
        return true;
    }
    if (value == QLatin1String("off")) {
        *on = false;
        return true;
    }
    return false;
}

} // namespace

QString SimulatorConfig::faultName(TransportFault fault) {
    for (const FaultName& entry : kFaultNames) {
        if (entry.fault == fault)
            return QString::fromLatin1(entry.name);
    }
    return QString();
}

bool SimulatorConfig::tryGetFault(const QString& name, TransportFault* fault) {
    for (const FaultName& entry : kFaultNames) {
        if (name == QLatin1String(entry.name)) {
            *fault = entry.fault;
            return true;
        }
    }
    return false;
}

bool SimulatorConfig::parse(const QString& text, SimulatorConfig* config) {
    if (config == nullptr)
        return false;
    SimulatorConfig parsed = *config;
    const QStringList pairs = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& pair : pairs) {
        const int separator = pair.indexOf(QLatin1Char('='));
        if (separator < 0)
            return false;
        const QString key = pair.left(separator).trimmed();
        const QString value = pair.mid(separator + 1).trimmed();
        bool ok = false;
        if (key == QLatin1String("seed")) {
            parsed.seed = value.toUInt(&ok);
        } else if (key == QLatin1String("timing")) {
            ok = tryGetSwitch(value, &parsed.timing);
        } else if (key == QLatin1String("fault.control")) {
            ok = tryGetFault(value, &parsed.faults[int(BoardInterface::Control)]);
        } else if (key == QLatin1String("fault.module")) {
            ok = tryGetFault(value, &parsed.faults[int(BoardInterface::Module)]);
        }
        if (!ok)
            return false;
    }
    *config = parsed;
    return true;
}

QString SimulatorConfig::toString() const {
    return QStringLiteral("seed=%1,timing=%2,fault.control=%3,fault.module=%4")
        .arg(seed)
        .arg(timing ? QStringLiteral("on") : QStringLiteral("off"))
        .arg(faultName(fault(BoardInterface::Control)))
        .arg(faultName(fault(BoardInterface::Module)));
}

} // namespace ZyrSim
