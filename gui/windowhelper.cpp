#include "windowhelper.h"

#include "Tools/zyrassert.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QSplashScreen>
#include <QTextStream>
#include <QWidget>

namespace ZyrGui::WindowHelper {

namespace {
constexpr const char* kSource = "windowhelper";
}

void setWindowIcon(QWidget* widget) {
    ZYR_ASSERT_NOT_NULL(kSource, widget);
    widget->setWindowIcon(QIcon(QStringLiteral(":/icons/icons/zyrlogo")));
}

void applyStyleSheet(QApplication* application) {
    ZYR_ASSERT_NOT_NULL(kSource, application);
    QFile file(QStringLiteral(":/css/css/styles.css"));
    const bool success = file.open(QIODevice::ReadOnly);
    ZYR_ASSERT(kSource, success, "Can't open styles.css");
    QTextStream stream(&file);
    const QString styleSheet = stream.readAll();
    file.close();
    application->setStyleSheet(application->styleSheet() + styleSheet);
}

QSplashScreen* createSplashScreen() {
    return new QSplashScreen(QPixmap(QStringLiteral(":/logos/zyr_quadr")));
}

} // namespace ZyrGui::WindowHelper
