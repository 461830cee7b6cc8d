#ifndef TESTS_GUI_GUITESTS_H
#define TESTS_GUI_GUITESTS_H

// Each runs one test class of this area and returns its QTest::qExec result.
int runIntentTests(int argc, char** argv);
int runBarCreatorTests(int argc, char** argv);
int runWindowHelperTests(int argc, char** argv);
int runStatusFieldTests(int argc, char** argv);
int runVersionInfoTests(int argc, char** argv);
int runDeviceStatusBarTests(int argc, char** argv);
int runAssertionTests(int argc, char** argv);

// Runs one contract violation by name; returns only when no assertion fired.
int runAssertionCase(const char* caseName);

#endif // TESTS_GUI_GUITESTS_H
