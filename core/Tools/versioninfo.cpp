#include "Tools/versioninfo.h"

#include "Tools/buildversion.h"

namespace ZyrCore::Tools {

VersionInfo::VersionInfo() = default;

VersionInfo::~VersionInfo() = default;

void VersionInfo::retrieveInfo() {
    itsValues = {
        {QStringLiteral("FileVersion"), QString::fromUtf8(BuildVersion::fileVersion)},
        {QStringLiteral("ProductVersion"), QString::fromUtf8(BuildVersion::productVersion)},
        {QStringLiteral("InternalName"), QString::fromUtf8(BuildVersion::productFolder)},
        {QStringLiteral("ProductName"), QString::fromUtf8(BuildVersion::productName)},
        {QStringLiteral("CompanyName"), QString::fromUtf8(BuildVersion::companyName)},
    };
    itsLoaded = true;
}

QString VersionInfo::getInfoFromResource(const QString& key) const {
    if (!itsLoaded)
        return QString();
    return itsValues.value(key);
}

QString VersionInfo::fileVersionString() const {
    return getInfoFromResource(QStringLiteral("FileVersion"));
}

QString VersionInfo::productVersionString() const {
    return getInfoFromResource(QStringLiteral("ProductVersion"));
}

QString VersionInfo::productFolderString() const {
    return getInfoFromResource(QStringLiteral("InternalName"));
}

QString VersionInfo::productNameString() const {
    return getInfoFromResource(QStringLiteral("ProductName"));
}

QString VersionInfo::companyNameString() const {
    return getInfoFromResource(QStringLiteral("CompanyName"));
}

} // namespace ZyrCore::Tools
