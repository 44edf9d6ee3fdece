#include "ui/FontGroup.h"

#include <cmath>

#include "ui/WinColor.h"

namespace quelp::ui {

namespace {
// Points to pixels and back at the 96 dots per inch the stored heights assume.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
}  // namespace

QFont FontOf(const FontSettings& settings) {
    QFont font(QString::fromStdString(settings.Name));
    if (settings.Height != 0)
        font.setPixelSize(settings.Height < 0 ? -settings.Height : settings.Height);
    if (settings.Size > 0) font.setPointSize(settings.Size);
    if (settings.Pitch == 2) font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(settings.Pitch == 2);
    font.setBold((settings.Style & 1) != 0);
    font.setItalic((settings.Style & 2) != 0);
    font.setUnderline((settings.Style & 4) != 0);
    font.setStrikeOut((settings.Style & 8) != 0);
    return font;
}

FontSettings WithFont(FontSettings settings, const QFont& font, const QColor& color,
                      const QPalette& palette) {
    settings.Name = font.family().toStdString();
    if (font.pointSizeF() > 0) {
        settings.Size = static_cast<int>(std::lround(font.pointSizeF()));
        settings.Height = -static_cast<int>(std::lround(font.pointSizeF() * kPixelsPerPoint));
    } else if (font.pixelSize() > 0) {
        settings.Height = -font.pixelSize();
        settings.Size = static_cast<int>(std::lround(font.pixelSize() / kPixelsPerPoint));
    }
    settings.Pitch = font.fixedPitch() ? 2 : 0;
    settings.Style = (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0) |
                     (font.strikeOut() ? 8 : 0);
    if (WinColor(settings.Color, palette) != color) settings.Color = WinColorValue(color);
    return settings;
}

int WinColorValue(const QColor& color) {
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

}  // namespace quelp::ui
