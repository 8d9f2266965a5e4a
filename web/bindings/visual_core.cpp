// The browser edition's entry to the C++ core: the visual run of the models library, driven
// from a Web Worker. The page only draws what comes back (track segments in world units,
// the histogram counts, the depth-dose curve) and handles input; no physics, sampling,
// tally or metric is computed in JavaScript.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/physics_switch_names.h"
#include "models/dmax_uncertainty.h"
#include "models/typed_text.h"
#include "models/visual_batch.h"
#include "models/visual_depth_dose.h"
#include "models/visual_tracks.h"
#include "physics/composed_observer.h"
#include "records/problem_text.h"
#include "web/bindings/report_language.h"

namespace dosavia::web {

using emscripten::val;

namespace {

// Points at which the smooth fits are handed to the page [cm]: every 0.1 cm over the phantom.
constexpr int kFitPoints = 301;

val Float64Array(const std::vector<double>& values) {
  val array = val::global("Float64Array").new_(values.size());
  array.call<void>("set", val(emscripten::typed_memory_view(values.size(), values.data())));
  return array;
}

val Float32Array(const std::vector<float>& values) {
  val array = val::global("Float32Array").new_(values.size());
  array.call<void>("set", val(emscripten::typed_memory_view(values.size(), values.data())));
  return array;
}

}  // namespace

// One visual simulation: its own VisualSimulation (spectrum, field, totals, histogram,
// generator) and the live depth-dose tally. Errors come back as text (empty:
// none) so that a failed load never leaves the worker half set up.
class VisualCore {
 public:
  std::string Init() {
    try {
      sim_->Init();
      tally_.Clear(sim_->field_side);
      return {};
    } catch (const std::exception& error) {
      return ReportOf(error, report_language);
    }
  }

  std::string LoadSpectrumFile(const std::string& name) {
    try {
      sim_->LoadSpectrum(name, name);
      return {};
    } catch (const std::exception& error) {
      return ReportOf(error, report_language);
    }
  }

  bool SetMonoenergetic(double mev) { return sim_->SetMonoenergeticSpectrum(mev); }
  val MonoRange() const {
    const EnergyRange range = sim_->MonoenergeticRangeMeV();
    val out = val::object();
    out.set("lowest", range.lowest);
    out.set("highest", range.highest);
    return out;
  }

  void SetField(double side) {
    sim_->field_side = side;
    sim_->source_distance = kVisualSourceDistanceCm;
  }

  // The parts of the physics in force for the next batches (all on at the start). The
  // tally goes on, so a curve of switched-off physics is never mixed into a full one only
  // if the page clears the graph when a switch changes, which it does.
  void SetPhysics(bool electron_transport, bool multiple_scattering, bool photon_scatter,
                  bool coherent, bool pair) {
    physics_ = {electron_transport, multiple_scattering, photon_scatter, coherent, pair};
  }

  // Starts a batch series on the seed that `text` names, or on a fresh one when it is
  // blank; returns the seed, or -1 (and nothing changes) for a text that is not a seed.
  double StartSeries(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t");
    const std::string trimmed =
        first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    const std::optional<RunSeed> seed = trimmed.empty() ? FreshSeriesSeed() : ParseRunSeed(trimmed);
    if (!seed) return -1;
    sim_->Seed(*seed);
    return static_cast<double>(*seed);
  }

  // Graph clear: totals, histogram and depth dose start again; the settings stay.
  void ClearGraph() {
    sim_->total_photon_count = 0;
    sim_->spectrum_tally.fill(0);
    tally_.Clear(sim_->field_side);
    tracks_.ClearDrawing();
    tracks_.ClearEnergy();
    last_energy_kev_ = 0;
    incident_kev_ = 0;
  }

  // Runs up to `photons` histories; the tracks of this call are then in Segments() and
  // Absorptions() until the next call. Returns the photons run.
  double Run(double photons) {
    const long long count = WholePhotonCount(photons);
    if (tally_.FieldSide() != sim_->field_side) tally_.Clear(sim_->field_side);
    tracks_.ClearDrawing();
    const TransportContext<double> context = sim_->Context(physics_);
    ComposedObserver<TrackSegmentCollector, VisualDepthDose> both(tracks_, tally_);
    for (long long n = 0; n < count; ++n) {
      tally_.StartHistory();
      last_energy_kev_ = sim_->SimulatePhoton(context, both);
      incident_kev_ += last_energy_kev_;
      ++sim_->total_photon_count;
    }
    return static_cast<double>(count);
  }

  val Segments() const { return Float32Array(tracks_.Segments()); }
  val Absorptions() const { return Float32Array(tracks_.Absorptions()); }
  double LastEnergyMeV() const { return 0.001 * last_energy_kev_; }
  double Total() const { return static_cast<double>(sim_->total_photon_count); }
  double DepositedKeV() const { return tracks_.Deposited(); }
  double EscapedKeV() const { return tracks_.Escaped(); }
  double IncidentKeV() const { return incident_kev_; }

  // The raw tally, for comparing this build with the native one: energy [keV] per history
  // group and 0.1 cm slab, dose then kerma, group-major (16 x 300 each).
  val RawTally() const {
    std::vector<double> values;
    values.reserve(2 * kDepthDoseGroups * kDepthDoseBins);
    for (int g = 0; g < kDepthDoseGroups; ++g)
      for (int k = 0; k < kDepthDoseBins; ++k) values.push_back(tally_.GroupDose(g, k));
    for (int g = 0; g < kDepthDoseGroups; ++g)
      for (int k = 0; k < kDepthDoseBins; ++k) values.push_back(tally_.GroupKerma(g, k));
    return Float64Array(values);
  }

  // Counts of spectrum bins 1..400 (index 0 is bin 1).
  val SpectrumCounts() const {
    std::vector<double> counts(kSpectrumBins);
    for (int q = 1; q <= kSpectrumBins; ++q) counts[q - 1] = static_cast<double>(sim_->spectrum_tally[q]);
    return Float64Array(counts);
  }

  // The live depth-dose curve as the desktop panel shows it, and the uncertainty of d_max
  // when asked. Whether the curve can be read at all is judged on every curve, on the way
  // through a batch as at its end: a curve whose d_max could lie anywhere in the build-up
  // region is too few photons, never a d_max (seventeen more fits of 120 bins; a hundred more
  // for the bootstrap's uncertainty when it is asked for).
  val DepthDose(bool with_uncertainty) const {
    const DepthDoseCurve curve = MakeDepthDoseCurve(tally_);
    val out = val::object();
    out.set("binCm", curve.bin_cm);
    out.set("dose", Float64Array(curve.dose));
    out.set("primary", Float64Array(curve.primary));
    out.set("kerma", Float64Array(curve.kerma));
    out.set("photons", static_cast<double>(curve.photons));
    out.set("hasMaximum", curve.has_maximum);
    out.set("dmaxCm", curve.d_max_cm);
    out.set("dmaxDose", curve.d_max_dose);
    out.set("noiseAtMax", curve.noise_at_max);
    out.set("radiusCm", tally_.Radius());
    const VisualCurveReading reading = ReadVisualCurve(tally_, curve, with_uncertainty);
    const double sigma = with_uncertainty ? reading.dmax_sigma_cm : -1.0;
    out.set("dmaxSigmaCm", sigma);
    out.set("dmaxSettled", with_uncertainty && reading.settled);
    // A curve that starts at its maximum (no electron transport) has no d_max to show, also
    // on the way through a batch: the page never shows a d_max for it.
    out.set("buildUp", reading.build_up != BuildUp::kNone);
    out.set("tooFewPhotons", reading.too_few);
    // The dose fit as deep as its bins take part in it, as the desktop panel draws it: beyond,
    // it would be an extrapolation that strays from the bars it never saw.
    std::vector<double> dose_fit, kerma_fit;
    if (curve.dose_fit)
      for (int i = 0; i < kFitPoints && 0.1 * i <= kDoseFitDepthCm + 1e-9; ++i)
        dose_fit.push_back(curve.dose_fit(0.1 * i));
    if (curve.kerma_fit)
      for (int i = 0; i < kFitPoints; ++i) kerma_fit.push_back(curve.kerma_fit(0.1 * i));
    out.set("doseFit", Float64Array(dose_fit));
    out.set("kermaFit", Float64Array(kerma_fit));
    return out;
  }

 private:
  // This worker's simulation: its spectrum, field, totals, generator and tables.
  std::unique_ptr<VisualSimulation> sim_ = std::make_unique<VisualSimulation>();
  VisualDepthDose tally_;
  TrackSegmentCollector tracks_;
  double last_energy_kev_ = 0;
  double incident_kev_ = 0;
  PhysicsSwitches physics_;
};

// The typed-text rules, so that the page reads a count (a box's or a link's) and a field as
// the engine screen does. The page makes the text plain (String.prototype.normalize("NFKC"))
// first; a count that is none is -1.
double TypedCount(const std::string& plain_text) { return TypedPhotonCount(plain_text); }
double TypedFieldSide(const std::string& plain_text) {
  const FieldChoice* choice = FindFieldChoice(plain_text);
  return choice != nullptr ? choice->side : 0.0;
}
// The parts of the physics a lesson may switch off, in the order of their tag letters:
// { option, ja, en } with the words Kestrun's console and the legends use.
val PhysicsSwitchList() {
  val list = val::array();
  for (const PhysicsSwitchName& name : kPhysicsSwitchNames) {
    val entry = val::object();
    entry.set("option", std::string(name.option));
    entry.set("ja", std::string(name.japanese));
    entry.set("en", std::string(name.english));
    list.call<void>("push", entry);
  }
  return list;
}

val FieldItems() {
  val items = val::array();
  for (const FieldChoice& choice : VisualFieldChoices()) items.call<void>("push", std::string(choice.item));
  return items;
}

EMSCRIPTEN_BINDINGS(dosavia_visual) {
  emscripten::class_<VisualCore>("VisualCore")
      .constructor<>()
      .function("init", &VisualCore::Init)
      .function("loadSpectrumFile", &VisualCore::LoadSpectrumFile)
      .function("setMonoenergetic", &VisualCore::SetMonoenergetic)
      .function("monoRange", &VisualCore::MonoRange)
      .function("setField", &VisualCore::SetField)
      .function("setPhysics", &VisualCore::SetPhysics)
      .function("clearGraph", &VisualCore::ClearGraph)
      .function("startSeries", &VisualCore::StartSeries)
      .function("run", &VisualCore::Run)
      .function("segments", &VisualCore::Segments)
      .function("absorptions", &VisualCore::Absorptions)
      .function("lastEnergyMeV", &VisualCore::LastEnergyMeV)
      .function("total", &VisualCore::Total)
      .function("depositedKeV", &VisualCore::DepositedKeV)
      .function("escapedKeV", &VisualCore::EscapedKeV)
      .function("incidentKeV", &VisualCore::IncidentKeV)
      .function("rawTally", &VisualCore::RawTally)
      .function("spectrumCounts", &VisualCore::SpectrumCounts)
      .function("depthDose", &VisualCore::DepthDose);
  emscripten::function("typedCount", &TypedCount);
  emscripten::function("typedFieldSide", &TypedFieldSide);
  emscripten::function("fieldItems", &FieldItems);
  emscripten::function("physicsSwitches", &PhysicsSwitchList);
}

}  // namespace dosavia::web
