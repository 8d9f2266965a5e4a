#include "engine/result_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <filesystem>
#include <memory>

#include "engine/engine_error.h"
#include "engine_test_support.h"
#include "records/file_io.h"
#include "records/fixed_format.h"
#include "tests/physics/small_data_files.h"

namespace dosavia {
namespace {

// Kerma in bins 1..60 that peaks at bin 20 within the first 5 cm and is higher still at
// bin 55, and ring doses of both components in the same bins.
NormalisedResults SampleResults() {
  auto tally = std::make_unique<DoseTally>(testing::EngineSlabWidths());
  for (int j = 1; j <= 60; ++j) {
    const float z = 0.1f * static_cast<float>(j) - 0.05f;
    tally->ScoreKerma(z, j == 20 ? 400.0f : j == 55 ? 500.0f : 100.0f + static_cast<float>(j));
    tally->ScoreLocal({25.05f, 25.0f, z}, 80.0f, kPrimary);
    tally->ScoreLocal({26.0f, 25.0f, z}, 20.0f, kScatter);
  }
  auto field = std::make_unique<FieldDoseTable>();
  Superpose(*tally, *field);
  const NormalisedResults r = Normalise(*tally, *field);
  EXPECT_EQ(r.kmax, 400.0f);
  EXPECT_EQ(r.field.at(kScatter, 10, 3), field->at(kScatter, 10, 3) / 400.0f);
  return r;
}

TEST(ResultFileTest, SixHundredRecordsOf125CharactersWithCrLf) {
  const NormalisedResults r = SampleResults();
  const std::string text = ResultFileText(r);
  ASSERT_EQ(text.size(), 600u * 127u);
  const auto records = SplitLines(text);
  ASSERT_EQ(records.size(), 600u);
  for (int n = 0; n < 600; ++n) {
    ASSERT_EQ(text.substr(n * 127 + 125, 2), "\r\n");
    EXPECT_EQ(std::stoi(records[n].substr(0, 4)), n % 300 + 1);
    if (n < 300) {
      EXPECT_EQ(records[n].substr(0, 15), records[n + 300].substr(0, 15)) << n + 1;
    }
  }
  // Normalised kerma is exactly 1 at its maximum within bins 1..50; deeper bins may exceed it.
  EXPECT_EQ(records[19].substr(4, 11), " 0.1000E+01");
  EXPECT_EQ(records[54].substr(4, 11), " 0.1250E+01");
  EXPECT_EQ(records[100].substr(4, 11), " 0.0000E+00");
  // Block 1 holds the primary dose, block 2 the scatter dose of the 20 x 20 field.
  EXPECT_EQ(records[2].substr(114, 11), FormatExponent(r.field.at(kPrimary, 10, 3), 11, 4));
  EXPECT_EQ(records[302].substr(114, 11), FormatExponent(r.field.at(kScatter, 10, 3), 11, 4));
}

TEST(ResultFileTest, NoKermaInTheFirstFiveCentimetresIsAnError) {
  auto tally = std::make_unique<DoseTally>(testing::EngineSlabWidths());
  tally->ScoreKerma(5.05f, 10.0f);  // bin 51 does not count
  auto field = std::make_unique<FieldDoseTable>();
  EXPECT_THROW(Normalise(*tally, *field), EngineError);
}

TEST(ResultFileTest, FailedWriteThrowsAndLeavesTheEarlierFile) {
  const testing::TempDir dir(testing::ScratchName("engine_result_write"));
  const NormalisedResults r = SampleResults();
  WriteResultFile(dir.File("good.data"), r);
  EXPECT_EQ(ReadWholeFile(dir.File("good.data"), "good.data"), ResultFileText(r));

  // A file-size limit below the result file's size makes the write itself fail.
  dir.Write("held.data", "earlier run\r\n");
  {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_ANY_THROW(WriteResultFile(dir.File("held.data"), r));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);
  }
  EXPECT_EQ(ReadWholeFile(dir.File("held.data"), "held.data"), "earlier run\r\n");
  EXPECT_ANY_THROW(WriteResultFile(dir.File("no_such_folder/x.data"), r));
}

}  // namespace
}  // namespace dosavia
