#ifndef ZYRCORE_TOOLS_VERSIONINFO_H
#define ZYRCORE_TOOLS_VERSIONINFO_H

#include "zyrcore_global.h"

#include <QHash>
#include <QString>

namespace ZyrCore::Tools {

// The program's product name, version, folder and maker as the build recorded them. Nothing is
// known until retrieveInfo() has run; until then, and for keys the build does not record, every
// reader answers an empty string.
class ZYRCORE_EXPORT VersionInfo {
public:
    VersionInfo();
    virtual ~VersionInfo();

    // Loads the values the build recorded.
    void retrieveInfo();

    // The value under one of the keys "FileVersion", "ProductVersion", "InternalName",
    // "ProductName" and "CompanyName"; empty for any other key.
    QString getInfoFromResource(const QString& key) const;

    QString fileVersionString() const;
    QString productVersionString() const;
    QString productFolderString() const;
    QString productNameString() const;
    QString companyNameString() const;

private:
    bool itsLoaded = false;
    QHash<QString, QString> itsValues;
};

} // namespace ZyrCore::Tools

#endif // ZYRCORE_TOOLS_VERSIONINFO_H
