// The white, framed widget that the pages' vector figures draw on.
#pragma once

#include <QFont>
#include <QFrame>

class QPainter;

namespace dosavia::gui {

class FigureFrame : public QFrame {
  Q_OBJECT

 public:
  explicit FigureFrame(QWidget* parent = nullptr);

 protected:
  // Draws the figure inside the frame; `p` is antialiased and set to FigureFont().
  virtual void Paint(QPainter& p) = 0;

  // The font of the numbers and titles inside the figures.
  const QFont& FigureFont() const { return font_; }

  void paintEvent(QPaintEvent* event) final;

 private:
  QFont font_;
};

}  // namespace dosavia::gui
