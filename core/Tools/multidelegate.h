#ifndef ZYRCORE_TOOLS_MULTIDELEGATE_H
#define ZYRCORE_TOOLS_MULTIDELEGATE_H

#include "zyrcore_global.h"

#include <QGenericArgument>
#include <QList>

class QObject;

namespace ZyrCore::Tools {

class Delegate;

// Invokes a list of delegates together, in the order they were added. Owns its delegates, so it
// cannot be copied.
class ZYRCORE_EXPORT MultiDelegate {
public:
    MultiDelegate() = default;
    MultiDelegate(const MultiDelegate&) = delete;
    MultiDelegate& operator=(const MultiDelegate&) = delete;
    virtual ~MultiDelegate();

    // Always appends; a slot text that Delegate::set refuses adds a delegate that never calls.
    bool add(QObject* target, const char* slot);

    // Invokes every delegate, also after one failed; true when all succeeded (or none exist).
    bool
    invoke(QGenericArgument val0 = QGenericArgument(), QGenericArgument val1 = QGenericArgument(),
           QGenericArgument val2 = QGenericArgument(), QGenericArgument val3 = QGenericArgument(),
           QGenericArgument val4 = QGenericArgument(), QGenericArgument val5 = QGenericArgument(),
           QGenericArgument val6 = QGenericArgument(), QGenericArgument val7 = QGenericArgument(),
           QGenericArgument val8 = QGenericArgument(),
           QGenericArgument val9 = QGenericArgument()) const;

private:
    QList<Delegate*> itsDelegates;
};

} // namespace ZyrCore::Tools

#endif // ZYRCORE_TOOLS_MULTIDELEGATE_H
