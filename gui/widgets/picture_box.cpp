#include "gui/widgets/picture_box.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "gui/base/language.h"
#include "gui/widgets/form_scaler.h"

namespace dosavia::gui {

namespace {
// Opacity of the back colour under a fixed label [0..255]: opaque, as a map sets its names, so
// that neither a full red fill of tracks nor a field-edge line shows through the text.
constexpr int kLabelBackdropAlpha = 255;
// Room on either side of a label's text on its backdrop [fraction of the line height].
constexpr double kLabelBackdropPad = 0.15;
}  // namespace

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
  // The sunken single border of a picture; the user scale covers the area inside it.
  setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

PictureBox::~PictureBox() { EndImagePainter(); }

void PictureBox::SetOverlay(Overlay overlay) {
  overlay_ = std::move(overlay);
  update();
}

void PictureBox::SetTint(Overlay tint) {
  tint_ = std::move(tint);
  update();
}

void PictureBox::SetScale(double left, double top, double width, double height) {
  if (width == 0 || height == 0 || !std::isfinite(width) || !std::isfinite(height))
    throw std::invalid_argument("PictureBox::SetScale: width and height must be non-zero");
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  SyncToSize();
  update();
}

void PictureBox::SetBackColor(const QColor& color) {
  back_color_ = color;
  Clear();
}

void PictureBox::Clear() {
  EndImagePainter();
  drawn_.clear();
  flattened_ = QImage();
  flattened_is_image_ = false;
  SyncToSize();
  image_.fill(back_color_);
  RequestRepaint();
}

void PictureBox::DrawLine(double x1, double y1, double x2, double y2, const QColor& color,
                          int width_px) {
  QPainter& painter = ImagePainter(color, width_px);
  painter.drawLine(to_pixels_.map(QPointF(x1, y1)), to_pixels_.map(QPointF(x2, y2)));
  Remember({static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
            static_cast<float>(y2), color.rgb(), static_cast<std::uint16_t>(width_px), false});
  RequestRepaint();
}

void PictureBox::DrawPoint(double x, double y, const QColor& color, int width_px) {
  QPainter& painter = ImagePainter(color, width_px);
  painter.drawPoint(to_pixels_.map(QPointF(x, y)));
  const auto fx = static_cast<float>(x);
  const auto fy = static_cast<float>(y);
  Remember({fx, fy, fx, fy, color.rgb(), static_cast<std::uint16_t>(width_px), true});
  RequestRepaint();
}

void PictureBox::Fade(double share) {
  if (!(share > 0)) return;
  QPainter& painter = ImagePainter(back_color_, 1);
  QColor wash = back_color_;
  wash.setAlphaF(static_cast<float>(std::min(1.0, share)));
  painter.fillRect(QRectF(QPointF(0, 0), image_.deviceIndependentSize()), wash);
  // The faded drawing cannot be drawn again from its list: the image itself is its record
  // from now on (not copied: a run fades every few tens of photons).
  EndImagePainter();
  flattened_ = QImage();
  flattened_is_image_ = true;
  drawn_.clear();
  RequestRepaint();
}

int PictureBox::AddLine(double x1, double y1, double x2, double y2, const QColor& color,
                        int width_px) {
  lines_.push_back({QLineF(x1, y1, x2, y2), color, width_px});
  update();
  return static_cast<int>(lines_.size()) - 1;
}

void PictureBox::MoveLine(int index, double x1, double y1, double x2, double y2) {
  lines_.at(static_cast<std::size_t>(index)).line = QLineF(x1, y1, x2, y2);
  update();
}

QLineF PictureBox::LineAt(int index) const {
  return lines_.at(static_cast<std::size_t>(index)).line;
}

int PictureBox::AddLabel(const QString& text, double x, double y, Qt::Alignment anchor,
                         const QColor& color, std::optional<QFont> font) {
  labels_.push_back({text, QPointF(x, y), anchor, color, std::move(font), {}, {}});
  update();
  return static_cast<int>(labels_.size()) - 1;
}

QString PictureBox::LabelText(int index) const {
  return labels_.at(static_cast<std::size_t>(index)).text;
}

void PictureBox::SetLabelText(int index, const QString& text) {
  labels_.at(static_cast<std::size_t>(index)).text = text;
  update();
}

void PictureBox::SetLabelSource(int index, const char* context, const char* source) {
  FixedLabel& label = labels_.at(static_cast<std::size_t>(index));
  label.tr_context = context;
  label.tr_source = source;
  label.text = Tr(context, source);
  update();
}

void PictureBox::changeEvent(QEvent* event) {
  if (event->type() == QEvent::LanguageChange) {
    for (FixedLabel& label : labels_)
      if (!label.tr_source.isEmpty())
        label.text = Tr(label.tr_context.constData(), label.tr_source.constData());
    update();
  }
  QWidget::changeEvent(event);
}

QPointF PictureBox::ToPixels(double x, double y) const {
  return QPointF(contentsRect().topLeft()) + to_pixels_.map(QPointF(x, y));
}

QPointF PictureBox::ToUser(const QPointF& widget_px) const {
  return to_pixels_.inverted().map(widget_px - QPointF(contentsRect().topLeft()));
}

void PictureBox::SetZoom(double zoom) {
  if (zoom == zoom_) return;
  zoom_ = zoom;
  pen_width_ = 0;  // the run-time pen widths follow too
  // What is drawn is drawn again at the new widths, also when the size stays the same (a
  // zoom above what fits keeps the window's size).
  EndImagePainter();
  if (flattened_is_image_) {
    flattened_ = image_;
    flattened_is_image_ = false;
  }
  image_ = QImage();
  update();
}

int PictureBox::ScaledWidth(int width_px) const {
  return std::max(1, static_cast<int>(std::lround(width_px * zoom_)));
}

void PictureBox::Remember(const Drawn& item) {
  if (drawn_.size() >= kDrawnListCap) {
    // Keep what is drawn as a picture; from here on a resize scales that part.
    EndImagePainter();
    flattened_ = image_;
    flattened_is_image_ = false;
    drawn_.clear();
  }
  drawn_.push_back(item);
}

void PictureBox::Replay(QPainter& painter) const {
  QRgb color = 0;
  int width = -1;
  for (const Drawn& d : drawn_) {
    if (d.color != color || d.width_px != width) {
      color = d.color;
      width = d.width_px;
      painter.setPen(
          QPen(QColor::fromRgb(color), ScaledWidth(width), Qt::SolidLine, Qt::SquareCap));
    }
    if (d.point)
      painter.drawPoint(to_pixels_.map(QPointF(d.x1, d.y1)));
    else
      painter.drawLine(to_pixels_.map(QPointF(d.x1, d.y1)), to_pixels_.map(QPointF(d.x2, d.y2)));
  }
}

QImage PictureBox::DrawnImage() {
  EndImagePainter();
  SyncToSize();
  return image_;
}

void PictureBox::paintEvent(QPaintEvent* event) {
  // The image may still be open for drawing from a running batch: finish that first.
  EndImagePainter();
  SyncToSize();
  repaint_pending_ = false;
  const QRect area = contentsRect();
  {
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.drawImage(area.topLeft(), image_);
    painter.setClipRect(area, Qt::IntersectClip);
    painter.translate(area.topLeft());
    if (tint_) {
      painter.save();
      painter.setCompositionMode(QPainter::CompositionMode_Multiply);
      tint_(painter, to_pixels_, zoom_);
      painter.restore();
    }
    for (const FixedLine& fixed : lines_) {
      painter.setPen(QPen(fixed.color, ScaledWidth(fixed.width_px), Qt::SolidLine, Qt::FlatCap));
      painter.drawLine(to_pixels_.map(fixed.line));
    }
    for (const FixedLabel& label : labels_) {
      QFont font = this->font();
      if (label.font) {
        font = *label.font;
        font.setPointSizeF(ReadablePoints(label.font->pointSizeF(), zoom_));
      }
      const QFontMetrics metrics(font);
      const QSize box(metrics.horizontalAdvance(label.text), metrics.height());
      QPointF top_left = to_pixels_.map(label.anchor_point);
      if (label.anchor & Qt::AlignHCenter) top_left.rx() -= box.width() / 2.0;
      if (label.anchor & Qt::AlignRight) top_left.rx() -= box.width();
      if (label.anchor & Qt::AlignVCenter) top_left.ry() -= box.height() / 2.0;
      if (label.anchor & Qt::AlignBottom) top_left.ry() -= box.height();
      // A backdrop of the back colour keeps the text legible where thousands of tracks of the
      // same red have filled the picture, and where a field-edge line runs through it.
      QColor backdrop = back_color_;
      backdrop.setAlpha(kLabelBackdropAlpha);
      // A little wider than the text, so that a line through it clearly stops short of it.
      const double pad = metrics.height() * kLabelBackdropPad;
      painter.fillRect(QRectF(top_left, QSizeF(box)).adjusted(-pad, 0, pad, 0), backdrop);
      painter.setFont(font);
      painter.setPen(label.color);
      painter.drawText(QRectF(top_left, QSizeF(box)), Qt::AlignLeft | Qt::AlignVCenter, label.text);
    }
    if (overlay_) overlay_(painter, to_pixels_, zoom_);
  }
  QFrame::paintEvent(event);
}

void PictureBox::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  SyncToSize();
}

void PictureBox::SyncToSize() {
  const QSize area = contentsRect().size().expandedTo(QSize(1, 1));
  const qreal ratio = devicePixelRatioF();
  const QSize pixels(static_cast<int>(std::lround(area.width() * ratio)),
                     static_cast<int>(std::lround(area.height() * ratio)));
  const double sx = area.width() / width_;
  const double sy = area.height() / height_;
  to_pixels_ = QTransform(sx, 0, 0, sy, -left_ * sx, -top_ * sy);
  if (image_.size() != pixels || image_.devicePixelRatio() != ratio) {
    EndImagePainter();
    QImage next(pixels, QImage::Format_RGB32);
    next.setDevicePixelRatio(ratio);
    next.fill(back_color_);
    // A resize draws the remembered drawing again, over the older part scaled.
    QPainter redraw(&next);
    const QImage& older = flattened_is_image_ ? image_ : flattened_;
    if (!older.isNull()) redraw.drawImage(QRectF(QPointF(0, 0), QSizeF(area)), older);
    Replay(redraw);
    redraw.end();
    image_ = std::move(next);
  }
}

QPainter& PictureBox::ImagePainter(const QColor& color, int width_px) {
  if (!painter_) {
    // A hidden surface gets no resize event, so its size is checked here, as the painter
    // opens rather than for every track (the widget's geometry cost a tenth of a long
    // batch): while the painter stays open the tracks follow the image's own mapping, and a
    // resize meanwhile scales them with the rest at the next SyncToSize.
    if (image_.isNull() ||
        image_.deviceIndependentSize().toSize() != contentsRect().size().expandedTo(QSize(1, 1)))
      SyncToSize();
    painter_ = std::make_unique<QPainter>(&image_);
    painter_->setRenderHint(QPainter::Antialiasing, false);
    pen_width_ = 0;
  }
  if (color != pen_color_ || width_px != pen_width_) {
    painter_->setPen(QPen(color, ScaledWidth(width_px), Qt::SolidLine, Qt::SquareCap));
    pen_color_ = color;
    pen_width_ = width_px;
  }
  return *painter_;
}

void PictureBox::EndImagePainter() {
  if (painter_) {
    painter_->end();
    painter_.reset();
  }
}

void PictureBox::RequestRepaint() {
  if (repaint_pending_) return;
  repaint_pending_ = true;
  update();
}

}  // namespace dosavia::gui
