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
constexpr int kPanelTop = 40;
constexpr int kPanelGap = 30;
constexpr int kPanelWidth = 165;   // 3 cm
constexpr int kPanelHeight = 275;  // 5 cm
constexpr int kLegendLeft = 54;
constexpr int kLegendTop = 388;
constexpr int kLegendBoxWidth = 52;
constexpr int kLegendBoxHeight = 20;
// The logarithm used for empty bins, far below the first level.
constexpr double kEmptyLog10 = -8;

QFont Font(int pixel_size, bool bold = false) {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Arial"),
                    QStringLiteral("Helvetica")});
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

  p.setFont(Font(15, true));
  p.drawText(QRect(area.left(), 8, area.width(), 24), Qt::AlignCenter, title);

  p.setFont(Font(11));
  for (int r = 0; r <= 3; ++r) {
    const int x = area.left() + static_cast<int>(r * kPixelsPerCm);
    p.drawLine(x, area.bottom() + 1, x, area.bottom() + 5);
    p.drawText(QRect(x - 15, area.bottom() + 6, 30, 14), Qt::AlignCenter, QString::number(r));
  }
  p.drawText(QRect(area.left(), area.bottom() + 20, area.width(), 16), Qt::AlignCenter,
             QStringLiteral("R  (cm)"));
  for (int z = -1; z <= 4; ++z) {
    const int y = area.top() + static_cast<int>((z - kKernelZMinCm) * kPixelsPerCm);
    p.drawLine(area.left() - 5, y, area.left() - 1, y);
    if (z_labels)
      p.drawText(QRect(area.left() - 30, y - 7, 22, 14), Qt::AlignRight | Qt::AlignVCenter,
                 QString::number(z));
  }
  if (z_labels) {
    p.save();
    p.translate(12, area.center().y());
    p.rotate(-90);
    p.drawText(QRect(-60, -8, 120, 16), Qt::AlignCenter, QStringLiteral("Z  (cm)"));
    p.restore();
  }
}

void DrawLegend(QPainter& p) {
  p.setFont(Font(12));
  p.setPen(Qt::black);
  p.drawText(QRect(0, kLegendTop - 24, kMapImageWidth, 18), Qt::AlignCenter,
             QString::fromUtf8("2\u03C0R\u00B7P(R, Z)   [cm\u207B\u00B2]   (kerma = 1)"));
  p.setFont(Font(11));
  for (int k = 0; k < static_cast<int>(kLegendLevels.size()); ++k) {
    const QRect box = LegendBox(k);
    p.fillRect(box, QColor(LegendColours()[static_cast<std::size_t>(k)]));
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(box.adjusted(0, 0, -1, -1));
    const QString label = k + 1 < static_cast<int>(kLegendLevels.size())
                              ? QString::number(kLegendLevels[static_cast<std::size_t>(k)])
                              : QString::fromUtf8("\u2265 0.1");
    p.drawText(QRect(box.left() - 4, box.bottom() + 4, box.width() + 8, 14), Qt::AlignCenter,
               label);
  }
  p.setFont(Font(11));
  const int notes = kLegendTop + kLegendBoxHeight + 22;
  p.drawText(QRect(0, notes, kMapImageWidth, 16), Qt::AlignCenter,
             QStringLiteral("each colour: from the value under it up to the next"));
  p.drawText(QRect(0, notes + 17, kMapImageWidth, 16), Qt::AlignCenter,
             QStringLiteral("Compton electrons set moving at (R, Z) = (0, 0) by photons "
                            "travelling in +Z"));
}

}  // namespace

const std::array<QRgb, 10>& LegendColours() {
  static const std::array<QRgb, 10> colours = {
      qRgb(40, 40, 190),  qRgb(0, 100, 255),  qRgb(0, 175, 255), qRgb(0, 215, 190),
      qRgb(0, 190, 70),   qRgb(150, 215, 0),  qRgb(255, 225, 0), qRgb(255, 150, 0),
      qRgb(240, 50, 0),   qRgb(160, 0, 0)};
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
  return QRect(kLegendLeft + step * kLegendBoxWidth, kLegendTop, kLegendBoxWidth,
               kLegendBoxHeight);
}

QImage RenderElectronMaps(const std::array<KernelPanel, 3>& panels) {
  QImage image(kMapImageWidth, kMapImageHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  // The colour maps pixel by pixel first, then the axes and the legend as vectors.
  for (int i = 0; i < 3; ++i) FillPanel(image, PanelRect(i), *panels[static_cast<std::size_t>(i)].kernel);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  for (int i = 0; i < 3; ++i)
    DrawPanelAxes(p, PanelRect(i), panels[static_cast<std::size_t>(i)].title, i == 0);
  DrawLegend(p);
  return image;
}

}  // namespace dosavia::figures
