#include "gui/figures/spectrum_graph.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>

#include "engine/spectrum_file.h"
#include "gui/widgets/form_style.h"
#include "gui/app/language.h"

namespace dosavia::gui {

namespace {

// Axes: 0..16 MeV across, 0..1.1 of the largest bin up.
constexpr double kEnergyMaxMeV = 16;
constexpr double kEnergyTickMeV = 2;
constexpr double kRelativeMax = 1.1;
constexpr double kRelativeTick = 0.2;
// Margins of the plotting area inside the frame [px at 96 dpi].
constexpr int kLeftMarginPx = 66;
constexpr int kRightMarginPx = 16;
constexpr int kTopMarginPx = 14;
constexpr int kBottomMarginPx = 54;
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
      problems_ << QString::fromStdString(error.what());
      continue;
    }
    curve.label = QString::fromLatin1(file.label);
    curve.color = QColor(file.color);
    curves_.push_back(std::move(curve));
  }
  update();
}

void SpectrumGraph::Paint(QPainter& p) {
  const QRectF plot(kLeftMarginPx, kTopMarginPx, FigureSize().width() - kLeftMarginPx - kRightMarginPx,
                    FigureSize().height() - kTopMarginPx - kBottomMarginPx);
  // Data (MeV, relative) to pixels.
  QTransform to_px;
  to_px.translate(plot.left(), plot.bottom());
  to_px.scale(plot.width() / kEnergyMaxMeV, -plot.height() / kRelativeMax);

  const QFont small = DefaultFont(kLabelPoints);
  p.setFont(small);
  const double line = QFontMetricsF(small).height();
  const QColor grid(215, 215, 215);
  for (double e = 0; e <= kEnergyMaxMeV + 1e-9; e += kEnergyTickMeV) {
    const QPointF bottom = to_px.map(QPointF(e, 0));
    p.setPen(QPen(grid, 1));
    p.drawLine(bottom, to_px.map(QPointF(e, kRelativeMax)));
    p.setPen(Qt::black);
    p.drawText(QRectF(bottom.x() - 20, bottom.y() + 3, 40, line), Qt::AlignHCenter | Qt::AlignTop,
               QString::number(e));
  }
  for (double r = 0; r <= kRelativeMax + 1e-9; r += kRelativeTick) {
    const QPointF left = to_px.map(QPointF(0, r));
    p.setPen(QPen(grid, 1));
    p.drawLine(left, to_px.map(QPointF(kEnergyMaxMeV, r)));
    p.setPen(Qt::black);
    p.drawText(QRectF(left.x() - 46, left.y() - line / 2, 40, line), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(r, 'f', 1));
  }
  p.setPen(QPen(Qt::black, 1.5));
  p.drawRect(plot);
  p.drawText(QRectF(plot.left(), plot.bottom() + 4 + line, plot.width(), line), Qt::AlignCenter,
             Tr("Figures", "光子エネルギー (MeV)"));
  p.save();
  p.translate(line / 2 + 2, plot.center().y());
  p.rotate(-90);
  p.drawText(QRectF(-plot.height() / 2, -line / 2, plot.height(), line), Qt::AlignCenter,
             Tr("Figures", "相対光子数"));
  p.restore();

  // The curves, each labelled just above its end point.
  p.setClipRect(plot);
  for (const SpectrumCurve& curve : curves_) {
    QPainterPath path;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
      const QPointF at = to_px.map(curve.points[i]);
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
    const QPointF end = to_px.map(QPointF(curve.end_point_mev, 0));
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
