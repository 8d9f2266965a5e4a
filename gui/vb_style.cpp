#include "gui/vb_style.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QWidget>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <string>

namespace dosavia::gui {

namespace {

constexpr double kFallbackDpi = 96.0;

// Meiryo first, then faces with comparable metrics that Windows, macOS and Linux ship.
constexpr const char* kJapaneseFamilies[] = {
    "Meiryo",     "メイリオ",        "Meiryo UI",        "Yu Gothic UI", "Yu Gothic",
    "MS UI Gothic", "Hiragino Sans", "IPAPGothic",       "IPAGothic",   "Noto Sans CJK JP",
    "Noto Sans JP", "TakaoPGothic", "VL PGothic"};

}  // namespace

double LogicalDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : kFallbackDpi;
  return dpi > 0 ? dpi : kFallbackDpi;
}

int TwipsToPixels(double twips) {
  return static_cast<int>(std::lround(twips * LogicalDpi() / kTwipsPerInch));
}

QRect TwipsRect(double left, double top, double width, double height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height));
}

void PlaceTwips(QWidget* widget, double left, double top, double width, double height) {
  widget->setGeometry(TwipsRect(left, top, width, height));
}

void SetClientSizeTwips(QWidget* form, double width, double height) {
  form->setFixedSize(TwipsToPixels(width), TwipsToPixels(height));
}

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

double LeadingNumber(const QString& text) {
  // Blanks anywhere are skipped, as a typed "1 000" means 1000.
  std::string compact;
  for (const QChar c : text) {
    if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n') continue;
    if (c.unicode() > 0x7f) break;
    compact.push_back(static_cast<char>(c.unicode()));
  }
  std::size_t i = 0;
  std::string number;
  if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) number += compact[i++];
  bool digits = false;
  while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) {
    number += compact[i++];
    digits = true;
  }
  if (i < compact.size() && compact[i] == '.') {
    number += compact[i++];
    while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) {
      number += compact[i++];
      digits = true;
    }
  }
  if (!digits) return 0;
  // An exponent counts only when digits follow it ("2e" is 2).
  if (i < compact.size() && (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' ||
                             compact[i] == 'D')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    if (j < compact.size() && (compact[j] == '+' || compact[j] == '-')) exponent += compact[j++];
    bool exponent_digits = false;
    while (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j]))) {
      exponent += compact[j++];
      exponent_digits = true;
    }
    if (exponent_digits) number += exponent;
  }
  return std::strtod(number.c_str(), nullptr);
}

QPushButton* MakeButton(QWidget* parent, const char* caption, double left, double top,
                        double width, double height) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  PlaceTwips(button, left, top, width, height);
  SetGraphicalStyle(button);
  return button;
}

}  // namespace dosavia::gui
