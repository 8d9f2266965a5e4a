#include "gui/figures/unit_volume_figures.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <tuple>

#include "gui/figures/figure_axes.h"
#include "gui/widgets/form_style.h"
#include "gui/base/language.h"

namespace dosavia::gui {

namespace {

constexpr int kLongitudinalVolumes = kModelFigureVolumes;
constexpr int kLateralVolumes = 9;  // -4..4 around the central volume
constexpr auto kFieldVolumes = kLateralFieldVolumes;
const char* const kFieldMarks[] = {"①", "②", "③", "④"};

const QColor kVolumeFill(225, 240, 255);
const QColor kCentreFill(255, 240, 170);
const QColor kElectronRed(210, 0, 0);
const QColor kKermaRed(220, 0, 0);
const QColor kDoseBlue(120, 170, 255);

// Fig.4 and Fig.5: room for the tick numbers and titles; the legend and the bracket above
// the plot take two lines of text more at the top.
constexpr FigureMargins kDoseMargins{50, 12, 10, 44};

// A straight arrow from `from` to `to` with a filled head at `to` (and at `from` if `both`).
void DrawArrow(QPainter& p, QPointF from, QPointF to, const QColor& color, double width,
               bool both = false) {
  p.save();
  p.setPen(QPen(color, width));
  p.drawLine(from, to);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  const auto head = [&](QPointF tip, QPointF tail) {
    const QPointF d = tip - tail;
    const double length = std::hypot(d.x(), d.y());
    if (length == 0) return;
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const double size = 4 + 2 * width;
    p.drawPolygon(
        QPolygonF({tip, tip - size * u + 0.5 * size * n, tip - size * u - 0.5 * size * n}));
  };
  head(to, from);
  if (both) head(from, to);
  p.restore();
}

QString Number(double value) { return QString::number(static_cast<int>(std::lround(value))); }

}  // namespace

LongitudinalModelFigure::LongitudinalModelFigure(QWidget* parent)
    : FigureFrame(parent),
      kerma_(ModelKerma(kLongitudinalVolumes, kModelKerma, 1.0)),
      dose_(ModelDose(kerma_, kModelRange)) {}

void LongitudinalModelFigure::Paint(QPainter& p) {
  const QFont& font = FigureFont();
  const double line = QFontMetricsF(font).height();
  const std::vector<double>& kerma = kerma_;
  const std::vector<double>& dose = dose_;
  const double left = 92;
  const double side = std::min(54.0, (FigureSize().width() - left - 12) / kLongitudinalVolumes);
  const double top = 6 + line;
  const auto x_of = [&](int i) { return left + i * side; };  // left edge of volume i (0-based)

  // Depth numbers above, the volumes with their kerma, the beam arriving from the left.
  p.setPen(Qt::black);
  p.drawText(QRectF(4, 4, left - 8, line), Qt::AlignRight | Qt::AlignVCenter,
             Tr("Figures", "深さ"));
  for (int i = 0; i < kLongitudinalVolumes; ++i) {
    p.drawText(QRectF(x_of(i), 4, side, line), Qt::AlignCenter, QString::number(i + 1));
    const QRectF box(x_of(i), top, side, side);
    p.fillRect(box, kVolumeFill);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(box);
    p.drawText(box, Qt::AlignCenter, Number(kerma[static_cast<std::size_t>(i)]));
  }
  DrawArrow(p, QPointF(8, top + side / 2), QPointF(left - 6, top + side / 2), Qt::black, 2);
  p.drawText(QRectF(8, top + side / 2 - line - 2, left - 14, line),
             Qt::AlignLeft | Qt::AlignVCenter, Tr("Figures", "Ｘ線"));
  p.drawText(QRectF(8, top + side / 2 + 3, left - 14, line), Qt::AlignLeft | Qt::AlignVCenter,
             Tr("Figures", "カーマ →"));

  // The electrons released in the first volumes, each crossing kModelRange volumes.
  const double row = 13;
  double y = top + side + 10;
  const double first_row = y;
  p.drawText(QRectF(4, y - 2, left - 10, line), Qt::AlignLeft | Qt::AlignVCenter,
             Tr("Figures", "２次電子"));
  for (int i = 0; i + kModelRange <= kLongitudinalVolumes; ++i) {
    DrawArrow(p, QPointF(x_of(i) + side * 0.25, y + row / 2),
              QPointF(x_of(i + kModelRange) - 3, y + row / 2), kElectronRed, 1.5);
    y += row;
  }
  p.setPen(kElectronRed);
  p.drawText(QRectF(x_of(kModelRange) + 8, first_row - 2,
                    FigureSize().width() - x_of(kModelRange) - 14, row + 4),
             Qt::AlignRight | Qt::AlignVCenter,
             Tr("Figures", "飛程 %1 体積、各体積に %2 ずつ")
                 .arg(kModelRange)
                 .arg(Number(kModelKerma / kModelRange)));

  // The dose that results in each volume.
  y += 6;
  p.setPen(Qt::black);
  p.drawText(QRectF(4, y, left - 10, line), Qt::AlignLeft | Qt::AlignVCenter,
             Tr("Figures", "吸収線量"));
  QFont bold = font;
  bold.setBold(true);
  p.setFont(bold);
  for (int i = 0; i < kLongitudinalVolumes; ++i)
    p.drawText(QRectF(x_of(i), y, side, line), Qt::AlignCenter,
               Number(dose[static_cast<std::size_t>(i)]));
}

ModelDoseFigure::ModelDoseFigure(double transmission, int range, QWidget* parent)
    : FigureFrame(parent),
      transmission_(transmission),
      range_(std::max(range, 1)),
      kerma_(ModelKerma(kLongitudinalVolumes, kModelKerma, transmission)),
      dose_(ModelDose(kerma_, range_)) {}

void ModelDoseFigure::Paint(QPainter& p) {
  const QFont& font = FigureFont();
  const QFont small = FigureFontOf(kFigurePoints - 1);
  const double line = QFontMetricsF(font).height();
  const bool attenuated = transmission_ < 1;
  const std::vector<double>& kerma = kerma_;
  const std::vector<double>& dose = dose_;

  const QList<LegendEntry> legend = {
      {LegendEntry::Sample::kBar, QPen(Qt::NoPen), kDoseBlue,
       Tr("Figures", attenuated ? QT_TRANSLATE_NOOP("Figures", "１次線量")
                                : QT_TRANSLATE_NOOP("Figures", "吸収線量"))},
      {LegendEntry::Sample::kLine,
       QPen(kKermaRed, 2.2),
       {},
       Tr("Figures", attenuated ? QT_TRANSLATE_NOOP("Figures", "１次カーマ")
                                : QT_TRANSLATE_NOOP("Figures", "カーマ"))}};
  // The legend in one row above the plot where it fits the figure, else one name a line.
  const double legend_x = 6;
  const double across = FigureLegendSize(font, legend, LegendFlow::kAcross).width();
  const LegendFlow flow =
      across <= FigureSize().width() - 2 * legend_x ? LegendFlow::kAcross : LegendFlow::kDown;
  const double legend_height = FigureLegendSize(font, legend, flow).height();

  FigureAxes axes;
  FigureMargins margins = kDoseMargins;
  margins.left = std::max(margins.left, FigureAxesLeftRoom(font, QStringLiteral("120")));
  margins.top += legend_height + line;
  axes.area = margins.Inside(FigureSize());
  axes.x_max = kLongitudinalVolumes;
  axes.y_number_gap = kFigureNumberGap;
  axes.x_tick = 1;
  axes.x_numbers = false;
  axes.y_max = 120;
  axes.y_tick = 20;
  axes.y_decimals = 0;
  DrawFigureAxes(p, axes, font, Tr("Figures", "深さ（単位体積の番号）"),
                 Tr("Figures", "カーマ・吸収線量"));

  for (int i = 0; i < kLongitudinalVolumes; ++i) {
    const double d = dose[static_cast<std::size_t>(i)];
    const QRectF bar(axes.Map(i + 0.18, d), axes.Map(i + 0.82, 0));
    p.fillRect(bar, kDoseBlue);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(bar);
    // Equal doses side by side (the plateau of equilibrium) carry one number over them all,
    // so that numbers as wide as the bars do not run together.
    const bool named_before = i > 0 && Number(dose[static_cast<std::size_t>(i - 1)]) == Number(d);
    if (!named_before) {
      int last = i;
      while (last + 1 < kLongitudinalVolumes &&
             Number(dose[static_cast<std::size_t>(last + 1)]) == Number(d))
        ++last;
      const QRectF over(axes.Map(i + 0.18, d), axes.Map(last + 0.82, 0));
      p.setFont(small);
      p.drawText(QRectF(over.left() - 8, over.top() - line, over.width() + 16, line),
                 Qt::AlignHCenter | Qt::AlignBottom, Number(d));
      if (last > i)
        p.drawLine(QPointF(over.left(), over.top() - 3), QPointF(over.right(), over.top() - 3));
    }
    p.setFont(font);
    p.drawText(QRectF(axes.Map(i, 0) + QPointF(0, 4), QSizeF(axes.area.width() / 8, line)),
               Qt::AlignHCenter | Qt::AlignTop, QString::number(i + 1));
  }
  // The kerma as steps over the volumes.
  QPainterPath steps;
  for (int i = 0; i < kLongitudinalVolumes; ++i) {
    const double k = kerma[static_cast<std::size_t>(i)];
    if (i == 0)
      steps.moveTo(axes.Map(0, k));
    else
      steps.lineTo(axes.Map(i, k));
    steps.lineTo(axes.Map(i + 1, k));
  }
  p.setPen(QPen(kKermaRed, 2.2));
  p.setBrush(Qt::NoBrush);
  p.drawPath(steps);

  // Legend above the plot and the equilibrium region beyond the electrons' range.
  const double legend_y = 6;
  // Over the plot where the row fits there, else from the figure's edge.
  const bool over_plot =
      flow == LegendFlow::kAcross && across <= FigureSize().width() - axes.area.left() - legend_x;
  DrawFigureLegend(p, QPointF(over_plot ? axes.area.left() : legend_x, legend_y), legend, flow);

  // Equilibrium begins where the electrons of the first volume have stopped; electrons that
  // do not move give the kerma at once, and the mark names that instead.
  const QString region =
      range_ <= 1 ? Tr("Figures", "線量 = カーマ")
                  : Tr("Figures", attenuated ? QT_TRANSLATE_NOOP("Figures", "過渡平衡")
                                             : QT_TRANSLATE_NOOP("Figures", "２次電子平衡"));
  const double bracket_y = legend_y + legend_height + 6;
  // The name stands before the arrow; where the region starts at the surface the arrow
  // starts after the name.
  const double name_width = QFontMetricsF(font).horizontalAdvance(region);
  const double start = std::max(axes.Map(range_ - 1, 0).x() + 2, axes.area.left() + name_width + 8);
  const QPointF from(start, bracket_y + line / 2);
  const QPointF to(axes.area.right() - 2, bracket_y + line / 2);
  DrawArrow(p, from, to, QColor(0, 90, 0), 1.2, true);
  p.setPen(QColor(0, 90, 0));
  p.drawText(QRectF(axes.area.left(), bracket_y, from.x() - axes.area.left() - 4, line),
             Qt::AlignRight | Qt::AlignVCenter, region);
}

LateralModelFigure::LateralModelFigure(QWidget* parent) : FigureFrame(parent) {
  static_assert(std::size(kFieldVolumes) == std::tuple_size_v<decltype(central_dose_)>);
  for (std::size_t k = 0; k < central_dose_.size(); ++k)
    central_dose_[k] = LateralCentralDose(kFieldVolumes[k], kLateralKerma, kLateralReach);
}

QString LateralModelFigure::FieldLabel(std::size_t k) const {
  const int n = kFieldVolumes[k];
  const QString dose = Number(central_dose_[k]);
  const QString mark = QString::fromUtf8(kFieldMarks[k]);
  return n == 1 ? Tr("Figures", "照射野%1 (1 個)：線量 %2").arg(mark).arg(dose)
                : Tr("Figures", "照射野%1 (%2 個)：線量 %3").arg(mark).arg(n).arg(dose);
}

void LateralModelFigure::Paint(QPainter& p) {
  const double line = QFontMetricsF(FigureFont()).height();

  // The volumes give up width for the names on their right, so that these stay whole.
  const QFontMetricsF metrics(FigureFont());
  double widest_name = metrics.horizontalAdvance(Tr("Figures", "← 各体積の１次カーマ"));
  for (const QString& name : Tr("Figures", "← 中央の体積から出る\n　 ２次電子の行き先").split('\n'))
    widest_name = std::max(widest_name, metrics.horizontalAdvance(name));
  for (std::size_t k = 0; k < central_dose_.size(); ++k)
    widest_name = std::max(widest_name, metrics.horizontalAdvance(FieldLabel(k)));
  const double left = 40;
  const double side =
      std::clamp((FigureSize().width() - left - 14 - widest_name) / kLateralVolumes, 24.0, 40.0);
  const int centre = kLateralVolumes / 2;
  const auto x_of = [&](int i) { return left + i * side; };  // left edge of volume i
  const double beam_top = 4;
  const double top = beam_top + line + 16;

  // The beam from above, the volumes across it with their kerma.
  p.setPen(Qt::black);
  p.drawText(QRectF(4, beam_top, left, line), Qt::AlignLeft | Qt::AlignVCenter,
             Tr("Figures", "Ｘ線"));
  for (int i = 0; i < kLateralVolumes; ++i) {
    const double x = x_of(i) + side / 2;
    DrawArrow(p, QPointF(x, beam_top + 2), QPointF(x, top - 3), QColor(90, 90, 90), 1.2);
    const QRectF box(x_of(i), top, side, side);
    p.fillRect(box, i == centre ? kCentreFill : kVolumeFill);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(box);
    p.drawText(box, Qt::AlignCenter, Number(kLateralKerma));
  }
  p.drawText(QRectF(x_of(kLateralVolumes) + 6, top,
                    FigureSize().width() - x_of(kLateralVolumes) - 8, side),
             Qt::AlignLeft | Qt::AlignVCenter, Tr("Figures", "← 各体積の１次カーマ"));

  // Where the central volume's electrons leave their energy.
  double y = top + side + 8;
  const double reach_left = x_of(centre - (kLateralReach - 1));
  const double reach_right = x_of(centre + kLateralReach);
  DrawArrow(p, QPointF(reach_left + 2, y + 4), QPointF(reach_right - 2, y + 4), kElectronRed, 1.5,
            true);
  p.setPen(kElectronRed);
  const double share = kLateralKerma / 2 / kLateralReach;
  for (int i = centre - (kLateralReach - 1); i <= centre + (kLateralReach - 1); ++i)
    p.drawText(QRectF(x_of(i), y + 8, side, line), Qt::AlignCenter,
               Number(i == centre ? 2 * share : share));
  p.drawText(QRectF(x_of(kLateralVolumes) + 6, y, FigureSize().width() - x_of(kLateralVolumes) - 8,
                    2 * line),
             Qt::AlignLeft | Qt::AlignVCenter,
             Tr("Figures", "← 中央の体積から出る\n　 ２次電子の行き先"));

  // The fields and the dose they give the central volume.
  y += 14 + line + 6;
  const double row = line + 8;
  p.setPen(Qt::black);
  for (int k = 0; k < 4; ++k) {
    const int n = kFieldVolumes[k];
    const double x1 = x_of(centre - n / 2) + 2;
    const double x2 = x_of(centre + n / 2 + 1) - 2;
    const double yy = y + k * row + row / 2;
    p.setPen(QPen(QColor(0, 0, 160), 1.6));
    p.drawLine(QPointF(x1, yy), QPointF(x2, yy));
    p.drawLine(QPointF(x1, yy - 5), QPointF(x1, yy + 5));
    p.drawLine(QPointF(x2, yy - 5), QPointF(x2, yy + 5));
    p.setPen(Qt::black);
    p.drawText(QRectF(x_of(kLateralVolumes) + 6, yy - line / 2,
                      FigureSize().width() - x_of(kLateralVolumes) - 8, line),
               Qt::AlignLeft | Qt::AlignVCenter, FieldLabel(static_cast<std::size_t>(k)));
  }
}

}  // namespace dosavia::gui
