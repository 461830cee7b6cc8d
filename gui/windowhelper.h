#ifndef ZYRGUI_WINDOWHELPER_H
#define ZYRGUI_WINDOWHELPER_H

class QApplication;
class QSplashScreen;
class QWidget;

// The common look of the program's windows, taken from the compiled-in resources.
namespace ZyrGui::WindowHelper {

// Sets the program logo as the widget's window icon.
void setWindowIcon(QWidget* widget);
// Appends the program's style sheet to the application's current one, so earlier rules stay
// in front.
void applyStyleSheet(QApplication* application);
// A new splash screen with the program's splash image; the caller owns it.
QSplashScreen* createSplashScreen();

} // namespace ZyrGui::WindowHelper

#endif // ZYRGUI_WINDOWHELPER_H
