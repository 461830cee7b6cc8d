#ifndef ZYRAPP_BOARDFILESET_H
#define ZYRAPP_BOARDFILESET_H

#include <QList>
#include <QString>

class QDir;

// One file of a board update: its name in the chosen directory and its path on the board.
struct BoardFile {
    QString localName;
    QString boardPath;
};

// The board's GUI module, unloaded while its files are replaced.
extern const char* const boardGuiModule;

// The update set of a chip ("KEL4301", "KEL4401", "KEL4405"; exact case) in upload order;
// false for any other chip.
bool tryGetBoardFileSet(const QString& chip, QList<BoardFile>& files);

// The chip named by the directory's first kernel module "kel????.ko" (names compared without
// case), upper-cased: "kel4301.ko" names KEL4301. False when there is none.
bool tryGetTargetChip(const QDir& directory, QString& chip);

#endif // ZYRAPP_BOARDFILESET_H
