// Blocks run by workers and handed over as cells: the same result file as the threads'
// block streams, whichever worker ran a block, and no result before the last block.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/block_run.h"
#include "engine/conditions_file.h"
#include "engine/engine_error.h"
#include "engine/field_superposition.h"

namespace dosavia {
namespace {

const std::string kDataDir = DOSAVIA_DATA_DIR;

std::string ThreadsFile(const BlockRunInputs& in, int threads) {
  auto total = std::make_unique<DoseTally>(std::span<const float, kSlabs + 1>(in.tables.DepthBinWidth));
  RunBlockStreams(in.tables, in.spectrum, in.conditions.photon_total, threads, *total, [](int) {});
  auto field = std::make_unique<FieldDoseTable>();
  Superpose(*total, *field);
  return ResultFileText(Normalise(*total, *field));
}

TEST(BlockRunTest, WorkersHandingOverCellsWriteTheThreadsFile) {
  const auto inputs = LoadBlockRunInputs(
      kDataDir, ConditionsFileText("6MV.csv", "6MV-0M.data", "5.00E+04"));
  ASSERT_EQ(inputs->plan->blocks(), 7);  // 50000 histories in blocks of 8192
  // Three "workers" take the blocks out of order; the total adds them in order.
  std::vector<std::unique_ptr<BlockRunner>> workers;
  for (int w = 0; w < 3; ++w) workers.push_back(std::make_unique<BlockRunner>(*inputs));
  std::vector<std::vector<float>> cells(inputs->plan->blocks(),
                                        std::vector<float>(DoseTally::kCellCount));
  for (const int b : {6, 2, 0, 5, 1, 4, 3})
    workers[b % 3]->Run(b, std::span<float, DoseTally::kCellCount>(cells[b]));
  BlockTotal total(*inputs);
  std::vector<int> bins;
  total.Begin([&](int i) { bins.push_back(i); });
  for (int b = 0; b < inputs->plan->blocks(); ++b) {
    EXPECT_THROW(total.Results(), std::logic_error);  // a stopped run has no result
    total.AddNext(std::span<const float, DoseTally::kCellCount>(cells[b]),
                  [&](int i) { bins.push_back(i); });
  }
  EXPECT_EQ(ResultFileText(total.Results()), ThreadsFile(*inputs, 2));
  // Every occupied bin once, in order, the last being the spectrum's last.
  ASSERT_FALSE(bins.empty());
  for (std::size_t i = 1; i < bins.size(); ++i) EXPECT_LT(bins[i - 1], bins[i]);
  EXPECT_EQ(bins.back(), inputs->spectrum.imax);
  EXPECT_THROW(total.AddNext(std::span<const float, DoseTally::kCellCount>(cells[0]), [](int) {}),
               std::logic_error);
}

TEST(BlockRunTest, CellsRoundTripIntoTheSameTally) {
  const auto inputs = LoadBlockRunInputs(
      kDataDir, ConditionsFileText("10MV.csv", "r.data", "1.00E+03"));
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

TEST(BlockRunTest, InputErrorsAreReported) {
  EXPECT_ANY_THROW(LoadBlockRunInputs(kDataDir, ConditionsFileText("99MV.csv", "r.data", "1.00E+03")));
  EXPECT_ANY_THROW(LoadBlockRunInputs(kDataDir, "10MV.csv\r\n"));
}

}  // namespace
}  // namespace dosavia
