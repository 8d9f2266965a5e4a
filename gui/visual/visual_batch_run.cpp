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

double BatchPhotonCount = 0;
int StepDisplayFlag = 1;
int ZoomState = 2;
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

bool batch_running = false;
bool batch_stop_requested = false;

// Draws the visual run's events: each electron or positron step as a light-red line on the
// side view and its magnified copy, each local absorption as a light-red point on the side
// view (horizontal axis depth z, vertical axis lateral x). With `yield` set the window
// system handles its pending events after every drawn step.
class DrawingObserver : public NullObserver<double> {
 public:
  DrawingObserver(PictureBox& side_view, PictureBox& zoomed_side_view, bool yield)
      : side_view_(side_view), zoomed_side_view_(zoomed_side_view), yield_(yield) {}

  void OnChargedStep(const ChargedStep<double>& step, int) {
    side_view_.DrawLine(step.start.z, step.start.x, step.end.z, step.end.x, kLightRed);
    zoomed_side_view_.DrawLine(step.start.z, step.start.x, step.end.z, step.end.x, kLightRed);
    if (yield_) QCoreApplication::processEvents();
  }
  void OnLocalAbsorption(const Vec3<double>& p, double, AbsorptionCause, int) {
    side_view_.DrawPoint(p.z, p.x, kLightRed);
  }

 private:
  PictureBox& side_view_;
  PictureBox& zoomed_side_view_;
  bool yield_;
};

static_assert(TransportObserver<DrawingObserver, double>);

// Histogram of the bins drawn so far, bars in per cent of the highest bin. An empty
// histogram (a batch that ran no photon) draws nothing.
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

// Step display at a chosen speed: holds the batch until `period_ms` after the start of the
// history while the window system runs, so that a class can follow single photons. Stop
// ends the wait within one tick.
void HoldUntil(const QElapsedTimer& history_clock, qint64 period_ms) {
  constexpr int kTickMs = 10;
  if (batch_stop_requested || history_clock.elapsed() >= period_ms) return;
  QEventLoop wait;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, &wait, [&] {
    if (batch_stop_requested || history_clock.elapsed() >= period_ms) wait.quit();
  });
  tick.start(kTickMs);
  wait.exec();
}

}  // namespace

long long RunVisualBatch(const VisualBatchView& view, int yield_interval_ms) {
  struct RunningFlag {
    RunningFlag() { batch_running = true; }
    ~RunningFlag() { batch_running = false; }
  } running;
  batch_stop_requested = false;
  VisualSimulation& simulation = view.simulation;
  const TransportContext<double> context = simulation.Context(view.physics);
  DrawingObserver observer(view.side_view, view.zoomed_side_view, StepDisplayFlag == 1);
  const long long photons = WholePhotonCount(BatchPhotonCount);
  QElapsedTimer history_clock;
  if (view.depth_dose != nullptr) view.depth_dose->BeginBatch(simulation.field_side);
  // Without step display the batch yields only every few tens of milliseconds: often enough
  // for the Stop button and a repaint, rarely enough to cost little time.
  QElapsedTimer since_yield;
  since_yield.start();
  long long done = 0;
  const auto show_total = [&] {
    if (view.total_count_label != nullptr)
      view.total_count_label->setText(QString::number(simulation.total_photon_count + done));
  };
  for (long long n = 1; n <= photons && !batch_stop_requested; ++n) {
    const double rate = view.photons_per_second != nullptr ? *view.photons_per_second : 0;
    const qint64 period_ms = StepDisplayFlag == 1 && rate > 0 ? std::llround(1000.0 / rate) : 0;
    if (period_ms > 0) history_clock.start();
    const VisualSourcePhoton photon = simulation.SampleSource();
    view.photon_energy_label.setText(QString::number(0.001 * photon.energy, 'f', 3));
    if (view.depth_dose != nullptr) {
      VisualDepthDose& tally = view.depth_dose->Tally();
      tally.StartHistory();
      ComposedObserver<DrawingObserver, VisualDepthDose> both(observer, tally);
      VisualSimulation::TrackPhoton(context, photon, both);
      view.depth_dose->RefreshDuringBatch();
    } else {
      VisualSimulation::TrackPhoton(context, photon, observer);
    }
    done = n;
    // Counted photon by photon where they are drawn one by one, else at each repaint.
    if (StepDisplayFlag == 1) show_total();
    if (period_ms > 0) HoldUntil(history_clock, period_ms);
    if (StepDisplayFlag != 1 && since_yield.elapsed() >= yield_interval_ms) {
      show_total();
      QCoreApplication::processEvents();
      since_yield.restart();
    }
  }
  if (view.depth_dose != nullptr) view.depth_dose->Refresh();
  DrawSpectrumHistogram(view.spectrum_histogram, simulation.spectrum_tally);
  return done;
}

bool IsBatchRunning() { return batch_running; }

void RequestBatchStop() { batch_stop_requested = true; }

}  // namespace dosavia::gui
