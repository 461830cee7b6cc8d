#include "HidDevice/hidreportdescriptor.h"

#include <QMap>
#include <QVector>

#include <algorithm>

namespace ZyrHid {

namespace {

constexpr unsigned char kLongItemPrefix = 0xFE;
constexpr int kTypeMain = 0;
constexpr int kTypeGlobal = 1;
constexpr int kTagInput = 0x8;
constexpr int kTagOutput = 0x9;
constexpr int kTagReportSize = 0x7;
constexpr int kTagReportId = 0x8;
constexpr int kTagReportCount = 0x9;
constexpr int kTagPush = 0xA;
constexpr int kTagPop = 0xB;
constexpr quint64 kMaxReportBits = 0xFFFE * 8ULL; // a length must fit 16 bits with the id byte

struct GlobalState {
    quint32 reportSize = 0;
    quint32 reportCount = 0;
    quint32 reportId = 0;
};

quint16 lengthOf(const QMap<quint32, quint64>& bitsById) {
    quint64 bits = 0;
    for (quint64 reportBits : bitsById)
        bits = std::max(bits, reportBits);
    return static_cast<quint16>((bits + 7) / 8 + 1);
}

} // namespace

bool HidReportDescriptor::parse(const QByteArray& descriptor, bool* usesReportIds,
                                quint16* inputLength, quint16* outputLength) {
    GlobalState state;
    QVector<GlobalState> stack;
    QMap<quint32, quint64> inputBits;
    QMap<quint32, quint64> outputBits;
    bool reportIds = false;

    const auto* bytes = reinterpret_cast<const unsigned char*>(descriptor.constData());
    const int size = descriptor.size();
    int position = 0;
    while (position < size) {
        const unsigned char prefix = bytes[position];
        if (prefix == kLongItemPrefix) {
            if (position + 3 > size)
                return false;
            position += 3 + bytes[position + 1];
            if (position > size)
                return false;
            continue;
        }
        const int dataSize = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
        if (position + 1 + dataSize > size)
            return false;
        quint32 data = 0;
        for (int i = 0; i < dataSize; ++i)
            data |= static_cast<quint32>(bytes[position + 1 + i]) << (8 * i);
        const int type = (prefix >> 2) & 0x3;
        const int tag = prefix >> 4;
        position += 1 + dataSize;

        if (type == kTypeGlobal) {
            if (tag == kTagReportSize)
                state.reportSize = data;
            else if (tag == kTagReportCount)
                state.reportCount = data;
            else if (tag == kTagReportId) {
                state.reportId = data;
                reportIds = true;
            } else if (tag == kTagPush)
                stack.append(state);
            else if (tag == kTagPop) {
                if (stack.isEmpty())
                    return false;
                state = stack.takeLast();
            }
        } else if (type == kTypeMain && (tag == kTagInput || tag == kTagOutput)) {
            QMap<quint32, quint64>& bits = tag == kTagInput ? inputBits : outputBits;
            quint64& reportBits = bits[state.reportId];
            reportBits += static_cast<quint64>(state.reportSize) * state.reportCount;
            if (reportBits > kMaxReportBits)
                return false;
        }
    }

    *usesReportIds = reportIds;
    *inputLength = inputBits.isEmpty() ? 0 : lengthOf(inputBits);
    *outputLength = outputBits.isEmpty() ? 0 : lengthOf(outputBits);
    return true;
}

} // namespace ZyrHid
