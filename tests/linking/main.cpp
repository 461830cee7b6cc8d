#include "testregistry.h"

#include <QApplication>

ZYR_TEST_MAIN(QApplication)
