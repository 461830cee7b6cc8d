#ifndef TESTS_COMMON_NULLEXECUTOR_H
#define TESTS_COMMON_NULLEXECUTOR_H

#include "Communication/icomexecutor.h"

// Takes every object and sends nothing: for exercising what feeds an executor.
class NullExecutor : public ZyrCore::Communication::IComExecutor {
public:
    bool open() override { return true; }
    bool close() override { return true; }
    bool isOpen() override { return true; }
    int lastError() override { return 0; }
    bool execute(ZyrCore::Communication::IComObject*) override { return true; }
    void execute(QQueue<ZyrCore::Communication::IComObject*>*) override {}
};

#endif // TESTS_COMMON_NULLEXECUTOR_H
