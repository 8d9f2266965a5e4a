#include "gui/widgets/form_style.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "gui/base/language.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

// Frame of the button that has the keyboard focus: dark blue, seen on every back colour.
constexpr QRgb kFocusFrameColor = qRgb(0, 60, 190);

}  // namespace

void SetGraphicalStyle(QAbstractButton* button, QColor back) {
  const QString face = back.name();
  const QString shade = back.darker(160).name();
  const QString light = back.lighter(110).name();
  button->setStyleSheet(
      QStringLiteral("QAbstractButton { background-color: %1; color: black; padding: 0px;"
                     " border: 2px solid; border-color: %3 %2 %2 %3; }"
                     "QAbstractButton:focus { border: 3px solid %4; }"
                     "QAbstractButton:pressed { border-color: %2 %3 %3 %2; }"
                     "QAbstractButton:disabled { color: #a0a0a0; }")
          .arg(face, shade, light, QColor(kFocusFrameColor).name()));
}

QComboBox* MakeEditableCombo(QWidget* parent, std::initializer_list<const char*> items, double left,
                             double top, double width, double height) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setCompleter(nullptr);
  combo->setInsertPolicy(QComboBox::NoInsert);
  for (const char* item : items) combo->addItem(QString::fromUtf8(item));
  PlaceTwips(combo, left, top, width, height);
  return combo;
}

QPushButton* MakeButton(QWidget* parent, const char* caption, double left, double top, double width,
                        double height) {
  auto* button = new QPushButton(parent);
  SetTrText(button, TrContext(parent).constData(), caption);
  PlaceTwips(button, left, top, width, height);
  SetGraphicalStyle(button);
  return button;
}

QLabel* MakeLabel(QWidget* parent, const char* text, double left, double top, double width,
                  double height) {
  auto* label = new QLabel(parent);
  SetTrText(label, TrContext(parent).constData(), text);
  PlaceTwips(label, left, top, width, height);
  return label;
}

}  // namespace dosavia::gui
