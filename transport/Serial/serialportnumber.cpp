#include "Serial/serialportnumber.h"

#include <limits>

namespace ZyrCom::Serial {

bool tryGetComPortNumber(const QString& portName, quint16& number) {
    QString digits = portName;
    digits.remove(QStringLiteral("COM"), Qt::CaseSensitive);
    bool ok = false;
    const short value = digits.toShort(&ok, 10);
    if (!ok)
        return false;
    number = static_cast<quint16>(value);
    return true;
}

bool tryGetTrailingPortNumber(const QString& portName, quint16& number) {
    int start = portName.size();
    while (start > 0 && portName.at(start - 1) >= QLatin1Char('0') &&
           portName.at(start - 1) <= QLatin1Char('9'))
        --start;
    if (start == portName.size())
        return false;
    bool ok = false;
    const uint value = portName.midRef(start).toUInt(&ok, 10);
    if (!ok || value > std::numeric_limits<quint16>::max())
        return false;
    number = static_cast<quint16>(value);
    return true;
}

} // namespace ZyrCom::Serial
