#include "gui/base/default_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace dosavia::gui {

namespace {

// Meiryo first, then faces with comparable metrics that Windows, macOS and Linux ship.
constexpr const char* kJapaneseFamilies[] = {
    "Meiryo",       "メイリオ",      "Meiryo UI",  "Yu Gothic UI", "Yu Gothic",
    "MS UI Gothic", "Hiragino Sans", "IPAPGothic", "IPAGothic",    "Noto Sans CJK JP",
    "Noto Sans JP", "TakaoPGothic",  "VL PGothic"};

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

}  // namespace dosavia::gui
