#include "gui/visual/visual_batch_run.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QLabel>
#include <QString>

#include <cmath>
#include <limits>

#include "gui/visual/visual_depth_dose_panel.h"
#include "gui/widgets/picture_box.h"
#include "physics/composed_observer.h"

namespace dosavia::gui {

namespace {

// Colours of the classic 16-colour palette: 12 light red, 9 light blue, 15 bright white.
const QColor kLightRed(255, 0, 0);
const QColor kLightBlue(0, 0, 255);
const QColor kBrightWhite(255, 255, 255);

// Histogram: bin Q stands at 0.5 Q - 0.25 (10 units per MeV); bars reach 100 at the
// highest bin; the white foot line covers the zero-height bars up to 160 units.
constexpr double kHistogramUnitsPerBin = 0.5;
constexpr double kHistogramBinCentre = 0.25;
constexpr double kHistogramTop = 100.0;
constexpr double kHistogramFootEnd = 160.0;

// Draws the visual run's events: each electron or positron step as a light-red line on the
// side view and its magnified copy, each local absorption as a light-red point on both (two
// pixels wide on the magnified one, as magnified): without electron transport the points are
// all there is to see (horizontal axis depth z, vertical axis lateral x); in the accurate
// transport delta rays and bremsstrahlung photons in their own colours. With `yield` set the
// window system handles its pending events after every drawn step.
//
// With `highlight` (photons drawn one by one) the photon being drawn has its electrons in
// the newest photon's colour; NextPhoton() turns them to light red before the next photon
// starts, drawn over the same pixels, and fades the older tracks by the fade rule.
class DrawingObserver : public NullObserver<double> {
 public:
  DrawingObserver(PictureBox& side_view, PictureBox& zoomed_side_view, bool yield, bool highlight,
                  SideViewTracks& tracks)
      : side_view_(side_view),
        zoomed_side_view_(zoomed_side_view),
        yield_(yield),
        highlight_(highlight),
        tracks_(tracks) {
    // Room for a photon's steps, so that the history loop seldom allocates.
    if (highlight_) tracks_.newest.reserve(4096);
  }

  void OnChargedStep(const ChargedStep<double>& step, int) {
    if (step.kind == ChargedKind::kDeltaRay) {
      Draw(step.start.z, step.start.x, step.end.z, step.end.x, kDeltaRayColor);
    } else if (highlight_) {
      tracks_.newest.push_back({step.start.z, step.start.x, step.end.z, step.end.x, false});
      Draw(step.start.z, step.start.x, step.end.z, step.end.x, kNewestTrackColor);
    } else {
      Draw(step.start.z, step.start.x, step.end.z, step.end.x, kLightRed);
    }
  }
  void OnLocalAbsorption(const Vec3<double>& p, double, AbsorptionCause, int) {
    flight_.End();
    if (highlight_) tracks_.newest.push_back({p.z, p.x, p.z, p.x, true});
    DrawAbsorption(p.z, p.x, highlight_ ? kNewestTrackColor : kLightRed);
  }
  void OnInteraction(InteractionKind, const Vec3<double>& p, double, int) { EndFlight(p); }
  void OnEscape(EscapeKind, const Vec3<double>& p, double, int) { EndFlight(p); }
  void OnBremsstrahlungPhoton(const Vec3<double>& p, const Direction<double>&, double) {
    flight_.Start(p);
  }

  // Before the next photon: the last one's highlighted tracks turn to the older tracks' red,
  // then what is drawn fades by the fade rule, `photons` more photons on.
  void NextPhoton(long long photons) {
    for (const SideViewTracks::Item& item : tracks_.newest) {
      if (item.point)
        DrawAbsorption(item.z1, item.x1, kLightRed);
      else
        Draw(item.z1, item.x1, item.z2, item.x2, kLightRed, false);
    }
    tracks_.newest.clear();
    const double wash = tracks_.fade.Add(photons);
    side_view_.Fade(wash);
    zoomed_side_view_.Fade(wash);
  }

 private:
  void Draw(double z1, double x1, double z2, double x2, const QColor& color, bool yield = true) {
    side_view_.DrawLine(z1, x1, z2, x2, color);
    zoomed_side_view_.DrawLine(z1, x1, z2, x2, color);
    if (yield && yield_) QCoreApplication::processEvents();
  }
  void DrawAbsorption(double z, double x, const QColor& color) {
    side_view_.DrawPoint(z, x, color);
    zoomed_side_view_.DrawPoint(z, x, color, 2);
  }
  void EndFlight(const Vec3<double>& p) {
    if (const auto from = flight_.End()) Draw(from->z, from->x, p.z, p.x, kBremsstrahlungColor);
  }

  BremsstrahlungFlight flight_;
  PictureBox& side_view_;
  PictureBox& zoomed_side_view_;
  bool yield_;
  bool highlight_;
  SideViewTracks& tracks_;
};

static_assert(TransportObserver<DrawingObserver, double>);

}  // namespace

// An empty histogram (a batch that ran no photon) draws nothing.
void DrawSpectrumHistogram(PictureBox& spectrum_histogram,
                           const std::array<long long, kSpectrumBins + 1>& tally) {
  long long highest = 0;
  for (int q = 1; q <= kSpectrumBins; ++q)
    if (tally[q] > highest) highest = tally[q];
  spectrum_histogram.Clear();
  if (highest == 0) return;
  for (int q = 1; q <= kSpectrumBins; ++q) {
    const double x = kHistogramUnitsPerBin * q - kHistogramBinCentre;
    const double height =
        kHistogramTop * static_cast<double>(tally[q]) / static_cast<double>(highest);
    spectrum_histogram.DrawLine(x, 0, x, height, kLightBlue);
  }
  spectrum_histogram.DrawLine(0, 0, kHistogramFootEnd, 0, kBrightWhite);
}

namespace {

// Step display at a chosen speed: holds the batch until `period_ms` after the start of the
// history while the window system runs, so that a class can follow single photons. Stop
// ends the wait within one tick.
void HoldUntil(const QElapsedTimer& history_clock, qint64 period_ms, const bool& stop) {
  constexpr int kTickMs = 10;
  if (stop || history_clock.elapsed() >= period_ms) return;
  QEventLoop wait;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &wait, [&] {
    if (stop || history_clock.elapsed() >= period_ms) wait.quit();
  });
  tick.start(kTickMs);
  wait.exec();
}

// Holds a paused batch before its next photon while the window system runs: until Resume,
// Stop, or one photon at a time lets one through (which it takes, the batch staying
// paused). Returns the time held [ms].
qint64 WaitWhilePaused(const VisualSession& session, const bool& stop, int* single_steps) {
  constexpr int kTickMs = 10;
  const auto released = [&] {
    return stop || session.State() != VisualState::kPaused ||
           (single_steps != nullptr && *single_steps > 0);
  };
  QElapsedTimer held;
  held.start();
  if (!released()) {
    QEventLoop wait;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &wait, [&] {
      if (released()) wait.quit();
    });
    tick.start(kTickMs);
    wait.exec();
  }
  if (!stop && session.State() == VisualState::kPaused && single_steps != nullptr &&
      *single_steps > 0)
    --*single_steps;
  return held.elapsed();
}

}  // namespace

long long RunVisualBatch(const VisualBatchView& view, long long photons, int yield_interval_ms) {
  static const bool kNeverStop = false;
  const bool& stop = view.stop_requested != nullptr ? *view.stop_requested : kNeverStop;
  VisualSession& session = view.session;
  // Step display draws one photon at a time: the newest stands out.
  SideViewTracks own_tracks;
  SideViewTracks& tracks = view.tracks != nullptr ? *view.tracks : own_tracks;
  DrawingObserver observer(view.side_view, view.zoomed_side_view, view.step_display,
                           view.step_display, tracks);
  QElapsedTimer history_clock;
  if (view.depth_dose != nullptr) view.depth_dose->BeginBatch();
  // Without step display the batch yields only every few tens of milliseconds: often enough
  // for the Stop button and a repaint, rarely enough to cost little time.
  QElapsedTimer since_yield;
  since_yield.start();
  long long done = 0;
  const auto show_total = [&] {
    if (view.total_count_label != nullptr)
      view.total_count_label->setText(QString::number(session.TotalPhotons()));
  };
  for (long long n = 1; n <= photons && !stop; ++n) {
    if (session.State() == VisualState::kPaused) {
      // The picture, the total and the curve as they stand while the class looks at them.
      show_total();
      if (view.depth_dose != nullptr) view.depth_dose->Refresh();
      const qint64 held = WaitWhilePaused(session, stop, view.single_steps);
      if (view.paused_ms != nullptr) *view.paused_ms += held;
      if (stop) break;
    }
    const double rate = view.photons_per_second != nullptr ? *view.photons_per_second : 0;
    const qint64 period_ms = view.step_display && rate > 0 ? std::llround(1000.0 / rate) : 0;
    if (period_ms > 0) history_clock.start();
    observer.NextPhoton(1);
    const VisualSourcePhoton photon = session.NextPhoton();
    view.photon_energy_label.setText(QString::number(0.001 * photon.energy, 'f', 3));
    session.TrackPhoton(photon, observer);
    if (view.depth_dose != nullptr) view.depth_dose->RefreshDuringBatch();
    done = n;
    // Counted photon by photon where they are drawn one by one, else at each repaint.
    if (view.step_display) show_total();
    if (period_ms > 0) HoldUntil(history_clock, period_ms, stop);
    if (!view.step_display && since_yield.elapsed() >= yield_interval_ms) {
      show_total();
      QCoreApplication::processEvents();
      since_yield.restart();
    }
  }
  // Without tracks kept for the next batch, none is left black: nothing would turn it red.
  if (view.tracks == nullptr) observer.NextPhoton(0);
  if (view.depth_dose != nullptr) view.depth_dose->Refresh();
  DrawSpectrumHistogram(view.spectrum_histogram, session.Simulation().SpectrumTally());
  return done;
}

}  // namespace dosavia::gui
