#ifndef ZYRTESTS_STACK_CHECKOBJECT_H
#define ZYRTESTS_STACK_CHECKOBJECT_H

#include "Communication/nodestatecontext.h"

#include <QObject>

using ZyrCore::Communication::NodeStateContext;

// Answers node checks with a scripted state and remembers what it was asked.
class CheckObject : public QObject {
    Q_OBJECT

public:
    void setAnswer(int state) { itsAnswer = state; }
    int calls() const { return itsCalls; }
    int shortNameCalls() const { return itsShortNameCalls; }
    NodeStateContext* lastContext() const { return itsLastContext; }

public slots:
    int onCheck(ZyrCore::Communication::NodeStateContext* context) {
        ++itsCalls;
        itsLastContext = context;
        context->properties()->insert("checked", QString::number(itsCalls));
        return itsAnswer;
    }
    // The same check with the parameter's type written without its namespace: a name-based call
    // with the qualified type text does not find it.
    int onCheckShortName(NodeStateContext* context) {
        ++itsShortNameCalls;
        itsLastContext = context;
        return itsAnswer;
    }

private:
    int itsAnswer = 2;
    int itsCalls = 0;
    int itsShortNameCalls = 0;
    NodeStateContext* itsLastContext = nullptr;
};

#endif // ZYRTESTS_STACK_CHECKOBJECT_H
