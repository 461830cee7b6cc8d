#include "raspi/Commands/uploadfilecomobject.h"

#include "Tools/zyrassert.h"

#include <QFile>
#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>
#include <limits>

namespace ZyrRasPi::Commands {

namespace {
const char* const kSource = "raspi/Commands/uploadfilecomobject";
// The whole transfer is held in one byte array.
constexpr qint64 kMaxInMemorySize = std::numeric_limits<int>::max() - 64;
// Trace pattern of the board's own commands.
constexpr unsigned int kTracePattern = 0xFFFFFFFF;
} // namespace

UploadFileComObject::UploadFileComObject(const QByteArray& content, uint16_t flags,
                                         const QString& fileName, uint32_t totalSize,
                                         uint32_t maxPackageSize)
    : SerializableComObject(uploadProtocol, headerSize(flags, fileName) + unsigned(content.size()),
                            0, RequestAndResponse, kTracePattern)
    , itsContent(content)
    , itsFlags(flags)
    , itsFileName(fileName)
    , itsTotalSize(totalSize)
    , itsMaxPackageSize(maxPackageSize) {}

ZyrCore::Communication::IComObject* UploadFileComObject::clone() {
    return new UploadFileComObject(*this);
}

unsigned int UploadFileComObject::headerSize(uint16_t flags, const QString& fileName) {
    if ((flags & FirstPackage) == 0)
        return plainHeaderSize;
    return firstHeaderBaseSize + unsigned(fileName.toUtf8().size());
}

bool UploadFileComObject::serialize(unsigned char* buffer, unsigned int bufferSize) {
    ZYR_ASSERT_NOT_NULL(kSource, buffer);
    const uint32_t headerSize = UploadFileComObject::headerSize(itsFlags, itsFileName);
    ZYR_ASSERT(kSource, headerSize + uint32_t(itsContent.size()) <= itsMaxPackageSize,
               "Buffer overflow");
    ZYR_ASSERT(kSource, headerSize + uint32_t(itsContent.size()) <= bufferSize, "Buffer overflow");

    unsigned char* const start = buffer;
    qToBigEndian<quint16>(quint16(headerSize), buffer);
    qToBigEndian<quint16>(itsFlags, buffer + 2);
    buffer += plainHeaderSize;
    if ((itsFlags & FirstPackage) != 0) {
        const QByteArray name = itsFileName.toUtf8();
        qToBigEndian<quint32>(itsTotalSize, buffer);
        qToBigEndian<quint16>(quint16(name.size() + 1), buffer + 4);
        buffer += 6;
        std::copy(name.cbegin(), name.cend(), buffer);
        buffer += name.size();
        *buffer++ = 0;
    }
    if (start + headerSize != buffer) {
        ZyrCore::Tools::assertionFailed(kSource, __LINE__, "(buffer_start + headerSize) == buffer",
                                        "The header size is invalid");
    }
    std::copy(itsContent.cbegin(), itsContent.cend(), buffer);
    return true;
}

bool UploadFileComObject::deserialize(unsigned char*, unsigned int) {
    return true;
}

bool UploadFileComObject::createObjects(QString filePath, const QString& fileName,
                                        QList<UploadFileComObject*>* objects) {
    ZYR_ASSERT_NOT_NULL(kSource, objects);
    // The first package needs room for its name and at least one content byte.
    if (fileName.isEmpty() || fileName.toUtf8().size() > maxFileNameBytes)
        return false;
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 fileSize = file.size();
    if (fileSize > maxFileSize || fileSize > kMaxInMemorySize)
        return false;
    QByteArray data = file.readAll();
    if (data.size() != fileSize)
        return false;

    const quint16 checksum = qChecksum(data.constData(), uint(data.size()), Qt::ChecksumIso3309);
    data.append(char(checksum >> 8));
    data.append(char(checksum & 0xFF));
    const auto totalSize = uint32_t(data.size());

    uint16_t flags = FirstPackage;
    int offset = 0;
    while (true) {
        const int room = int(packageSize - headerSize(flags, fileName));
        const int length = std::min(room, data.size() - offset);
        if (offset + length == data.size())
            flags |= LastPackage;
        objects->append(new UploadFileComObject(data.mid(offset, length), flags, fileName,
                                                totalSize, packageSize));
        offset += length;
        if ((flags & LastPackage) != 0)
            return true;
        flags = 0;
    }
}

bool UploadFileComObject::deleteObjects(QList<UploadFileComObject*>* objects) {
    ZYR_ASSERT_NOT_NULL(kSource, objects);
    bool allAccepted = true;
    for (UploadFileComObject* object : qAsConst(*objects)) {
        allAccepted = allAccepted && object->status() == 0 && object->valid();
        delete object;
    }
    objects->clear();
    return allAccepted;
}

QString UploadFileComObject::fileNameFromPath(const QString& path) {
    static const QRegularExpression separators(QStringLiteral("\\\\|/"));
    return path.split(separators).last();
}

} // namespace ZyrRasPi::Commands
