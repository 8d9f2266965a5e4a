// The look that every form shares: the Japanese default font, the graphical-style buttons
// with a back colour, plain captions placed by their twip geometry, and the exclamation
// message box.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QAbstractButton;
class QLabel;
class QPushButton;
class QWidget;

namespace dosavia::gui {

// Back colour of the screens' buttons (RGB 255, 255, 192).
inline constexpr QRgb kButtonBackColor = qRgb(255, 255, 192);

// Point size of the forms' default font [pt].
inline constexpr double kDefaultFontPoints = 12.0;

// Family of the forms' default font: Meiryo where installed, otherwise the first installed
// Japanese Gothic face (Yu Gothic, MS UI Gothic, IPA Gothic, Noto Sans CJK JP, ...).
QString DefaultFontFamily();

// The forms' default font at `points` [pt].
QFont DefaultFont(double points = kDefaultFontPoints, bool bold = false);

// Gives a button the graphical style: flat face in `back`, raised border, sunken when pressed,
// greyed caption when disabled.
void SetGraphicalStyle(QAbstractButton* button, QColor back = QColor(kButtonBackColor));

// A command button in the graphical style with its caption, placed by its twip geometry.
QPushButton* MakeButton(QWidget* parent, const char* caption, double left, double top,
                        double width, double height);

// A label with its caption in the form's font, placed by its twip geometry.
QLabel* MakeLabel(QWidget* parent, const char* text, double left, double top, double width,
                  double height);

// The program's warning: a message box with the exclamation icon and one OK button,
// waiting until the user answers it.
void ShowExclamation(QWidget* parent, const QString& text);

}  // namespace dosavia::gui
