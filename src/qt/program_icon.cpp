#include "program_icon.h"

#include <QImage>
#include <QImageReader>
#include <QPixmap>

namespace qt_window {

QIcon ProgramIcon() {
    QIcon icon;
    for (const char* path : {":/icons/dulmeri-32.png", ":/icons/dulmeri-48.png"}) {
        QImageReader reader(QString::fromLatin1(path), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

}  // namespace qt_window
