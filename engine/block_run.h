// A block-stream run whose blocks are run by workers outside this process's threads: the
// browser edition's Web Workers and the Node edition's worker threads. Each worker loads the
// same inputs and runs the blocks it is given; one BlockTotal adds their tallies in block
// order and makes the result file, which is then the one Kestrun --threads N writes for the
// same conditions, whatever the number of workers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/beam_spectrum.h"
#include "engine/block_streams.h"
#include "engine/conditions_file.h"
#include "engine/dose_tally.h"
#include "engine/history_groups.h"
#include "engine/phantom_file.h"
#include "engine/result_file.h"
#include "engine/run_seed.h"
#include "engine/run_statistics.h"
#include "physics/physics_switches.h"
#include "physics/physics_tables.h"
#include "physics/random_stream.h"

namespace dosavia {

// Everything a worker needs, loaded as Kestrun loads it: the physics tables with the
// engine's phantom, the conditions, the spectrum they name, a slab phantom's layers with
// their materials' data, and the run cut into blocks.
struct BlockRunInputs {
  PhysicsTables<float> tables;
  RunConditions conditions;
  std::optional<Phantom> phantom;
  std::unique_ptr<PhantomData> phantom_data;  // the plan's layers point into it
  BeamSpectrum spectrum;
  std::optional<BlockPlan> plan;

  const SlabLayers<float>* layers() const {
    return phantom_data ? &phantom_data->layers() : nullptr;
  }
};

// The slab phantom a block run goes through: the file Kestrun --phantom names (`text`
// empty: read from `name`, as given on the command line), or the text the browser forms
// from the screen's layers under the name its reports give.
struct PhantomSource {
  std::string name;
  std::optional<std::string> text;
};

// Reads water20.dat, ELDAT.dat, the conditions and the spectrum from `dir`. The conditions
// come from `conditions_text` when given (the browser edition forms them as the desktop
// writes Joken.dat), else from dir/Joken.dat. With parts of `physics` switched off the
// blocks run without them and the result's name carries their tag, as Kestrun --without
// names and runs it. With a phantom every block runs through its layers on the accurate
// transport (which Kestrun --phantom implies; switches off are refused, as Kestrun refuses
// them) and the layers' data are read from `dir` beside water's. Throws InputError or
// EngineError as Kestrun reports them, in Kestrun's order; never returns null.
std::unique_ptr<BlockRunInputs> LoadBlockRunInputs(
    const std::filesystem::path& dir, std::optional<std::string_view> conditions_text = {},
    const PhysicsSwitches& physics = {}, RunSeed seed = kDefaultSeed,
    const std::optional<PhantomSource>& phantom = {});

// A worker's side: runs block b into its own tally and copies the cells out; the block's
// growth of the history groups, packed (GroupGrowth::Packed), is then PackedGrowth().
class BlockRunner {
 public:
  explicit BlockRunner(const BlockRunInputs& inputs);
  void Run(std::int64_t b, std::span<float, DoseTally::kCellCount> cells);
  std::vector<float> PackedGrowth() const { return growth_->Packed(); }

 private:
  const BlockRunInputs& inputs_;
  RandomStream<float> random_;
  std::unique_ptr<DoseTally> tally_;
  std::unique_ptr<GroupGrowth> growth_;
};

// The total's side: the block tallies added strictly in block order.
class BlockTotal {
 public:
  explicit BlockTotal(const BlockRunInputs& inputs);

  // Announces the bins that need no block (those with no history at all, before the
  // first), as Kestrun does when it starts the blocks.
  void Begin(const std::function<void(int)>& on_bin);

  // Adds the cells of block merged() (the next in order) and calls on_bin for every bin
  // whose histories are now all in the total, in bin order.
  // `growth`: the block's BlockRunner::PackedGrowth(); a packing that is not one is a fault
  // of the caller (std::logic_error), as is a block beyond the last.
  void AddNext(std::span<const float, DoseTally::kCellCount> cells, std::span<const float> growth,
               const std::function<void(int)>& on_bin);

  std::int64_t merged() const { return merged_; }
  bool complete() const { return merged_ == inputs_.plan->blocks(); }

  // The normalised tables of the complete run, checked as Kestrun checks them (a value
  // that is not finite, no primary kerma: EngineError). Asking before the last block is in
  // is a fault of the caller (std::logic_error): a stopped run has no result.
  NormalisedResults Results() const;

  // The statistics that go beside the result file Results() gives, whose text is
  // `result_text`.
  std::unique_ptr<RunStatistics> Statistics(const NormalisedResults& results,
                                            std::string_view result_text) const;

 private:
  const BlockRunInputs& inputs_;
  std::unique_ptr<DoseTally> total_;
  std::unique_ptr<DoseTally> scratch_;
  std::unique_ptr<GroupGrowth> groups_;
  std::int64_t merged_ = 0;
  std::size_t announced_ = 0;
};

}  // namespace dosavia
