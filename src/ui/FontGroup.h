#pragma once
// A stored font group (face, character set, colour, height, size, style and
// the pane's background) as a Qt font and palette colours, and back from
// what a font dialog chose.

#include <QColor>
#include <QFont>
#include <QPalette>

#include "app/MainWindowState.h"

namespace quelp::ui {

// The font of a group: the height in pixels first, then the size in points,
// which wins when both are given.
QFont FontOf(const FontSettings& settings);

// The group after a font dialog: face, height, size, pitch and style from
// `font`; the colour from `color`, kept as it was stored (a system colour
// stays one) when it shows the same; the character set and the background
// as they were.
FontSettings WithFont(FontSettings settings, const QFont& font, const QColor& color,
                      const QPalette& palette);

// 0x00BBGGRR of a colour.
int WinColorValue(const QColor& color);

}  // namespace quelp::ui
