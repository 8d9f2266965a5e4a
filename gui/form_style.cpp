#include "gui/form_style.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

#include "gui/twips.h"

namespace dosavia::gui {

namespace {

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
                     "QAbstractButton:pressed { border-color: %2 %3 %3 %2; }"
                     "QAbstractButton:disabled { color: #a0a0a0; }"
                     "QAbstractButton:focus { outline: none; }")
          .arg(face, shade, light));
}

void ShowExclamation(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Dosavia"), text, QMessageBox::Ok,
                  parent);
  box.setFont(DefaultFont());
  box.exec();
}

QPushButton* MakeButton(QWidget* parent, const char* caption, double left, double top,
                        double width, double height) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  PlaceTwips(button, left, top, width, height);
  SetGraphicalStyle(button);
  return button;
}

QLabel* MakeLabel(QWidget* parent, const char* text, double left, double top, double width,
                  double height) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  PlaceTwips(label, left, top, width, height);
  return label;
}

}  // namespace dosavia::gui
