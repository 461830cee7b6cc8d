#ifndef ZYRCORE_TOOLS_RTTIHELPER_H
#define ZYRCORE_TOOLS_RTTIHELPER_H

#include "zyrcore_global.h"

#include <string>

namespace ZyrCore::Tools {

// Readable type names from the names typeid() yields.
class ZYRCORE_EXPORT RttiHelper {
public:
    RttiHelper() = default;
    virtual ~RttiHelper() = default;

    // "PN7ZyrCore13Communication9IcComCoreE" gives "ZyrCore::Communication::IcComCore*". Text
    // that does not demangle comes back unchanged (null gives an empty string).
    static std::string unmangleTypeName(const char* mangledName);
};

} // namespace ZyrCore::Tools

#endif // ZYRCORE_TOOLS_RTTIHELPER_H
