#include "gui/widgets/icons.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "gui/widgets/form_style.h"
#include "gui/base/language.h"

namespace dosavia::gui {

namespace {

const QColor kDarkGreen(0, 100, 0);

// A pixmap of size x size logical pixels, painted in a 32 x 32 design grid.
template <typename PaintFn>
QPixmap PaintIcon(int size, const QColor& background, PaintFn paint) {
  constexpr qreal kOversample = 2;  // crisp on high-DPI screens
  QPixmap pixmap(static_cast<int>(size * kOversample), static_cast<int>(size * kOversample));
  pixmap.setDevicePixelRatio(kOversample);
  pixmap.fill(background);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  painter.scale(size / 32.0, size / 32.0);
  paint(painter);
  return pixmap;
}

}  // namespace

QPixmap ExitIcon(int size) {
  return PaintIcon(size, kDarkGreen, [](QPainter& p) {
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    // Arrow from the lower right to the upper left corner.
    p.drawLine(QPointF(15, 15), QPointF(4, 4));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(3, 3), QPointF(11, 4), QPointF(4, 11)}));
    QFont font = DefaultFont(1, true);
    font.setPixelSize(12);
    p.setFont(font);
    p.drawText(QRectF(9, 15, 23, 16), Qt::AlignCenter, Tr("Figures", "出口"));
  });
}

QPixmap MenuIcon(int size) {
  return PaintIcon(size, QColor(255, 255, 192), [](QPainter& p) {
    // Water block.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 180, 255));
    p.drawRect(QRectF(12, 2, 18, 28));
    // Beam from the left.
    p.setPen(QPen(QColor(0, 0, 160), 2));
    p.drawLine(QPointF(1, 16), QPointF(11, 16));
    p.setBrush(QColor(0, 0, 160));
    p.drawPolygon(QPolygonF({QPointF(12, 16), QPointF(8, 13), QPointF(8, 19)}));
    // An electron track.
    p.setPen(QPen(Qt::red, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF(
        {QPointF(14, 16), QPointF(18, 14), QPointF(21, 17), QPointF(24, 13), QPointF(27, 15)}));
  });
}

}  // namespace dosavia::gui
