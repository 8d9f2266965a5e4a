#include "engine/result_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "engine/engine_error.h"
#include "physics/physics_tables.h"
#include "engine_test_support.h"
#include "records/file_io.h"
#include "records/fixed_format.h"
#include "records/input_error.h"
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

// In a slab phantom the kerma of a thin layer's bins is a peak of noise (air, lung): the
// normalisation takes water's bins of the first 5 cm where there are any, else every bin.
TEST(ResultFileTest, APhantomIsNormalisedToWatersKermaInTheFirstFiveCentimetres) {
  struct Layer {
    float to_cm, density;
    bool own_data;
  };
  const struct {
    const char* what;
    std::vector<Layer> layers;  // from the surface down; below the last one water
    float kmax;                 // of the kerma below
  } cases[] = {
      {"water 3, air 2: the air's peak at 4.05 cm is left out",
       {{3, 1, false}, {5, 0.0012f, true}},
       300},
      {"water 3, lung 10: the lung's peak too", {{3, 1, false}, {13, 0.26f, true}}, 300},
      {"lung from the surface: no water in 5 cm, every bin counts", {{10, 0.26f, true}}, 900},
      {"water alone", {{30, 1, false}}, 900},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto tally = std::make_unique<DoseTally>(testing::EngineSlabWidths());
    for (int j = 1; j <= 60; ++j) {
      const float z = 0.1f * static_cast<float>(j) - 0.05f;
      tally->ScoreKerma(z, j == 2 ? 300.0f : j == 41 ? 900.0f : 100.0f);
    }
    SlabLayers<float> layers;
    float z = 0;
    std::vector<std::unique_ptr<PhysicsTables<float>>> own;
    for (const Layer& layer : c.layers) {
      const auto k = static_cast<std::size_t>(layers.count++);
      layers.z[k] = z;
      layers.density[k] = layers.mass_density[k] = layer.density;
      if (layer.own_data) own.push_back(std::make_unique<PhysicsTables<float>>());
      layers.tables[k] = layer.own_data ? own.back().get() : nullptr;
      z = layer.to_cm;
    }
    layers.z[static_cast<std::size_t>(layers.count)] = z;
    auto field = std::make_unique<FieldDoseTable>();
    EXPECT_EQ(Normalise(*tally, *field, &layers).kmax, c.kmax);
    // A plain run's normalisation is as it always was: the largest bin.
    EXPECT_EQ(Normalise(*tally, *field).kmax, 900.0f);
  }
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

// The first `records` records of a result file, with their CR LF line ends.
std::string FirstRecords(const std::string& text, int records) {
  return text.substr(0, records * 127);
}

// `text` with the 10 characters that end just before the first 'E' after `from` replaced.
std::string WithField(std::string text, std::size_t from, const std::string& field) {
  return text.replace(text.find('E', from) - 6, field.size(), field);
}

TEST(ResultFileTest, ReadsBackWhatItWrites) {
  const NormalisedResults written = testing::SyntheticResults();
  const auto tables = ParseResultFile(ResultFileText(written), "x.data");
  // Four significant digits survive the file: half a unit of the fourth digit of a
  // mantissa from 0.1 to 1.
  auto near = [](float value) { return 5.01e-4 * std::abs(value); };
  for (int i = 1; i <= kDepthBins; ++i) {
    ASSERT_NEAR(tables->Kerma[i], written.kerma[i], near(written.kerma[i])) << i;
    for (int j = 1; j <= kFieldColumns; ++j) {
      const double primary = tables->DoseTable[kPrimaryDose][j][i];
      const double scatter = tables->DoseTable[kScatterDose][j][i];
      ASSERT_NEAR(primary, written.field.at(kPrimary, j, i),
                  near(written.field.at(kPrimary, j, i)));
      ASSERT_NEAR(scatter, written.field.at(kScatter, j, i),
                  near(written.field.at(kScatter, j, i)));
      ASSERT_EQ(tables->DoseTable[kTotalDose][j][i], primary + scatter);
    }
  }
}

TEST(ResultFileTest, DamagedFilesAreRefusedNamingFileAndLine) {
  const std::string good = ResultFileText(testing::SyntheticResults());
  const struct {
    const char* what;
    std::string text;
    const char* named;  // what the message must hold
  } cases[] = {
      {"empty", "", "line 1: the file ends in record 1 of 600"},
      {"first block only", FirstRecords(good, 300), "record 301 of 600"},
      {"599 records", FirstRecords(good, 599), "record 600 of 600"},
      {"last number missing", good.substr(0, good.size() - 14), "record 600"},
      {"a word", WithField(good, 20000, "  abc "), "abc"},
      {"NaN", WithField(good, 30000, "       NaN"), "NaN"},
      {"beyond double", WithField(good, 40000, "  0.1E+999"), "E+999"},
      // Beyond any float the engine writes: primary plus scatter could overflow to infinity.
      {"beyond single precision", WithField(good, 50000, "  0.1E+309"), "out of range"},
      {"just beyond single precision", WithField(good, 50000, "  0.5E+39 "), "out of range"},
      {"binary", std::string("\x89PNG\r\n\x1a\n\0\0\0", 12), "line 1"},
  };
  for (const auto& c : cases) {
    try {
      ParseResultFile(c.text, "bad.data");
      ADD_FAILURE() << c.what << " was accepted";
    } catch (const InputError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("bad.data, line ", 0), 0u) << c.what << ": " << message;
      EXPECT_NE(message.find(c.named), std::string::npos) << c.what << ": " << message;
    }
  }
}

TEST(ResultFileTest, ReadsOnlyPlainFilesOfAtMostTheReadersLimit) {
  const testing::TempDir dir(testing::ScratchName("engine_result_read"));
  const std::string records = ResultFileText(testing::SyntheticResults());
  std::filesystem::create_directory(dir.File("dir.data"));
  // A file that only starts like a result is refused as a whole, by every reader alike: the
  // desktop's (from the file) and the browser's (from the uploaded text).
  const std::string big = records + std::string(kMaxInputFileBytes - records.size() + 1, ' ');
  dir.Write("big.data", big);
  dir.Write("blank.data", std::string(9 << 20, ' ') + records);
  dir.Write("limit.data", records + std::string(kMaxInputFileBytes - records.size(), ' '));
  EXPECT_NE(ReadResultFile(dir.File("limit.data"), "limit.data"), nullptr);
  const struct {
    const char* name;
    ProblemKind kind;
    int line;
  } refused[] = {{"none.data", ProblemKind::kCannotOpen, 0},
                 {"dir.data", ProblemKind::kNotAFile, 0},
                 {"big.data", ProblemKind::kFileTooLarge, 0},
                 {"blank.data", ProblemKind::kFileTooLarge, 0}};
  for (const auto& c : refused) {
    try {
      ReadResultFile(dir.File(c.name), c.name);
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), c.name);
      EXPECT_EQ(e.kind(), c.kind) << e.what();
      EXPECT_EQ(e.line(), c.line) << e.what();
    }
  }
  try {
    ParseResultFile(big, "big.data");
    ADD_FAILURE() << "the long text was accepted";
  } catch (const InputError& e) {
    EXPECT_EQ(e.kind(), ProblemKind::kFileTooLarge) << e.what();
  }
}

}  // namespace
}  // namespace dosavia
