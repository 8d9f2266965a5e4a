// The menu's title illustration: an X-ray beam entering a water block, the zigzag tracks of
// the secondary electrons it sets moving, and the build-up of the depth dose that they cause.
#pragma once

#include <QFrame>
#include <QPolygonF>

#include "gui/widgets/form_scaler.h"

#include <vector>

namespace dosavia::gui {

class TitleIllustration : public QFrame, public Zoomable {
  Q_OBJECT

 public:
  explicit TitleIllustration(QWidget* parent = nullptr);

  // The captions follow the menu's scale.
  void SetZoom(double zoom) override {
    zoom_ = zoom;
    update();
  }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<QPolygonF> tracks_;  // in the drawing's 100 x 77 design units
  QPolygonF dose_curve_;
  double zoom_ = 1;
};

}  // namespace dosavia::gui
