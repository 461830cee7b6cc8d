#include "Tools/rttihelper.h"

#include <cstdlib>
#include <cxxabi.h>

namespace ZyrCore::Tools {

std::string RttiHelper::unmangleTypeName(const char* mangledName) {
    if (mangledName == nullptr)
        return std::string();

    int status = 0;
    char* demangled = abi::__cxa_demangle(mangledName, nullptr, nullptr, &status);
    if (status != 0 || demangled == nullptr) {
        std::free(demangled);
        return std::string(mangledName);
    }
    std::string result(demangled);
    std::free(demangled);
    return result;
}

} // namespace ZyrCore::Tools
