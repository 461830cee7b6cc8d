#include "Tools/multidelegate.h"

#include "Tools/delegate.h"

namespace ZyrCore::Tools {

MultiDelegate::~MultiDelegate() {
    qDeleteAll(itsDelegates);
    itsDelegates.clear();
}

bool MultiDelegate::add(QObject* target, const char* slot) {
    auto* delegate = new Delegate;
    delegate->set(target, slot);
    itsDelegates.append(delegate);
    return true;
}

bool MultiDelegate::invoke(QGenericArgument val0, QGenericArgument val1, QGenericArgument val2,
                           QGenericArgument val3, QGenericArgument val4, QGenericArgument val5,
                           QGenericArgument val6, QGenericArgument val7, QGenericArgument val8,
                           QGenericArgument val9) const {
    // A copy, so a slot that adds to this multi-delegate does not disturb the walk.
    const QList<Delegate*> delegates = itsDelegates;
    bool allSucceeded = true;
    for (const Delegate* delegate : delegates) {
        if (!delegate->invoke(val0, val1, val2, val3, val4, val5, val6, val7, val8, val9))
            allSucceeded = false;
    }
    return allSucceeded;
}

} // namespace ZyrCore::Tools
