#include "gui/visual/track_ruler.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QLineF>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QString>

#include <cmath>

#include "gui/base/language.h"
#include "gui/widgets/form_scaler.h"
#include "gui/widgets/picture_box.h"

namespace dosavia::gui {

namespace {
// A drag shorter than this [widget pixels] is a click: it takes the ruler away.
constexpr double kClickPx = 4;
// The ruler's label [points at zoom 1]: large enough to read on a projector.
constexpr double kLabelPoints = 11;
// The cross ticks at the ends [pixels at zoom 1, each side of the line].
constexpr double kEndTickPx = 6;
}  // namespace

TrackRuler::TrackRuler(PictureBox* picture) : QObject(picture), picture_(picture) {
  picture->installEventFilter(this);
  SetTrToolTip(picture, "VisualScreen",
               QT_TRANSLATE_NOOP("VisualScreen", "ドラッグして長さを測る (クリックで消す)"));
  picture->SetOverlay([this](QPainter& painter, const QTransform& to_pixels, double zoom) {
    if (!from_ || !to_) return;
    const QPointF a = to_pixels.map(*from_);
    const QPointF b = to_pixels.map(*to_);
    const QLineF line(a, b);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Black on a white rim, readable over red tracks, a pale slab and the white water alike.
    for (const auto& [color, width] :
         {std::pair{QColor(Qt::white), 4.0}, {QColor(Qt::black), 2.0}}) {
      painter.setPen(QPen(color, width * zoom, Qt::SolidLine, Qt::RoundCap));
      painter.drawLine(line);
      if (line.length() > 0) {
        const QPointF across = QLineF(line.normalVector().unitVector()).p2() - a;
        for (const QPointF& end : {a, b})
          painter.drawLine(end - across * kEndTickPx * zoom, end + across * kEndTickPx * zoom);
      }
    }
    // The length, to a millimetre: about a pixel of the side view at its own scale.
    const double length_cm = std::hypot(to_->x() - from_->x(), to_->y() - from_->y());
    const QString text = QString::number(length_cm, 'f', 1) + QStringLiteral(" cm");
    QFont font = painter.font();
    font.setPointSizeF(ReadablePoints(kLabelPoints, zoom));
    font.setBold(true);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    QRectF box(QPointF(0, 0),
               QSizeF(metrics.horizontalAdvance(text) + metrics.height() * 0.4, metrics.height()));
    // Beside the far end, turned inwards where it would leave the picture.
    box.moveCenter(b + QPointF(0, -metrics.height()));
    const QRectF area(QPointF(0, 0), QSizeF(painter.device()->width(), painter.device()->height()));
    if (box.top() < 0) box.moveTop(b.y() + metrics.height() * 0.5);
    if (box.left() < 0) box.moveLeft(0);
    if (box.right() > area.right()) box.moveRight(area.right());
    painter.fillRect(box, Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, text);
    painter.restore();
  });
}

std::optional<std::pair<QPointF, QPointF>> TrackRuler::Ends() const {
  if (!from_ || !to_) return std::nullopt;
  return std::pair{*from_, *to_};
}

bool TrackRuler::eventFilter(QObject* watched, QEvent* event) {
  if (watched != picture_) return false;
  const auto type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
      type != QEvent::MouseButtonRelease)
    return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  const QPointF at = picture_->ToUser(mouse->position());
  if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
    dragging_ = true;
    press_px_ = mouse->position();
    from_ = at;
    to_.reset();
  } else if (type == QEvent::MouseMove && dragging_) {
    if (QLineF(press_px_, mouse->position()).length() >= kClickPx) to_ = at;
  } else if (type == QEvent::MouseButtonRelease && dragging_) {
    dragging_ = false;
    if (!to_) from_.reset();
  } else {
    return false;
  }
  picture_->update();
  return true;
}

}  // namespace dosavia::gui
