// A ruler on the side views: a drag with the mouse lays a straight line between two points of
// the water and reads its length [cm], so that a class can measure how far an electron ran or
// how deep the tracks reach. The line stays, over the tracks, until the next drag; a click
// without a drag takes it away.
#pragma once

#include <QObject>
#include <QPointF>

#include <optional>
#include <utility>

namespace dosavia::gui {

class PictureBox;

class TrackRuler : public QObject {
 public:
  // Watches the mouse on `picture` and draws the ruler over its tracks; owned by it.
  explicit TrackRuler(PictureBox* picture);

  // The ruler's ends [cm, depth z and lateral x], when one is laid.
  std::optional<std::pair<QPointF, QPointF>> Ends() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  PictureBox* picture_;
  QPointF press_px_;
  std::optional<QPointF> from_;
  std::optional<QPointF> to_;
  bool dragging_ = false;
};

}  // namespace dosavia::gui
