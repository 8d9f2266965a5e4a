#include "gui/figures/figure_axes.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace dosavia::gui {

void DrawFigureAxes(QPainter& p, const FigureAxes& axes, const QFont& font, const QString& x_title,
                    const QString& y_title) {
  p.save();
  p.setFont(font);
  const QFontMetricsF metrics(font);
  const double line = metrics.height();
  const QColor grid(220, 220, 220);
  // Ticks by index, so that rounding never drops the last one.
  const int nx = static_cast<int>(std::lround((axes.x_max - axes.x_min) / axes.x_tick));
  const int ny = static_cast<int>(std::lround((axes.y_max - axes.y_min) / axes.y_tick));
  double widest_y_number = 0;
  for (int i = 0; i <= nx; ++i) {
    const double x = axes.x_min + i * axes.x_tick;
    const QPointF at = axes.Map(x, axes.y_min);
    p.setPen(QPen(grid, 1));
    p.drawLine(at, axes.Map(x, axes.y_max));
    p.setPen(Qt::black);
    p.drawLine(at, at + QPointF(0, 4));
    if (axes.x_numbers)
      p.drawText(QRectF(at.x() - 30, at.y() + 5, 60, line), Qt::AlignHCenter | Qt::AlignTop,
               QString::number(x, 'f', axes.x_decimals));
  }
  for (int i = 0; i <= ny; ++i) {
    const double y = axes.y_min + i * axes.y_tick;
    const QPointF at = axes.Map(axes.x_min, y);
    p.setPen(QPen(grid, 1));
    p.drawLine(at, axes.Map(axes.x_max, y));
    p.setPen(Qt::black);
    p.drawLine(at, at - QPointF(4, 0));
    const QString number = QString::number(y, 'f', axes.y_decimals);
    widest_y_number = std::max(widest_y_number, metrics.horizontalAdvance(number));
    p.drawText(QRectF(at.x() - 66, at.y() - line / 2, 60, line), Qt::AlignRight | Qt::AlignVCenter,
               number);
  }
  p.setPen(QPen(Qt::black, 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(axes.area);
  p.drawText(QRectF(axes.area.left(), axes.area.bottom() + 5 + line, axes.area.width(), line),
             Qt::AlignCenter, x_title);
  p.translate(axes.area.left() - 10 - widest_y_number - line / 2, axes.area.center().y());
  p.rotate(-90);
  p.drawText(QRectF(-axes.area.height() / 2, -line / 2, axes.area.height(), line), Qt::AlignCenter,
             y_title);
  p.restore();
}

}  // namespace dosavia::gui
