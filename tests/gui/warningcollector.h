#ifndef TESTS_GUI_WARNINGCOLLECTOR_H
#define TESTS_GUI_WARNINGCOLLECTOR_H

#include <QStringList>
#include <QtGlobal>

// Records Qt warnings and critical messages while it lives, so a test can fail on them. Other
// messages pass on to the handler that was installed before.
class WarningCollector {
public:
    WarningCollector();
    ~WarningCollector();
    WarningCollector(const WarningCollector&) = delete;
    WarningCollector& operator=(const WarningCollector&) = delete;

    QStringList warnings() const { return itsWarnings; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler itsPrevious;
    QStringList itsWarnings;
};

#endif // TESTS_GUI_WARNINGCOLLECTOR_H
