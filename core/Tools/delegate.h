#ifndef ZYRCORE_TOOLS_DELEGATE_H
#define ZYRCORE_TOOLS_DELEGATE_H

#include "zyrcore_global.h"

#include <QByteArray>
#include <QGenericArgument>
#include <QGenericReturnArgument>

class QObject;

namespace ZyrCore::Tools {

// A late-bound, synchronous call of a named slot on a Qt object. The slot is given as the text
// of a SLOT() expression; the target is not owned and must outlive every invoke().
//
// The slot is found by its name and the type names of the arguments passed to invoke(), so a
// parameter must be declared with exactly the type text the caller's Q_ARG uses.
class ZYRCORE_EXPORT Delegate {
public:
    Delegate() = default;
    Delegate(const Delegate&) = default;
    Delegate& operator=(const Delegate&) = default;
    virtual ~Delegate() = default;

    // slot is SLOT()'s text: '1' followed by the signature. Returns false and changes nothing
    // when the text is null or lacks the '1'. A null target leaves the delegate unset.
    bool set(QObject* target, const char* slot);
    bool set(const Delegate* other);
    void reset();
    bool isSet() const;

    // Calls the slot directly in the calling thread; false when unset or when the target has no
    // matching invokable method.
    bool
    invoke(QGenericReturnArgument returnValue, QGenericArgument val0 = QGenericArgument(),
           QGenericArgument val1 = QGenericArgument(), QGenericArgument val2 = QGenericArgument(),
           QGenericArgument val3 = QGenericArgument(), QGenericArgument val4 = QGenericArgument(),
           QGenericArgument val5 = QGenericArgument(), QGenericArgument val6 = QGenericArgument(),
           QGenericArgument val7 = QGenericArgument(), QGenericArgument val8 = QGenericArgument(),
           QGenericArgument val9 = QGenericArgument()) const;
    bool
    invoke(QGenericArgument val0 = QGenericArgument(), QGenericArgument val1 = QGenericArgument(),
           QGenericArgument val2 = QGenericArgument(), QGenericArgument val3 = QGenericArgument(),
           QGenericArgument val4 = QGenericArgument(), QGenericArgument val5 = QGenericArgument(),
           QGenericArgument val6 = QGenericArgument(), QGenericArgument val7 = QGenericArgument(),
           QGenericArgument val8 = QGenericArgument(),
           QGenericArgument val9 = QGenericArgument()) const;

private:
    QObject* itsTarget = nullptr;
    QByteArray itsMethodName;
};

} // namespace ZyrCore::Tools

#endif // ZYRCORE_TOOLS_DELEGATE_H
