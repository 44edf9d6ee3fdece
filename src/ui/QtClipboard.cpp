#include "ui/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quelp::ui {

void QtClipboard::SetText(std::string_view utf8) {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

}  // namespace quelp::ui
