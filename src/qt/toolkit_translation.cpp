#include "toolkit_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace qt_window {

QString ToolkitTranslationsDirectory() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

bool InstallToolkitTranslation(const QString& directory) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) return false;
    auto translator = std::make_unique<QTranslator>(application);
    if (!translator->load(QStringLiteral("qtbase_bg"), directory)) return false;
    if (!QCoreApplication::installTranslator(translator.get())) return false;
    translator.release();  // the application is its parent
    return true;
}

}  // namespace qt_window
