#include "gui/visual/phantom_bands_view.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QTransform>

#include <algorithm>

#include "gui/base/language.h"
#include "gui/widgets/picture_box.h"

namespace dosavia::gui {

namespace {

// How strongly a band tints the white of water: a pale ground that a red track still
// stands out on.
constexpr double kTintStrength = 0.45;

QColor TintOf(std::uint32_t shade) {
  const QColor full(static_cast<int>((shade >> 16) & 255), static_cast<int>((shade >> 8) & 255),
                    static_cast<int>(shade & 255));
  auto mix = [](int c) { return static_cast<int>(255 - kTintStrength * (255 - c)); };
  return QColor(mix(full.red()), mix(full.green()), mix(full.blue()));
}

QString NameOf(const PhantomBand& band) {
  const std::string_view name =
      CurrentLanguage() == Language::kEnglish ? band.name_en : band.name_ja;
  return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

void PaintPhantomBands(QPainter& painter, const std::vector<PhantomBand>& bands, const QRectF& area,
                       const std::function<double(double)>& x_of, double label_top) {
  if (bands.empty()) return;
  painter.save();
  painter.setCompositionMode(QPainter::CompositionMode_Multiply);
  const double line = QFontMetricsF(painter.font()).height();
  for (const PhantomBand& band : bands) {
    const double left = std::max(area.left(), x_of(band.top_cm));
    const double right = std::min(area.right(), x_of(band.bottom_cm));
    if (!(right > left)) continue;
    const QRectF slab(QPointF(left, area.top()), QPointF(right, area.bottom()));
    painter.fillRect(slab, TintOf(band.shade));
    // Its faces drawn firmer than its inside: the interfaces are where the dose changes.
    const QColor face(static_cast<int>((band.shade >> 16) & 255),
                      static_cast<int>((band.shade >> 8) & 255),
                      static_cast<int>(band.shade & 255));
    painter.fillRect(QRectF(left, area.top(), 1.5, area.height()), face);
    painter.fillRect(QRectF(right - 1.5, area.top(), 1.5, area.height()), face);
    painter.setPen(QColor(60, 60, 60));
    painter.drawText(QRectF(left + 3, label_top, std::max(0.0, right - left - 4), line),
                     Qt::AlignLeft | Qt::AlignTop, NameOf(band));
  }
  painter.restore();
}

void TintSideView(PictureBox& picture, const std::vector<PhantomBand>& bands) {
  if (bands.empty()) {
    picture.SetTint(nullptr);
    return;
  }
  PictureBox* const view = &picture;
  picture.SetTint([bands, view](QPainter& painter, const QTransform& to_pixels, double) {
    const QRectF area = to_pixels
                            .mapRect(QRectF(view->ScaleLeft(), view->ScaleTop(), view->ScaleWidth(),
                                            view->ScaleHeight()))
                            .normalized();
    // The names under the captions' two rows at the view's top, where tracks are sparse.
    const double line = QFontMetricsF(painter.font()).height();
    PaintPhantomBands(
        painter, bands, area, [&to_pixels](double z) { return to_pixels.map(QPointF(z, 0)).x(); },
        area.top() + 3 * line);
  });
}

}  // namespace dosavia::gui
