#include "gui/figures/spectrum_graph.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "engine/spectrum_file.h"
#include "gui/figures/figure_axes.h"
#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/base/message_text.h"

namespace dosavia::gui {

namespace {

// Axes: 0..16 MeV across, 0..1.1 of the largest bin up.
constexpr double kEnergyMaxMeV = 16;
constexpr double kEnergyTickMeV = 2;
constexpr double kRelativeMax = 1.1;
constexpr double kRelativeTick = 0.2;
// Margins of the plotting area inside the frame [px at 96 dpi].
constexpr FigureMargins kMargins{66, 14, 16, 54};
// Text of the axes and curve labels, legible from the back of a classroom.
constexpr double kLabelPoints = 12;

struct SpectrumFile {
  const char* name;
  const char* label;
  QRgb color;
};
constexpr SpectrumFile kSpectrumFiles[] = {{"4MV.csv", "4 MV", qRgb(0, 0, 255)},
                                           {"6MV.csv", "6 MV", qRgb(0, 150, 0)},
                                           {"10MV.csv", "10 MV", qRgb(220, 0, 0)},
                                           {"15MV.csv", "15 MV", qRgb(160, 0, 160)}};

}  // namespace

SpectrumCurve CurveOf(const FreeFormatSpectrum& spectrum) {
  // The reader has made sure that some weight is positive.
  double largest = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) largest = std::max(largest, spectrum.weight[i]);
  SpectrumCurve curve;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    curve.points.emplace_back(spectrum.energy_mev[i], spectrum.weight[i] / largest);
    if (curve.points.back().y() > 0) curve.end_point_mev = spectrum.energy_mev[i];
  }
  return curve;
}

SpectrumGraph::SpectrumGraph(QWidget* parent) : FigureFrame(parent) {}

void SpectrumGraph::Reload() {
  curves_.clear();
  problems_.clear();
  for (const SpectrumFile& file : kSpectrumFiles) {
    SpectrumCurve curve;
    try {
      curve = CurveOf(ReadFreeFormatSpectrumFile(file.name, file.name));
    } catch (const std::exception& error) {
      problems_ << ProblemText(error);  // in the interface's language
      continue;
    }
    curve.label = QString::fromLatin1(file.label);
    curve.color = QColor(file.color);
    curves_.push_back(std::move(curve));
  }
  update();
}

void SpectrumGraph::Paint(QPainter& p) {
  FigureAxes axes;
  axes.area = kMargins.Inside(FigureSize());
  axes.x_max = kEnergyMaxMeV;
  axes.y_number_gap = kFigureNumberGap;
  axes.x_tick = kEnergyTickMeV;
  axes.y_max = kRelativeMax;
  axes.y_tick = kRelativeTick;
  const QFont small = DefaultFont(kLabelPoints);
  DrawFigureAxes(p, axes, small, Tr("Figures", "光子エネルギー (MeV)"),
                 Tr("Figures", "相対光子数"));
  const QRectF plot = axes.area;
  const double line = QFontMetricsF(small).height();

  // The curves, each labelled just above its end point.
  p.setClipRect(plot);
  for (const SpectrumCurve& curve : curves_) {
    QPainterPath path;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
      const QPointF at = axes.Map(curve.points[i].x(), curve.points[i].y());
      if (i == 0)
        path.moveTo(at);
      else
        path.lineTo(at);
    }
    p.setPen(QPen(curve.color, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
  }
  p.setClipping(false);
  QFont bold = DefaultFont(kLabelPoints, true);
  p.setFont(bold);
  for (const SpectrumCurve& curve : curves_) {
    const QPointF end = axes.Map(curve.end_point_mev, 0);
    p.setPen(curve.color);
    const QRectF box(end.x() - 64, end.y() - 44, 72, line);
    // On white, so that a label stays legible where another curve passes behind it.
    const QRectF text = p.boundingRect(box, Qt::AlignRight | Qt::AlignVCenter, curve.label);
    p.fillRect(text.adjusted(-2, 0, 2, 0), Qt::white);
    p.drawText(box, Qt::AlignRight | Qt::AlignVCenter, curve.label);
    p.drawLine(QPointF(end.x(), end.y() - 22), QPointF(end.x(), end.y() - 4));
  }

  if (!problems_.isEmpty()) {
    p.setFont(small);
    p.setPen(Qt::red);
    p.drawText(
        plot.adjusted(8, 6, -8, -6), Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap,
        Tr("Figures", "読み込めないスペクトルファイル:\n") + problems_.join(QLatin1Char('\n')));
  }
}

}  // namespace dosavia::gui
