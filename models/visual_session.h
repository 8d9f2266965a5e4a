// The visual screen's whole session, once for both front ends: what OK confirmed, how a
// typed count and seed are read, when a batch series starts (a new beam starts a new one),
// the batch's run through the simulation and the live depth-dose tally, Graph clear, Reset
// to the one table of opening values, the estimate of a batch's duration and the reading
// of the live curve (its bins, d_max and how sure it is, and the words of its label).
// Dosavia's VisualScreen and the browser's binding only forward the user's actions here and
// draw what the session says; neither changes the simulation itself.
//
// States: settings (nothing confirmed, or the boxes show other than what OK confirmed) ->
// confirmed (Go may run) -> running, which Pause holds (paused) and the batch's end returns
// to confirmed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_seed.h"
#include "models/phantom_bands.h"
#include "models/typed_text.h"
#include "models/visual_batch.h"
#include "models/visual_depth_dose.h"
#include "physics/composed_observer.h"
#include "physics/physics_switches.h"

namespace dosavia {

// The screen as it opens, and as Reset leaves it, on both front ends. Reset is a fresh
// screen: the physics switches on again, so that the next class never starts without
// electrons unknowingly, the beam and the count as at the start.
struct VisualOpening {
  const char* energy;       // the energy box [MV]
  const char* field;        // the field box, UTF-8 ("4×4")
  const char* photons;      // photons per Go
  double mono_mev;          // the browser's mono-energetic beam [MeV]
  bool step_display;        // photons drawn one by one
  bool zoomed;              // the twice-magnified view shown
  bool depth_dose_shown;    // the depth-dose panel shown (desktop; the browser always shows it)
  PhysicsSwitches physics;  // all on
};
inline constexpr VisualOpening kVisualOpening{"10", "4×4", "100", 2.0, true, false, false, {}};

// Photons a second of the step display at each position of its speed slider, slowest first;
// 0 is as fast as the screen draws. Both screens open on the last.
inline constexpr double kStepSpeeds[] = {1, 2, 3, 5, 10, 20, 50, 100, 200, 500, 0};

enum class VisualState { kSettings, kConfirmed, kRunning, kPaused };

// The beam that OK confirms: an X-ray spectrum by its energy box text ("10" -> 10MV.csv) or
// a mono-energetic beam, and the field.
struct VisualBeam {
  std::string energy;     // the energy box's text; empty for a mono-energetic beam
  double mono_mev = 0;    // > 0: the mono-energetic beam's energy [MeV]
  double field_side = 0;  // [cm]
  friend bool operator==(const VisualBeam&, const VisualBeam&) = default;
};

// The name of a beam as the depth-dose panel shows it ("10 MV 4×4", "2 MeV 4×4"), the same
// in every language.
std::string BeamName(const VisualBeam& beam);

// The photons that a typed count runs: the count as every count box reads it
// (TypedPhotonCount: "30,000", "30 000", "3e4" and, made plain, "３００００" are 30000); 0,
// refused with a message, for a text that is no count, below one photon or not a whole
// number ("0.5", "1.5", "0", "abc").
long long BatchPhotonsOf(std::string_view plain_text);

// d_max's standard uncertainty [cm] as its label shows it, to one decimal: never "0.0" (an
// uncertainty below 0.05 cm is shown as the smallest the label can tell, "0.1"); empty
// while it is unknown (< 0).
std::string DmaxSigmaText(double sigma_cm);

// Why OK refused, worded by the front end.
enum class ConfirmRefusal { kNone, kField, kMonoEnergy };

// The live curve as the panel and the page draw it, and the words of its label.
struct DepthDoseReading {
  DepthDoseCurve curve;
  double radius_cm = 0;    // the scoring cylinder's radius; 0 before a field is confirmed
  double sigma_cm = -1;    // d_max's standard uncertainty as last measured; -1 unknown
  bool builds_up = true;   // false: the maximum lies at the surface
  bool too_few = false;    // photons run, but too few to read the curve
  bool settled = false;    // d_max known well enough for a marker
  bool fits_firm = false;  // the fits drawn firm, else faint and dashed (FitsAreFirm)
  // What the label says. kSlab: a layer of another material lies within the depths the
  // water-shaped dose fit reads, which bends the fit and with it d_max; none is shown, only
  // a note that the engine screen's values at the interfaces measure such a phantom.
  enum class Verdict { kEmpty, kTooFew, kNoBuildUp, kDmax, kSlab } verdict = Verdict::kEmpty;
  std::string dmax_text;   // "1.9" [cm], with kDmax
  std::string sigma_text;  // "0.2" [cm], never "0.0"; empty while unknown
};

// Whether the curve of a phantom with `bands` can give a d_max: not when a material other
// than water (a bolus is water) starts within the depths the dose fit reads.
bool SlabBendsDoseFit(const std::vector<PhantomBand>& bands);

class VisualSession {
 public:
  // Loads the data tables (VisualSimulation::Init) and puts the session in its opening
  // state. Throws InputError for a missing or malformed data file.
  void Init();

  // OK with `beam` (for an X-ray spectrum, the file `<energy>MV.csv`): a field text that is
  // none of the choices or an energy outside the mono-energetic range is refused (nothing
  // changes); an unreadable spectrum throws InputError (nothing changes). A beam other than
  // the one of the series on screen starts a new series: curve, histogram, total and tracks
  // empty, as Reset leaves them (NewSeries() counts it, so that the views clear their
  // tracks).
  ConfirmRefusal Confirm(std::string_view energy_text, std::string_view field_plain_text,
                         double mono_mev = 0);
  // The boxes now show `energy_text` and the field `field_plain_text` (mono_mev > 0: the
  // mono-energetic beam): Go only while they show what OK confirmed, OK whenever they show
  // anything else, so that a batch never runs settings other than those on screen.
  void ShowSettings(std::string_view energy_text, std::string_view field_plain_text,
                    double mono_mev = 0);

  VisualState State() const { return state_; }
  bool CanGo() const { return state_ == VisualState::kConfirmed; }
  bool CanConfirm() const { return state_ == VisualState::kSettings; }
  bool Running() const { return state_ == VisualState::kRunning || state_ == VisualState::kPaused; }
  // The beam of the series on screen (field_side 0 before the first OK).
  const VisualBeam& Beam() const { return beam_; }
  // Its name, and the phantom's link value after it when it runs in one ("10 MV 1×1 lung").
  std::string BeamName() const;

  // Go: starts a batch, and first a series when none runs (after opening, OK with a new
  // beam, Graph clear, Reset, a physics switch) on the seed that `seed_plain_text` names, or
  // a fresh one when it is blank. False, with nothing changed, when Go cannot run now or the
  // text is no seed.
  bool BeginBatch(std::string_view seed_plain_text);
  // The seed of the series on screen; nullopt before its first Go.
  std::optional<RunSeed> SeriesSeed() const { return series_seed_; }

  // One photon of the running batch: drawn from the source (and counted in the histogram),
  // then tracked, its events scored in the live tally and reported to `drawer`.
  VisualSourcePhoton NextPhoton() { return simulation_.SampleSource(); }
  template <typename Drawer>
  void TrackPhoton(const VisualSourcePhoton& photon, Drawer& drawer) {
    const TransportContext<double> context = simulation_.Context(physics_);
    tally_.StartHistory();
    ComposedObserver<Drawer, VisualDepthDose> both(drawer, tally_);
    VisualSimulation::TrackPhoton(context, photon, both);
    last_energy_kev_ = photon.energy;
    incident_kev_ += photon.energy;
    ++total_photons_;
  }
  // Pause holds the running batch (its tracks and tally stay), Resume lets it go on; either
  // does nothing in another state.
  void Pause();
  void Resume();
  // One photon at a time: the paused batch's next photon, or between batches (Go may run) a
  // batch of one, so that a class follows a single history at its own pace.
  bool CanStepOne() const {
    return state_ == VisualState::kPaused || state_ == VisualState::kConfirmed;
  }
  // The batch is over (all run, or stopped after the photon in progress).
  void EndBatch();

  // Graph clear: total, histogram, curve and reference empty; the settings stay, and the
  // next Go starts a new series.
  void GraphClear();
  // Reset: Graph clear, water alone, the physics switches all on, nothing confirmed (the
  // views show kVisualOpening in their boxes).
  void Reset();
  // A physics switch: the graph starts afresh for the new physics, the curve so far (when it
  // has a maximum) staying as the reference named by the physics it was run with; without a
  // curve of its own the earlier reference stays. The accurate transport's data are read the
  // first time it is asked for: InputError when they cannot be, and nothing changes.
  void SwitchPhysics(const PhysicsSwitches& physics);
  const PhysicsSwitches& Physics() const { return physics_; }

  // The slab phantom the photons run in, by a link's value: a preset's key ("lung") or
  // layers written out ("water:2,air:3"); "water" (or layers all of water) is water alone.
  // A phantom runs the accurate transport, its layers' own data read the first time it is
  // chosen, and the physics switches rest (SwitchPhysics changes nothing) until water is
  // chosen again, which gives back the physics of before. The depth dose is then per mass of
  // each slab's material. Another phantom starts a new series, as another beam does (a kept
  // curve stays beside it). False, with nothing changed, while a batch runs or for a value
  // that is neither a key nor layers; InputError, with nothing changed, for layers that
  // cannot be (ParsePhantom, naming the value) or a data file that cannot be read.
  bool ChoosePhantom(std::string_view link_value);
  bool HasPhantom() const { return simulation_.Layers() != nullptr; }
  // The phantom in force as a link names it ("water", "lung", "water:2,air:3").
  const std::string& PhantomLink() const { return phantom_link_; }
  // Its slabs as the views shade them; none in water alone.
  const std::vector<PhantomBand>& Bands() const { return bands_; }

  // Counts the series started anew by OK, Graph clear, Reset or a switch: a view whose
  // tracks belong to an older count clears them.
  long long NewSeries() const { return series_count_; }

  long long TotalPhotons() const { return total_photons_; }
  double LastEnergyMeV() const { return 0.001 * last_energy_kev_; }
  double IncidentKeV() const { return incident_kev_; }
  const VisualSimulation& Simulation() const { return simulation_; }
  const VisualDepthDose& Tally() const { return tally_; }

  // The live curve, and whether it builds up; `measure` also measures d_max's uncertainty
  // (some tens of fits), which is otherwise kept from the last measurement. Its bins only
  // grow finer until the tally is emptied, so that the curve does not coarsen again after a
  // Stop or a refresh.
  DepthDoseReading ReadCurve(bool measure);
  // The curve before the last physics switch, or the one kept (has_maximum false: none), and
  // its physics.
  const DepthDoseCurve& Reference() const { return reference_; }
  const PhysicsSwitches& ReferencePhysics() const { return reference_physics_; }
  // Keep this curve: the curve on screen becomes the reference, drawn faint beside the next
  // ones, and stays through OK with another beam (4 MV kept beside 15 MV, 1×1 beside 10×10)
  // until Graph clear, Reset or a physics switch puts another in its place. False, with
  // nothing changed, while a batch runs or before a curve has a fit.
  bool KeepCurve();
  // The beam of the kept curve ("4 MV 10×10", in a phantom "10 MV 1×1 lung"); empty for a
  // curve a physics switch left.
  const std::string& KeptBeamName() const { return kept_beam_name_; }

  // The batch-time estimate: the seconds a batch of `photons` will take at step display
  // `step` held to `rate` photons a second (0: unheld), from the last batch timed at the same
  // display and rate, at least the time the rate holds it to.
  double ExpectedSeconds(long long photons, bool step, double rate) const;
  // A batch expected to run longer than a minute asks first.
  static bool AsksFirst(double seconds) { return seconds > 60.0; }
  // The duration as the question words it: whole minutes (at least 1), or whole hours from
  // two hours on.
  struct Duration {
    long long amount = 0;
    bool hours = false;
  };
  static Duration DurationOf(double seconds);
  // A batch of `photons` took `seconds`: the next estimate at this display and rate.
  void LearnSpeed(bool step, double rate, long long photons, double seconds);

 private:
  void ClearSeries();
  void BackToWater();
  struct Timing {
    bool step;
    double rate;
    double seconds_per_photon;
  };

  VisualSimulation simulation_;
  VisualDepthDose tally_;
  PhysicsSwitches physics_;
  VisualState state_ = VisualState::kSettings;
  VisualBeam beam_;
  bool confirmed_ = false;  // OK confirmed beam_ since the last Reset
  std::optional<RunSeed> series_seed_;
  long long series_count_ = 0;
  long long total_photons_ = 0;
  double last_energy_kev_ = 0;
  double incident_kev_ = 0;
  double bin_cm_ = 0;
  double sigma_cm_ = -1;
  bool builds_up_ = true;
  DepthDoseCurve reference_;
  PhysicsSwitches reference_physics_;
  std::string kept_beam_name_;
  std::vector<Timing> timings_;
  std::string phantom_link_ = "water";
  std::vector<PhantomBand> bands_;
  PhysicsSwitches physics_in_water_;  // the physics to give back when water is chosen again
};

}  // namespace dosavia
