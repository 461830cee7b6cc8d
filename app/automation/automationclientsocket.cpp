#include "automationclientsocket.h"

AutomationClientSocket::AutomationClientSocket(qint64 maximumUnsentBytes, QObject* parent)
    : QTcpSocket(parent)
    , itsMaximumUnsentBytes(maximumUnsentBytes) {}

qint64 AutomationClientSocket::writeData(const char* data, qint64 size) {
    if (!itsDropping && bytesToWrite() + size <= itsMaximumUnsentBytes)
        return QTcpSocket::writeData(data, size);
    if (!itsDropping) {
        itsDropping = true;
        setErrorString(tr("The client does not read its output; more than %1 bytes are unsent.")
                           .arg(itsMaximumUnsentBytes));
        QMetaObject::invokeMethod(this, &QAbstractSocket::abort, Qt::QueuedConnection);
        emit outputOverflowed();
    }
    return -1;
}
