#include "communicationerror.h"

#include "userdialogs.h"

#include <QCoreApplication>

void showCommunicationError(int code) {
    UserDialogs::critical(nullptr, QCoreApplication::translate("MainWindow", "Communication Error"),
                          QCoreApplication::translate("MainWindow", "Error code: %1").arg(code));
}
