#include "gui/figures/page_depth_dose_figures.h"

#include <QFile>
#include <QFontMetricsF>
#include <QList>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>
#include <tuple>

#include "gui/figures/figure_axes.h"
#include "gui/base/language.h"

namespace dosavia::gui {

namespace {

constexpr const char* kCurvesResource = ":/depth_dose_10mv.txt";

struct CurveStyle {
  int column;
  QColor color;
  double width;
};

// Fig.1: the 10 x 10 cm field stands out between a smaller and a larger one.
const CurveStyle kTmrStyles[] = {{kTmrFigureColumns[0], QColor(0, 0, 230), 1.5},
                                 {kTmrFigureColumns[1], QColor(220, 0, 0), 2.2},
                                 {kTmrFigureColumns[2], QColor(0, 140, 0), 1.5}};
// Fig.7: the broad field first, then the narrow ones.
const CurveStyle kNarrowStyles[] = {{kNarrowFigureColumns[0], QColor(0, 0, 0), 1.8},
                                    {kNarrowFigureColumns[1], QColor(0, 140, 0), 1.8},
                                    {kNarrowFigureColumns[2], QColor(0, 0, 230), 1.8},
                                    {kNarrowFigureColumns[3], QColor(220, 0, 0), 1.8}};

// Room for the tick numbers and axis titles; Fig.7 keeps its legend right of the plot.
constexpr FigureMargins kTmrMargins{58, 14, 14, 46};
constexpr double kNarrowLegendWidth = 128;
constexpr FigureMargins kNarrowMargins{58, 12, 14 + kNarrowLegendWidth, 46};

QPainterPath CurvePath(const FigureAxes& axes, const std::vector<double>& depth,
                       const std::vector<double>& value, double scale) {
  QPainterPath path;
  for (std::size_t i = 0; i < depth.size() && i < value.size(); ++i) {
    if (depth[i] > axes.x_max) break;
    const QPointF at = axes.Map(depth[i], scale * value[i]);
    if (i == 0)
      path.moveTo(at);
    else
      path.lineTo(at);
  }
  return path;
}

QString FieldName(int column) {
  const int side = kCurveFieldSideCm[static_cast<std::size_t>(column)];
  return QString::fromUtf8("%1×%1 cm²").arg(side);
}

// "← text" starting at `at`, pointing back into the shaded region on its left.
void DrawLeftArrowNote(QPainter& p, QPointF at, const QString& text) {
  const double line = QFontMetricsF(p.font()).height();
  p.drawText(QRectF(at.x() + 2, at.y() - line / 2, 200, line), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8("← ") + text);
}

void DrawMissingNote(QPainter& p, const QRectF& area) {
  p.setPen(Qt::red);
  p.drawText(area, Qt::AlignCenter, Tr("Figures", "深部線量データがありません"));
}

}  // namespace

std::optional<DepthDoseCurves> ParseDepthDoseCurves(const QByteArray& text) {
  return dosavia::ParseDepthDoseCurves(std::string_view(text.constData(), text.size()));
}

const DepthDoseCurves& ShippedDepthDoseCurves() {
  static const DepthDoseCurves curves = [] {
    QFile file(QString::fromLatin1(kCurvesResource));
    if (!file.open(QIODevice::ReadOnly)) return DepthDoseCurves{};
    return ParseDepthDoseCurves(file.readAll()).value_or(DepthDoseCurves{});
  }();
  return curves;
}

TmrFigure::TmrFigure(QWidget* parent) : FigureFrame(parent) {
  static_assert(std::size(kTmrStyles) == std::tuple_size_v<decltype(tmr_)>);
  const DepthDoseCurves& curves = ShippedDepthDoseCurves();
  if (curves.depth_cm.empty()) return;
  for (std::size_t k = 0; k < tmr_.size(); ++k)
    tmr_[k] = TissueMaximumRatio(curves, kTmrStyles[k].column);
  d_max_ = CurveMaximum(curves.dose[kTmrMarkedColumn]).depth_cm;
}

void TmrFigure::Paint(QPainter& p) {
  const DepthDoseCurves& curves = ShippedDepthDoseCurves();
  if (curves.depth_cm.empty()) return DrawMissingNote(p, FigureRect());

  FigureAxes axes;
  FigureMargins margins = kTmrMargins;
  margins.left = std::max(margins.left, FigureAxesLeftRoom(FigureFont(), QStringLiteral("0.0")));
  axes.area = margins.Inside(FigureSize());
  // The last centimetres lack the backscatter of deeper water; a TMR stops short of them.
  axes.x_max = 25;
  axes.y_number_gap = kFigureNumberGap;
  axes.x_tick = 5;
  axes.y_max = 1.2;
  axes.y_tick = 0.2;

  // The build-up region of the 10 x 10 cm field, from the surface to its maximum.
  const double d_max = d_max_;
  p.fillRect(QRectF(axes.Map(0, axes.y_max), axes.Map(d_max, 0)), QColor(255, 245, 200));
  DrawFigureAxes(p, axes, FigureFont(), Tr("Figures", "水中の深さ (cm)"), QString::fromUtf8("TMR"));

  QList<LegendEntry> legend;
  p.setBrush(Qt::NoBrush);
  for (std::size_t k = 0; k < tmr_.size(); ++k) {
    const CurveStyle& style = kTmrStyles[k];
    const QPen pen(style.color, style.width);
    p.setPen(pen);
    p.drawPath(CurvePath(axes, curves.depth_cm, tmr_[k], 1.0));
    legend.append({LegendEntry::Sample::kLine, pen, {}, FieldName(style.column)});
  }
  // A line under the d_max label, which may reach as far right as the legend.
  const double line = QFontMetricsF(p.font()).height();
  DrawFigureLegend(p, axes.Map(15.5, 1.17) + QPointF(0, line), legend);

  // Labels of the build-up region and the depth of maximum dose.
  p.setPen(Qt::black);
  const QPointF top = axes.Map(d_max, 1.0);
  p.drawLine(top + QPointF(0, -4), axes.Map(d_max, 1.08));
  p.drawText(QRectF(axes.Map(d_max, 1.17) - QPointF(0, line / 2), QSizeF(200, line)),
             Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8(" d_max ≈ %1 cm (10×10)").arg(d_max, 0, 'f', 1));
  const QPointF note = axes.Map(d_max, 0.25);
  DrawLeftArrowNote(p, note, Tr("Figures", "ビルドアップ領域"));
}

NarrowFieldFigure::NarrowFieldFigure(QWidget* parent) : FigureFrame(parent) {
  static_assert(std::size(kNarrowStyles) == std::tuple_size_v<decltype(peaks_)>);
  const DepthDoseCurves& curves = ShippedDepthDoseCurves();
  if (curves.depth_cm.empty()) return;
  for (std::size_t k = 0; k < peaks_.size(); ++k) {
    const DoseMaximum top =
        CurveMaximum(curves.dose[static_cast<std::size_t>(kNarrowStyles[k].column)]);
    peaks_[k] = {top.depth_cm, top.dose};
  }
}

void NarrowFieldFigure::Paint(QPainter& p) {
  const DepthDoseCurves& curves = ShippedDepthDoseCurves();
  if (curves.depth_cm.empty()) return DrawMissingNote(p, FigureRect());

  const QPen kerma_pen(QColor(120, 120, 120), 1.5, Qt::DashLine);
  QList<LegendEntry> legend;
  for (const CurveStyle& style : kNarrowStyles)
    legend.append(
        {LegendEntry::Sample::kLine, QPen(style.color, style.width), {}, FieldName(style.column)});
  legend.append({LegendEntry::Sample::kLine, kerma_pen, {}, Tr("Figures", "１次カーマ")});
  legend.append({LegendEntry::Sample::kDot, {}, Qt::black, QString::fromUtf8("d_max")});

  // The legend keeps its names whole beside the plot; the plot takes what is left.
  FigureAxes axes;
  FigureMargins margins = kNarrowMargins;
  margins.left = std::max(margins.left, FigureAxesLeftRoom(FigureFont(), QStringLiteral("120")));
  margins.right = std::max(margins.right, 14 + FigureLegendSize(FigureFont(), legend).width() + 6);
  axes.area = margins.Inside(FigureSize());
  axes.x_max = 10;
  axes.y_number_gap = kFigureNumberGap;
  axes.x_tick = 1;
  axes.y_max = 120;
  axes.y_tick = 20;
  axes.y_decimals = 0;
  DrawFigureAxes(p, axes, FigureFont(), Tr("Figures", "水中の深さ (cm)"),
                 Tr("Figures", "相対線量 (%)"));

  constexpr double kPercent = 100;
  p.setBrush(Qt::NoBrush);
  p.setPen(kerma_pen);
  p.drawPath(CurvePath(axes, curves.depth_cm, curves.kerma, kPercent));

  for (std::size_t k = 0; k < peaks_.size(); ++k) {
    const CurveStyle& style = kNarrowStyles[k];
    const std::vector<double>& dose = curves.dose[static_cast<std::size_t>(style.column)];
    const QPen pen(style.color, style.width);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(CurvePath(axes, curves.depth_cm, dose, kPercent));
    p.setBrush(style.color);
    p.drawEllipse(axes.Map(peaks_[k].depth_cm, kPercent * peaks_[k].dose), 3.5, 3.5);
  }
  DrawFigureLegend(p, QPointF(axes.area.right() + 14, axes.area.top() + 6), legend);
}

}  // namespace dosavia::gui
