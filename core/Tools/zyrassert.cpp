#include "Tools/zyrassert.h"

#include <cstdio>
#include <cstdlib>

namespace ZyrCore::Tools {

namespace {

void printAssertion(FILE* stream, const char* source, int line, const char* expression,
                    const char* message) {
    std::fprintf(stream, "Assert in: %s, line %d.\n", source, line);
    std::fprintf(stream, "Assert expression:  %s\n", expression);
    std::fprintf(stream, "Message: %s\n", message);
    std::fflush(stream);
}

} // namespace

void assertionFailed(const char* source, int line, const char* expression, const char* message) {
    printAssertion(stderr, source, line, expression, message);
    printAssertion(stdout, source, line, expression, message);
    std::abort();
}

} // namespace ZyrCore::Tools
