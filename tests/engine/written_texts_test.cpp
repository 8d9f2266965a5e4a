// Texts that one program writes and another reads back: the engine's progress and error
// lines that Dosavia's console window follows, and the result file's name that the engine
// screen reads the energy from. Each reader lives beside its writer; these tests hold them
// to each other.
#include <gtest/gtest.h>

#include <string>

#include "engine/command_line.h"
#include "engine/conditions_file.h"
#include "engine/console_text.h"
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
  for (const Problem& p : {no_kerma, missing}) EXPECT_TRUE(IsErrorLine(ErrorLine(p)));
  for (const std::string& line :
       {std::string(kTitleLine), std::string(kPromptLine), std::string(kStopLine),
        ProgressLine(3, 200), std::string("*** エラー: without its blank"), std::string()})
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

}  // namespace
}  // namespace dosavia
