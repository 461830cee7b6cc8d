#ifndef ZYRRASPI_COMMANDS_UPLOADFILECOMOBJECT_H
#define ZYRRASPI_COMMANDS_UPLOADFILECOMOBJECT_H

#include "Communication/serializablecomobject.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

namespace ZyrRasPi::Commands {

// One package of a file written to a path on the interface board. Payload, big-endian:
// header size (2), flags (2), then in the first package only the total size (4), the name
// length (2) and the name in UTF-8 with a terminating 0; then the content. The whole transfer is
// the file followed by its CRC-16/X-25, high byte first; the total size counts both.
class UploadFileComObject : public ZyrCore::Communication::SerializableComObject {
public:
    enum Flags : uint16_t { FirstPackage = 0x01, LastPackage = 0x02 };

    static constexpr unsigned char uploadProtocol = 64;
    static constexpr uint32_t packageSize = 1024;
    static constexpr unsigned int checksumSize = 2;
    // Header of a package that is not the first.
    static constexpr unsigned int plainHeaderSize = 4;
    // Header of a first package, less its name's UTF-8 bytes.
    static constexpr unsigned int firstHeaderBaseSize = 11;
    // The first package must carry at least one content byte.
    static constexpr int maxFileNameBytes = int(packageSize - firstHeaderBaseSize) - 1;
    // The total size field holds the file and its checksum.
    static constexpr qint64 maxFileSize = qint64(UINT32_MAX) - checksumSize;

    UploadFileComObject(const QByteArray& content, uint16_t flags, const QString& fileName,
                        uint32_t totalSize, uint32_t maxPackageSize);
    UploadFileComObject(const UploadFileComObject& other) = default;
    ~UploadFileComObject() override = default;

    ZyrCore::Communication::IComObject* clone() override;
    bool serialize(unsigned char* buffer, unsigned int bufferSize) override;
    // The board answers with a status only.
    bool deserialize(unsigned char* buffer, unsigned int size) override;

    static unsigned int headerSize(uint16_t flags, const QString& fileName);
    // Appends the packages that upload the local file filePath to fileName on the board; the
    // caller owns them. False, with nothing appended, for an empty or overlong fileName and for
    // a file that cannot be read or is too large for the size field.
    static bool createObjects(QString filePath, const QString& fileName,
                              QList<UploadFileComObject*>* objects);
    // True when every package has status 0 and is valid; deletes them all in either case.
    static bool deleteObjects(QList<UploadFileComObject*>* objects);
    // The part after the last slash or backslash; the whole text when it has neither.
    static QString fileNameFromPath(const QString& path);

private:
    QByteArray itsContent;
    uint16_t itsFlags;
    QString itsFileName;
    uint32_t itsTotalSize;
    uint32_t itsMaxPackageSize;
};

} // namespace ZyrRasPi::Commands

#endif // ZYRRASPI_COMMANDS_UPLOADFILECOMOBJECT_H
