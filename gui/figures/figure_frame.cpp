#include "gui/figures/figure_frame.h"

#include <QPainter>
#include <QPalette>

#include "gui/figures/figure_axes.h"
#include "gui/widgets/form_style.h"

namespace dosavia::gui {

FigureFrame::FigureFrame(QWidget* parent) : QFrame(parent), font_(DefaultFont(kFigurePoints)) {
  font_ = FigureFontOf(kFigurePoints);
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
}

QFont FigureFrame::FigureFontOf(double points) const {
  QFont font = font_;
  // Painted through the zoom: a size of ReadablePoints / zoom reaches the screen readable.
  font.setPointSizeF(ReadablePoints(points, zoom_) / zoom_);
  return font;
}

void FigureFrame::SetZoom(double zoom) {
  if (!(zoom > 0)) return;
  zoom_ = zoom;
  font_ = FigureFontOf(kFigurePoints);
  update();
}

void FigureFrame::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(zoom_, zoom_);
  p.setFont(font_);
  Paint(p);
}

}  // namespace dosavia::gui
