#include "gui/figures/figure_frame.h"

#include <QPainter>
#include <QPalette>

#include "gui/figures/figure_axes.h"
#include "gui/widgets/form_style.h"

namespace dosavia::gui {

FigureFrame::FigureFrame(QWidget* parent) : QFrame(parent), font_(DefaultFont(kFigurePoints)) {
  setFrameStyle(QFrame::Box | QFrame::Plain);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
}

void FigureFrame::SetZoom(double zoom) {
  zoom_ = zoom;
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
