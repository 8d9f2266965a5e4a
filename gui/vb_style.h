// Helpers shared by every form: the twip geometry of the screens, the Japanese default font,
// the graphical-style buttons with a back colour, the exclamation message box, and the
// reading of a number at the start of a text box's text.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QAbstractButton;
class QPushButton;
class QWidget;

namespace dosavia::gui {

// Twips per inch: form and control geometry is given in 1/1440 inch.
inline constexpr double kTwipsPerInch = 1440.0;

// Back colour of the screens' buttons (RGB 255, 255, 192).
inline constexpr QRgb kButtonBackColor = qRgb(255, 255, 192);

// Point size of the forms' default font [pt].
inline constexpr double kDefaultFontPoints = 12.0;

// Logical dots per inch of the primary screen; 96 when there is no screen.
double LogicalDpi();

// Length in twips to device-independent pixels at the screen's logical DPI
// (15 twips per pixel at 96 dpi).
int TwipsToPixels(double twips);

// Rectangle given as Left, Top, Width, Height [twips] in pixels.
QRect TwipsRect(double left, double top, double width, double height);

// Places a control at Left, Top, Width, Height [twips] inside its parent.
void PlaceTwips(QWidget* widget, double left, double top, double width, double height);

// Makes a form's client area Width x Height [twips] and fixes it there.
void SetClientSizeTwips(QWidget* form, double width, double height);

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

// The program's warning: a message box with the exclamation icon and one OK button,
// waiting until the user answers it.
void ShowExclamation(QWidget* parent, const QString& text);

// The number at the start of `text`, as the forms read a typed count: blanks are skipped,
// then an optional sign, digits, a decimal point and an exponent (E or D) are taken as far
// as they form a number. 0 when the text does not begin with a number.
double LeadingNumber(const QString& text);

}  // namespace dosavia::gui
