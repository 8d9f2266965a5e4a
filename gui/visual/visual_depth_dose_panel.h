// The visual screen's depth-dose panel: the dose scored from the tracks being drawn, per
// depth bin of a central cylinder of the field, beside the collision kerma of the
// unscattered photons, with the running depth of the maximum and how well it is known.
// It lies inside the visual screen, where the spectrum histogram is, so that a class sees
// the tracks and the build-up they make together, and it scales with the screen's zoom.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "gui/widgets/form_scaler.h"
#include "models/dmax_uncertainty.h"
#include "models/visual_depth_dose.h"
#include "physics/physics_switches.h"

class QCloseEvent;
class QPaintEvent;
class QPainter;

namespace dosavia::gui {

struct FigureAxes;

class DepthDosePanel : public QWidget, public Zoomable {
  Q_OBJECT

 public:
  explicit DepthDosePanel(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  // The tally that a batch scores into while the panel is on.
  VisualDepthDose& Tally() { return tally_; }
  const VisualDepthDose& Tally() const { return tally_; }
  // The curves as last drawn.
  const DepthDoseCurve& Curve() const { return curve_; }

  // The field confirmed with OK: a field other than the tally's starts the tally afresh,
  // so that the title names the cylinder of the field on the screen.
  void SetField(double field_side);
  // Before a batch: as SetField.
  void BeginBatch(double field_side);
  // Empties the tally, keeping its field, drops the reference curve and redraws ("Reset",
  // "Graph clear").
  void Clear();
  // The physics of the next batches is `physics`: the curve shown so far, when it has a
  // maximum, stays as a faint reference named by the physics it was run with, and the
  // tally starts afresh, so that "with" and "without" are seen together. Without a curve
  // of its own the earlier reference stays.
  void SwitchPhysics(const PhysicsSwitches& physics);
  // The physics the tally is scored with.
  const PhysicsSwitches& Physics() const { return physics_; }
  // The reference curve (has_maximum false when there is none) and its physics.
  const DepthDoseCurve& Reference() const { return reference_; }
  const PhysicsSwitches& ReferencePhysics() const { return reference_physics_; }
  // During a batch: remakes the curves and paints them at once, at most every 100 ms.
  void RefreshDuringBatch();
  // Remakes the curves and repaints once the window system runs again.
  void Refresh();

  // The standard uncertainty of the shown d_max [cm]; -1 while unknown.
  double DmaxSigma() const { return reading_.dmax_sigma_cm; }
  // What the curve lets a student read (ReadVisualCurve), as last judged.
  const VisualCurveReading& Reading() const { return reading_; }
  // The top of the plot's frame [% of the fitted maximum]: 120, or higher in steps of the
  // ticks where bins of the curve lie above it, up to 200.
  double ShownPercent() const;

  QSize sizeHint() const override;
  void SetZoom(double zoom) override;

 signals:
  // The user closed the panel's window.
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Remakes the curves; the jackknife of d_max, some tens of fits, only when `with_sigma`.
  void Remake(bool with_sigma);
  // The panel's size in the units it paints in: its size at 100 % [px].
  QSizeF DesignSize() const { return QSizeF(size()) / zoom_; }
  void DrawTitleAndLegend(QPainter& p, double line) const;
  void DrawNote(QPainter& p, double line) const;
  void DrawCurves(QPainter& p, const FigureAxes& axes) const;
  void DrawMaximum(QPainter& p, const FigureAxes& axes, double line) const;
  void DrawReference(QPainter& p, const FigureAxes& axes, double line) const;

  VisualDepthDose tally_;
  DepthDoseCurve curve_;
  PhysicsSwitches physics_;
  DepthDoseCurve reference_;
  PhysicsSwitches reference_physics_;
  VisualCurveReading reading_;
  // The finest bin width shown since the tally was emptied: bins only grow finer as the
  // photons add up, so the curve does not coarsen again after a Stop or a refresh.
  double bin_cm_ = 0;
  double zoom_ = 1;
  QElapsedTimer since_refresh_;
  QElapsedTimer since_sigma_;
  bool refresh_pending_ = false;
};

}  // namespace dosavia::gui
