#include "gui/widgets/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace dosavia::gui {

namespace {
constexpr double kFallbackDpi = 96.0;
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
  widget->setProperty(kTwipsProperty, QRectF(left, top, width, height));
}

}  // namespace dosavia::gui
