#include "boardfileset.h"

#include <QDir>

const char* const boardGuiModule = "modules/qarnguimodule.so";

namespace {

struct ChipFile {
    const char* chip;
    const char* localName;
    const char* boardPath;
};

const ChipFile kChipFiles[] = {
    {"KEL4301", "qarnguimodule.so", "/opt/VorniHostRuntime/modules/qarnguimodule.so"},
    {"KEL4301", "libqarn.so", "/usr/lib/libqarn.so"},
    {"KEL4301", "kel4301.ko", "/opt/VorniHostRuntime/modules/kel4301.ko"},
    {"KEL4301", "main_app.hex", "/lib/firmware/kel4301_firmware.bin"},
    {"KEL4301", "default_driver.config", "/opt/VorniHostRuntime/config/default_driver.config"},
    {"KEL4301", "spad_mask.csv", "/home/pi/spad_mask.csv"},
    {"KEL4401", "qarnguimodule.so", "/opt/VorniHostRuntime/modules/qarnguimodule.so"},
    {"KEL4401", "libqarn.so", "/usr/lib/libqarn.so"},
    {"KEL4401", "kel4401.ko", "/opt/VorniHostRuntime/modules/kel4401.ko"},
    {"KEL4401", "main_app.hex", "/lib/firmware/kel4401_firmware.bin"},
    {"KEL4401", "spad_mask.csv", "/home/pi/spad_mask.csv"},
    {"KEL4405", "qarnguimodule.so", "/opt/VorniHostRuntime/modules/qarnguimodule.so"},
    {"KEL4405", "libqarn.so", "/usr/lib/libqarn.so"},
    {"KEL4405", "kel4405.ko", "/opt/VorniHostRuntime/modules/kel4405.ko"},
    {"KEL4405", "main_app_3v3_k3.hex", "/lib/firmware/kel4405_firmware.bin"},
    {"KEL4405", "spad_mask.csv", "/home/pi/spad_mask.csv"},
};

// "kel" and four characters: the chip's name.
constexpr int kChipNameLength = 7;

} // namespace

bool tryGetBoardFileSet(const QString& chip, QList<BoardFile>& files) {
    QList<BoardFile> found;
    for (const ChipFile& entry : kChipFiles) {
        if (chip == QLatin1String(entry.chip))
            found.append(
                {QString::fromLatin1(entry.localName), QString::fromLatin1(entry.boardPath)});
    }
    if (found.isEmpty())
        return false;
    files = found;
    return true;
}

bool tryGetTargetChip(const QDir& directory, QString& chip) {
    const QStringList modules =
        directory.entryList({QStringLiteral("kel????.ko")}, QDir::Files | QDir::Dirs | QDir::Drives,
                            QDir::Name | QDir::IgnoreCase);
    if (modules.isEmpty())
        return false;
    chip = modules.first().left(kChipNameLength).toUpper();
    return true;
}
