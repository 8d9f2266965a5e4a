// The style's own drawn parts follow the zoom of the form they stand on: a check box's box,
// a radio button's circle, a slider's handle and a scroll bar are drawn by the style in sizes
// of its own, which a font change does not reach. Without this they stay at their 100 % size
// on a projector while the captions beside them grow.
#pragma once

#include <QProxyStyle>

namespace dosavia::gui {

class ZoomStyle : public QProxyStyle {
 public:
  // Wraps `base` (taken over); nullptr wraps the platform's default style.
  explicit ZoomStyle(QStyle* base = nullptr);

  // Sizes of the scaled parts times the zoom of the form that holds `widget`, never below
  // their 100 % size [px].
  int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;

  // True for the metrics that follow the zoom.
  static bool FollowsZoom(PixelMetric metric);
};

// Makes the application's style a ZoomStyle over the style it has now, once.
void InstallZoomStyle();

}  // namespace dosavia::gui
