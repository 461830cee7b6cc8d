#ifndef ZYRCORE_COMMUNICATION_REGISTERINFO_H
#define ZYRCORE_COMMUNICATION_REGISTERINFO_H

#include "Communication/iregisterinfo.h"

namespace ZyrCore::Communication {

// The identity operations shared by every register description: they go by key().
class ZYRCORE_EXPORT RegisterInfo : public IRegisterInfo {
public:
    bool equals(IRegisterInfo* other) override;
    // Unsigned byte-wise key order; a key that is a prefix of the other is lower.
    bool operator<(IRegisterInfo* other) override;
    QString toString() const override;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_REGISTERINFO_H
