#include "models/visual_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "models/dmax_uncertainty.h"
#include "models/phantom_presets.h"

namespace dosavia {

namespace {

// Until a batch has been timed: seconds per photon without and with step display, on the
// slow side of a classroom PC (a 2020s desktop draws about 100000 photons a second at
// 10 MV without step display).
constexpr double kFirstGuessSecondsPerPhoton[2] = {1.0 / 20000.0, 1.0 / 40.0};
// Batches too short to time say little about the speed [s].
constexpr double kShortestTimedBatchSeconds = 0.2;

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// A beam from the boxes, or nullopt when the field text names no choice.
std::optional<VisualBeam> BeamOf(std::string_view energy_text, std::string_view field_plain_text,
                                 double mono_mev) {
  const FieldChoice* field = FindFieldChoice(field_plain_text);
  if (field == nullptr) return std::nullopt;
  VisualBeam beam;
  if (mono_mev > 0)
    beam.mono_mev = mono_mev;
  else
    beam.energy = std::string(energy_text);
  beam.field_side = field->side;
  return beam;
}

}  // namespace

std::string BeamName(const VisualBeam& beam) {
  if (beam.field_side <= 0) return {};
  std::string field;
  for (const FieldChoice& choice : VisualFieldChoices())
    if (choice.side == beam.field_side) field = choice.item;
  char energy[32];
  if (beam.mono_mev > 0)
    std::snprintf(energy, sizeof energy, "%g MeV", beam.mono_mev);
  else
    std::snprintf(energy, sizeof energy, "%s MV", beam.energy.c_str());
  return std::string(energy) + " " + field;
}

std::string DmaxSigmaText(double sigma_cm) {
  if (!(sigma_cm >= 0)) return {};
  return OneDecimal(std::max(0.1, sigma_cm));
}

long long BatchPhotonsOf(std::string_view plain_text) {
  return WholePhotonCount(TypedPhotonCount(plain_text));
}

void VisualSession::Init() {
  simulation_.Init();
  BackToWater();
  simulation_.ClearHistogram();
  state_ = VisualState::kSettings;
  physics_ = {};
  beam_ = {};
  confirmed_ = false;
  simulation_.SetField(FindFieldChoice(kVisualOpening.field)->side);
  tally_.Clear(simulation_.FieldSide());
  ClearSeries();
  reference_ = {};
  kept_beam_name_.clear();
}

ConfirmRefusal VisualSession::Confirm(std::string_view energy_text,
                                      std::string_view field_plain_text, double mono_mev) {
  if (Running()) return ConfirmRefusal::kNone;
  const std::optional<VisualBeam> beam = BeamOf(energy_text, field_plain_text, mono_mev);
  if (!beam) return ConfirmRefusal::kField;
  if (mono_mev > 0) {
    if (!simulation_.SetMonoenergeticSpectrum(mono_mev)) return ConfirmRefusal::kMonoEnergy;
  } else {
    const std::string file = std::string(energy_text) + "MV.csv";
    simulation_.LoadSpectrum(file, file);
  }
  simulation_.SetField(beam->field_side);
  // Another beam's photons never join the curve, histogram or total on screen.
  if (*beam != beam_) {
    if (kept_beam_name_.empty()) reference_ = {};
    ClearSeries();
  }
  beam_ = *beam;
  confirmed_ = true;
  state_ = VisualState::kConfirmed;
  return ConfirmRefusal::kNone;
}

void VisualSession::ShowSettings(std::string_view energy_text, std::string_view field_plain_text,
                                 double mono_mev) {
  if (Running()) return;
  const std::optional<VisualBeam> shown = BeamOf(energy_text, field_plain_text, mono_mev);
  // Only the beam OK confirmed (and not Reset since) lets Go run.
  const bool matches = confirmed_ && shown && *shown == beam_;
  state_ = matches ? VisualState::kConfirmed : VisualState::kSettings;
}

bool SlabBendsDoseFit(const std::vector<PhantomBand>& bands) {
  for (const PhantomBand& band : bands) {
    const PhantomMaterial* material = FindPhantomMaterial(band.material);
    if (material != nullptr && material->own_data && band.top_cm < kDoseFitDepthCm) return true;
  }
  return false;
}

std::string VisualSession::BeamName() const {
  const std::string name = dosavia::BeamName(beam_);
  if (name.empty() || !HasPhantom()) return name;
  return name + " " + phantom_link_;
}

bool VisualSession::ChoosePhantom(std::string_view link_value) {
  if (Running()) return false;
  const std::optional<std::string> text = PhantomTextOfLink(link_value);
  if (!text) return false;
  const Phantom phantom = ParsePhantom(*text, std::string(link_value));
  const std::string link = PhantomLinkOf(phantom);
  if (link == phantom_link_) return true;
  if (link == "water") {
    BackToWater();
  } else {
    simulation_.SetPhantom(phantom);
    if (phantom_link_ == "water") physics_in_water_ = physics_;
    tally_.SetLayers(simulation_.Layers());
    PhysicsSwitches accurate;
    accurate.accurate_transport = true;
    physics_ = accurate;
    phantom_link_ = link;
    bands_ = PhantomBands(phantom);
  }
  // Another phantom's photons never join the curve on screen.
  if (kept_beam_name_.empty()) reference_ = {};
  ClearSeries();
  return true;
}

void VisualSession::BackToWater() {
  if (HasPhantom()) physics_ = physics_in_water_;
  simulation_.ClearPhantom();
  tally_.SetLayers(nullptr);
  phantom_link_ = "water";
  bands_.clear();
}

bool VisualSession::BeginBatch(std::string_view seed_plain_text) {
  if (state_ != VisualState::kConfirmed) return false;
  if (!series_seed_) {
    const std::string_view blanks = " \t";
    const std::size_t first = seed_plain_text.find_first_not_of(blanks);
    std::optional<RunSeed> seed;
    if (first == std::string_view::npos) {
      seed = FreshSeriesSeed();
    } else {
      const std::size_t last = seed_plain_text.find_last_not_of(blanks);
      seed = ParseRunSeed(std::string(seed_plain_text.substr(first, last + 1 - first)));
    }
    if (!seed) return false;
    simulation_.Seed(*seed);
    series_seed_ = seed;
  }
  if (tally_.FieldSide() != simulation_.FieldSide()) tally_.Clear(simulation_.FieldSide());
  state_ = VisualState::kRunning;
  return true;
}

void VisualSession::Pause() {
  if (state_ == VisualState::kRunning) state_ = VisualState::kPaused;
}

void VisualSession::Resume() {
  if (state_ == VisualState::kPaused) state_ = VisualState::kRunning;
}

void VisualSession::EndBatch() {
  if (Running()) state_ = VisualState::kConfirmed;
}

void VisualSession::ClearSeries() {
  simulation_.ClearHistogram();
  tally_.Clear(simulation_.FieldSide());
  total_photons_ = 0;
  last_energy_kev_ = 0;
  incident_kev_ = 0;
  bin_cm_ = 0;
  sigma_cm_ = -1;
  builds_up_ = true;
  series_seed_.reset();
  ++series_count_;
}

void VisualSession::GraphClear() {
  if (Running()) return;
  reference_ = {};
  kept_beam_name_.clear();
  ClearSeries();
}

bool VisualSession::KeepCurve() {
  if (Running() || tally_.Histories() == 0) return false;
  const DepthDoseReading now = ReadCurve(false);
  if (!now.curve.has_maximum || !now.curve.dose_fit) return false;
  reference_ = now.curve;
  reference_physics_ = physics_;
  kept_beam_name_ = BeamName();
  return true;
}

void VisualSession::Reset() {
  if (Running()) return;
  GraphClear();
  BackToWater();
  physics_ = kVisualOpening.physics;
  reference_physics_ = {};
  state_ = VisualState::kSettings;
  confirmed_ = false;
}

void VisualSession::SwitchPhysics(const PhysicsSwitches& physics) {
  // In a phantom the accurate transport runs, whatever the switches say.
  if (Running() || HasPhantom()) return;
  if (physics.accurate_transport) simulation_.LoadAccurateData();
  // The curve as the tally stands now, not as last read.
  if (tally_.Histories() > 0) {
    const DepthDoseReading now = ReadCurve(false);
    if (now.curve.has_maximum && now.curve.dose_fit) {
      reference_ = now.curve;
      reference_physics_ = physics_;
      kept_beam_name_.clear();
    }
  }
  physics_ = physics;
  ClearSeries();
}

DepthDoseReading VisualSession::ReadCurve(bool measure) {
  DepthDoseReading reading;
  const double chosen = ChooseBinWidth(tally_);
  bin_cm_ = bin_cm_ > 0 ? std::min(bin_cm_, chosen) : chosen;
  reading.curve = MakeDepthDoseCurve(tally_, bin_cm_);
  reading.radius_cm = tally_.Radius();
  const DepthDoseCurve& curve = reading.curve;
  // Whether the curve can be read at all is judged on every curve, on the way through a
  // batch as at its end (ReadVisualCurve's one rule, the engine's too): a curve without
  // build-up never shows a d_max, not even once. On the way the cheaper jackknife judges;
  // the uncertainty shown stays the last bootstrap's.
  const VisualCurveReading judged = ReadVisualCurve(tally_, curve, measure);
  if (!curve.has_maximum)
    sigma_cm_ = -1;
  else if (measure)
    sigma_cm_ = judged.dmax_sigma_cm;
  builds_up_ = judged.build_up != BuildUp::kNone;
  reading.sigma_cm = sigma_cm_;
  reading.builds_up = builds_up_;
  reading.too_few = judged.too_few;
  reading.settled = judged.dmax_shown && DmaxIsSettled(sigma_cm_);
  reading.fits_firm = FitsAreFirm(judged.too_few, judged.build_up, reading.settled);
  using Verdict = DepthDoseReading::Verdict;
  if (curve.photons <= 0) {
    reading.verdict = Verdict::kEmpty;
  } else if (SlabBendsDoseFit(bands_)) {
    // However many photons run, the fit's water shape misreads a slab's curve: no d_max,
    // and nothing drawn as if it were sure.
    reading.verdict = Verdict::kSlab;
    reading.settled = false;
    reading.fits_firm = false;
  } else if (reading.too_few) {
    reading.verdict = Verdict::kTooFew;
  } else if (judged.build_up == BuildUp::kNone) {
    reading.verdict = Verdict::kNoBuildUp;
  } else {
    reading.verdict = Verdict::kDmax;
  }
  if (reading.verdict == Verdict::kDmax) {
    reading.dmax_text = OneDecimal(curve.d_max_cm);
    reading.sigma_text = DmaxSigmaText(sigma_cm_);
  }
  return reading;
}

double VisualSession::ExpectedSeconds(long long photons, bool step, double rate) const {
  double per_photon = kFirstGuessSecondsPerPhoton[step ? 1 : 0];
  const double held = step ? rate : 0;
  for (const Timing& t : timings_)
    if (t.step == step && t.rate == held) per_photon = t.seconds_per_photon;
  const double paced = step && rate > 0 ? 1.0 / rate : 0.0;
  return static_cast<double>(photons) * std::max(per_photon, paced);
}

VisualSession::Duration VisualSession::DurationOf(double seconds) {
  constexpr double kMinute = 60;
  constexpr double kHour = 3600;
  if (seconds < 2 * kHour) return {std::max(1LL, std::llround(seconds / kMinute)), false};
  return {std::llround(seconds / kHour), true};
}

void VisualSession::LearnSpeed(bool step, double rate, long long photons, double seconds) {
  if (photons <= 0 || seconds < kShortestTimedBatchSeconds) return;
  const double held = step ? rate : 0;
  const double per_photon = seconds / static_cast<double>(photons);
  for (Timing& t : timings_)
    if (t.step == step && t.rate == held) {
      t.seconds_per_photon = per_photon;
      return;
    }
  timings_.push_back({step, held, per_photon});
}

}  // namespace dosavia
