#include "gui/widgets/form_style.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include "gui/app/language.h"
#include "gui/widgets/twips.h"
#include "records/utf8_text.h"

namespace dosavia::gui {

namespace {

// Frame of the button that has the keyboard focus: dark blue, seen on every back colour.
constexpr QRgb kFocusFrameColor = qRgb(0, 60, 190);

// Meiryo first, then faces with comparable metrics that Windows, macOS and Linux ship.
constexpr const char* kJapaneseFamilies[] = {
    "Meiryo",     "メイリオ",        "Meiryo UI",        "Yu Gothic UI", "Yu Gothic",
    "MS UI Gothic", "Hiragino Sans", "IPAPGothic",       "IPAGothic",   "Noto Sans CJK JP",
    "Noto Sans JP", "TakaoPGothic", "VL PGothic"};

}  // namespace

QString DefaultFontFamily() {
  static const QString family = [] {
    for (const char* name : kJapaneseFamilies) {
      const QString candidate = QString::fromUtf8(name);
      if (QFontDatabase::hasFamily(candidate)) return candidate;
    }
    return QString::fromUtf8(kJapaneseFamilies[0]);
  }();
  return family;
}

QFont DefaultFont(double points, bool bold) {
  QFont font(DefaultFontFamily());
  QStringList families;
  for (const char* name : kJapaneseFamilies) families << QString::fromUtf8(name);
  families.prepend(DefaultFontFamily());
  font.setFamilies(families);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

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

QString ShownText(const QString& text) { return ShownText(text.toStdString()); }

QString ShownText(const std::string& bytes) { return QString::fromStdString(Excerpt(bytes)); }

void ShowExclamation(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Dosavia"), text, QMessageBox::Ok,
                  parent);
  box.setFont(DefaultFont());
  box.exec();
}

bool AskToGoOn(QWidget* parent, const QString& text, const QString& go, const QString& cancel) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Dosavia"), text,
                  QMessageBox::Ok | QMessageBox::Cancel, parent);
  box.setFont(DefaultFont());
  box.button(QMessageBox::Ok)->setText(go);
  box.button(QMessageBox::Cancel)->setText(cancel);
  box.setDefaultButton(QMessageBox::Cancel);
  return box.exec() == QMessageBox::Ok;
}

QComboBox* MakeEditableCombo(QWidget* parent, std::initializer_list<const char*> items,
                             double left, double top, double width, double height) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setCompleter(nullptr);
  combo->setInsertPolicy(QComboBox::NoInsert);
  for (const char* item : items) combo->addItem(QString::fromUtf8(item));
  PlaceTwips(combo, left, top, width, height);
  return combo;
}

QPushButton* MakeButton(QWidget* parent, const char* caption, double left, double top,
                        double width, double height) {
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
