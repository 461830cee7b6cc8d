#include "testregistry.h"

ZYR_TEST_MAIN(QCoreApplication)
