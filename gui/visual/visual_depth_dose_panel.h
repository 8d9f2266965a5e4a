// The visual screen's depth-dose panel: the dose scored from the tracks being drawn, per
// depth bin of a central cylinder of the field, beside the collision kerma of the
// unscattered photons, with the running depth of the maximum and the noise behind it.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "models/visual_depth_dose.h"

class QCloseEvent;
class QPaintEvent;
class QPainter;

namespace dosavia::gui {

struct FigureAxes;

class DepthDosePanel : public QWidget {
  Q_OBJECT

 public:
  explicit DepthDosePanel(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  // The tally that a batch scores into while the panel is on.
  VisualDepthDose& Tally() { return tally_; }
  const VisualDepthDose& Tally() const { return tally_; }
  // The curves as last drawn.
  const DepthDoseCurve& Curve() const { return curve_; }

  // Before a batch: a field other than the tally's starts the tally afresh.
  void BeginBatch(double field_side);
  // Empties the tally, keeping its field, and redraws ("Reset", "Graph clear").
  void Clear();
  // During a batch: remakes the curves and paints them at once, at most every 100 ms.
  void RefreshDuringBatch();
  // Remakes the curves and repaints once the window system runs again.
  void Refresh();

  QSize sizeHint() const override;

 signals:
  // The user closed the panel's window.
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void DrawTitleAndLegend(QPainter& p, double line) const;
  void DrawNote(QPainter& p, double line) const;
  void DrawCurves(QPainter& p, const FigureAxes& axes) const;
  void DrawMaximum(QPainter& p, const FigureAxes& axes, double line) const;

  VisualDepthDose tally_;
  DepthDoseCurve curve_;
  QElapsedTimer since_refresh_;
  bool refresh_pending_ = false;
};

}  // namespace dosavia::gui
