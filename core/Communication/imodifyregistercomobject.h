#ifndef ZYRCORE_COMMUNICATION_IMODIFYREGISTERCOMOBJECT_H
#define ZYRCORE_COMMUNICATION_IMODIFYREGISTERCOMOBJECT_H

#include "Communication/iregistercomobject.h"

namespace ZyrCore::Communication {

// A register write that changes only the bits set in its mask.
class ZYRCORE_EXPORT IModifyRegisterComObject : public virtual IRegisterComObject {
public:
    virtual unsigned int mask() const = 0;
    virtual void setMask(unsigned int mask) = 0;
};

} // namespace ZyrCore::Communication

#endif // ZYRCORE_COMMUNICATION_IMODIFYREGISTERCOMOBJECT_H
