#include "Communication/registerinfo.h"

#include "Tools/zyrassert.h"

namespace ZyrCore::Communication {

namespace {
const char* const kSource = "Communication/registerinfo";
}

bool RegisterInfo::equals(IRegisterInfo* other) {
    ZYR_ASSERT_NOT_NULL(kSource, other);
    return key() == other->key();
}

bool RegisterInfo::operator<(IRegisterInfo* other) {
    ZYR_ASSERT_NOT_NULL(kSource, other);
    // QByteArray compares its bytes as unsigned, the shorter key first on a common prefix.
    return key() < other->key();
}

QString RegisterInfo::toString() const {
    return QStringLiteral("RegisterInfo");
}

} // namespace ZyrCore::Communication
