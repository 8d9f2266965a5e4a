// The visual screen's batch: the run that simulates the session's photons and draws their
// tracks as they come, pacing itself for the window system.
#pragma once

#include <QColor>
#include <QtGlobal>

#include <array>
#include <vector>

#include "models/visual_session.h"
#include "models/visual_tracks.h"

class QLabel;

namespace dosavia::gui {

// The colours of the accurate transport's own tracks, in the side views and their key: delta
// rays light magenta, bremsstrahlung photons green (the classic palette's 13 and 2), apart
// from the light red of the other electrons and positrons.
inline const QColor kDeltaRayColor(255, 0, 255);
inline const QColor kBremsstrahlungColor(0, 128, 0);
// The newest photon's electrons while photons are drawn one by one: black on the older red.
inline const QColor kNewestTrackColor(0, 0, 0);

class DepthDosePanel;
class PictureBox;

// What the side views' drawing carries from photon to photon and from batch to batch: the
// fade of the older tracks and the newest photon's highlighted steps and points [cm], which
// turn red when the next photon starts, be it in the next batch (one photon at a time). The
// screen keeps one and forgets it whenever it clears the pictures.
struct SideViewTracks {
  struct Item {
    double z1, x1, z2, x2;
    bool point;
  };
  TrackFade fade;
  std::vector<Item> newest;
  void Forget() {
    fade.Reset();
    newest.clear();
  }
};

// The surfaces a batch draws on: tracks on the side view and its zoomed copy, absorptions on
// the side view, the spectrum histogram, the current photon energy [MeV] in its label.
struct VisualBatchView {
  // The session whose photons the batch runs (its simulation, tally and physics).
  VisualSession& session;
  PictureBox& side_view;
  PictureBox& zoomed_side_view;
  PictureBox& spectrum_histogram;
  QLabel& photon_energy_label;
  // With a panel, the growing curve is shown in it as the photons are done.
  DepthDosePanel* depth_dose = nullptr;
  // In step display, at most this many photons a second (0 or none: no pause); read before
  // every photon, so the speed can be changed while the batch runs.
  const double* photons_per_second = nullptr;
  // With a label, the series' total is shown in it as the photons are done.
  QLabel* total_count_label = nullptr;
  // Step display: the window system catches up after every drawn step.
  bool step_display = false;
  // Set (by Stop) while the batch runs: the batch returns after the photon in progress.
  const bool* stop_requested = nullptr;
  // While the session is paused the batch waits before its next photon; each count here
  // (one photon at a time) lets one more photon through, the batch staying paused.
  int* single_steps = nullptr;
  // With a clock, the time the batch spent paused [ms], so that the batch-time estimate
  // learns the simulation's speed, not how long a class looked at a held picture.
  qint64* paused_ms = nullptr;
  // With one, the fade and the newest photon go on from the last batch; without, the batch
  // starts its own and leaves no photon highlighted.
  SideViewTracks* tracks = nullptr;
};

// With step display off, the batch still lets the window system handle its events after
// this much work [ms], so that the screen repaints and its Stop button answers.
inline constexpr int kBatchYieldIntervalMs = 40;

// Simulates `photons` source photons of the session's running batch and draws them on the
// pictures of `view`, then redraws the histogram. Returns the number of photons simulated:
// fewer than asked when a stop was requested. Without step display the window system
// handles its events every `yield_interval_ms` of work.
long long RunVisualBatch(const VisualBatchView& view, long long photons,
                         int yield_interval_ms = kBatchYieldIntervalMs);

// The histogram of the bins drawn so far, bars in per cent of the highest bin.
void DrawSpectrumHistogram(PictureBox& spectrum_histogram,
                           const std::array<long long, kSpectrumBins + 1>& tally);

}  // namespace dosavia::gui
