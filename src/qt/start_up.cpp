#include "start_up.h"

#include "design_qt.h"
#include "toolkit_translation.h"
#include "x11_colormap.h"

#include <QApplication>
#include <QFont>
#include <QString>

namespace qt_window {

void SetUpApplication() {
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Screen grabs on X11 show the context menus as drawn, not black.
    UseScreenColormap();
    // Qt's own menus and buttons in Bulgarian too; without the catalogue
    // they stay English and the program runs all the same.
    InstallToolkitTranslation();
}

std::unique_ptr<MainForm> CreateMainForm() {
    // Qt's text boxes lay out their still empty text in the application's
    // font as they are created, before they take the window's. With the
    // window's font as the application's while the window is built, no
    // second font is looked up and loaded before the window shows; the menus
    // and message boxes keep the desktop's font.
    const QFont desktopFont = QApplication::font();
    QApplication::setFont(WindowFont());
    auto form = std::make_unique<MainForm>();
    QApplication::setFont(desktopFont);
    return form;
}

}  // namespace qt_window
