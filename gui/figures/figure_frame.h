// The white, framed widget that the pages' vector figures draw on.
#pragma once

#include <QFont>
#include <QFrame>
#include <QRectF>
#include <QSizeF>

#include "gui/widgets/form_scaler.h"

class QPainter;

namespace dosavia::gui {

// A figure is drawn at its 100 % size and scaled as a whole with its form, its lines and
// places with it; its text too, but never below kMinTextPixels on the screen, so that on a
// 1024x768 projector the figure's text grows within the drawing and its layout (which measures
// the text in FigureFont) leaves room for it.
class FigureFrame : public QFrame, public Zoomable {
  Q_OBJECT

 public:
  explicit FigureFrame(QWidget* parent = nullptr);

  void SetZoom(double zoom) override;

 protected:
  // Draws the figure inside the frame; `p` is antialiased and set to FigureFont().
  virtual void Paint(QPainter& p) = 0;

  // The font of the numbers and titles inside the figures, in the units that Paint draws in.
  const QFont& FigureFont() const { return font_; }
  // A font of `points` at 100 % in the units that Paint draws in, readable at the zoom.
  QFont FigureFontOf(double points) const;

  // The figure's size in the units that Paint draws in: its size at 100 % [px].
  QSizeF FigureSize() const { return QSizeF(size()) / zoom_; }
  QRectF FigureRect() const { return QRectF(QPointF(0, 0), FigureSize()); }

  void paintEvent(QPaintEvent* event) final;

 private:
  QFont font_;
  double zoom_ = 1;
};

}  // namespace dosavia::gui
