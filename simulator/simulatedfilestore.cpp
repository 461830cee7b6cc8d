#include "simulatedfilestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace ZyrSim {

namespace {

constexpr int kPlainHeaderSize = 4;
// Header size, flags, total size and name length before the name.
constexpr int kNameOffset = 10;
constexpr int kChecksumSize = 2;
constexpr quint16 kFirstPackage = 0x01;
constexpr quint16 kLastPackage = 0x02;
constexpr unsigned char kLoad = 0;
constexpr unsigned char kUnload = 1;
// A transfer is held in memory; the board keeps no more than one byte array takes.
constexpr quint32 kMaxTransferSize = std::numeric_limits<int>::max() - 64;
// What a transfer reserves up front, whatever size its first package announces.
constexpr int kMaxReserve = 16 * 1024 * 1024;

FirmwareReply statusReply(unsigned char status) {
    return FirmwareReply{status, {}, std::nullopt, 0};
}

quint16 readBigEndian16(const QByteArray& bytes, int offset) {
    return qFromBigEndian<quint16>(bytes.constData() + offset);
}

} // namespace

SimulatedFileStore::SimulatedFileStore(quint32 crcErrorFile, bool refuseModuleLoad)
    : itsCrcErrorFile(crcErrorFile)
    , itsRefuseModuleLoad(refuseModuleLoad) {}

SimulatedFileStore::~SimulatedFileStore() = default;

void SimulatedFileStore::install(FirmwareTable& table) {
    table.setHandler(uploadProtocol,
                     [this](const FirmwareRequest& request) { return upload(request); });
    table.setHandler(configureModuleProtocol,
                     [this](const FirmwareRequest& request) { return configureModule(request); });
}

QString SimulatedFileStore::localPath(const QString& boardPath) {
    if (!boardPath.startsWith(QLatin1Char('/')))
        return QString();
    QStringList parts;
    for (const QString& part : boardPath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".."))
            return QString(); // would leave the board's own folder
        if (part != QLatin1String("."))
            parts.append(part);
    }
    if (parts.isEmpty())
        return QString();
    if (!itsFolder)
        itsFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/zyr-board-XXXXXX");
    if (!itsFolder->isValid())
        return QString();
    return itsFolder->path() + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

std::optional<FirmwareReply> SimulatedFileStore::upload(const FirmwareRequest& request) {
    const QByteArray& package = request.payload;
    if (package.size() < kPlainHeaderSize)
        return statusReply(malformedStatus);
    const int headerSize = readBigEndian16(package, 0);
    const quint16 flags = readBigEndian16(package, 2);
    if (headerSize > package.size())
        return statusReply(malformedStatus);
    if ((flags & kFirstPackage) != 0) {
        const unsigned char status = startTransfer(package.left(headerSize));
        if (status != 0)
            return statusReply(status);
    } else if (headerSize != kPlainHeaderSize) {
        return statusReply(malformedStatus);
    } else if (!itsTransfer) {
        return statusReply(sequenceStatus);
    }

    const int contentSize = package.size() - headerSize;
    if (quint32(itsTransfer->data.size()) + quint32(contentSize) > itsTransfer->totalSize) {
        itsTransfer.reset();
        return statusReply(sizeStatus);
    }
    itsTransfer->data.append(package.constData() + headerSize, contentSize);
    if ((flags & kLastPackage) != 0)
        return statusReply(finishTransfer());
    return statusReply(0);
}

unsigned char SimulatedFileStore::startTransfer(const QByteArray& header) {
    // A first package always starts over, whatever was in progress.
    itsTransfer.reset();
    if (header.size() < kNameOffset + 1)
        return malformedStatus;
    const quint32 totalSize = qFromBigEndian<quint32>(header.constData() + 4);
    const int nameLength = readBigEndian16(header, 8);
    if (kNameOffset + nameLength != header.size() || nameLength < 2 || header.back() != '\0')
        return malformedStatus;
    const QByteArray name = header.mid(kNameOffset, nameLength - 1);
    if (name.contains('\0'))
        return malformedStatus;
    if (totalSize < quint32(kChecksumSize) || totalSize > kMaxTransferSize)
        return sizeStatus;
    const QString boardPath = QString::fromUtf8(name);
    if (localPath(boardPath).isEmpty())
        return pathStatus;
    itsTransfer = std::make_unique<Transfer>();
    itsTransfer->boardPath = boardPath;
    itsTransfer->totalSize = totalSize;
    itsTransfer->data.reserve(int(std::min<quint32>(totalSize, kMaxReserve)));
    return 0;
}

unsigned char SimulatedFileStore::finishTransfer() {
    const std::unique_ptr<Transfer> transfer = std::move(itsTransfer);
    ++itsFilesArrived;
    if (quint32(transfer->data.size()) != transfer->totalSize)
        return sizeStatus;
    const int fileSize = transfer->data.size() - kChecksumSize;
    const quint16 checksum =
        qChecksum(transfer->data.constData(), uint(fileSize), Qt::ChecksumIso3309);
    if (itsFilesArrived == itsCrcErrorFile || checksum != readBigEndian16(transfer->data, fileSize))
        return checksumStatus;

    const QString path = localPath(transfer->boardPath);
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) ||
        !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(transfer->data.constData(), fileSize) != fileSize)
        return storageStatus;
    itsEvents.append(QStringLiteral("store ") + transfer->boardPath);
    return 0;
}

std::optional<FirmwareReply> SimulatedFileStore::configureModule(const FirmwareRequest& request) {
    const QByteArray& payload = request.payload;
    // Action, option, the name and its terminating 0.
    if (payload.size() < 4 || payload.back() != '\0')
        return statusReply(malformedStatus);
    const QByteArray name = payload.mid(2, payload.size() - 3);
    if (name.contains('\0'))
        return statusReply(malformedStatus);
    const QString module = QString::fromUtf8(name);
    switch (static_cast<unsigned char>(payload[0])) {
    case kUnload:
        itsEvents.append(QStringLiteral("unload ") + module);
        return statusReply(0);
    case kLoad:
        if (itsRefuseModuleLoad)
            return statusReply(moduleStatus);
        itsEvents.append(QStringLiteral("load ") + module);
        return statusReply(0);
    default:
        return statusReply(malformedStatus);
    }
}

} // namespace ZyrSim
