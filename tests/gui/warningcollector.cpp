#include "warningcollector.h"

namespace {
WarningCollector* activeCollector = nullptr;
}

WarningCollector::WarningCollector()
    : itsPrevious(qInstallMessageHandler(&WarningCollector::handle)) {
    activeCollector = this;
}

WarningCollector::~WarningCollector() {
    qInstallMessageHandler(itsPrevious);
    activeCollector = nullptr;
}

void WarningCollector::handle(QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
    if (activeCollector == nullptr)
        return;
    if (type == QtWarningMsg || type == QtCriticalMsg)
        activeCollector->itsWarnings.append(message);
    if (activeCollector->itsPrevious != nullptr)
        activeCollector->itsPrevious(type, context, message);
}
