#include "exchange.h"

#include "Communication/icomexecutor.h"
#include "Communication/icomobject.h"

bool executeExchange(ZyrCore::Communication::IComExecutor* executor,
                     ZyrCore::Communication::IComObject* command) {
    if (executor == nullptr || command == nullptr || !executor->isOpen())
        return false;
    executor->execute(command);
    const int error = executor->lastError();
    return error == 0 && command->status() == 0 && command->valid();
}
