// A pair of linear axes for the program's vector figures (the explanation pages, the spectrum
// page, the visual screen's depth-dose panel): the mapping from data to pixels, the frame,
// the ticks with their numbers, the axis titles, and the legend that names the curves.
#pragma once

#include <QBrush>
#include <QFont>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

namespace dosavia::gui {

// Room around a figure's plotting area for tick numbers, titles and legends [px].
struct FigureMargins {
  double left = 0, top = 0, right = 0, bottom = 0;

  // The plotting area of a figure `size` large.
  QRectF Inside(QSizeF size) const {
    return QRectF(left, top, size.width() - left - right, size.height() - top - bottom);
  }
};

struct FigureAxes {
  QRectF area;  // plotting area [px]
  double x_min = 0, x_max = 1, x_tick = 0.5;
  double y_min = 0, y_max = 1, y_tick = 0.5;
  int x_decimals = 0, y_decimals = 1;
  bool x_numbers = true;  // false: the figure labels the x axis itself
  // From the vertical axis to its numbers' right edge [px]; the pages' figures keep them a
  // little further off (kFigureNumberGap), clear of the first number under the axis.
  double y_number_gap = 6;

  // Pixel position of the data point (x, y).
  QPointF Map(double x, double y) const {
    return {area.left() + (x - x_min) / (x_max - x_min) * area.width(),
            area.bottom() - (y - y_min) / (y_max - y_min) * area.height()};
  }
};

// Ticks from `from` to `to` at multiples of `step`, both ends counted: the last tick is the
// last one that does not pass `to` (a rounding error of the division aside), so no tick
// falls outside the frame when the range is not a whole number of steps.
int FigureTickCount(double from, double to, double step);

// Light grid, black frame, tick numbers in `font`, the x title under the numbers and the y
// title turned upright along the left edge.
void DrawFigureAxes(QPainter& p, const FigureAxes& axes, const QFont& font, const QString& x_title,
                    const QString& y_title);

// One entry of a legend: a sample drawn as the curve is, and its name.
struct LegendEntry {
  enum class Sample {
    kLine,  // a short line in `pen`
    kBar,   // a box filled with `brush`, edged with `pen`
    kDot,   // a dot filled with `brush`
  };
  Sample sample = Sample::kLine;
  QPen pen;
  QBrush brush;
  QString name;
};

// The legend of a figure in the painter's font, from `top_left`, one entry under the other
// or all in one row; returns the rectangle it took.
enum class LegendFlow { kDown, kAcross };
QRectF DrawFigureLegend(QPainter& p, QPointF top_left, const QList<LegendEntry>& entries,
                        LegendFlow flow = LegendFlow::kDown);

// The pages' figures' gap between the vertical axis and its numbers [px].
inline constexpr double kFigureNumberGap = 8;

// The room that DrawFigureAxes takes left of the plot in `font` for its numbers and the
// vertical title, with `widest_number` the widest number of the vertical axis [px], at the
// pages' figures' gap.
double FigureAxesLeftRoom(const QFont& font, const QString& widest_number);

// The size DrawFigureLegend takes for `entries` in `font` [px].
QSizeF FigureLegendSize(const QFont& font, const QList<LegendEntry>& entries,
                        LegendFlow flow = LegendFlow::kDown);

// Font of the numbers and titles inside the figures [pt].
inline constexpr double kFigurePoints = 9;

}  // namespace dosavia::gui
