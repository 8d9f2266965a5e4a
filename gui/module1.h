// The visual simulation's shared state and its run: the settings that the visual screen
// hands to the physics core, the histogram of sampled spectrum bins, the generator and data
// tables of the interactive program (double precision), and the batch that simulates and
// draws photons.
#pragma once

#include <array>
#include <string>

#include "engine/spectrum_file.h"
#include "physics/physics_tables.h"
#include "physics/random_stream.h"

class QLabel;

namespace dosavia::gui {

class DepthDosePanel;
class PictureBox;

// Bins that the menu's ClearSpectrumTally empties (the first 15 MeV).
inline constexpr int kClearedSpectrumBins = 300;

// Phantom of the visual run: 50 x 50 cm wide, 30 cm deep, centred on the beam axis [cm].
inline constexpr double kVisualHalfWidthCm = 25.0;
inline constexpr double kVisualDepthCm = 30.0;
// Distance of the point source from the surface [cm]; the beam is practically parallel.
inline constexpr double kVisualSourceDistanceCm = 10000.0;

// Photon energies of the X-ray spectrum [keV], index 1..400.
extern std::array<double, kSpectrumBins + 1> SpectrumEnergy;
// Normalised running sum of the spectrum weights, index 1..400; entry 400 is 1.
extern std::array<double, kSpectrumBins + 1> SpectrumCumulative;
// Distance of the point source above the field centre [cm].
extern double SourceDistance;
// Side of the square field at the surface [cm].
extern double FieldSide;
// Photons per press of "Go" (the number typed; its whole part is run).
extern double BatchPhotonCount;
// 1: let the window system catch up after every drawn step; 0: draw the batch in one go.
extern int StepDisplayFlag;
// Photons simulated since the last reset.
extern long long TotalPhotonCount;
// 2: magnified view hidden (its button reads "ON"); 1: shown (button reads "OFF").
extern int ZoomState;
// How often each spectrum bin was drawn, index 1..400.
extern std::array<long long, kSpectrumBins + 1> SpectrumTally;

// The interactive program's generator and data tables.
extern RandomStream<double> SimulationRandom;
extern PhysicsTables<double> SimulationTables;

// Seeds the generator, loads "water20.dat" and "ELDAT.dat" from the working directory and
// sets the phantom constants. Throws InputError (naming the file and the problem) when a
// data file is missing or malformed; the tables then keep their earlier contents.
void InitSimulation();

// Empties SpectrumTally(1..300); bins 301..400 keep their counts.
void ClearSpectrumTally();

// Reads the 400 records (energy [MeV], relative weight) of the spectrum file at `path`
// in free format and sets SpectrumEnergy [keV] and SpectrumCumulative. Throws InputError
// for a missing file, fewer than 400 records, a value that is not a number, a negative
// weight, weights that sum to 0, or a weighted energy outside the loaded photon table
// (ParseFreeFormatSpectrum); the spectrum is then left as it was.
void LoadSpectrum(const std::string& path, const std::string& display_name);

// The number of photons that a batch of `count` runs: its whole part, 0 for a count
// below 1 or one that is not a finite number.
long long WholePhotonCount(double count);

// The surfaces a batch draws on: tracks on picture1 and picture3, absorptions on picture1,
// the histogram on picture2, the current photon energy [MeV] in label32.
struct VisualBatchView {
  PictureBox& picture1;
  PictureBox& picture3;
  PictureBox& picture2;
  QLabel& label32;
  // With a panel, its depth dose is scored along with the drawing and shown as it grows.
  DepthDosePanel* depth_dose = nullptr;
  // In step display, at most this many photons a second (0 or none: no pause); read before
  // every photon, so the speed can be changed while the batch runs.
  const double* photons_per_second = nullptr;
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
