#include "engine/kestrun_run.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>

#include "engine/beam_geometry.h"
#include "engine/beam_spectrum.h"
#include "engine/block_streams.h"
#include "engine/command_line.h"
#include "engine/conditions_file.h"
#include "engine/dose_tally.h"
#include "engine/engine_error.h"
#include "engine/field_superposition.h"
#include "engine/pencil_beam.h"
#include "engine/program_files.h"
#include "engine/history_groups.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "engine/scoring_thread.h"
#include "physics/physics_loader.h"
#include "physics/physics_tables.h"
#include "physics/random_stream.h"
#include "engine/phantom_file.h"
#include "records/file_io.h"
#include "records/input_error.h"
#include "records/problem_text.h"
#include "records/utf8_text.h"

namespace dosavia {

namespace {

// Everything a run keeps for its whole life, made once before the first history.
struct EngineState {
  PhysicsTables<float> tables;
  RandomStream<float> random;
  std::unique_ptr<DoseTally> tally;
  FieldDoseTable field;
};

void WaitForEnter(std::istream& in, std::ostream& out, TextLanguage language) {
  out << "\n" << PromptLine(language) << "\n\n" << std::flush;
  std::string line;
  std::getline(in, line);  // its content, and the end of input, count as Enter
}

// Every history of the run into the state's tally, the groups' growth into `groups`: the
// block streams on `threads` threads, or the single stream (its scoring on a second core
// where there is one, in the same order). Returns the histories run.
std::int64_t RunHistories(EngineState& state, const BeamSpectrum& spectrum, float photon_total,
                          const KestrunOptions& options, int threads,
                          const std::function<void(int)>& progress, GroupGrowth& groups,
                          const SlabLayers<float>* layers) {
  if (options.threads)
    return RunBlockStreams(state.tables, spectrum, photon_total, threads, *state.tally, progress,
                           options.physics, options.seed, &groups, layers);
  const auto group_end = [&](PencilBeam& beam, const GroupSegment& segment) {
    beam.EndSegment(segment, groups);
  };
  std::int64_t histories = 0;
  if (DOSAVIA_THREADS && std::thread::hardware_concurrency() > 1) {
    // The ring scores on a second core, in the same order: the same file, sooner.
    ScoringThread scorer(*state.tally);
    scorer.KeepGroups(groups);
    {
      PencilBeam beam(state.tables, state.random, *state.tally, scorer, options.physics);
      beam.SetLayers(layers);
      histories = RunSpectrumBinsInGroups(
          spectrum, photon_total, progress, [&](float energy) { beam.RunHistory(energy); },
          [&](const GroupSegment& s) { group_end(beam, s); });
    }
    scorer.Finish();
  } else {
    PencilBeam beam(state.tables, state.random, *state.tally, options.physics);
    beam.SetLayers(layers);
    histories = RunSpectrumBinsInGroups(
        spectrum, photon_total, progress, [&](float energy) { beam.RunHistory(energy); },
        [&](const GroupSegment& s) { group_end(beam, s); });
  }
  return histories;
}

}  // namespace

int RunKestrun(std::istream& in, std::ostream& out, const std::filesystem::path& working_dir,
               const KestrunOptions& options) {
  const auto file = [&](const std::string& name) { return (working_dir / name).string(); };
  try {
    auto state = std::make_unique<EngineState>();
    if (options.seed == kDefaultSeed) {
      state->random.Seed();
    } else {
      state->random.SeedFromKey(SingleStreamKey(options.seed));
    }
    LoadPhysicsTables(state->tables, file(kWaterDataFile), file(kElectronDataFile));
    state->tables.SetPhantomConstants(kPhantomWidthCm, kPhantomWidthCm, kPhantomDepthCm);
    if (options.physics.accurate_transport)
      LoadElectronData(state->tables.electrons, file(kAccurateElectronDataFile));

    const RunConditions conditions =
        ReadConditionsFile(file(kConditionsFile), kConditionsFile, options.physics);
    std::optional<Phantom> phantom;
    std::unique_ptr<PhantomData> phantom_data;
    if (!options.phantom_file.empty()) {
      phantom = ReadPhantomFile(options.phantom_file, options.phantom_file);
      phantom_data = std::make_unique<PhantomData>(*phantom, file);
    }
    const SlabLayers<float>* layers_in_force = phantom ? &phantom_data->layers() : nullptr;
    const BeamSpectrum spectrum =
        ReadSpectrumNamedInConditions(file(conditions.spectrum_file), conditions.spectrum_file);
    CheckSpectrumWithinTable(spectrum, state->tables.PhotonTable[state->tables.photon_rows].energy,
                             conditions.spectrum_file);
    // A folder that takes no file, a name that reaches a program file, a companion's name
    // held by a file that is not run statistics, a rename a sticky folder would refuse, a
    // second run of the name going on: said now, not after every history has run.
    const std::filesystem::path result_path = file(conditions.result_file);
    CheckResultPairTargets(result_path);
    const std::unique_ptr<WriteLock> lock = LockResultPair(result_path);

    const TextLanguage lang = options.language;
    out << TitleLine(lang) << "\n\n";
    const ClockReading start = options.clock();
    out << StartTimeLine(start, lang) << "\n\n" << WaitingLine(lang) << "\n";
    const int threads = options.threads ? ThreadCount(*options.threads) : 0;
    if (options.threads) out << ModeLine(threads, lang) << "\n";
    if (options.seed != kDefaultSeed) out << SeedLine(options.seed, lang) << "\n";
    if (!options.differing_data.empty())
      out << DifferingDataLine(options.differing_data, lang) << "\n";
    out << WithoutLines(options.physics, conditions.result_file, lang);
    out << TransportLine(options.physics, lang);
    if (phantom) out << PhantomLine(phantom->Description(), lang) << "\n";
    out << "\n" << std::flush;

    state->tally = std::make_unique<DoseTally>(
        std::span<const float, kSlabs + 1>(state->tables.DepthBinWidth));
    const auto progress = [&](int i) {
      out << ProgressLine(i, spectrum.imax) << "\n" << std::flush;
    };
    // The history groups' growth, read between histories: the tally stays as it was.
    auto groups = std::make_unique<GroupGrowth>();
    const std::int64_t histories = RunHistories(*state, spectrum, conditions.photon_total, options,
                                                threads, progress, *groups, layers_in_force);

    out << "\n"
        << StartTimeLine(start, options.language) << "\n"
        << EndTimeLine(options.clock(), options.language) << "\n"
        << std::flush;

    if (!state->tally->AllFinite()) throw EngineError(Problem(ProblemKind::kTallyNotFinite));
    Superpose(*state->tally, state->field);
    const NormalisedResults results = Normalise(*state->tally, state->field, layers_in_force);
    const auto statistics =
        MakeRunStatistics(GroupCurves(*groups), results.kmax, histories, options.seed,
                          options.physics, ResultChecksum(ResultFileText(results)));
    if (phantom) statistics->phantom = phantom->Description();
    // The result first: it is the run's product, and statistics that cannot be written
    // (a full disk) cost only the measured uncertainties.
    if (const auto problem = WriteResultWithStatistics(result_path, results, *statistics))
      out << StatisticsNotWrittenLine(*problem, options.language) << "\n";
  } catch (const std::exception& e) {
    // A reported problem, or anything else (out of memory, no thread to be had), worded as
    // every front end words it, in the console's language.
    out << ErrorLineOf(ReportOf(e, options.language), options.language) << "\n";
    WaitForEnter(in, out, options.language);
    return 1;
  }
  WaitForEnter(in, out, options.language);
  out << kStopLine << "\n" << std::flush;
  return 0;
}

}  // namespace dosavia
