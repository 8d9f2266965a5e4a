// The visual screen's depth-dose panel: the dose scored from the tracks being drawn, per
// depth bin of a central cylinder of the field, beside the collision kerma of the
// unscattered photons, with the running depth of the maximum and how well it is known.
// It lies inside the visual screen, where the spectrum histogram is, so that a class sees
// the tracks and the build-up they make together, and it scales with the screen's zoom.
#pragma once

#include <QElapsedTimer>
#include <QWidget>

#include "gui/widgets/form_scaler.h"
#include "models/visual_session.h"

class QCloseEvent;
class QPaintEvent;
class QPainter;
class QPushButton;
class QResizeEvent;

namespace dosavia::gui {

struct FigureAxes;

class DepthDosePanel : public QWidget, public Zoomable {
  Q_OBJECT

 public:
  explicit DepthDosePanel(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

  // The session whose live curve the panel shows (the screen's); none: an empty panel.
  void SetSession(VisualSession* session);
  // The tally the curve is read from.
  const VisualDepthDose& Tally() const;
  // The curve as last read, and what its label says.
  const DepthDoseCurve& Curve() const { return reading_.curve; }
  const DepthDoseReading& Reading() const { return reading_; }
  // The physics the tally is scored with.
  const PhysicsSwitches& Physics() const;
  // The reference curve (has_maximum false when there is none) and its physics.
  const DepthDoseCurve& Reference() const;
  const PhysicsSwitches& ReferencePhysics() const;
  // Before a batch: the refreshes during it are timed from now.
  void BeginBatch();
  // During a batch: remakes the curves and paints them at once, at most every 100 ms.
  void RefreshDuringBatch();
  // Remakes the curves and repaints once the window system runs again.
  void Refresh();

  // The standard uncertainty of the shown d_max [cm]; -1 while unknown.
  double DmaxSigma() const { return reading_.sigma_cm; }
  // The top of the plot's frame [% of the fitted maximum]: 120, or higher in steps of the
  // ticks where bins of the curve lie above it, up to 200.
  double ShownPercent() const;

  QSize sizeHint() const override;
  void SetZoom(double zoom) override;

  // "Keep this curve", at the title's right: the curve on screen stays faint beside the next
  // ones, through OK with another beam (4 MV beside 15 MV, 1×1 beside 10×10), until Graph
  // clear, Reset or a physics switch. Enabled while the session has a fitted curve to keep
  // and no batch runs.
  QPushButton* keep_button = nullptr;
  // Keeps the curve on screen (VisualSession::KeepCurve) and draws it.
  void KeepCurve();

 signals:
  // The user closed the panel's window.
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Reads the curve again; the jackknife of d_max, some tens of fits, only when
  // `with_sigma`.
  void Remake(bool with_sigma);
  // The panel's size in the units it paints in: its size at 100 % [px].
  QSizeF DesignSize() const { return QSizeF(size()) / zoom_; }
  void DrawTitleAndLegend(QPainter& p, double line) const;
  void DrawNote(QPainter& p, double line) const;
  void DrawCurves(QPainter& p, const FigureAxes& axes) const;
  void DrawMaximum(QPainter& p, const FigureAxes& axes, double line) const;
  void DrawReference(QPainter& p, const FigureAxes& axes, double line) const;
  // The keep button at the title line's right, at the panel's zoom.
  void PlaceKeepButton();

  VisualSession* session_ = nullptr;
  DepthDoseReading reading_;
  double zoom_ = 1;
  QElapsedTimer since_refresh_;
  QElapsedTimer since_sigma_;
  qint64 refresh_gap_ms_ = 100;  // [ms] between readings during a batch, kRefreshMs or more
  qint64 sigma_gap_ms_ = 600;    // [ms] between measurements of d_max's uncertainty
  bool refresh_pending_ = false;
};

}  // namespace dosavia::gui
