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
#include "models/phantom_session.h"

namespace dosavia::gui {

namespace {

// Light shades that leave every curve colour readable over them.
QColor BandColor(const std::string& material) {
  if (material == "lung") return QColor(222, 234, 246);
  if (material == "bone") return QColor(246, 236, 214);
  if (material == "air") return QColor(232, 244, 232);
  return QColor(238, 228, 244);  // bolus
}

// The slabs as the interface values read them: [top, bottom] in cm and the material.
struct Band {
  double top_cm;
  double bottom_cm;
  std::string material;
};

std::vector<Band> BandsOf(const Phantom& phantom) {
  std::vector<Band> bands;
  double z = 0;
  for (const PhantomLayer& layer : phantom.layers) {
    const double top = z;
    z += layer.thickness_cm;
    if (layer.material == "water") continue;
    if (!bands.empty() && bands.back().material == layer.material && bands.back().bottom_cm == top)
      bands.back().bottom_cm = z;
    else
      bands.push_back({top, z, layer.material});
  }
  return bands;
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
  for (const Band& band : BandsOf(*phantom)) {
    const QColor color = BandColor(band.material);
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
  for (const Band& band : BandsOf(*phantom)) {
    const QPointF left = to_pixels.map(QPointF(XOf(band.top_cm), kFrameTop));
    const QPointF right =
        to_pixels.map(QPointF(std::min(XOf(band.bottom_cm), kFrameRight), kFrameTop));
    const QString name = QString::fromStdString(MaterialName(band.material, english));
    // Inside the band's top, centred; a band narrower than its name keeps it at its left edge.
    const double width = metrics.horizontalAdvance(name);
    const double x =
        right.x() - left.x() > width ? 0.5 * (left.x() + right.x() - width) : left.x() + 2;
    painter.drawText(QPointF(x, left.y() + metrics.ascent() + 2), name);
  }
  painter.restore();
}

}  // namespace dosavia::gui
