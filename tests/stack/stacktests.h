#ifndef ZYRTESTS_STACK_STACKTESTS_H
#define ZYRTESTS_STACK_STACKTESTS_H

// Each runs one test class of this area and returns its number of failures.
int runDelegateTests(int argc, char** argv);
int runNodeStateTests(int argc, char** argv);
int runCommunicationStackTests(int argc, char** argv);
int runAssertionTests(int argc, char** argv);

// Child-process side of the assertion tests: runs the named contract violation, which should
// abort before this returns.
int runAssertionCase(const char* caseName);

#endif // ZYRTESTS_STACK_STACKTESTS_H
