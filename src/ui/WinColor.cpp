#include "ui/WinColor.h"

namespace quelp::ui {

namespace {

// The system colours a font group or display can name, by number.
QColor SystemColor(int index, const QPalette& palette) {
    switch (index) {
        case 5:  // window background
            return palette.color(QPalette::Base);
        case 8:  // window text
            return palette.color(QPalette::Text);
        case 15:  // button face
            return palette.color(QPalette::Button);
        case 18:  // button text
            return palette.color(QPalette::ButtonText);
        case 13:  // highlight
            return palette.color(QPalette::Highlight);
        case 14:  // highlighted text
            return palette.color(QPalette::HighlightedText);
        default:
            return palette.color(QPalette::Window);
    }
}

}  // namespace

QColor WinColor(int value, const QPalette& palette) {
    const auto bits = static_cast<unsigned>(value);
    if ((bits & 0xFF000000u) == 0x80000000u)
        return SystemColor(static_cast<int>(bits & 0xFF), palette);
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

}  // namespace quelp::ui
