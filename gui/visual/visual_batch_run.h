// The visual screen's batch: the settings only the screen has (photons per Go, step
// display, the magnified view) and the run that simulates photons through the Qt-free
// visual model and draws their tracks as they come, pacing itself for the window system.
#pragma once

#include "models/visual_batch.h"

class QLabel;

namespace dosavia::gui {

class DepthDosePanel;
class PictureBox;

// Photons per press of "Go" (the number typed; its whole part is run).
extern double BatchPhotonCount;
// 1: let the window system catch up after every drawn step; 0: draw the batch in one go.
extern int StepDisplayFlag;
// 2: magnified view hidden (its button reads "ON"); 1: shown (button reads "OFF").
extern int ZoomState;
// The surfaces a batch draws on: tracks on the side view and its zoomed copy, absorptions on
// the side view, the spectrum histogram, the current photon energy [MeV] in its label.
struct VisualBatchView {
  // The simulation whose photons the batch runs (its spectrum, field, histogram, generator).
  VisualSimulation& simulation;
  PictureBox& side_view;
  PictureBox& zoomed_side_view;
  PictureBox& spectrum_histogram;
  QLabel& photon_energy_label;
  // With a panel, its depth dose is scored along with the drawing and shown as it grows.
  DepthDosePanel* depth_dose = nullptr;
  // In step display, at most this many photons a second (0 or none: no pause); read before
  // every photon, so the speed can be changed while the batch runs.
  const double* photons_per_second = nullptr;
  // The parts of the physics in force for this batch's photons.
  PhysicsSwitches physics = {};
  // With a label, the series' total (simulation.total_photon_count and the photons of this
  // batch done so far) is shown in it as the photons are done.
  QLabel* total_count_label = nullptr;
};

// With step display off, the batch still lets the window system handle its events after
// this much work [ms], so that the screen repaints and its Stop button answers.
inline constexpr int kBatchYieldIntervalMs = 40;

// Simulates BatchPhotonCount source photons with the current settings and draws them on
// the pictures of `view`, then redraws the histogram. Returns the number of photons
// simulated: fewer than asked when a stop was requested. Without step display the window
// system handles its events every `yield_interval_ms` of work.
long long RunVisualBatch(const VisualBatchView& view,
                         int yield_interval_ms = kBatchYieldIntervalMs);

// True while a batch runs (it may be yielding to the window system).
bool IsBatchRunning();

// Asks a running batch to return once the history in progress is finished and drawn.
void RequestBatchStop();

}  // namespace dosavia::gui
