#include "gui/figures/title_illustration.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gui/widgets/form_style.h"
#include "gui/base/language.h"
#include "gui/widgets/form_scaler.h"

namespace dosavia::gui {

namespace {

// Design grid: 100 units wide, 77.3 high (the picture's 8385 x 6480 twips).
constexpr double kDesignWidth = 100.0;
constexpr double kDesignHeight = 100.0 * 6480.0 / 8385.0;
// The water block and the beam axis [design units].
constexpr double kWaterLeft = 34.0;
constexpr double kWaterRight = 96.0;
constexpr double kWaterTop = 8.0;
constexpr double kWaterBottom = 70.0;
constexpr double kAxisY = 39.0;
// Depth scale of the dose curve: the block's width stands for 20 cm of water.
constexpr double kDepthCm = 20.0;

// A small fixed linear congruential sequence: the drawing is the same every time.
class Scatter {
 public:
  double Next() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<double>((state_ >> 8) & 0xffff) / 65536.0;
  }

 private:
  std::uint32_t state_ = 20240601u;
};

}  // namespace

TitleIllustration::TitleIllustration(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);

  // Zigzag tracks that start near the surface and head into the block, a few sideways.
  Scatter random;
  constexpr int kTracks = 26;
  for (int t = 0; t < kTracks; ++t) {
    QPolygonF track;
    double x = kWaterLeft + 0.5 + 14.0 * random.Next() * random.Next();
    double y = kAxisY + (random.Next() - 0.5) * 26.0;
    double angle = (random.Next() - 0.5) * 0.9;
    const int steps = 5 + static_cast<int>(random.Next() * 9);
    double length = 2.2 + 1.2 * random.Next();
    track << QPointF(x, y);
    for (int s = 0; s < steps; ++s) {
      x += length * std::cos(angle);
      y += length * std::sin(angle);
      track << QPointF(x, y);
      angle += (random.Next() - 0.5) * (0.6 + 0.25 * s);
      length *= 0.88;
    }
    tracks_.push_back(track);
  }

  // Relative depth dose of a megavoltage beam: rises over the first centimetres while the
  // electrons build up, then falls with the beam's attenuation.
  constexpr int kPoints = 120;
  constexpr double kBuildUpCm = 1.0;
  constexpr double kAttenuationPerCm = 0.045;
  double highest = 0;
  std::vector<double> dose(kPoints + 1);
  for (int i = 0; i <= kPoints; ++i) {
    const double z = kDepthCm * i / kPoints;
    dose[static_cast<std::size_t>(i)] =
        (0.18 + 0.82 * (1 - std::exp(-z / kBuildUpCm))) * std::exp(-kAttenuationPerCm * z);
    highest = std::max(highest, dose[static_cast<std::size_t>(i)]);
  }
  for (int i = 0; i <= kPoints; ++i) {
    const double x = kWaterLeft + (kWaterRight - kWaterLeft) * i / kPoints;
    const double y = kWaterBottom - 0.85 * (kWaterBottom - kWaterTop) *
                                        dose[static_cast<std::size_t>(i)] / highest;
    dose_curve_ << QPointF(x, y);
  }
}

void TitleIllustration::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF area = contentsRect();
  p.translate(area.topLeft());
  p.scale(area.width() / kDesignWidth, area.height() / kDesignHeight);

  // Water block.
  p.setPen(QPen(QColor(0, 70, 160), 0.4));
  p.setBrush(QColor(215, 235, 255));
  p.drawRect(QRectF(kWaterLeft, kWaterTop, kWaterRight - kWaterLeft, kWaterBottom - kWaterTop));

  // The beam: parallel arrows from the left.
  const QColor beam(0, 0, 170);
  p.setPen(QPen(beam, 0.5));
  p.setBrush(beam);
  for (double y = kAxisY - 12; y <= kAxisY + 12.1; y += 6) {
    p.drawLine(QPointF(6, y), QPointF(kWaterLeft - 2.5, y));
    p.drawPolygon(QPolygonF({QPointF(kWaterLeft - 0.8, y), QPointF(kWaterLeft - 3.2, y - 1.1),
                             QPointF(kWaterLeft - 3.2, y + 1.1)}));
  }

  // Electron tracks.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(230, 0, 0), 0.35));
  for (const QPolygonF& track : tracks_) p.drawPolyline(track);

  // Depth dose.
  p.setPen(QPen(Qt::black, 0.7));
  p.drawPolyline(dose_curve_);

  // Texts in pixels, placed at design positions.
  p.resetTransform();
  const double sx = area.width() / kDesignWidth;
  const double sy = area.height() / kDesignHeight;
  auto at = [&](double x, double y) { return area.topLeft() + QPointF(x * sx, y * sy); };
  p.setFont(DefaultFont(ReadablePoints(12, zoom_), true));
  p.setPen(beam);
  p.drawText(at(7, kAxisY - 15), QStringLiteral("X-ray"));
  p.setPen(QColor(0, 70, 160));
  // The word sits in the tank's lower right corner, a character's width clear of its frame,
  // in either language and however long the word.
  const QString water = Tr("Figures", "水");
  const QFontMetricsF water_metrics(p.font());
  const double margin = water_metrics.averageCharWidth();
  const QPointF corner = at(kWaterRight, kWaterBottom);
  p.drawText(QPointF(corner.x() - margin - water_metrics.horizontalAdvance(water),
                     corner.y() - margin - water_metrics.descent()),
             water);
  p.setFont(DefaultFont(ReadablePoints(10, zoom_)));
  p.setPen(Qt::black);
  p.drawText(at(kWaterLeft + 12, kWaterTop + 7), Tr("Figures", "深部線量"));
  p.drawText(at(kWaterLeft, kWaterBottom + 5), Tr("Figures", "表面"));
  p.drawText(at(kWaterRight - 14, kWaterBottom + 5), Tr("Figures", "深さ →"));
  p.setPen(QColor(200, 0, 0));
  p.drawText(at(6, kWaterBottom + 5), Tr("Figures", "２次電子の飛跡"));
}

}  // namespace dosavia::gui
