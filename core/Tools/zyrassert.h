#ifndef ZYRCORE_TOOLS_ZYRASSERT_H
#define ZYRCORE_TOOLS_ZYRASSERT_H

#include "zyrcore_global.h"

namespace ZyrCore::Tools {

// Reports a broken programming contract on standard error and standard output, then aborts.
// source is the file's path inside its library without extension ("Communication/comstream").
[[noreturn]] ZYRCORE_EXPORT void assertionFailed(const char* source, int line,
                                                 const char* expression, const char* message);

} // namespace ZyrCore::Tools

// ZYR_ASSERT(source, condition, message): aborts through assertionFailed when condition is false.
#define ZYR_ASSERT(source, condition, message)                                                     \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::ZyrCore::Tools::assertionFailed((source), __LINE__, #condition, (message));          \
    } while (false)

// ZYR_ASSERT_NOT_NULL(source, pointer): the null-argument form, naming the argument in the
// expression ("node != NULL") and in the message ("node is Null!").
#define ZYR_ASSERT_NOT_NULL(source, pointer)                                                       \
    do {                                                                                           \
        if ((pointer) == nullptr)                                                                  \
            ::ZyrCore::Tools::assertionFailed((source), __LINE__, #pointer " != NULL",             \
                                              #pointer " is Null!");                               \
    } while (false)

#endif // ZYRCORE_TOOLS_ZYRASSERT_H
