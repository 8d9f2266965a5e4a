#include "engine/block_run.h"

#include <stdexcept>

#include "engine/beam_geometry.h"
#include "engine/engine_error.h"
#include "engine/field_superposition.h"
#include "engine/spectrum_file.h"
#include "physics/physics_loader.h"

namespace dosavia {

namespace {

std::span<const float, kSlabs + 1> SlabWidths(const BlockRunInputs& inputs) {
  return std::span<const float, kSlabs + 1>(inputs.tables.DepthBinWidth);
}

}  // namespace

std::unique_ptr<BlockRunInputs> LoadBlockRunInputs(const std::filesystem::path& dir,
                                                   std::optional<std::string_view> conditions_text,
                                                   const PhysicsSwitches& asked, RunSeed seed,
                                                   const std::optional<PhantomSource>& phantom) {
  PhysicsSwitches physics = asked;
  if (phantom) {
    // Only the accurate transport stops its steps at the layers' boundaries, and the
    // switches are experiments on the exact one.
    PhysicsSwitches exact = physics;
    exact.accurate_transport = false;
    if (!exact.AllOn()) throw std::invalid_argument("--phantom cannot be combined with --without");
    physics.accurate_transport = true;
  }
  auto inputs = std::make_unique<BlockRunInputs>();
  LoadPhysicsTables(inputs->tables, (dir / kWaterDataFile).string(),
                    (dir / kElectronDataFile).string());
  inputs->tables.SetPhantomConstants(kPhantomWidthCm, kPhantomWidthCm, kPhantomDepthCm);
  if (physics.accurate_transport)
    LoadElectronData(inputs->tables.electrons, (dir / kAccurateElectronDataFile).string());
  if (conditions_text) {
    inputs->conditions = ReadConditions(*conditions_text);
    inputs->conditions.result_file = TaggedResultFileName(inputs->conditions.result_file, physics);
  } else {
    inputs->conditions = ReadConditionsFile(dir / kConditionsFile, kConditionsFile, physics);
  }
  if (phantom) {
    inputs->phantom = phantom->text ? ParsePhantom(*phantom->text, phantom->name)
                                    : ReadPhantomFile(phantom->name, phantom->name);
    inputs->phantom_data = std::make_unique<PhantomData>(
        *inputs->phantom, [&](const std::string& file) { return (dir / file).string(); });
  }
  const std::string& name = inputs->conditions.spectrum_file;
  // Read from Joken.dat, a spectrum that cannot be read is reported at the line naming it,
  // as Kestrun reports it.
  inputs->spectrum = conditions_text ? ReadBeamSpectrumFile(dir / name, name)
                                     : ReadSpectrumNamedInConditions(dir / name, name);
  CheckSpectrumWithinTable(inputs->spectrum,
                           inputs->tables.PhotonTable[inputs->tables.photon_rows].energy, name);
  inputs->plan.emplace(inputs->spectrum, inputs->conditions.photon_total, physics, seed);
  inputs->plan->SetLayers(inputs->layers());
  return inputs;
}

BlockRunner::BlockRunner(const BlockRunInputs& inputs)
    : inputs_(inputs),
      tally_(std::make_unique<DoseTally>(SlabWidths(inputs))),
      growth_(std::make_unique<GroupGrowth>()) {}

void BlockRunner::Run(std::int64_t b, std::span<float, DoseTally::kCellCount> cells) {
  tally_->Clear();
  growth_->Clear();
  inputs_.plan->RunBlock(inputs_.tables, b, random_, *tally_, growth_.get());
  tally_->CopyCellsTo(cells);
}

BlockTotal::BlockTotal(const BlockRunInputs& inputs)
    : inputs_(inputs),
      total_(std::make_unique<DoseTally>(SlabWidths(inputs))),
      scratch_(std::make_unique<DoseTally>(SlabWidths(inputs))),
      groups_(std::make_unique<GroupGrowth>()) {}

void BlockTotal::Begin(const std::function<void(int)>& on_bin) {
  inputs_.plan->AnnounceBinsUpTo(inputs_.plan->HistoriesInBlocks(merged_), announced_, on_bin);
}

void BlockTotal::AddNext(std::span<const float, DoseTally::kCellCount> cells,
                         std::span<const float> growth, const std::function<void(int)>& on_bin) {
  if (complete()) throw std::logic_error("a block beyond the last one was added");
  if (!groups_->AddPacked(growth.data(), growth.size()))
    throw std::logic_error("a block came without its history groups' growth");
  scratch_->SetCellsFrom(cells);
  total_->Add(*scratch_);
  ++merged_;
  inputs_.plan->AnnounceBinsUpTo(inputs_.plan->HistoriesInBlocks(merged_), announced_, on_bin);
}

NormalisedResults BlockTotal::Results() const {
  if (!complete()) throw std::logic_error("the run was stopped before its last block; no result");
  if (!total_->AllFinite()) throw EngineError(Problem(ProblemKind::kTallyNotFinite));
  auto field = std::make_unique<FieldDoseTable>();
  Superpose(*total_, *field);
  return Normalise(*total_, *field, inputs_.layers());
}

}  // namespace dosavia

namespace dosavia {

std::unique_ptr<RunStatistics> BlockTotal::Statistics(const NormalisedResults& results,
                                                      std::string_view result_text) const {
  if (!complete()) throw std::logic_error("the run was stopped before its last block; no result");
  auto statistics =
      MakeRunStatistics(GroupCurves(*groups_), results.kmax, inputs_.plan->histories(),
                        inputs_.plan->seed(), inputs_.plan->physics(), ResultChecksum(result_text));
  if (inputs_.phantom) statistics->phantom = inputs_.phantom->Description();
  return statistics;
}

}  // namespace dosavia
