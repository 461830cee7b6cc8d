#ifndef TESTS_TRACING_TRACECOST_H
#define TESTS_TRACING_TRACECOST_H

#include <QString>

// Registers the interface board's stream command sets with the command registry.
void registerStreamCommandSets();

// What reading ("read"), playing ("play") or loading ("load") a trace file cost.
struct TraceCost {
    qint64 growthKilobytes = -1; // of the peak resident size
    qint64 milliseconds = -1;    // of CPU time, which a busy machine does not stretch
    bool succeeded = false;
    qint64 heldCharacters = 0; // of the telegram texts read
};

// Reads, plays or loads the file in a child run of this test executable, where nothing else has
// touched the heap; why it could not be measured, or an empty text.
QString measureTraceCost(const QString& mode, const QString& fileName, TraceCost* cost);

// The child's side, given "--trace-cost mode file": prints the cost; its exit code.
int reportTraceCost(const QString& mode, const QString& fileName);

#endif // TESTS_TRACING_TRACECOST_H
