// The slab phantom of the engine screen, once for Dosavia and the browser: the phantom
// chosen (a preset or layers typed in the editor, read by the engine's own phantom reader so
// that a problem names the row and the field), the phantom file written beside Joken.dat,
// the mark that keeps a phantom run's result apart from the water result of its beam, and
// the values a class reads at the interfaces of a phantom result in place of d_max alone.
#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/phantom_file.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "records/problem.h"

namespace dosavia {

// The phantom file the engine screen writes beside Joken.dat and names to the engine
// ("Kestrun --phantom Phantom.dat").
inline constexpr const char* kPhantomFile = "Phantom.dat";

// One row of the layer editor, as typed.
struct EditedLayer {
  std::string material;   // "lung"
  std::string thickness;  // [cm], "10"
};

// The phantom chosen on the engine screen. It opens on water, the run the screen always made.
class PhantomSession {
 public:
  // A preset of kPhantomPresets chosen by its key; false (nothing changed) for another key.
  bool ChoosePreset(std::string_view key);
  // The editor's rows as the layers from the surface down, read as the engine reads a phantom
  // file (row n is line n of kPhantomFile). Returns the problem, worded by ProblemSentence,
  // of rows the engine would refuse; the phantom chosen before stays chosen then.
  std::optional<Problem> EditLayers(std::span<const EditedLayer> rows);
  // A link's value (a preset's key or "water:2,air:3"); the problem of layers that do not
  // read, or kPhantomLineShape for a value of no form at all.
  std::optional<Problem> FollowLink(std::string_view value);

  // The preset's key; empty for layers of the editor (even where they equal a preset's).
  const std::string& PresetKey() const { return preset_key_; }
  // The phantom file's text; empty for water alone (no phantom file, no --phantom).
  const std::string& FileText() const { return text_; }
  // The layers, water below the last; none for water alone.
  const std::optional<Phantom>& Layers() const { return phantom_; }
  bool IsWater() const { return !phantom_.has_value(); }
  // The mark of the run's result (PhantomResultFileName): the preset's key, where the
  // layers are a preset's, else kEditedPhantomMark; empty for water.
  std::string ResultMark() const;
  // The value of `phantom=` in a link to this choice: "water", a preset's key or the layers.
  std::string Link() const;

 private:
  // Takes `text` read as `phantom`: layers of water alone are the plain water run.
  void Take(std::string key, std::string text, Phantom phantom);
  std::string preset_key_ = "water";
  std::string text_;
  std::optional<Phantom> phantom_;
};

// The rows a layer editor opens with for `phantom`: its layers from the surface down without
// the water below the last, thicknesses as the file writes them; for water alone the lung
// slab's, a phantom a class edits from.
std::vector<EditedLayer> EditorRowsOf(const std::optional<Phantom>& phantom);

// Writes the phantom file `text` at `path` whole or not at all (WriteFileAtomically). A link
// there is refused (it would write the layers into whatever file it leads to), as is a
// folder, a pipe or a device. Throws WriteError naming `path`.
void WritePhantomFile(const std::filesystem::path& path, std::string_view text);

// The layers a run's statistics record ("water 3 lung 10 water 17"); none for an empty
// record (water) or one that does not read.
std::optional<Phantom> PhantomOfDescription(std::string_view description);

// The layers a result stands for: those its statistics record, else those of the preset
// its name is marked with; none for water or layers that cannot be known.
std::optional<Phantom> PhantomOfResult(std::string_view file, const RunStatistics* statistics);

// Whether a curve of `phantom` has a d_max to read: not where lung, bone or air begins within
// the depths the water-shaped maximum fit reads, which the slab bends (the interface values
// are read instead); water and a bolus, which is water, keep it. One rule for the visual
// screen's label and for the engine screen's tables on both front ends.
bool DmaxIsReadIn(const std::optional<Phantom>& phantom);

// The water result that a phantom result `file` is read against: among `listed`, a result of
// the same energy without phantom and with every part of the physics, the accurate
// transport's before the exact one, then the one of most photons. Empty when there is none.
std::string WaterResultFor(std::string_view file, std::span<const std::string> listed);

// A value with its standard uncertainty; value < 0: none (a slab at the surface has no dose
// before it); sigma < 0: not known.
struct ValueWithSigma {
  double value = -1;
  double sigma = -1;
};

// Where the dose beyond a slab comes back to kRebuildShare of the water dose at that depth.
inline constexpr double kRebuildShare = 0.95;

// The values of one slab of a material other than water (a bolus included) and its two
// interfaces, for one field's total dose. Doses are on the graph's scale, relative to the
// run's fitted surface kerma (DisplayScale), as per cent.
struct SlabValues {
  std::string material;
  double top_cm = 0;
  double bottom_cm = 0;
  ValueWithSigma before;  // the mean of the 3 mm just above the slab
  ValueWithSigma inside;  // the smallest 3 mm mean within it
  double inside_depth_cm = 0;
  ValueWithSigma beyond;      // the mean of the 3 mm just below it
  ValueWithSigma rebuild_cm;  // the depth below it where the dose is back at kRebuildShare
  enum class Rebuild {
    kFound,
    kAtInterface,  // the dose beyond never fell short of the share
    kNoWaterRun,   // no water result of the beam to read against
    kNotReached,   // not within the phantom
    kNone,         // the slab reaches the phantom's bottom
  } rebuild = Rebuild::kNone;
};

struct InterfaceValues {
  std::vector<SlabValues> slabs;
  bool too_few = false;   // too few photons for any of them to be read
  bool measured = false;  // uncertainties measured over the run's history groups
};

// The values at the interfaces of `phantom` from the total dose of `field` of a phantom
// result `tables` (parallel beam) and the water result `water` of the same beam (null: none
// in the library), with their statistics where they have matching ones: the jackknife over
// the history groups of both runs; without the phantom run's statistics none is claimed
// (as for TPR20,10: a result's noise is correlated over the electrons' range, which its
// curve alone cannot show). A run of fewer than kFewestMeasuredHistories is too few photons.
InterfaceValues MeasureInterfaces(const Phantom& phantom, const ResultTables& tables, int field,
                                  const RunStatistics* statistics, const ResultTables* water,
                                  const RunStatistics* water_statistics);

// The values as the value table shows them, Japanese or English: one row per slab, its name
// and depths ("肺 3–13 cm"), then before, inside, beyond ("82.4 ± 0.3 %", without "±"
// where the run has no statistics, "—" where there is none) and the re-build-up depth, or
// the words for a dose back at the interface, a missing water run of `energy` ("10 MV"), too
// few photons, or a dose not back within the phantom.
struct SlabValueCells {
  std::string slab;
  std::string before;
  std::string inside;
  std::string beyond;
  std::string rebuild;
};
std::vector<SlabValueCells> InterfaceValueText(const InterfaceValues& values,
                                               std::string_view energy, bool english = false);

// The values in one line for the value table, where a phantom set's values take the place
// of its d_max: each slab's dose before, inside and beyond it and its re-build-up depth
// ("lung 3–13 cm: before 70.0 ± 0.3, inside 34.3 ± 0.2, beyond 42.9 ± 0.2 %, 95 % of water:
// 13.31 ± 0.01 cm"), slabs joined by "; ".
std::string InterfaceSummary(const InterfaceValues& values, std::string_view energy,
                             bool english = false);

// A material's name on the screens.
std::string MaterialName(std::string_view material, bool english = false);

// A phantom as a legend names it, Japanese or English: a preset's name ("肺スラブ (水 3 cm,
// 肺 10 cm)"), else its layers without the water below the last ("phantom: water 2 cm, air
// 3 cm").
std::string PhantomName(const Phantom& phantom, bool english = false);

}  // namespace dosavia
