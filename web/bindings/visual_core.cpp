// The browser edition's entry to the C++ core: the visual run of the models library, driven
// from a Web Worker. The page only draws what comes back (track segments in world units,
// the histogram counts, the depth-dose curve) and handles input; no physics, sampling,
// tally or metric is computed in JavaScript.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "engine/physics_switch_names.h"
#include "models/phantom_presets.h"
#include "models/typed_text.h"
#include "models/visual_session.h"
#include "models/visual_tracks.h"
#include "records/problem_text.h"
#include "web/bindings/phantom_band_list.h"
#include "web/bindings/report_language.h"
#include "web/bindings/typed_arrays.h"

namespace dosavia::web {

using emscripten::val;

namespace {

// Points at which the smooth fits are handed to the page [cm]: every 0.1 cm over the phantom.
constexpr int kFitPoints = 301;

}  // namespace

// The visual screen's session (models/visual_session.h) as the page drives it from its
// worker: the page forwards the user's actions and draws what comes back. Errors come back
// as text (empty: none) so that a failed load never leaves the worker half set up.
class VisualCore {
 public:
  std::string Init() {
    try {
      session_.Init();
      return {};
    } catch (const std::exception& error) {
      return ReportOf(error, report_language);
    }
  }

  val MonoRange() const {
    const EnergyRange range = session_.Simulation().MonoenergeticRangeMeV();
    val out = val::object();
    out.set("lowest", range.lowest);
    out.set("highest", range.highest);
    return out;
  }

  // OK: { error: '' | 'field' | 'mono' | the spectrum's problem in words, side, series }.
  val Confirm(const std::string& energy, const std::string& field_plain_text, double mono_mev) {
    val out = val::object();
    std::string error;
    try {
      const ConfirmRefusal refusal = session_.Confirm(energy, field_plain_text, mono_mev);
      if (refusal == ConfirmRefusal::kField) error = "field";
      if (refusal == ConfirmRefusal::kMonoEnergy) error = "mono";
    } catch (const std::exception& problem) {
      error = ReportOf(problem, report_language);
    }
    out.set("error", error);
    out.set("side", session_.Simulation().FieldSide());
    out.set("series", static_cast<double>(session_.NewSeries()));
    return out;
  }

  // The boxes now show these settings: whether Go may run them.
  bool ShowSettings(const std::string& energy, const std::string& field_plain_text,
                    double mono_mev) {
    session_.ShowSettings(energy, field_plain_text, mono_mev);
    return session_.CanGo();
  }

  // A typed count and what its batch would take at the step display and rate given:
  // { photons (0: refused), seconds, ask, amount, hours }.
  val PlanBatch(const std::string& plain_text, bool step, double rate) const {
    const long long photons = BatchPhotonsOf(plain_text);
    const double seconds = session_.ExpectedSeconds(photons, step, rate);
    const VisualSession::Duration duration = VisualSession::DurationOf(seconds);
    val out = val::object();
    out.set("photons", static_cast<double>(photons));
    out.set("seconds", seconds);
    out.set("ask", photons > 0 && VisualSession::AsksFirst(seconds));
    out.set("amount", static_cast<double>(duration.amount));
    out.set("hours", duration.hours);
    return out;
  }

  // Go: the seed of the series the batch runs in (a fresh one for a blank text), or -1 when
  // the text is no seed or Go cannot run now.
  double BeginBatch(const std::string& seed_plain_text) {
    if (!session_.BeginBatch(seed_plain_text)) return -1;
    return static_cast<double>(*session_.SeriesSeed());
  }
  void Pause() { session_.Pause(); }
  void Resume() { session_.Resume(); }
  // The batch is over after `photons` in `seconds`, at the step display and rate it ran with.
  void EndBatch(double photons, double seconds, bool step, double rate) {
    session_.EndBatch();
    session_.LearnSpeed(step, rate, static_cast<long long>(photons), seconds);
  }

  // A physics switch, or the accurate transport (`accurate`, the switches then all on):
  // empty, or why the accurate transport's data cannot be read (nothing changed then).
  std::string SetPhysics(bool electron_transport, bool multiple_scattering, bool photon_scatter,
                         bool coherent, bool pair, bool accurate) {
    try {
      session_.SwitchPhysics(
          {electron_transport, multiple_scattering, photon_scatter, coherent, pair, accurate});
    } catch (const std::exception& problem) {
      return ReportOf(problem, report_language);
    }
    tracks_.ClearDrawing();
    tracks_.ClearEnergy();
    fade_.Reset();
    return {};
  }
  // A slab phantom by a link's value ("lung", "water:2,air:3"; "water": water alone):
  // { error: '' | 'value' (neither a key nor layers) | why it cannot run, in words, link,
  // bands: [{ top, bottom, material, ja, en, shade }] }. Nothing changes on an error.
  val SetPhantom(const std::string& link_value) {
    val out = val::object();
    std::string error;
    try {
      if (!session_.ChoosePhantom(link_value)) error = "value";
    } catch (const std::exception& problem) {
      error = ReportOf(problem, report_language);
    }
    if (error.empty()) {
      tracks_.ClearDrawing();
      tracks_.ClearEnergy();
      fade_.Reset();
    }
    out.set("error", error);
    out.set("link", session_.PhantomLink());
    out.set("bands", BandList(session_.Bands()));
    return out;
  }
  // Older tracks fade (the default) or stay as drawn; the picture is left as it is.
  void SetFading(bool fading) { fade_.SetFading(fading); }
  bool KeepCurve() { return session_.KeepCurve(); }
  void ClearGraph() {
    session_.GraphClear();
    tracks_.ClearDrawing();
    tracks_.ClearEnergy();
    fade_.Reset();
  }
  void Reset() {
    session_.Reset();
    tracks_.ClearDrawing();
    tracks_.ClearEnergy();
    fade_.Reset();
  }

  // Runs up to `photons` histories of the running batch; the tracks of this call are then in
  // Segments() and Absorptions() until the next call. Returns the photons run.
  // While the fade is on, only the newest photons of a long call are kept for drawing: the
  // older ones would be faded out by the time the page draws the newest.
  double Run(double photons) {
    const long long count = WholePhotonCount(photons);
    tracks_.ClearDrawing();
    for (long long n = 0; n < count; ++n) {
      if (count - n == fade_.DrawnPhotons()) tracks_.ClearDrawing();
      const VisualSourcePhoton photon = session_.NextPhoton();
      session_.TrackPhoton(photon, tracks_);
    }
    wash_ = fade_.Add(count);
    highlight_ = TrackFade::HighlightsNewest(count);
    return static_cast<double>(count);
  }
  // How strongly the page washes its side view toward the ground before drawing the last
  // Run()'s tracks [0, 1], and whether it draws them as the newest photon's, highlighted.
  double Wash() const { return wash_; }
  bool Highlight() const { return highlight_; }

  val Segments() const { return TypedArray(tracks_.Segments()); }
  val Absorptions() const { return TypedArray(tracks_.Absorptions()); }
  // The accurate transport's own tracks of the last Run() (empty in the exact transport).
  val DeltaRaySegments() const { return TypedArray(tracks_.DeltaRaySegments()); }
  val BremsstrahlungSegments() const { return TypedArray(tracks_.BremsstrahlungSegments()); }
  double LastEnergyMeV() const { return session_.LastEnergyMeV(); }
  double Total() const { return static_cast<double>(session_.TotalPhotons()); }
  double DepositedKeV() const { return tracks_.Deposited(); }
  double EscapedKeV() const { return tracks_.Escaped(); }
  double IncidentKeV() const { return session_.IncidentKeV(); }

  // The raw tally, for comparing this build with the native one: energy [keV] per history
  // group and 0.1 cm slab, dose then kerma, group-major (16 x 300 each).
  val RawTally() const {
    const VisualDepthDose& tally = session_.Tally();
    std::vector<double> values;
    values.reserve(2 * kDepthDoseGroups * kDepthDoseBins);
    for (int g = 0; g < kDepthDoseGroups; ++g)
      for (int k = 0; k < kDepthDoseBins; ++k) values.push_back(tally.GroupDose(g, k));
    for (int g = 0; g < kDepthDoseGroups; ++g)
      for (int k = 0; k < kDepthDoseBins; ++k) values.push_back(tally.GroupKerma(g, k));
    return TypedArray(values);
  }

  // Counts of spectrum bins 1..400 (index 0 is bin 1).
  val SpectrumCounts() const {
    std::vector<double> counts(kSpectrumBins);
    for (int q = 1; q <= kSpectrumBins; ++q)
      counts[q - 1] = static_cast<double>(session_.Simulation().SpectrumTally()[q]);
    return TypedArray(counts);
  }

  // The live depth-dose curve as the desktop panel shows it, read by the session; `measure`
  // measures d_max's uncertainty and the build-up again (sixteen more fits, each of a few
  // hundred bins), else the last measurement stands.
  val DepthDose(bool measure) {
    const DepthDoseReading reading = session_.ReadCurve(measure);
    const DepthDoseCurve& curve = reading.curve;
    val out = val::object();
    out.set("binCm", curve.bin_cm);
    out.set("dose", TypedArray(curve.dose));
    out.set("primary", TypedArray(curve.primary));
    out.set("kerma", TypedArray(curve.kerma));
    out.set("photons", static_cast<double>(curve.photons));
    out.set("hasMaximum", curve.has_maximum);
    out.set("dmaxCm", curve.d_max_cm);
    out.set("dmaxDose", curve.d_max_dose);
    out.set("noiseAtMax", curve.noise_at_max);
    out.set("radiusCm", reading.radius_cm);
    out.set("dmaxSigmaCm", reading.sigma_cm);
    out.set("dmaxSettled", reading.settled);
    out.set("fitsFirm", reading.fits_firm);
    out.set("buildUp", reading.builds_up);
    out.set("tooFewPhotons", reading.too_few);
    out.set("dmaxText", reading.dmax_text);
    out.set("sigmaText", reading.sigma_text);
    // A slab within the fit's depths: no d_max, the note instead.
    out.set("slabNote", reading.verdict == DepthDoseReading::Verdict::kSlab);
    out.set("beam", session_.BeamName());
    out.set("doseFit", FitPoints(curve.dose_fit, kDoseFitDepthCm));
    out.set("kermaFit", FitPoints(curve.kerma_fit, 0.1 * (kFitPoints - 1)));
    // The curve before the last physics switch, with the physics it was run with.
    const DepthDoseCurve& reference = session_.Reference();
    out.set("keptBeam", session_.KeptBeamName());
    out.set("reference", reference.has_maximum ? val(FitPoints(reference.dose_fit, kDoseFitDepthCm))
                                               : val::null());
    return out;
  }

 private:
  // A smooth fit every 0.1 cm down to `to_cm`: the dose fit only as deep as its bins take
  // part in it, as the desktop panel draws it (beyond, it would stray from the bars).
  static val FitPoints(const std::function<double(double)>& fit, double to_cm) {
    std::vector<double> points;
    if (fit)
      for (int i = 0; i < kFitPoints && 0.1 * i <= to_cm + 1e-9; ++i)
        points.push_back(fit(0.1 * i));
    return TypedArray(points);
  }

  VisualSession session_;
  TrackSegmentCollector tracks_;
  TrackFade fade_;
  double wash_ = 0;
  bool highlight_ = false;
};

// The typed-text rules, so that the page reads a link's count and field as the screens do.
// The page makes the text plain (String.prototype.normalize("NFKC")) first; a count that is
// none is -1.
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

// The slab phantoms a class picks by name: [{ key, ja, en }], water first.
val PhantomPresetList() {
  val list = val::array();
  for (const PhantomPreset& preset : kPhantomPresets) {
    val entry = val::object();
    entry.set("key", std::string(preset.key));
    entry.set("ja", std::string(preset.name_ja));
    entry.set("en", std::string(preset.name_en));
    list.call<void>("push", entry);
  }
  return list;
}
// Whether a link's phantom= value is of a phantom's form (a key, or material:cm joined by
// ','); the layers themselves are judged when the worker chooses them.
bool PhantomLinkValid(const std::string& value) { return PhantomTextOfLink(value).has_value(); }

val FieldItems() {
  val items = val::array();
  for (const FieldChoice& choice : VisualFieldChoices())
    items.call<void>("push", std::string(choice.item));
  return items;
}

EMSCRIPTEN_BINDINGS(dosavia_visual) {
  emscripten::class_<VisualCore>("VisualCore")
      .constructor<>()
      .function("init", &VisualCore::Init)
      .function("monoRange", &VisualCore::MonoRange)
      .function("confirm", &VisualCore::Confirm)
      .function("showSettings", &VisualCore::ShowSettings)
      .function("planBatch", &VisualCore::PlanBatch)
      .function("beginBatch", &VisualCore::BeginBatch)
      .function("pause", &VisualCore::Pause)
      .function("resume", &VisualCore::Resume)
      .function("endBatch", &VisualCore::EndBatch)
      .function("setPhysics", &VisualCore::SetPhysics)
      .function("setPhantom", &VisualCore::SetPhantom)
      .function("clearGraph", &VisualCore::ClearGraph)
      .function("keepCurve", &VisualCore::KeepCurve)
      .function("setFading", &VisualCore::SetFading)
      .function("reset", &VisualCore::Reset)
      .function("run", &VisualCore::Run)
      .function("segments", &VisualCore::Segments)
      .function("wash", &VisualCore::Wash)
      .function("highlight", &VisualCore::Highlight)
      .function("absorptions", &VisualCore::Absorptions)
      .function("deltaRaySegments", &VisualCore::DeltaRaySegments)
      .function("bremsstrahlungSegments", &VisualCore::BremsstrahlungSegments)
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
  emscripten::function("visualPhantomPresets", &PhantomPresetList);
  emscripten::function("visualPhantomLinkValid", &PhantomLinkValid);
  emscripten::function("physicsSwitches", &PhysicsSwitchList);
}

}  // namespace dosavia::web
