#ifndef ZYRAPP_EXCHANGE_H
#define ZYRAPP_EXCHANGE_H

namespace ZyrCore::Communication {
class IComExecutor;
class IComObject;
} // namespace ZyrCore::Communication

// Runs one command on an executor and judges the exchange by the application's one rule: it
// succeeded when the executor's error fetched afterwards is 0 and the command holds a valid
// reply with status 0. The error is always fetched, so a failure never blocks the next
// exchange. A null or closed executor sends nothing and fails.
bool executeExchange(ZyrCore::Communication::IComExecutor* executor,
                     ZyrCore::Communication::IComObject* command);

#endif // ZYRAPP_EXCHANGE_H
