// The look that every form shares: the graphical-style buttons with a back colour and plain
// captions placed by their twip geometry, in the default font; with them the message boxes.
#pragma once

#include <QColor>
#include <QString>

#include <initializer_list>

#include "gui/base/default_font.h"
#include "gui/base/message_box.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace dosavia::gui {

// Back colour of the screens' buttons (RGB 255, 255, 192).
inline constexpr QRgb kButtonBackColor = qRgb(255, 255, 192);

// Gives a button the graphical style: flat face in `back`, raised border, sunken when pressed,
// greyed caption when disabled, a dark blue frame while it has the keyboard focus.
void SetGraphicalStyle(QAbstractButton* button, QColor back = QColor(kButtonBackColor));

// A command button in the graphical style with its caption, placed by its twip geometry.
QPushButton* MakeButton(QWidget* parent, const char* caption, double left, double top, double width,
                        double height);

// A label with its caption in the form's font, placed by its twip geometry.
QLabel* MakeLabel(QWidget* parent, const char* text, double left, double top, double width,
                  double height);

// An editable drop-down list with `items`, placed by its twip geometry. What the user types
// stays exactly as typed: no completion from the items (typing 1000000 must not become
// 10000000) and no typed text added to the list.
QComboBox* MakeEditableCombo(QWidget* parent, std::initializer_list<const char*> items, double left,
                             double top, double width, double height);

}  // namespace dosavia::gui
