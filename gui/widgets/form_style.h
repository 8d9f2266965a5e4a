// The look that every form shares: the Japanese default font, the graphical-style buttons
// with a back colour, plain captions placed by their twip geometry, and the exclamation
// message box.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <initializer_list>
#include <string>

class QAbstractButton;
class QComboBox;
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
// greyed caption when disabled, a dark blue frame while it has the keyboard focus.
void SetGraphicalStyle(QAbstractButton* button, QColor back = QColor(kButtonBackColor));

// A command button in the graphical style with its caption, placed by its twip geometry.
QPushButton* MakeButton(QWidget* parent, const char* caption, double left, double top,
                        double width, double height);

// A label with its caption in the form's font, placed by its twip geometry.
QLabel* MakeLabel(QWidget* parent, const char* text, double left, double top, double width,
                  double height);

// An editable drop-down list with `items`, placed by its twip geometry. What the user types
// stays exactly as typed: no completion from the items (typing 1000000 must not become
// 10000000) and no typed text added to the list.
QComboBox* MakeEditableCombo(QWidget* parent, std::initializer_list<const char*> items,
                             double left, double top, double width, double height);

// Asks before something long: a question box with `go` and `cancel` buttons (OK and Cancel
// roles, Cancel the default). True when the user chose `go`.
bool AskToGoOn(QWidget* parent, const QString& text, const QString& go, const QString& cancel);

// A file name, a typed text or a quoted line as a message shows it: control characters and
// characters that cannot be shown written as \xNN, cut after 80 characters.
QString ShownText(const QString& text);
// The same for bytes as a file or a reader gave them, which may not be UTF-8.
QString ShownText(const std::string& bytes);

// The program's warning: a message box with the exclamation icon and one OK button,
// waiting until the user answers it.
void ShowExclamation(QWidget* parent, const QString& text);

}  // namespace dosavia::gui
