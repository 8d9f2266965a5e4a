// A drawing surface with a user coordinate system, used for every picture of the screens.
//
// Two layers:
//  - run-time drawing (points and line segments) goes into an offscreen image and stays
//    there until Clear(); painting only copies that image, so a batch of thousands of
//    segments costs nothing at repaint time;
//  - fixed decoration (lines and labels placed in user units, like the line and label
//    controls that sit on a picture) is painted over the image and survives Clear().
//    Decoration lines can be moved later (the field-edge lines follow the field size).
//
// The user coordinate system is left, top, width, height in user units; a negative height
// makes y grow upwards, a negative width makes x grow to the left. The mapping to pixels is
// a QTransform rebuilt whenever the widget's size changes.
//
// The run-time drawing is also kept as a list of its points and segments in user units, so
// that a resized surface draws it again crisply at the new size. A long run would make the
// list grow without end: beyond kDrawnListCap items the image so far is kept as a picture
// and scaled on a resize, and the list starts again.
//
// Drawing works while the surface is hidden: the image follows the widget's size, which is
// known as soon as the geometry is set.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFrame>
#include <QImage>
#include <QLineF>
#include <QPointF>
#include <QString>
#include <QTransform>

#include <cstddef>
#include <cstdint>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "gui/widgets/form_scaler.h"

class QPainter;

namespace dosavia::gui {

class PictureBox : public QFrame, public Zoomable {
  Q_OBJECT

 public:
  // Points and segments kept in user units for redrawing at a new size (24 bytes each).
  static constexpr std::size_t kDrawnListCap = 1'000'000;

  explicit PictureBox(QWidget* parent = nullptr);
  ~PictureBox() override;

  // User coordinate system of the drawing area [user units]. Default 0, 0, 1, 1.
  void SetScale(double left, double top, double width, double height);
  double ScaleLeft() const { return left_; }
  double ScaleTop() const { return top_; }
  double ScaleWidth() const { return width_; }
  double ScaleHeight() const { return height_; }

  // Colour that Clear() fills the drawing area with. Default white.
  void SetBackColor(const QColor& color);
  QColor BackColor() const { return back_color_; }

  // Removes everything drawn at run time; the decoration stays.
  void Clear();

  // A segment from (x1, y1) to (x2, y2) [user units], `width_px` pixels wide, kept until Clear().
  void DrawLine(double x1, double y1, double x2, double y2, const QColor& color, int width_px = 1);

  // A point at (x, y) [user units] of `width_px` pixels, kept until Clear().
  void DrawPoint(double x, double y, const QColor& color, int width_px = 1);

  // Fades the run-time drawing toward the back colour by `share` [0, 1] (0: unchanged, 1: as
  // cleared). What was drawn is kept from then on as a picture, scaled on a resize.
  void Fade(double share);

  // Adds a fixed line [user units], `width_px` pixels wide; returns its index for MoveLine.
  int AddLine(double x1, double y1, double x2, double y2, const QColor& color, int width_px = 1);

  // Moves a fixed line to new end points [user units].
  void MoveLine(int index, double x1, double y1, double x2, double y2);

  // End points of a fixed line [user units].
  QLineF LineAt(int index) const;
  int LineCount() const { return static_cast<int>(lines_.size()); }

  // Adds a fixed label. (x, y) [user units] is the point of the text box named by `anchor`
  // (e.g. Qt::AlignHCenter | Qt::AlignTop: the middle of its top edge). Without a font the
  // surface's own font is used. Returns its index.
  int AddLabel(const QString& text, double x, double y, Qt::Alignment anchor,
               const QColor& color = Qt::black, std::optional<QFont> font = std::nullopt);
  QString LabelText(int index) const;
  void SetLabelText(int index, const QString& text);
  // Makes a label follow the language: its text is the translation of `source`.
  void SetLabelSource(int index, const char* context, const char* source);
  int LabelCount() const { return static_cast<int>(labels_.size()); }

  // What is painted over the decoration at every paint, for a key that follows what is
  // drawn (a graph's legend of its curve sets): it gets a painter in pixels of the drawing
  // area, the map from user units to those pixels and the zoom. None by default.
  using Overlay = std::function<void(QPainter& painter, const QTransform& to_pixels, double zoom)>;
  void SetOverlay(Overlay overlay);
  // What tints the drawing under the decoration, painted over the run-time drawing in
  // multiply mode: a pale colour then reads as the ground the tracks lie on (a slab of
  // lung behind the electrons), and the tracks keep their colour, darkened. None by default.
  void SetTint(Overlay tint);

  // Position in widget pixels of the user point (x, y).
  QPointF ToPixels(double x, double y) const;
  // The user point [user units] at a position in widget pixels.
  QPointF ToUser(const QPointF& widget_px) const;

  // The run-time drawing layer (without decoration) at the current size.
  QImage DrawnImage();

  // Decoration line widths and label fonts follow the form's scale.
  void SetZoom(double zoom) override;
  double Zoom() const { return zoom_; }

 protected:
  // A language switch: the captions that have a source are set again.
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct FixedLine {
    QLineF line;  // [user units]
    QColor color;
    int width_px;
  };
  struct FixedLabel {
    QString text;
    QPointF anchor_point;  // [user units]
    Qt::Alignment anchor;
    QColor color;
    std::optional<QFont> font;
    // The Japanese source of a caption that follows the language, and its context.
    QByteArray tr_context;
    QByteArray tr_source;
  };

  // One point or segment of the run-time drawing [user units].
  struct Drawn {
    float x1, y1, x2, y2;
    QRgb color;
    std::uint16_t width_px;
    bool point;
  };

  // Makes the image and the transform match the drawing area; earlier drawing is drawn
  // again at the new size.
  void SyncToSize();
  void Remember(const Drawn& item);
  void Replay(QPainter& painter) const;
  int ScaledWidth(int width_px) const;
  // The painter on the image, opened on first use and closed before the image is read.
  QPainter& ImagePainter(const QColor& color, int width_px);
  void EndImagePainter();
  void RequestRepaint();

  double left_ = 0;
  double top_ = 0;
  double width_ = 1;
  double height_ = 1;
  QColor back_color_ = Qt::white;
  QTransform to_pixels_;  // user units to pixels of the drawing area
  QImage image_;
  std::unique_ptr<QPainter> painter_;
  QColor pen_color_;
  int pen_width_ = 0;
  bool repaint_pending_ = false;
  double zoom_ = 1;
  std::vector<Drawn> drawn_;
  QImage flattened_;  // drawing older than drawn_, when the list reached its cap
  // The image itself holds the drawing older than drawn_ (after a fade), not flattened_.
  bool flattened_is_image_ = false;
  std::vector<FixedLine> lines_;
  std::vector<FixedLabel> labels_;
  Overlay overlay_;
  Overlay tint_;
};

}  // namespace dosavia::gui
