// The program's default font: a Japanese Gothic face at a size readable from the back of a
// classroom, for every window and message box.
#pragma once

#include <QFont>
#include <QString>

namespace dosavia::gui {

// Point size of the forms' default font [pt].
inline constexpr double kDefaultFontPoints = 12.0;

// Family of the forms' default font: Meiryo where installed, otherwise the first installed
// Japanese Gothic face (Yu Gothic, MS UI Gothic, IPA Gothic, Noto Sans CJK JP, ...).
QString DefaultFontFamily();

// The forms' default font at `points` [pt].
QFont DefaultFont(double points = kDefaultFontPoints, bool bold = false);

}  // namespace dosavia::gui
