// Texts that one program writes and another reads back: the engine's progress and error
// lines that Dosavia's console window follows, and the result file's name that the engine
// screen reads the energy from. Each reader lives beside its writer; these tests hold them
// to each other.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include <string>

#include "engine/command_line.h"
#include "engine/conditions_file.h"
#include "engine/console_text.h"
#include "engine/run_statistics.h"
#include "engine_test_support.h"
#include "records/input_error.h"
#include "records/problem.h"
#include "records/problem_text.h"

namespace dosavia {
namespace {

TEST(ProgressLineTest, ReadsBackEveryLineTheEngineWrites) {
  for (const int imax : {1, 9, 10, 99, 100, 200, 399, 400}) {
    for (int bin = 1; bin <= imax; ++bin) {
      const std::string line = ProgressLine(bin, imax);
      for (const std::string& written : {line, line + "\r"}) {
        const auto reading = ParseProgressLine(written);
        ASSERT_TRUE(reading.has_value()) << "'" << written << "'";
        EXPECT_EQ(reading->bin, bin);
        EXPECT_EQ(reading->imax, imax);
      }
    }
  }
}

TEST(ProgressLineTest, OnlyProgressLinesAreRead) {
  const struct {
    std::string line;
    int bin;  // 0: not a progress line
    int imax;
  } cases[] = {
      {"--- 7 / 200", 7, 200},
      {"\t---\t7/200  ", 7, 200},
      {" --- 1000 / 1200", 1000, 1200},  // wider than three columns
      {kTitleLine, 0, 0},
      {kWaitingLine, 0, 0},
      {kPromptLine, 0, 0},  // starts with "---" too
      {kEnglishPromptLine, 0, 0},
      {kStopLine, 0, 0},
      {StartTimeLine({9, 5, 7, 0}), 0, 0},
      {EndTimeLine({23, 59, 0, 0}), 0, 0},
      {ModeLine(4), 0, 0},
      {ErrorLine(Problem(ProblemKind::kNoPrimaryKerma)), 0, 0},
      {"", 0, 0},
      {" --- ", 0, 0},
      {" ---7 / 200", 0, 0},
      {" --- 7 / ", 0, 0},
      {" --- 7 200", 0, 0},
      {" --- x / 200", 0, 0},
      {" --- -1 / 200", 0, 0},
      {" --- 7 / 200 more", 0, 0},
      {" --- *** / 200", 0, 0},  // an I3 field that overflowed
      {" --- 7 / 99999999999", 0, 0},
  };
  for (const auto& c : cases) {
    const auto reading = ParseProgressLine(c.line);
    EXPECT_EQ(reading.has_value(), c.bin != 0) << "'" << c.line << "'";
    if (reading && c.bin != 0) {
      EXPECT_EQ(reading->bin, c.bin) << c.line;
      EXPECT_EQ(reading->imax, c.imax) << c.line;
    }
  }
}

// The console speaks Japanese throughout: a report of a failed run is the problem's Japanese
// line, and is told from every other line of the dialogue.
TEST(ErrorLineTest, IsTheJapaneseReportAndIsRecognised) {
  const Problem no_kerma(ProblemKind::kNoPrimaryKerma);
  EXPECT_EQ(ErrorLine(no_kerma),
            " *** エラー: " +
                std::string(ProblemWording(ProblemKind::kNoPrimaryKerma, TextLanguage::kJapanese)));
  Problem missing(ProblemKind::kNotANumber);
  missing.In("Joken.dat", 3).At(ProblemField::Named(FieldName::kPhotonTotal)).WithValue("many");
  EXPECT_EQ(ErrorLine(missing),
            " *** エラー: Joken.dat 3 行目、光子総数：数値ではありません（'many'）");
  EXPECT_EQ(ErrorLine(missing, TextLanguage::kEnglish).substr(0, 12), " *** Error: ");
  for (const Problem& p : {no_kerma, missing})
    for (const TextLanguage language : {TextLanguage::kJapanese, TextLanguage::kEnglish}) {
      EXPECT_TRUE(IsErrorLine(ErrorLine(p, language)));
      EXPECT_FALSE(IsPromptLine(ErrorLine(p, language)));
      EXPECT_TRUE(IsPromptLine(PromptLine(language)));
      EXPECT_TRUE(IsPromptLine(std::string(PromptLine(language)) + "\r"));
    }
  for (const std::string& line :
       {std::string(kTitleLine), std::string(kPromptLine), std::string(kStopLine),
        std::string(kEnglishTitleLine), std::string(kEnglishPromptLine), ProgressLine(3, 200),
        std::string("*** エラー: without its blank"), std::string()})
    EXPECT_FALSE(IsErrorLine(line)) << line;
}

TEST(ResultFileNameTest, ReadsBackTheEnergyAndCountItWrites) {
  for (const char* energy : {"4", "6", "10", "15", "7.5", "MV", "1MV-2", "\u3042"}) {
    for (const char* count : {"30000000", "100000000", "999999", "1000", "999", "0", "many",
                              "-5000000", "-5", "5e7", "5e5"}) {
      const std::string name = ResultFileName(energy, count);
      const ResultNameParts parts = ParseResultFileName(name);
      EXPECT_EQ(parts.energy, energy) << name;
      // The count read back names the same file again.
      EXPECT_EQ(ResultFileName(parts.energy, parts.photons), name) << name;
    }
  }
}

TEST(ResultFileNameTest, OtherNamesGiveWhatTheySay) {
  const struct {
    const char* name;
    const char* energy;
    const char* photons;
  } cases[] = {
      {"10MV-30M.data", "10", "30000000"},
      {"10MV-100K.data", "10", "100000"},
      {"10MV-500.data", "10", "500"},
      {"10MV--5M.data", "10", "-5000000"},
      {"MV-30M.data", "", "30000000"},
      {"10MV-K.data", "10", ""},
      // A renamed copy still says its energy, but no count.
      {"10MV-30M-run2.data", "10", ""},
      {"10mv-30m.data", "10", ""},
      {"6MV-test.data", "6", ""},
      {"10MV-M.data", "10", ""},
      {"notes.data", "", ""},
      {"MV-", "", ""},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    const ResultNameParts parts = ParseResultFileName(c.name);
    EXPECT_EQ(parts.energy, c.energy) << c.name;
    EXPECT_EQ(parts.photons, c.photons) << c.name;
  }
}

// The statistics beside a result: read back as written (each group to a hundredth of the
// groups' range), and any damage refused with the line and what belonged there, never read
// as different numbers; files of the first version stay readable.
TEST(RunStatisticsTest, ReadsBackWhatItWritesAndRefusesDamage) {
  RunStatistics written;
  written.result_checksum = 0x0123456789abcdefull;
  written.histories = 299817;
  written.seed = 2147483647;
  written.physics.electron_transport = false;
  written.physics.pair = false;
  written.kerma_maximum_kev = 123456.7;
  written.group.resize(kHistoryGroups);
  for (int g = 0; g < kHistoryGroups; ++g)
    for (int c = 0; c < RunStatistics::kGroupCurves; ++c)
      for (int k = 1; k <= kDepthBins; ++k) written.group[g][c][k] = 0.5 + 0.01 * g - 1e-4 * k + c;
  const std::string text = RunStatisticsText(written);
  const auto read = ParseRunStatistics(text, "r.stat");
  EXPECT_EQ(read->result_checksum, written.result_checksum);
  EXPECT_EQ(read->histories, written.histories);
  EXPECT_EQ(read->seed, written.seed);
  EXPECT_EQ(read->physics, written.physics);
  EXPECT_EQ(read->groups, kHistoryGroups);
  EXPECT_DOUBLE_EQ(read->kerma_maximum_kev, 123457.0);  // six significant digits
  for (int g = 0; g < kHistoryGroups; ++g)
    for (int c = 0; c < RunStatistics::kGroupCurves; ++c)
      for (int k = 1; k <= kDepthBins; ++k)
        ASSERT_NEAR(read->group[g][c][k], written.group[g][c][k], 0.15 * 0.01);
  // u from the groups read: their spread over the root of their number.
  EXPECT_NEAR(read->u[3][7], 0.01 * std::sqrt(340.0 / 15 / 16), 1e-5);
  // Written again, the numbers read stay within a step of themselves.
  const auto again = ParseRunStatistics(RunStatisticsText(*read), "r.stat");
  for (int g = 0; g < kHistoryGroups; ++g)
    ASSERT_NEAR(again->group[g][5][150], read->group[g][5][150], 0.01 * 0.15);

  // A record a later version adds to the header is read past and kept.
  std::string with_record = text;
  with_record.insert(with_record.find("groups 16"), "later_record 1\r\n");
  EXPECT_EQ(ParseRunStatistics(with_record, "r.stat")->other_records,
            std::vector<std::string>{"later_record 1"});

  const auto replaced = [&](const std::string& from, const std::string& to) {
    std::string damaged = text;
    damaged.replace(damaged.find(from), from.size(), to);
    return damaged;
  };
  const int last_row = 8 + RunStatistics::kGroupCurves * 301 - 1;
  const struct {
    std::string text;
    int line;
    const char* expected;
  } cases[] = {
      {"", 1, "title"},
      {replaced("statistics 2", "statistics 3"), 1, "title"},
      {replaced("0123456789abcdef", "0123456789abcdeg"), 2, "result_checksum"},
      {replaced("histories 299817", "histories -4"), 3, "histories"},
      {replaced("seed 2147483647", "seed 2147483648"), 4, "seed"},
      {replaced("without electron-transport pair", "without gravity"), 5, "without"},
      {replaced("groups 16", "Groups 16"), 6, "groups"},
      {replaced("groups 16", "groups 1"), 6, "groups"},
      {replaced("kerma_maximum_keV 1.23457E+05", "kerma_maximum_keV nan"), 7, "kerma_maximum_keV"},
      {replaced("\r\n2 ", "\r\n3 "), 10, "mean, step"},
      {replaced("\r\ncurve total 3\r\n", "\r\ncurve total 4\r\n"), 8 + 3 * 301, "curve total 3"},
      {text.substr(0, text.size() - 40), last_row, "16 steps"},
      // Nothing after the last row: text there is not a part of the statistics.
      {text + "300 0.5 0.1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\r\n", last_row + 1, "the end"},
  };
  for (const auto& c : cases) {
    try {
      ParseRunStatistics(c.text, "r.stat");
      ADD_FAILURE() << "read: " << c.expected;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "r.stat");
      EXPECT_EQ(e.line(), c.line) << c.expected << ": " << e.what();
      EXPECT_NE(e.problem().limit.find(c.expected), std::string::npos) << e.what();
    }
  }

  // The first version: u in a block of its own, then each group's numbers in full.
  std::string version1 =
      "Kestrun run statistics 1\r\nresult_checksum 00000000000000ff\r\n"
      "histories 5\r\nseed 0\r\nwithout none\r\ngroups 16\r\n"
      "kerma_maximum_keV 1.00000E+00\r\nuncertainty\r\n";
  for (int k = 1; k <= kDepthBins; ++k) {
    version1 += std::to_string(k);
    for (int c = 0; c < RunStatistics::kUncertaintyCurves; ++c) version1 += " 2.500E-03";
    version1 += "\r\n";
  }
  for (int g = 1; g <= kHistoryGroups; ++g) {
    version1 += "group " + std::to_string(g) + "\r\n";
    for (int k = 1; k <= kDepthBins; ++k) {
      version1 += std::to_string(k);
      for (int c = 0; c < RunStatistics::kGroupCurves; ++c) version1 += " 7.50000E-01";
      version1 += "\r\n";
    }
  }
  const auto old = ParseRunStatistics(version1, "old.stat");
  EXPECT_EQ(old->result_checksum, 0xffu);
  EXPECT_EQ(old->u[15][300], 2.5e-3);
  EXPECT_EQ(old->group[15][10][300], 0.75);
  EXPECT_THROW(ParseRunStatistics(version1 + "x\r\n", "old.stat"), InputError);
}

// Statistics whose numbers were edited with the checksum left intact are not taken as the
// run's measure of its noise: each such file gives its reason, and the result's
// uncertainties are estimated. Genuine statistics (groups scattered about the result's
// curves) are taken.
TEST(RunStatisticsTest, StatisticsThatNoRunGivesAreNotTaken) {
  const std::string result = ResultFileText(testing::SyntheticResults());
  const auto tables = ParseResultFile(result, "r.data");
  RunStatistics genuine;
  genuine.result_checksum = ResultChecksum(result);
  genuine.histories = 100000;
  genuine.kerma_maximum_kev = 1.0;
  genuine.group.resize(kHistoryGroups);
  for (int g = 0; g < kHistoryGroups; ++g)
    for (int c = 0; c < RunStatistics::kGroupCurves; ++c)
      for (int k = 1; k <= kDepthBins; ++k) {
        const double r = c == 0 ? tables->Kerma[k] : tables->DoseTable[kTotalDose][c][k];
        // Deviations of 2 % that sum to nothing over the groups.
        genuine.group[g][c][k] = r * (1 + 0.02 * ((g % 2) ? 1 : -1) * (1 + (g / 2) % 3));
      }
  const struct {
    const char* name;
    std::function<void(RunStatistics&)> edit;
    ProblemKind kind;  // kCount: taken
  } cases[] = {
      {"genuine", [](RunStatistics&) {}, ProblemKind::kCount},
      {"all groups zero",
       [](RunStatistics& s) {
         for (auto& g : s.group)
           for (auto& curve : g) curve.fill(0);
       },
       ProblemKind::kStatisticsMeanDiffers},
      {"one value 1e30", [](RunStatistics& s) { s.group[3][8][1] = 1e30; },
       ProblemKind::kStatisticsMeanDiffers},
      {"one value 1e30, another -1e30 to keep the mean",
       [](RunStatistics& s) {
         s.group[3][8][1] += 1e30;
         s.group[4][8][1] -= 1e30;
       },
       ProblemKind::kStatisticsNegative},
      {"16 groups duplicated to 95",
       [](RunStatistics& s) {
         s.groups = 95;
         for (int g = kHistoryGroups; g < 95; ++g) s.group.push_back(s.group[g % kHistoryGroups]);
       },
       ProblemKind::kStatisticsGroupCount},
      {"every group the result itself",
       [&](RunStatistics& s) {
         for (int g = 1; g < kHistoryGroups; ++g) s.group[g] = s.group[0];
         for (int c = 0; c < RunStatistics::kGroupCurves; ++c)
           for (int k = 1; k <= kDepthBins; ++k) {
             const double r = c == 0 ? tables->Kerma[k] : tables->DoseTable[kTotalDose][c][k];
             for (auto& g : s.group) g[c][k] = r;
           }
       },
       ProblemKind::kStatisticsWithoutSpread},
      {"one curve moved by a tenth",
       [](RunStatistics& s) {
         for (auto& g : s.group) g[5][40] *= 1.1;
       },
       ProblemKind::kStatisticsMeanDiffers},
  };
  for (const auto& c : cases) {
    RunStatistics s = genuine;
    c.edit(s);
    const MatchedStatistics matched =
        MatchRunStatistics(RunStatisticsText(s), "r.stat", result, *tables);
    EXPECT_EQ(matched.problem ? matched.problem->kind : ProblemKind::kCount, c.kind)
        << c.name << ": " << (matched.problem ? ProblemError(*matched.problem).what() : "taken");
    EXPECT_EQ(matched.statistics != nullptr, c.kind == ProblemKind::kCount) << c.name;
  }
  // Another result of the name: said, not taken.
  const MatchedStatistics other =
      MatchRunStatistics(RunStatisticsText(genuine), "r.stat", result + " ", *tables);
  ASSERT_TRUE(other.problem);
  EXPECT_EQ(other.problem->kind, ProblemKind::kStatisticsOfAnotherResult);
}

// A run in the accurate transport says so in one line after the switches; a companion
// without the line (every exact run's, every older file) reads as exact.
TEST(RunStatisticsTest, RecordsTheAccurateTransport) {
  RunStatistics written;
  written.physics.accurate_transport = true;
  written.group.resize(kHistoryGroups);
  const std::string text = RunStatisticsText(written);
  EXPECT_NE(text.find("without none\r\ntransport accurate\r\ngroups 16\r\n"), std::string::npos);
  EXPECT_TRUE(ParseRunStatistics(text, "r.stat")->physics.accurate_transport);
  std::string exact = text;
  exact.erase(exact.find("transport accurate\r\n"), 20);
  RunStatistics plain;
  plain.group = written.group;
  EXPECT_EQ(exact, RunStatisticsText(plain));
  EXPECT_FALSE(ParseRunStatistics(exact, "r.stat")->physics.accurate_transport);
  std::string damaged = text;
  damaged.replace(damaged.find("accurate"), 8, "precise");
  try {
    ParseRunStatistics(damaged, "r.stat");
    ADD_FAILURE() << "read an unknown transport";
  } catch (const InputError& e) {
    EXPECT_EQ(e.line(), 6) << e.what();
  }
}

// A slab phantom's run names its layers after the transport; the record reads back whole.
TEST(RunStatisticsTest, RecordsTheSlabPhantom) {
  RunStatistics written;
  written.physics.accurate_transport = true;
  written.phantom = "water 3 lung 10 water 17";
  written.group.resize(kHistoryGroups);
  const std::string text = RunStatisticsText(written);
  EXPECT_NE(text.find("transport accurate\r\nphantom water 3 lung 10 water 17\r\ngroups 16\r\n"),
            std::string::npos);
  EXPECT_EQ(ParseRunStatistics(text, "r.stat")->phantom, written.phantom);
}

TEST(RunStatisticsTest, NamedAfterTheirResult) {
  const struct {
    const char* result;
    const char* statistics;
  } cases[] = {
      {"10MV-30M.data", "10MV-30M.stat"},
      {"10MV-30M-noe.data", "10MV-30M-noe.stat"},
      {"R.DATA", "R.stat"},
      {"R.DATA-nop", "R.DATA-nop.stat"},
      {"result", "result.stat"},
      {".data", ".data.stat"},
      {"folder/x.data", "folder/x.stat"},
      {"x.stat", "x.stat.stat"},
  };
  for (const auto& c : cases) EXPECT_EQ(RunStatisticsFileName(c.result), c.statistics) << c.result;
}

}  // namespace
}  // namespace dosavia
