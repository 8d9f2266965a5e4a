#include "gui/widgets/zoom_style.h"

#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "gui/widgets/form_scaler.h"

namespace dosavia::gui {

ZoomStyle::ZoomStyle(QStyle* base) : QProxyStyle(base) {}

bool ZoomStyle::FollowsZoom(PixelMetric metric) {
  switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
    case PM_SliderLength:
    case PM_SliderThickness:
    case PM_SliderControlThickness:
    case PM_ScrollBarExtent:
    case PM_ScrollBarSliderMin:
    case PM_HeaderMargin: return true;
    default: return false;
  }
}

int ZoomStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                           const QWidget* widget) const {
  const int base = QProxyStyle::pixelMetric(metric, option, widget);
  if (widget == nullptr || !FollowsZoom(metric)) return base;
  // Like the text beside them, they never shrink below their own size: a check box as small
  // as its 100 % size times 0.77 is hard to hit and to see.
  const double zoom = std::max(1.0, FormScale(widget->window()));
  return static_cast<int>(std::lround(base * zoom));
}

void InstallZoomStyle() {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
      dynamic_cast<ZoomStyle*>(QApplication::style()) != nullptr)
    return;
  QStyle* base = QStyleFactory::create(QApplication::style()->name());
  if (base == nullptr) base = QStyleFactory::create(QStringLiteral("Fusion"));
  QApplication::setStyle(new ZoomStyle(base));
}

}  // namespace dosavia::gui
