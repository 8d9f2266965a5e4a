// The zoom a form's window opens at (StartZoom of form_scaler.h): the fit of the screen, of
// the visual screen's window, or the setting.
#include <QRect>
#include <QSizeF>

#include <algorithm>
#include <cmath>

#include "gui/widgets/form_scaler.h"
#include "gui/widgets/twips.h"

namespace dosavia::gui {

namespace {

// The visual screen, the tallest form: pages opened over it never open larger than it.
constexpr double kVisualScreenWidthTwips = 18000;
constexpr double kVisualScreenHeightTwips = 12630;
// Start zooms are rounded down to whole per cent.
constexpr double kZoomGrain = 100.0;

QSizeF TwipsSize(double width, double height) {
  const double px_per_twip = LogicalDpi() / kTwipsPerInch;
  return QSizeF(width * px_per_twip, height * px_per_twip);
}

}  // namespace

double StartZoom(const QSizeF& design, const QRect& available, double setting, StartFit rule) {
  const double room_w = available.width() - kFrameAllowanceWidthPx;
  const double room_h = available.height() - kFrameAllowanceHeightPx;
  const double fit = std::min(room_w / design.width(), room_h / design.height());
  double zoom = fit;
  if (setting >= kMinZoom && setting <= kMaxZoom) {
    zoom = std::min(setting, fit);
  } else if (rule != StartFit::kOwn) {
    const QSizeF visual = TwipsSize(kVisualScreenWidthTwips, kVisualScreenHeightTwips);
    const double visual_zoom = std::min(room_w / visual.width(), room_h / visual.height());
    // Within the visual screen's window: page 1, wide and low, would leave half of a
    // 1024x768 screen empty at the visual screen's zoom.
    const double within =
        visual_zoom * std::min(visual.width() / design.width(), visual.height() / design.height());
    zoom = std::min(
        fit, rule == StartFit::kWithinVisualScreen ? std::max(visual_zoom, within) : visual_zoom);
  }
  zoom = std::floor(zoom * kZoomGrain + 1e-9) / kZoomGrain;
  return std::clamp(zoom, kMinZoom, kMaxZoom);
}

}  // namespace dosavia::gui
