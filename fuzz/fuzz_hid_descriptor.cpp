// Feeds arbitrary bytes to the HID report descriptor parser, as a device supplies them. Beyond
// staying in bounds (the input is used in place, without a terminating byte behind it):
// - a refused descriptor leaves the out values untouched;
// - a shorter piece of an accepted descriptor is refused or has no longer reports and report
//   ids only if the whole has them, since parsing only adds items;
// - wrapping an accepted descriptor in Push ... Pop changes nothing.

#include "HidDevice/hidreportdescriptor.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Result {
    bool ok = false;
    bool usesReportIds = false;
    quint16 inputLength = 0;
    quint16 outputLength = 0;
};

constexpr quint16 kUntouched = 0xA5A5;

Result parse(const QByteArray& descriptor) {
    Result result;
    result.usesReportIds = true;
    result.inputLength = kUntouched;
    result.outputLength = kUntouched;
    result.ok = ZyrHid::HidReportDescriptor::parse(descriptor, &result.usesReportIds,
                                                   &result.inputLength, &result.outputLength);
    if (!result.ok && (!result.usesReportIds || result.inputLength != kUntouched ||
                       result.outputLength != kUntouched))
        std::abort(); // refused, but wrote its out values
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x10000)
        return 0; // a descriptor is at most a few kilobytes; the prefix checks are quadratic
    const QByteArray descriptor =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const Result whole = parse(descriptor);
    if (!whole.ok)
        return 0;

    // A few pieces, cut where the input's first byte says and at the halves.
    const int cuts[] = {int(size) / 2, int(size) - 1, size > 0 ? int(data[0] % size) : 0};
    for (int cut : cuts) {
        if (cut < 0)
            continue;
        const Result piece = parse(QByteArray::fromRawData(descriptor.constData(), cut));
        if (piece.ok &&
            (piece.inputLength > whole.inputLength || piece.outputLength > whole.outputLength ||
             (piece.usesReportIds && !whole.usesReportIds)))
            std::abort();
    }

    const Result wrapped = parse("\xA4" + descriptor + "\xB4");
    if (!wrapped.ok || wrapped.usesReportIds != whole.usesReportIds ||
        wrapped.inputLength != whole.inputLength || wrapped.outputLength != whole.outputLength)
        std::abort();
    return 0;
}
