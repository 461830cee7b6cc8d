#include "Tools/delegate.h"

#include <QMetaObject>
#include <QObject>

#include <cstring>

namespace ZyrCore::Tools {

namespace {
// The code character that SLOT() puts before the signature.
constexpr char kSlotCode = '1';
} // namespace

bool Delegate::set(QObject* target, const char* slot) {
    if (slot == nullptr || slot[0] != kSlotCode)
        return false;

    const char* nameBegin = slot + 1;
    const char* parenthesis = std::strchr(nameBegin, '(');
    const int nameLength = parenthesis != nullptr ? int(parenthesis - nameBegin) : -1;
    itsMethodName = QString::fromUtf8(nameBegin, nameLength).toLatin1();
    itsTarget = target;
    if (itsTarget == nullptr)
        itsMethodName.clear();
    return true;
}

bool Delegate::set(const Delegate* other) {
    itsTarget = other->itsTarget;
    itsMethodName = other->itsMethodName;
    return true;
}

void Delegate::reset() {
    itsTarget = nullptr;
    itsMethodName.clear();
}

bool Delegate::isSet() const {
    return itsTarget != nullptr && !itsMethodName.isEmpty();
}

bool Delegate::invoke(QGenericReturnArgument returnValue, QGenericArgument val0,
                      QGenericArgument val1, QGenericArgument val2, QGenericArgument val3,
                      QGenericArgument val4, QGenericArgument val5, QGenericArgument val6,
                      QGenericArgument val7, QGenericArgument val8, QGenericArgument val9) const {
    if (!isSet())
        return false;
    return QMetaObject::invokeMethod(itsTarget, itsMethodName.constData(), Qt::DirectConnection,
                                     returnValue, val0, val1, val2, val3, val4, val5, val6, val7,
                                     val8, val9);
}

bool Delegate::invoke(QGenericArgument val0, QGenericArgument val1, QGenericArgument val2,
                      QGenericArgument val3, QGenericArgument val4, QGenericArgument val5,
                      QGenericArgument val6, QGenericArgument val7, QGenericArgument val8,
                      QGenericArgument val9) const {
    return invoke(QGenericReturnArgument(), val0, val1, val2, val3, val4, val5, val6, val7, val8,
                  val9);
}

} // namespace ZyrCore::Tools
