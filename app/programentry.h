#ifndef PROGRAMENTRY_H
#define PROGRAMENTRY_H

// Runs the whole program: options, the simulated board when asked for, the splash screen, the
// main window and the event loop. Returns the exit code.
int runProgram(int argc, char** argv);

#endif // PROGRAMENTRY_H
