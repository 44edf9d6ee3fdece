#pragma once
// Colours as the settings file stores them: 0x00BBGGRR, or 0x800000nn for
// system colour nn, which takes the matching colour of the window's palette.

#include <QColor>
#include <QPalette>

namespace quelp::ui {

QColor WinColor(int value, const QPalette& palette);

}  // namespace quelp::ui
