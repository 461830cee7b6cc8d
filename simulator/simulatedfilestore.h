#ifndef ZYRSIM_SIMULATEDFILESTORE_H
#define ZYRSIM_SIMULATEDFILESTORE_H

#include "firmwaretable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QTemporaryDir;

namespace ZyrSim {

// The interface board's own file system and module loader, reached over its control interface.
// Protocol 64 carries a file in packages (header size, flags, and in the first package the total
// size and the target path); the store joins them, checks the sizes and the CRC-16/X-25 at the
// end of the transfer and writes the file below a temporary folder of its own, at the target
// path ("/usr/lib/x.so" becomes "<folder>/usr/lib/x.so"). Protocol 65 loads (action 0) or
// unloads (action 1) a module. Every reply is a bare status: 0 or one of the statuses below.
// The handlers installed into a FirmwareTable refer to this object, which must outlive them.
class SimulatedFileStore {
public:
    static constexpr unsigned char uploadProtocol = 64;
    static constexpr unsigned char configureModuleProtocol = 65;

    static constexpr unsigned char malformedStatus = 0x10; // a request the board cannot parse
    static constexpr unsigned char sequenceStatus = 0x11;  // a package outside a transfer
    static constexpr unsigned char pathStatus = 0x12;      // a target path outside the board
    static constexpr unsigned char sizeStatus = 0x13;      // more or fewer bytes than announced
    static constexpr unsigned char checksumStatus = 0x14;  // the CRC does not match
    static constexpr unsigned char storageStatus = 0x15;   // the file could not be written
    static constexpr unsigned char moduleStatus = 0x16;    // the module could not be loaded

    // crcErrorFile: the n-th file to arrive (from 1) fails its checksum; 0 none.
    SimulatedFileStore(quint32 crcErrorFile = 0, bool refuseModuleLoad = false);
    SimulatedFileStore(const SimulatedFileStore&) = delete;
    SimulatedFileStore& operator=(const SimulatedFileStore&) = delete;
    ~SimulatedFileStore();

    // Sets the handlers of protocols 64 and 65.
    void install(FirmwareTable& table);

    // What the board did, in order: "unload <module>", "store <path>", "load <module>".
    QStringList events() const { return itsEvents; }
    // Where a board path is kept on this machine; empty for a path the board refuses.
    QString localPath(const QString& boardPath);

    std::optional<FirmwareReply> upload(const FirmwareRequest& request);
    std::optional<FirmwareReply> configureModule(const FirmwareRequest& request);

private:
    struct Transfer {
        QString boardPath;
        quint32 totalSize = 0;
        QByteArray data;
    };

    unsigned char startTransfer(const QByteArray& header);
    unsigned char finishTransfer();

    quint32 itsCrcErrorFile;
    bool itsRefuseModuleLoad;
    std::unique_ptr<QTemporaryDir> itsFolder;
    std::unique_ptr<Transfer> itsTransfer;
    quint32 itsFilesArrived = 0;
    QStringList itsEvents;
};

} // namespace ZyrSim

#endif // ZYRSIM_SIMULATEDFILESTORE_H
