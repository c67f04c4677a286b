#pragma once

// What Qt itself draws (the text boxes' and the scroll bar's context menus,
// the message box's button, the key names in the menus) speaks Bulgarian
// like the rest of the window, whatever the user's locale: Qt's own
// Bulgarian catalogue is installed at start-up.

#include <QString>

namespace qt_window {

// Qt's own folder of translations (qt6-translations-l10n puts them there).
QString ToolkitTranslationsDirectory();

// Installs Qt's Bulgarian catalogue from `directory` into the running
// application, which owns it from then on. Without the catalogue nothing
// changes (Qt's texts stay English) and false is returned.
bool InstallToolkitTranslation(const QString& directory = ToolkitTranslationsDirectory());

}  // namespace qt_window
