#include "tools/figures/electron_map_image.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace dosavia::figures {

namespace {

// Layout [px]: three panels of 3 x 5 cm at 55 px per cm.
constexpr double kPixelsPerCm = 55;
constexpr int kPanelLeft = 52;
constexpr int kPanelTop = 44;
constexpr int kPanelGap = 30;
constexpr int kPanelWidth = 165;   // 3 cm
constexpr int kPanelHeight = 275;  // 5 cm
constexpr int kLegendLeft = 54;
constexpr int kLegendTop = 398;
constexpr int kLegendBoxWidth = 52;
constexpr int kLegendBoxHeight = 20;
// Text sizes [px]. The page shows the picture pixel for pixel at 100 % and at 0.84 of that
// on a 1024x768 projector, where 17 px still reads as the 14 px every text of the lessons
// keeps; the titles a little larger. The picture holds numbers and symbols only: its
// sentences are the page's caption under it, in the interface language.
constexpr int kTextPx = 17;
constexpr int kTitlePx = 20;
// A line of text [px].
constexpr int kLinePx = 21;
// The logarithm used for empty bins, far below the first level.
constexpr double kEmptyLog10 = -8;

QFont Font(int pixel_size, bool bold = false) {
  QFont font;
  font.setFamilies(
      {QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"), QStringLiteral("Helvetica")});
  font.setPixelSize(pixel_size);
  font.setBold(bold);
  return font;
}

double BinLog10(const ElectronKernel& kernel, int iz, int ir) {
  const double v = kernel.Value(iz, ir);
  return v > 0 ? std::log10(v) : kEmptyLog10;
}

// The map at (R, Z) [cm], bilinear in log10 between bin centres; constant beyond the
// outermost centres.
double MapValue(const ElectronKernel& kernel, double r, double z) {
  const double fr = std::clamp(r / kKernelBinCm - 0.5, 0.0, kKernelRBins - 1.0);
  const double fz = std::clamp((z - kKernelZMinCm) / kKernelBinCm - 0.5, 0.0, kKernelZBins - 1.0);
  const int r0 = std::min(static_cast<int>(fr), kKernelRBins - 2);
  const int z0 = std::min(static_cast<int>(fz), kKernelZBins - 2);
  const double gr = fr - r0;
  const double gz = fz - z0;
  const double top = (1 - gr) * BinLog10(kernel, z0, r0) + gr * BinLog10(kernel, z0, r0 + 1);
  const double bottom =
      (1 - gr) * BinLog10(kernel, z0 + 1, r0) + gr * BinLog10(kernel, z0 + 1, r0 + 1);
  return std::pow(10.0, (1 - gz) * top + gz * bottom);
}

void FillPanel(QImage& image, const QRect& area, const ElectronKernel& kernel) {
  for (int py = area.top(); py <= area.bottom(); ++py) {
    const double z = kKernelZMinCm + (py - area.top() + 0.5) / kPixelsPerCm;
    for (int px = area.left(); px <= area.right(); ++px) {
      const double r = (px - area.left() + 0.5) / kPixelsPerCm;
      const int step = ColourStep(MapValue(kernel, r, z));
      if (step >= 0) image.setPixel(px, py, LegendColours()[static_cast<std::size_t>(step)]);
    }
  }
}

void DrawPanelAxes(QPainter& p, const QRect& area, const QString& title, bool z_labels) {
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(area).adjusted(-0.5, -0.5, 0.5, 0.5));

  // The point of interaction and the photons' direction.
  const QPointF origin(area.left(), area.top() - kKernelZMinCm * kPixelsPerCm);
  p.setPen(QPen(Qt::black, 1, Qt::DashLine));
  p.drawLine(QPointF(area.left(), origin.y()), QPointF(area.right(), origin.y()));
  p.setPen(QPen(Qt::black, 2));
  p.drawLine(origin + QPointF(-5, 0), origin + QPointF(5, 0));
  p.drawLine(origin + QPointF(0, -5), origin + QPointF(0, 5));

  p.setFont(Font(kTitlePx, true));
  p.drawText(QRect(area.left(), 4, area.width(), kLinePx + 8), Qt::AlignCenter, title);

  p.setFont(Font(kTextPx));
  for (int r = 0; r <= 3; ++r) {
    const int x = area.left() + static_cast<int>(r * kPixelsPerCm);
    p.drawLine(x, area.bottom() + 1, x, area.bottom() + 5);
    p.drawText(QRect(x - 20, area.bottom() + 5, 40, kLinePx), Qt::AlignCenter, QString::number(r));
  }
  p.drawText(QRect(area.left(), area.bottom() + 5 + kLinePx, area.width(), kLinePx),
             Qt::AlignCenter, QStringLiteral("R  (cm)"));
  for (int z = -1; z <= 4; ++z) {
    const int y = area.top() + static_cast<int>((z - kKernelZMinCm) * kPixelsPerCm);
    p.drawLine(area.left() - 5, y, area.left() - 1, y);
    if (z_labels)
      p.drawText(QRect(area.left() - 32, y - kLinePx / 2, 26, kLinePx),
                 Qt::AlignRight | Qt::AlignVCenter, QString::number(z));
  }
  if (z_labels) {
    p.save();
    p.translate(11, area.center().y());
    p.rotate(-90);
    p.drawText(QRect(-60, -kLinePx / 2, 120, kLinePx), Qt::AlignCenter, QStringLiteral("Z  (cm)"));
    p.restore();
  }
}

// The colour steps with their lower bounds under them, every other one a line lower, so
// that each reads at full size under its narrow box.
void DrawLegend(QPainter& p) {
  p.setFont(Font(kTextPx));
  p.setPen(Qt::black);
  p.drawText(QRect(0, kLegendTop - kLinePx - 3, kMapImageWidth, kLinePx), Qt::AlignCenter,
             QString::fromUtf8("2\u03C0R\u00B7P(R, Z)   [cm\u207B\u00B2]"));
  for (int k = 0; k < static_cast<int>(kLegendLevels.size()); ++k) {
    const QRect box = LegendBox(k);
    p.fillRect(box, QColor(LegendColours()[static_cast<std::size_t>(k)]));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    const QString label = k + 1 < static_cast<int>(kLegendLevels.size())
                              ? QString::number(kLegendLevels[static_cast<std::size_t>(k)])
                              : QString::fromUtf8("\u2265 0.1");
    // The lower row's numbers hang from their boxes on a short line.
    const int top = box.bottom() + 2 + (k % 2) * kLinePx;
    if (k % 2 == 1) p.drawLine(box.center().x(), box.bottom() + 1, box.center().x(), top + 2);
    p.drawText(QRect(box.center().x() - kLegendBoxWidth, top, 2 * kLegendBoxWidth, kLinePx),
               Qt::AlignCenter, label);
  }
}

}  // namespace

const std::array<QRgb, 10>& LegendColours() {
  // A perceptually ordered sequential scale (magma, light to dark): each step darker than the
  // last, so that "more" reads the same everywhere, in grey print and for colour-blind eyes;
  // a rainbow's bright yellow and cyan bands made middle steps look like the most.
  static const std::array<QRgb, 10> colours = {
      qRgb(252, 253, 191), qRgb(254, 201, 141), qRgb(253, 149, 103), qRgb(241, 96, 93),
      qRgb(205, 64, 113),  qRgb(159, 47, 127),  qRgb(114, 31, 129),  qRgb(69, 16, 119),
      qRgb(24, 15, 62),    qRgb(0, 0, 4)};
  return colours;
}

int ColourStep(double value) {
  int step = -1;
  for (int k = 0; k < static_cast<int>(kLegendLevels.size()); ++k)
    if (value >= kLegendLevels[static_cast<std::size_t>(k)]) step = k;
  return step;
}

QRect PanelRect(int panel) {
  return QRect(kPanelLeft + panel * (kPanelWidth + kPanelGap), kPanelTop, kPanelWidth,
               kPanelHeight);
}

QRect LegendBox(int step) {
  return QRect(kLegendLeft + step * kLegendBoxWidth, kLegendTop, kLegendBoxWidth, kLegendBoxHeight);
}

QImage RenderElectronMaps(const std::array<KernelPanel, 3>& panels) {
  QImage image(kMapImageWidth, kMapImageHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  // The colour maps pixel by pixel first, then the axes and the legend as vectors.
  for (int i = 0; i < 3; ++i)
    FillPanel(image, PanelRect(i), *panels[static_cast<std::size_t>(i)].kernel);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  for (int i = 0; i < 3; ++i)
    DrawPanelAxes(p, PanelRect(i), panels[static_cast<std::size_t>(i)].title, i == 0);
  DrawLegend(p);
  return image;
}

}  // namespace dosavia::figures
