#include "ui/QtDesktopOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace quelp::ui {

bool QtDesktopOpener::OpenWithDesktop(const std::string& path) {
    // The handler runs in a directory of its own: a relative name would not
    // reach it.
    const QString absolute = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(absolute));
}

}  // namespace quelp::ui
