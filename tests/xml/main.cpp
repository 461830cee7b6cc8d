#include "testregistry.h"

#include <QCoreApplication>

ZYR_TEST_MAIN(QCoreApplication)
