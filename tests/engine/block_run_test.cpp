// Blocks run by workers and handed over as cells: the same result file as the threads'
// block streams, whichever worker ran a block, and no result before the last block.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/block_run.h"
#include "engine/conditions_file.h"
#include "engine/engine_error.h"
#include "engine/field_superposition.h"

namespace dosavia {
namespace {

const std::string kDataDir = DOSAVIA_DATA_DIR;

// The result file of Kestrun --threads; with `statistics`, its statistics' text there too.
std::string ThreadsFile(const BlockRunInputs& in, int threads, const PhysicsSwitches& physics = {},
                        std::string* statistics = nullptr,
                        const SlabLayers<float>* layers = nullptr) {
  auto total =
      std::make_unique<DoseTally>(std::span<const float, kSlabs + 1>(in.tables.DepthBinWidth));
  auto groups = std::make_unique<GroupGrowth>();
  const std::int64_t histories = RunBlockStreams(
      in.tables, in.spectrum, in.conditions.photon_total, threads, *total, [](int) {}, physics,
      in.plan->seed(), groups.get(), layers);
  auto field = std::make_unique<FieldDoseTable>();
  Superpose(*total, *field);
  const NormalisedResults results = Normalise(*total, *field, layers);
  const std::string text = ResultFileText(results);
  if (statistics != nullptr)
    *statistics =
        RunStatisticsText(*MakeRunStatistics(GroupCurves(*groups), results.kmax, histories,
                                             in.plan->seed(), physics, ResultChecksum(text)));
  return text;
}

TEST(BlockRunTest, WorkersHandingOverCellsWriteTheThreadsFile) {
  const auto inputs =
      LoadBlockRunInputs(kDataDir, ConditionsFileText("6MV.csv", "6MV-0M.data", "5.00E+04"));
  ASSERT_EQ(inputs->plan->blocks(), 7);  // 50000 histories in blocks of 8192
  // Three "workers" take the blocks out of order; the total adds them in order.
  std::vector<std::unique_ptr<BlockRunner>> workers;
  for (int w = 0; w < 3; ++w) workers.push_back(std::make_unique<BlockRunner>(*inputs));
  std::vector<std::vector<float>> cells(inputs->plan->blocks(),
                                        std::vector<float>(DoseTally::kCellCount));
  std::vector<std::vector<float>> pieces(inputs->plan->blocks());
  for (const int b : {6, 2, 0, 5, 1, 4, 3}) {
    workers[b % 3]->Run(b, std::span<float, DoseTally::kCellCount>(cells[b]));
    pieces[b] = workers[b % 3]->PackedGrowth();
  }
  BlockTotal total(*inputs);
  std::vector<int> bins;
  total.Begin([&](int i) { bins.push_back(i); });
  for (int b = 0; b < inputs->plan->blocks(); ++b) {
    EXPECT_THROW(total.Results(), std::logic_error);  // a stopped run has no result
    total.AddNext(std::span<const float, DoseTally::kCellCount>(cells[b]), pieces[b],
                  [&](int i) { bins.push_back(i); });
  }
  // The statistics too: the browser's and the Node edition's are native Kestrun's.
  std::string threads_statistics;
  const std::string text = ResultFileText(total.Results());
  EXPECT_EQ(text, ThreadsFile(*inputs, 2, {}, &threads_statistics));
  EXPECT_EQ(RunStatisticsText(*total.Statistics(total.Results(), text)), threads_statistics);
  // Every occupied bin once, in order, the last being the spectrum's last.
  ASSERT_FALSE(bins.empty());
  for (std::size_t i = 1; i < bins.size(); ++i) EXPECT_LT(bins[i - 1], bins[i]);
  EXPECT_EQ(bins.back(), inputs->spectrum.imax);
  EXPECT_THROW(
      total.AddNext(std::span<const float, DoseTally::kCellCount>(cells[0]), pieces[0], [](int) {}),
      std::logic_error);
}

TEST(BlockRunTest, CellsRoundTripIntoTheSameTally) {
  const auto inputs =
      LoadBlockRunInputs(kDataDir, ConditionsFileText("10MV.csv", "r.data", "1.00E+03"));
  BlockRunner runner(*inputs);
  std::vector<float> a(DoseTally::kCellCount), b(DoseTally::kCellCount);
  runner.Run(0, std::span<float, DoseTally::kCellCount>(a));
  DoseTally tally(std::span<const float, kSlabs + 1>(inputs->tables.DepthBinWidth));
  tally.SetCellsFrom(std::span<const float, DoseTally::kCellCount>(a));
  tally.CopyCellsTo(std::span<float, DoseTally::kCellCount>(b));
  EXPECT_EQ(a, b);
  double kerma = 0;
  for (int j = 1; j <= kKermaBins; ++j) kerma += tally.Kerma(j);
  EXPECT_GT(kerma, 0);  // the kerma lies where Kerma() reads it
  // Running the same block again gives the same cells: the block owns its stream.
  runner.Run(0, std::span<float, DoseTally::kCellCount>(b));
  EXPECT_EQ(a, b);
}

// The blocks of all the inputs' blocks, run by one worker and added in order.
std::string WorkersFile(const BlockRunInputs& inputs) {
  BlockRunner runner(inputs);
  BlockTotal total(inputs);
  total.Begin([](int) {});
  std::vector<float> cells(DoseTally::kCellCount);
  for (int b = 0; b < inputs.plan->blocks(); ++b) {
    runner.Run(b, std::span<float, DoseTally::kCellCount>(cells));
    total.AddNext(std::span<const float, DoseTally::kCellCount>(cells), runner.PackedGrowth(),
                  [](int) {});
  }
  return ResultFileText(total.Results());
}

// Switched-off physics reaches the workers' blocks and the result's name, from Joken.dat's
// text as from the file: the file of Kestrun --threads N --without ..., under its tagged
// name, and not the full simulation's.
TEST(BlockRunTest, SwitchedOffPhysicsRunsInTheBlocksAndTagsTheName) {
  PhysicsSwitches no_electrons;
  no_electrons.electron_transport = false;
  PhysicsSwitches no_scatter_no_pair;
  no_scatter_no_pair.photon_scatter = false;
  no_scatter_no_pair.pair = false;
  const std::string text = ConditionsFileText("10MV.csv", "10MV-20K.data", "2.00E+04");
  const auto full = LoadBlockRunInputs(kDataDir, text);
  const std::string full_file = WorkersFile(*full);
  const struct {
    PhysicsSwitches physics;
    const char* name;
  } cases[] = {{no_electrons, "10MV-20K-noe.data"}, {no_scatter_no_pair, "10MV-20K-nosp.data"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto inputs = LoadBlockRunInputs(kDataDir, text, c.physics);
    EXPECT_EQ(inputs->conditions.result_file, c.name);
    EXPECT_EQ(inputs->plan->physics(), c.physics);
    const std::string file = WorkersFile(*inputs);
    EXPECT_EQ(file, ThreadsFile(*inputs, 2, c.physics));
    EXPECT_NE(file, full_file);
  }
  EXPECT_EQ(full->conditions.result_file, "10MV-20K.data");
}

// A slab phantom reaches every worker's blocks and the total's normalisation: the file of
// Kestrun --threads N --phantom FILE (the accurate transport, its tagged name), its layers
// named in the statistics, and not water's file. Switches off are refused with it.
TEST(BlockRunTest, SlabPhantomRunsInTheBlocksAsKestrunRunsIt) {
  const std::string text = ConditionsFileText("10MV.csv", "r.data", "1.00E+04");
  PhysicsSwitches accurate;
  accurate.accurate_transport = true;
  const auto water = LoadBlockRunInputs(kDataDir, text, accurate);
  const auto slab = LoadBlockRunInputs(kDataDir, text, {}, kDefaultSeed,
                                       PhantomSource{"slab.txt", "water 1\nlung 3\n"});
  ASSERT_NE(slab->layers(), nullptr);
  EXPECT_EQ(slab->conditions.result_file, water->conditions.result_file);
  EXPECT_EQ(slab->plan->physics(), accurate);
  const std::string file = WorkersFile(*slab);
  EXPECT_EQ(file, ThreadsFile(*slab, 2, accurate, nullptr, slab->layers()));
  EXPECT_NE(file, WorkersFile(*water));

  BlockTotal total(*slab);
  total.Begin([](int) {});
  BlockRunner runner(*slab);
  std::vector<float> cells(DoseTally::kCellCount);
  for (int b = 0; b < slab->plan->blocks(); ++b) {
    runner.Run(b, std::span<float, DoseTally::kCellCount>(cells));
    total.AddNext(std::span<const float, DoseTally::kCellCount>(cells), runner.PackedGrowth(),
                  [](int) {});
  }
  EXPECT_NE(RunStatisticsText(*total.Statistics(total.Results(), file))
                .find("phantom water 1 lung 3 water 26\r\n"),
            std::string::npos);

  PhysicsSwitches no_pair;
  no_pair.pair = false;
  EXPECT_THROW(LoadBlockRunInputs(kDataDir, text, no_pair, kDefaultSeed,
                                  PhantomSource{"slab.txt", "lung 3\n"}),
               std::invalid_argument);
  EXPECT_ANY_THROW(
      LoadBlockRunInputs(kDataDir, text, {}, kDefaultSeed, PhantomSource{"slab.txt", "cork 3\n"}));
}

TEST(BlockRunTest, JokenDatInTheFolderGetsTheTaggedName) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("block_run_tag_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (const char* name : {"water20.dat", "ELDAT.dat", "10MV.csv"})
    std::filesystem::copy_file(std::filesystem::path(kDataDir) / name, dir / name,
                               std::filesystem::copy_options::overwrite_existing);
  WriteConditionsFile(dir / kConditionsFile, ConditionsFileText("10MV.csv", "r.data", "1.00E+03"));
  PhysicsSwitches physics;
  physics.coherent = false;
  EXPECT_EQ(LoadBlockRunInputs(dir, {}, physics)->conditions.result_file, "r-noc.data");
  EXPECT_EQ(LoadBlockRunInputs(dir)->conditions.result_file, "r.data");
  std::filesystem::remove_all(dir);
}

TEST(BlockRunTest, InputErrorsAreReported) {
  EXPECT_ANY_THROW(
      LoadBlockRunInputs(kDataDir, ConditionsFileText("99MV.csv", "r.data", "1.00E+03")));
  EXPECT_ANY_THROW(LoadBlockRunInputs(kDataDir, "10MV.csv\r\n"));
}

}  // namespace
}  // namespace dosavia
