#include "widgetlinking/registerlinkinfo.h"

#include "Communication/iregistercommunication.h"
#include "Communication/iregisterinfo.h"
#include "Communication/iregistervalue.h"
#include "Tools/zyrassert.h"

#include <limits>
#include <memory>

using ZyrCore::Communication::IRegisterCommunication;
using ZyrCore::Communication::IRegisterInfo;
using ZyrCore::Communication::IRegisterValue;

namespace ZyrGui::WidgetLinking {

namespace {
const char* const kSource = "widgetlinking/registerlinkinfo";
constexpr int kWriteFailed = -2;
} // namespace

RegisterLinkInfo::RegisterLinkInfo(IRegisterInfo* info, unsigned int mask)
    : itsInfo(info)
    , itsMask(mask)
    , itsShift(0) {
    ZYR_ASSERT_NOT_NULL(kSource, info);
    ZYR_ASSERT(kSource, mask != 0, "the mask selects no bit");
    while (((mask >> itsShift) & 1u) == 0)
        ++itsShift;
}

bool RegisterLinkInfo::valueFromRegister(IRegisterValue* value, int& result) {
    if (value == nullptr || value->state() != 0)
        return false;
    result = int((value->value() & itsMask) >> itsShift);
    return true;
}

int RegisterLinkInfo::writeValue(IRegisterCommunication* com, int value) {
    ZYR_ASSERT_NOT_NULL(kSource, com);
    if (value < 0 || unsigned(value) > (itsMask >> itsShift))
        return kWriteFailed;
    std::unique_ptr<IRegisterValue> field(itsInfo->createValue());
    field->setValue(unsigned(value) << itsShift);
    // A write-only register cannot be read back, which a modify always does.
    if (itsInfo->isWriteOnly())
        return com->writeRegister(itsInfo, field.get());
    std::unique_ptr<IRegisterValue> mask(itsInfo->createValue());
    mask->setValue(itsMask);
    return com->modifyRegister(itsInfo, field.get(), mask.get());
}

int RegisterLinkInfo::maximumValue() {
    const unsigned int largest = itsMask >> itsShift;
    return largest > unsigned(std::numeric_limits<int>::max()) ? std::numeric_limits<int>::max()
                                                               : int(largest);
}

QList<IRegisterInfo*> RegisterLinkInfo::observedRegisters() {
    return {itsInfo};
}

} // namespace ZyrGui::WidgetLinking
