#include "gui/figures/figure_axes.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace dosavia::gui {

namespace {

// A legend's sample [px], the gap to its name, and the room between entries of a row.
constexpr double kSampleWidth = 24;
constexpr double kSampleGap = 6;
constexpr double kEntryGap = 18;
constexpr double kRowGap = 2;
constexpr double kDotRadius = 3.5;

void DrawSample(QPainter& p, const LegendEntry& entry, const QRectF& box) {
  const QPointF middle = box.center();
  switch (entry.sample) {
    case LegendEntry::Sample::kLine:
      p.setPen(entry.pen);
      p.setBrush(Qt::NoBrush);
      p.drawLine(QPointF(box.left(), middle.y()), QPointF(box.right(), middle.y()));
      break;
    case LegendEntry::Sample::kBar:
      p.setPen(entry.pen);
      p.setBrush(entry.brush);
      p.drawRect(box.adjusted(0, box.height() / 4, 0, -box.height() / 4));
      break;
    case LegendEntry::Sample::kDot:
      p.setPen(Qt::NoPen);
      p.setBrush(entry.brush);
      p.drawEllipse(middle, kDotRadius, kDotRadius);
      break;
  }
}

}  // namespace

double FigureAxesLeftRoom(const QFont& font, const QString& widest_number) {
  const QFontMetricsF metrics(font);
  return kFigureNumberGap + 4 + metrics.horizontalAdvance(widest_number) + metrics.height() + 2;
}

QSizeF FigureLegendSize(const QFont& font, const QList<LegendEntry>& entries, LegendFlow flow) {
  const QFontMetricsF metrics(font);
  QSizeF size(0, 0);
  for (const LegendEntry& entry : entries) {
    const double width = kSampleWidth + kSampleGap + metrics.horizontalAdvance(entry.name) + 1;
    if (flow == LegendFlow::kDown) {
      size.setWidth(std::max(size.width(), width));
      size.rheight() += metrics.height() + (size.height() > 0 ? kRowGap : 0);
    } else {
      size.rwidth() += width + (size.width() > 0 ? kEntryGap : 0);
      size.setHeight(metrics.height());
    }
  }
  return size;
}

int FigureTickCount(double from, double to, double step) {
  if (!(step > 0) || !(to >= from)) return 0;
  return static_cast<int>(std::floor((to - from) / step + 1e-9));
}

QRectF DrawFigureLegend(QPainter& p, QPointF top_left, const QList<LegendEntry>& entries,
                        LegendFlow flow) {
  p.save();
  const QFontMetricsF metrics(p.font());
  const double line = metrics.height();
  QPointF at = top_left;
  QRectF taken(top_left, QSizeF(0, 0));
  for (const LegendEntry& entry : entries) {
    DrawSample(p, entry, QRectF(at, QSizeF(kSampleWidth, line)));
    const double name_width = metrics.horizontalAdvance(entry.name);
    const QRectF name(at.x() + kSampleWidth + kSampleGap, at.y(), name_width + 1, line);
    p.setPen(Qt::black);
    p.drawText(name, Qt::AlignLeft | Qt::AlignVCenter, entry.name);
    taken = taken.united(QRectF(at, name.bottomRight()));
    if (flow == LegendFlow::kDown)
      at.ry() += line + kRowGap;
    else
      at.rx() = name.right() + kEntryGap;
  }
  p.restore();
  return taken;
}

void DrawFigureAxes(QPainter& p, const FigureAxes& axes, const QFont& font, const QString& x_title,
                    const QString& y_title) {
  p.save();
  p.setFont(font);
  const QFontMetricsF metrics(font);
  const double line = metrics.height();
  const QColor grid(220, 220, 220);
  // Ticks by index, so that rounding never drops the last one.
  const int nx = FigureTickCount(axes.x_min, axes.x_max, axes.x_tick);
  const int ny = FigureTickCount(axes.y_min, axes.y_max, axes.y_tick);
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
    p.drawText(QRectF(at.x() - axes.y_number_gap - 60, at.y() - line / 2, 60, line),
               Qt::AlignRight | Qt::AlignVCenter, number);
  }
  p.setPen(QPen(Qt::black, 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(axes.area);
  p.drawText(QRectF(axes.area.left(), axes.area.bottom() + 5 + line, axes.area.width(), line),
             Qt::AlignCenter, x_title);
  p.translate(axes.area.left() - axes.y_number_gap - 4 - widest_y_number - line / 2,
              axes.area.center().y());
  p.rotate(-90);
  p.drawText(QRectF(-axes.area.height() / 2, -line / 2, axes.area.height(), line), Qt::AlignCenter,
             y_title);
  p.restore();
}

}  // namespace dosavia::gui
