#include "simulatedserialport.h"

#include "boardids.h"

#include <QMutexLocker>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace ZyrSim {

namespace {

int baudRateOf(speed_t speed) {
    switch (speed) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    default:
        return 0;
    }
}

int dataBitsOf(tcflag_t controlFlags) {
    switch (controlFlags & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

void closeFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

SimulatedSerialPort::SimulatedSerialPort()
    : itsPreviousProvider(ZyrCom::Serial::SerialPortEnumerator::provider()) {
    ZyrCom::Serial::SerialPortEnumerator::setProvider([this] { return listPorts(); });
}

SimulatedSerialPort::~SimulatedSerialPort() {
    unplug();
    ZyrCom::Serial::SerialPortEnumerator::setProvider(itsPreviousProvider);
}

bool SimulatedSerialPort::plug() {
    if (isPlugged())
        return true;

    // Raw from the start, so nothing the board sends is echoed or translated before the host
    // sets the port up.
    termios settings = {};
    cfmakeraw(&settings);
    int masterFd = -1;
    int slaveFd = -1;
    if (::openpty(&masterFd, &slaveFd, nullptr, &settings, nullptr) != 0)
        return false;
    char slavePath[128] = {};
    int wakeFds[2] = {-1, -1};
    if (::ptsname_r(masterFd, slavePath, sizeof slavePath) != 0 ||
        ::pipe2(wakeFds, O_CLOEXEC) != 0) {
        ::close(masterFd);
        ::close(slaveFd);
        return false;
    }
    ::fcntl(masterFd, F_SETFD, FD_CLOEXEC);
    ::fcntl(slaveFd, F_SETFD, FD_CLOEXEC);
    ::fcntl(masterFd, F_SETFL, ::fcntl(masterFd, F_GETFL) | O_NONBLOCK);

    const QString location = QString::fromLocal8Bit(slavePath);
    ZyrCom::Serial::SerialPortRecord record;
    record.portName = location.startsWith(QLatin1String("/dev/")) ? location.mid(5) : location;
    record.systemLocation = location;
    record.manufacturer = QString::fromLatin1(manufacturer);
    record.description = QString::fromLatin1(description);
    record.vendorId = ZyrHid::BoardIds::vendorId;
    record.productId = ZyrHid::BoardIds::productId;
    record.hasIds = true;

    QMutexLocker lock(&itsMutex);
    itsMasterFd = masterFd;
    itsSlaveFd = slaveFd;
    itsWakeFds[0] = wakeFds[0];
    itsWakeFds[1] = wakeFds[1];
    itsRecord = record;
    itsReceived.clear();
    itsDrainThread = std::thread([this] { drainMaster(); });
    return true;
}

void SimulatedSerialPort::unplug() {
    if (!isPlugged())
        return;
    const char wake = 0;
    while (::write(itsWakeFds[1], &wake, 1) < 0 && errno == EINTR) {
    }
    itsDrainThread.join();

    QMutexLocker lock(&itsMutex);
    itsRecord = ZyrCom::Serial::SerialPortRecord();
    closeFd(itsMasterFd);
    closeFd(itsSlaveFd);
    closeFd(itsWakeFds[0]);
    closeFd(itsWakeFds[1]);
}

bool SimulatedSerialPort::isPlugged() const {
    QMutexLocker lock(&itsMutex);
    return itsMasterFd >= 0;
}

ZyrCom::Serial::SerialPortRecord SimulatedSerialPort::record() const {
    QMutexLocker lock(&itsMutex);
    return itsRecord;
}

bool SimulatedSerialPort::send(const QByteArray& bytes) {
    QMutexLocker lock(&itsMutex);
    if (itsMasterFd < 0)
        return false;
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = ::write(itsMasterFd, bytes.constData() + sent,
                                      static_cast<size_t>(bytes.size() - sent));
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        sent += count;
    }
    return true;
}

QByteArray SimulatedSerialPort::received() const {
    QMutexLocker lock(&itsMutex);
    return itsReceived;
}

bool SimulatedSerialPort::tryGetLineCoding(SerialLineCoding& coding) const {
    QMutexLocker lock(&itsMutex);
    if (itsMasterFd < 0)
        return false;
    // The master end reports the settings of its slave end.
    termios settings = {};
    if (::tcgetattr(itsMasterFd, &settings) != 0)
        return false;
    coding.baudRate = baudRateOf(cfgetospeed(&settings));
    coding.dataBits = dataBitsOf(settings.c_cflag);
    coding.stopBits = (settings.c_cflag & CSTOPB) ? 2 : 1;
    coding.parity = (settings.c_cflag & PARENB) != 0;
    return true;
}

QList<ZyrCom::Serial::SerialPortRecord> SimulatedSerialPort::listPorts() const {
    QList<ZyrCom::Serial::SerialPortRecord> ports = itsPreviousProvider();
    if (isPlugged())
        ports.append(record());
    return ports;
}

// Runs while plugged: takes every byte the host writes, so the host never blocks on a full port.
void SimulatedSerialPort::drainMaster() {
    int masterFd = -1;
    int wakeFd = -1;
    {
        QMutexLocker lock(&itsMutex);
        masterFd = itsMasterFd;
        wakeFd = itsWakeFds[0];
    }
    pollfd watched[2] = {{masterFd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    char buffer[4096];
    for (;;) {
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (watched[1].revents != 0)
            return;
        if (watched[0].revents & (POLLERR | POLLNVAL))
            return;
        const ssize_t count = ::read(masterFd, buffer, sizeof buffer);
        if (count == 0)
            return;
        if (count > 0) {
            QMutexLocker lock(&itsMutex);
            itsReceived.append(buffer, static_cast<int>(count));
        } else if (count < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        }
    }
}

} // namespace ZyrSim
