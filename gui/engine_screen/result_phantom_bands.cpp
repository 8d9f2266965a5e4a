#include "gui/engine_screen/result_phantom_bands.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/run_statistics.h"
#include "gui/base/language.h"
#include "gui/engine_screen/result_depth_dose_plot.h"
#include "gui/base/default_font.h"
#include "gui/widgets/picture_box.h"
#include "models/phantom_bands.h"
#include "models/phantom_session.h"

namespace dosavia::gui {

namespace {

// The band's shade, the visual screen's own hue taken two thirds of the way to white so that
// every curve colour stays readable over it.
QColor BandColor(const PhantomBand& band) {
  const auto pale = [](std::uint32_t channel) {
    return static_cast<int>(255 - (255 - channel) / 3);
  };
  return QColor(pale((band.shade >> 16) & 0xff), pale((band.shade >> 8) & 0xff),
                pale(band.shade & 0xff));
}

// Depth [cm] to the graph's x (one unit a millimetre bin).
double XOf(double depth_cm) { return depth_cm * 10.0; }

// The band's lines this far apart [user units] and this wide [px]: at the screen's size
// and at the largest saved picture's they overlap into one shade.
constexpr double kBandLineStep = 0.25;
constexpr int kBandLinePx = 3;
constexpr double kLabelPoints = 8.0;

}  // namespace

std::optional<Phantom> ShownPhantom(std::span<const CurveSet> sets) {
  for (const CurveSet& set : sets)
    if (auto phantom = PhantomOfResult(set.file.toStdString(), set.statistics.get()))
      return phantom;
  return std::nullopt;
}

void DrawPhantomBands(PictureBox& picture, std::span<const CurveSet> sets) {
  const std::optional<Phantom> phantom = ShownPhantom(sets);
  if (!phantom) return;
  for (const PhantomBand& band : PhantomBands(*phantom)) {
    const QColor color = BandColor(band);
    const double right = std::min(XOf(band.bottom_cm), kFrameRight);
    for (double x = XOf(band.top_cm); x <= right; x += kBandLineStep)
      picture.DrawLine(x, kFrameBottom, x, kFrameTop, color, kBandLinePx);
  }
}

void PaintPhantomBandLabels(QPainter& painter, const QTransform& to_pixels, double zoom,
                            std::span<const CurveSet> sets) {
  const std::optional<Phantom> phantom = ShownPhantom(sets);
  if (!phantom) return;
  const bool english = CurrentLanguage() == Language::kEnglish;
  QFont font = DefaultFont(kLabelPoints);
  font.setPointSizeF(kLabelPoints * zoom);
  painter.save();
  painter.setFont(font);
  painter.setPen(QColor(64, 64, 64));
  const QFontMetricsF metrics(font);
  for (const PhantomBand& band : PhantomBands(*phantom)) {
    const QPointF left = to_pixels.map(QPointF(XOf(band.top_cm), kFrameTop));
    const QPointF right =
        to_pixels.map(QPointF(std::min(XOf(band.bottom_cm), kFrameRight), kFrameTop));
    const QString name = QString::fromUtf8(
        english ? band.name_en.data() : band.name_ja.data(),
        static_cast<qsizetype>(english ? band.name_en.size() : band.name_ja.size()));
    // Inside the band's top, centred; a band narrower than its name keeps it at its left edge.
    const double width = metrics.horizontalAdvance(name);
    const double x =
        right.x() - left.x() > width ? 0.5 * (left.x() + right.x() - width) : left.x() + 2;
    painter.drawText(QPointF(x, left.y() + metrics.ascent() + 2), name);
  }
  painter.restore();
}

}  // namespace dosavia::gui
