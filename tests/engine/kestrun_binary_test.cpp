// The real Kestrun binary in a scratch working directory, standard input closed as when
// nobody is at the console: a small run on the shipped data, and every way a run can fail
// (on small hand-made data files, so that these run wherever the tests build).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <tuple>

#include "engine/beam_spectrum.h"
#include "engine/block_streams.h"
#include "engine/command_line.h"
#include "engine/console_text.h"
#include "engine/kestrun_run.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "engine_test_support.h"
#include "records/file_io.h"
#include "tests/physics/small_data_files.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dosavia {
namespace {

namespace fs = std::filesystem;
using testing::SpectrumText;
using testing::TempDir;
using testing::ZeroSpectrum;

// Runs Kestrun in `dir` with the arguments, with the given conditions file unless null;
// stdout goes to console.txt, stderr to stderr.txt. Returns the exit status.
// `shell_prefix` runs before it in the same shell (a resource limit).
int RunKestrunIn(const TempDir& dir, const char* conditions, const std::string& args = "",
                 const std::string& shell_prefix = "") {
  if (conditions) dir.Write("Joken.dat", conditions);
  const std::string command = "cd \"" + dir.path().string() + "\" && " + shell_prefix +
                              " \"" KESTRUN_PATH "\" " + args +
                              " < /dev/null > console.txt 2> stderr.txt";
  const int raw = std::system(command.c_str());
#ifdef _WIN32
  return raw;
#else
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
}

std::string Read(const TempDir& dir, const std::string& name) {
  return ReadWholeFile(dir.File(name), name);
}

// Statistics an earlier run left (they read as run statistics, of no result in particular).
std::string EarlierStatistics() {
  RunStatistics s;
  s.group.resize(kHistoryGroups);
  return RunStatisticsText(s);
}

// A working folder of small hand-made data files for runs of `t.csv`.
void WriteSmallData(const TempDir& dir) {
  dir.Write("water20.dat", testing::WaterFile(testing::TypicalWaterRows()));
  dir.Write("ELDAT.dat", testing::EldatFile());
  auto intensity = ZeroSpectrum();
  intensity[40] = intensity[120] = 1.0;
  dir.Write("t.csv", SpectrumText(intensity));
}

TEST(KestrunBinaryTest, SmallRunOnShippedDataGivesTranscriptAndTheSameFileTwice) {
  const TempDir dir(testing::ScratchName("engine_binary_run"));
  const fs::path data(DOSAVIA_DATA_DIR);
  for (const char* name : {"water20.dat", "ELDAT.dat", "10MV.csv"}) {
    if (!fs::exists(data / name)) GTEST_SKIP() << "shipped data file missing: " << (data / name);
    fs::copy_file(data / name, dir.path() / name);
  }
  const char* conditions = "10MV.csv\r\n10MV-test.data\r\n2.00E+04\r\n";
  const BeamSpectrum spectrum = ReadBeamSpectrumFile(dir.File("10MV.csv"), "10MV.csv");
  std::string first;
  // The console in Japanese (its own language) and in English (--lang en): the transcript
  // with the clock readings masked, the start line showing the same time twice, and the
  // same result file in both.
  for (const auto& [args, lang, started] :
       {std::tuple{"", TextLanguage::kJapanese, "計算開始 "},
        std::tuple{"--lang en", TextLanguage::kEnglish, "Started  "}}) {
    ASSERT_EQ(RunKestrunIn(dir, conditions, args), 0) << Read(dir, "console.txt");
    const std::regex clock("=[ 0-9]{2}:[ 0-9]{2}:[ 0-9]{2}");
    const std::string console = Read(dir, "console.txt");
    std::smatch start;
    ASSERT_TRUE(std::regex_search(console, start, clock));
    EXPECT_NE(console.find(started + start.str(), start.position() + 1), std::string::npos);
    std::string expected;
    for (const std::string& line :
         {std::string(TitleLine(lang)), std::string(), StartTimeLine({}, lang), std::string(),
          std::string(WaitingLine(lang)), std::string()})
      expected.append(line).append("\n");
    for (int i = 1; i <= kSpectrumBins; ++i)
      if (spectrum.weight[i] != 0.0f) expected.append(ProgressLine(i, spectrum.imax)).append("\n");
    for (const std::string& line :
         {std::string(), StartTimeLine({}, lang), EndTimeLine({}, lang), std::string(),
          std::string(PromptLine(lang)), std::string(), std::string(kStopLine)})
      expected.append(line).append("\n");
    EXPECT_EQ(std::regex_replace(console, clock, "=hh:mm:ss"),
              std::regex_replace(expected, clock, "=hh:mm:ss"))
        << args;
    if (first.empty()) first = Read(dir, "10MV-test.data");
    EXPECT_EQ(Read(dir, "10MV-test.data"), first) << args;
  }
  EXPECT_EQ(first.size(), 600u * 127u);
  EXPECT_EQ(SplitLines(first).size(), 600u);
  ASSERT_EQ(RunKestrunIn(dir, conditions), 0);
  EXPECT_EQ(Read(dir, "10MV-test.data"), first);
}

// A phantom of water alone takes the layers' code paths and gives the plain accurate run's
// file byte for byte; a phantom of lung needs lung's data files (refused by name before any
// history without them) and records its layers; a bad phantom file is refused with its
// line before any history, and nothing is written.
TEST(KestrunBinaryTest, SlabPhantoms) {
  const TempDir dir(testing::ScratchName("engine_binary_phantom"));
  const fs::path data(DOSAVIA_DATA_DIR);
  for (const char* name : {"water20.dat", "ELDAT.dat", "ELACC.dat", "6MV.csv"}) {
    if (!fs::exists(data / name)) GTEST_SKIP() << "shipped data file missing: " << (data / name);
    fs::copy_file(data / name, dir.path() / name);
  }
  const char* conditions = "6MV.csv\r\nr.data\r\n1.00E+04\r\n";
  ASSERT_EQ(RunKestrunIn(dir, conditions, "--accurate"), 0) << Read(dir, "console.txt");
  const std::string plain = Read(dir, "r.data");
  dir.Write("water.txt", "water 30\n");
  ASSERT_EQ(RunKestrunIn(dir, conditions, "--phantom water.txt"), 0) << Read(dir, "console.txt");
  EXPECT_EQ(Read(dir, "r.data"), plain);
  dir.Write("lung.txt", "water 3\nlung 10\n");
  fs::remove(dir.path() / "r.data");
  EXPECT_EQ(RunKestrunIn(dir, conditions, "--phantom lung.txt"), 1);
  EXPECT_NE(Read(dir, "console.txt").find("lung20.dat"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir.path() / "r.data"));
  for (const char* name : {"lung20.dat", "ELACC-lung.dat"}) {
    if (!fs::exists(data / name)) GTEST_SKIP() << "shipped data file missing: " << (data / name);
    fs::copy_file(data / name, dir.path() / name);
  }
  ASSERT_EQ(RunKestrunIn(dir, conditions, "--phantom lung.txt"), 0) << Read(dir, "console.txt");
  EXPECT_NE(Read(dir, "r.data"), plain);
  EXPECT_NE(Read(dir, "r.stat").find("\r\nphantom water 3 lung 10 water 17\r\n"),
            std::string::npos);
  fs::remove(dir.path() / "r.data");
  dir.Write("bad.txt", "water 3\nglass 1\n");
  EXPECT_EQ(RunKestrunIn(dir, conditions, "--phantom bad.txt"), 1);
  const std::string console = Read(dir, "console.txt");
  EXPECT_NE(console.find("bad.txt"), std::string::npos) << console;
  EXPECT_NE(console.find("glass"), std::string::npos) << console;
  EXPECT_EQ(console.find(kWaitingLine), std::string::npos) << console;
  EXPECT_FALSE(fs::exists(dir.path() / "r.data"));
}

// The block streams: the same file for any number of threads (0: one per core) and on every
// run, the mode line, and the progress lines of the single stream (each once its bin is done).
TEST(KestrunBinaryTest, BlockStreamsGiveOneFileForAnyThreadCount) {
  const TempDir dir(testing::ScratchName("engine_binary_blocks"));
  const fs::path data(DOSAVIA_DATA_DIR);
  for (const char* name : {"water20.dat", "ELDAT.dat", "10MV.csv"}) {
    if (!fs::exists(data / name)) GTEST_SKIP() << "shipped data file missing: " << (data / name);
    fs::copy_file(data / name, dir.path() / name);
  }
  const BeamSpectrum spectrum = ReadBeamSpectrumFile(dir.File("10MV.csv"), "10MV.csv");
  std::string progress;
  for (int i = 1; i <= kSpectrumBins; ++i)
    if (spectrum.weight[i] != 0.0f) progress.append(ProgressLine(i, spectrum.imax)).append("\n");
  std::string first;
  for (const int threads : {1, 2, 3, 0, 2}) {
    ASSERT_EQ(RunKestrunIn(dir, "10MV.csv\r\nb.data\r\n1.00E+05\r\n",
                           "--threads " + std::to_string(threads)),
              0);
    const std::string console = Read(dir, "console.txt");
    const std::string mode = ModeLine(ThreadCount(threads));  // 0: one per core
    EXPECT_NE(console.find(std::string(kWaitingLine) + "\n" + mode + "\n\n" + progress),
              std::string::npos)
        << console;
    const std::string file = Read(dir, "b.data");
    if (first.empty()) first = file;
    EXPECT_EQ(file, first) << threads << " threads";
  }
  EXPECT_EQ(first.size(), 600u * 127u);
}

// Every run writes its statistics beside its result: they name the seed and the histories,
// belong to that very file (its checksum), and their history groups average to the result's
// own curves (to far less than their noise: the groups weigh a bin's histories a little
// differently where its count is not a multiple of theirs). A seed gives a different, reproducible
// file, the same for any thread count.
TEST(KestrunBinaryTest, StatisticsDescribeTheirResultAndSeedsGiveIndependentRuns) {
  const TempDir dir(testing::ScratchName("engine_binary_seed"));
  const fs::path data(DOSAVIA_DATA_DIR);
  for (const char* name : {"water20.dat", "ELDAT.dat", "6MV.csv"}) {
    if (!fs::exists(data / name)) GTEST_SKIP() << "shipped data file missing: " << (data / name);
    fs::copy_file(data / name, dir.path() / name);
  }
  const struct {
    const char* args;
    RunSeed seed;
  } cases[] = {{"", 0},          {"--threads 2", 0},          {"--seed 9", 9},
               {"--seed 9", 9},  {"--seed 9 --threads 3", 9}, {"--threads 1 --seed 9", 9},
               {"--seed 10", 10}};
  std::map<std::string, std::string> file_of;  // result bytes by arguments
  for (const auto& c : cases) {
    ASSERT_EQ(RunKestrunIn(dir, "6MV.csv\r\n6MV-s.data\r\n2.00E+04\r\n", c.args), 0) << c.args;
    const std::string result = Read(dir, "6MV-s.data");
    const auto statistics = ParseRunStatistics(Read(dir, "6MV-s.stat"), "6MV-s.stat");
    EXPECT_EQ(statistics->result_checksum, ResultChecksum(result)) << c.args;
    // Every run's statistics are plausible ones of its result, as the readers check them.
    const auto matched = MatchRunStatistics(Read(dir, "6MV-s.stat"), "6MV-s.stat", result,
                                            *ParseResultFile(result, "6MV-s.data"));
    EXPECT_FALSE(matched.problem) << c.args << ": " << matched.problem->value << " "
                                  << ProblemError(*matched.problem).what();
    // A few times the result, no longer ten.
    EXPECT_LT(Read(dir, "6MV-s.stat").size(), 4 * result.size()) << c.args;
    EXPECT_EQ(statistics->seed, c.seed) << c.args;
    EXPECT_GT(statistics->histories, 19000) << c.args;
    EXPECT_EQ(statistics->group.size(), static_cast<std::size_t>(kHistoryGroups));
    const auto tables = ParseResultFile(result, "6MV-s.data");
    for (const int field : {1, 8, 10})
      for (const int bin : {1, 15, 100, 250}) {
        double mean = 0;
        for (const auto& g : statistics->group) mean += g[field][bin] / kHistoryGroups;
        EXPECT_GT(statistics->u[field][bin], 0) << c.args;
        EXPECT_NEAR(mean, tables->DoseTable[kTotalDose][field][bin], statistics->u[field][bin])
            << c.args << " field " << field << " bin " << bin;
      }
    EXPECT_EQ(std::string(c.seed == 0 ? "" : "yes"),
              Read(dir, "console.txt").find(SeedLine(c.seed)) != std::string::npos ? "yes" : "")
        << c.args;
    file_of[c.args] = result;
  }
  EXPECT_EQ(file_of["--seed 9 --threads 3"], file_of["--threads 1 --seed 9"]);
  EXPECT_NE(file_of["--seed 9"], file_of[""]);
  EXPECT_NE(file_of["--seed 9"], file_of["--seed 10"]);
  EXPECT_NE(file_of["--seed 9"], file_of["--seed 9 --threads 3"]);
  EXPECT_NE(file_of["--threads 2"], file_of["--seed 9 --threads 3"]);
}

// A run with physics switched off says so on the console and writes its result under the
// tagged name, leaving the full-physics name free.
TEST(KestrunBinaryTest, WithoutWritesATaggedResultAndSaysWhatWasOff) {
  const TempDir dir(testing::ScratchName("engine_binary_without"));
  const fs::path data(DOSAVIA_DATA_DIR);
  for (const char* name : {"water20.dat", "ELDAT.dat", "10MV.csv"}) {
    if (!fs::exists(data / name)) GTEST_SKIP() << "shipped data file missing: " << (data / name);
    fs::copy_file(data / name, dir.path() / name);
  }
  ASSERT_EQ(RunKestrunIn(dir, "10MV.csv\r\n10MV-0M.data\r\n2.00E+04\r\n",
                         "--without electron-transport --without pair"),
            0);
  const std::string console = Read(dir, "console.txt");
  EXPECT_NE(console.find("電子・陽電子の輸送, 電子対生成"), std::string::npos) << console;
  EXPECT_NE(console.find("10MV-0M-noep.data"), std::string::npos) << console;
  EXPECT_FALSE(fs::exists(dir.path() / "10MV-0M.data"));
  EXPECT_EQ(Read(dir, "10MV-0M-noep.data").size(), 600u * 127u);
}

// --help prints the usage on stdout and ends with 0; anything else that is not a valid
// --threads ends with 2 and the usage on stderr, before any file is read.
TEST(KestrunBinaryTest, CommandLine) {
  const struct {
    const char* args;
    int status;
    const char* message;
  } cases[] = {
      {"--help", 0, ""},
      {"-h", 0, ""},
      {"--fast", 2, "unknown argument '--fast'"},
      {"10MV.csv", 2, "unknown argument '10MV.csv'"},
      {"--threads", 2, "--threads needs a number"},
      {"--threads -1", 2, "not '-1'"},
      {"--threads 2x", 2, "not '2x'"},
      {"--threads 257", 2, "not '257'"},
      {"--threads 1 --threads 2", 2, "given twice"},
      {"--init --threads 2", 2, "takes no other argument"},
      // One rule in every order: --help anywhere is answered alone.
      {"--version --help", 0, ""},
      {"--help --version", 0, ""},
      {"--threads 2 --help", 0, ""},
      {"--version --init", 2, "takes no other argument"},
      {"--repair", 2, "--repair works only with --init"},
      {"--init --repair --threads 2", 2, "takes no other argument"},
      {"--without", 2, "--without needs"},
      {"--without gravity", 2, "not 'gravity'"},
      {"--seed", 2, "--seed needs a number"},
      {"--seed -3", 2, "not '-3'"},
      {"--seed 2147483648", 2, "not '2147483648'"},
      {"--seed 1 --seed 2", 2, "--seed given twice"},
      {"--lang fr", 2, "--lang takes ja or en, not 'fr'"},
      {"--lang", 2, "--lang takes ja or en"},
      {"--lang en --lang ja", 2, "--lang given twice"},
  };
  for (const auto& c : cases) {
    const TempDir dir(testing::ScratchName("engine_binary_args"));
    EXPECT_EQ(RunKestrunIn(dir, nullptr, c.args), c.status) << c.args;
    const std::string out = Read(dir, "console.txt");
    const std::string err = Read(dir, "stderr.txt");
    const std::string& usage_stream = c.status == 0 ? out : err;
    EXPECT_NE(usage_stream.find("Usage: Kestrun"), std::string::npos) << c.args;
    EXPECT_NE(err.find(c.message), std::string::npos) << c.args << "\n" << err;
    EXPECT_EQ((c.status == 0 ? err : out), "") << c.args;
  }
}

// Every failure is reported in the console's Japanese, the prompt still comes last, the
// status is 1, and an earlier result file of the same name stays as it was.
TEST(KestrunBinaryTest, FailedRunsReportAndKeepTheEarlierFile) {
  const struct {
    const char* name;
    const char* conditions;
    std::function<void(const TempDir&)> spoil;
    const char* report;
    const char* shell_prefix = "";
  } cases[] = {
      {"missing conditions", nullptr, nullptr, "Joken.dat：ファイルが無いか、読めません"},
      {"missing physics data", "t.csv\r\nres.data\r\n2000\r\n",
       [](const TempDir& d) { fs::remove(d.File("water20.dat")); },
       "water20.dat：ファイルが無いか、読めません"},
      {"photon total not a number", "t.csv\r\nres.data\r\nmany\r\n", nullptr,
       "Joken.dat 3 行目、光子総数：数値ではありません（'many'）"},
      {"missing spectrum", "4MV.csv\r\nres.data\r\n2000\r\n", nullptr,
       "Joken.dat 1 行目、スペクトルファイル名：スペクトル '4MV.csv' を使えません"
       "（ファイルが無いか、読めません）"},
      {"short spectrum", "t.csv\r\nres.data\r\n2000\r\n",
       [](const TempDir& d) { d.Write("t.csv", SpectrumText(ZeroSpectrum(), 250)); },
       "t.csv 251 行目"},
      {"no positive weight", "t.csv\r\nres.data\r\n2000\r\n",
       [](const TempDir& d) { d.Write("t.csv", SpectrumText(ZeroSpectrum())); },
       "スペクトル 't.csv' を使えません（強度が正のビンがなく、計算するものがありません）"},
      {"result in another folder", "t.csv\r\n../res.data\r\n2000\r\n", nullptr,
       "Joken.dat 2 行目、結果ファイル名：'../res.data' は単純なファイル名ではありません"},
      {"no primary kerma", "t.csv\r\nres.data\r\n1\r\n", nullptr,
       "最初の 5 cm に一次線カーマが記録されず"},
      {"result name of a file that is not a result", "t.csv\r\nnotes.txt\r\n2000\r\n",
       [](const TempDir& d) { d.Write("notes.txt", "my notes\r\n"); },
       "'notes.txt' は既にあり、計算結果ファイルではありません"},
      {"spectrum above the photon table", "t.csv\r\nres.data\r\n2000\r\n",
       [](const TempDir& d) {
         auto rows = testing::TypicalWaterRows();
         rows.resize(5);  // up to 2 MeV, below the bin of 5.975 MeV
         d.Write("water20.dat", testing::WaterFile(rows));
       },
       "t.csv 120 行目"},
      // 16 kB is less than the 76 kB result file (written first): the write fails instead
      // of a silent kill.
      {"result beyond the file-size limit", "t.csv\r\nres.data\r\n2000\r\n", nullptr,
       "res.data：ファイルを書き込めません（ファイルが大きすぎます）", "ulimit -f 16 &&"},
      // The companion's name is guarded as the result's is: only run statistics or a new
      // name are replaced, never through a link to another folder, and the run is refused
      // before any history.
      {"companion's name held by a result", "t.csv\r\nres.data\r\n2000\r\n",
       [](const TempDir& d) { d.Write("res.stat", ResultFileText(testing::SyntheticResults())); },
       "res.stat：既にあり、計算の統計ファイルではないので置き換えません"},
      {"companion's name held by notes", "t.csv\r\nres.data\r\n2000\r\n",
       [](const TempDir& d) { d.Write("res.stat", "my notes\r\n"); },
       "res.stat：既にあり、計算の統計ファイルではないので置き換えません"},
      {"companion's name a link to another folder's result", "t.csv\r\nres.data\r\n2000\r\n",
       [](const TempDir& d) {
         fs::create_directory(d.path() / "other");
         d.Write("other/hours.data", ResultFileText(testing::SyntheticResults()));
         fs::remove(d.path() / "res.stat");
         fs::create_symlink("other/hours.data", d.path() / "res.stat");
       },
       "res.stat：別の場所"},
      {"companion's name a link to another folder's statistics", "t.csv\r\nres.data\r\n2000\r\n",
       [](const TempDir& d) {
         fs::create_directory(d.path() / "other");
         d.Write("other/res.stat", EarlierStatistics());
         fs::remove(d.path() / "res.stat");
         fs::create_symlink("other/res.stat", d.path() / "res.stat");
       },
       "res.stat：別の場所"},
  };
  // An earlier result of the run's name: only a file of that shape may be replaced; and
  // its statistics, which no failed run may leave paired with another result.
  const std::string earlier = ResultFileText(*std::make_unique<NormalisedResults>());
  for (const auto& c : cases) {
    const TempDir dir(testing::ScratchName("engine_binary_failure"));
    dir.Write("water20.dat", testing::WaterFile(testing::TypicalWaterRows()));
    dir.Write("ELDAT.dat", testing::EldatFile());
    auto intensity = ZeroSpectrum();
    intensity[40] = intensity[120] = 1.0;
    dir.Write("t.csv", SpectrumText(intensity));
    dir.Write("res.data", earlier);
    dir.Write("res.stat", EarlierStatistics());
    if (c.spoil) c.spoil(dir);
    const std::string companion_before = Read(dir, "res.stat");
    const std::string linked_before =
        fs::exists(dir.path() / "other")
            ? Read(dir, fs::is_regular_file(dir.path() / "other/hours.data") ? "other/hours.data"
                                                                             : "other/res.stat")
            : "";
    EXPECT_EQ(RunKestrunIn(dir, c.conditions, "", c.shell_prefix), 1) << c.name;
    EXPECT_EQ(Read(dir, "res.stat"), companion_before) << c.name;
    if (!linked_before.empty()) {
      EXPECT_TRUE(fs::is_symlink(dir.path() / "res.stat")) << c.name;
      EXPECT_EQ(Read(dir, "res.stat"), linked_before) << c.name;
    }
    const std::string console = Read(dir, "console.txt");
    const std::size_t error = console.find(" *** エラー: ");
    ASSERT_NE(error, std::string::npos) << c.name << "\n" << console;
    EXPECT_NE(console.find(c.report, error), std::string::npos) << c.name << "\n" << console;
    const std::string tail = "\n\n" + std::string(kPromptLine) + "\n\n";
    EXPECT_EQ(console.substr(console.size() - std::min(console.size(), tail.size())), tail)
        << c.name;
    EXPECT_EQ(Read(dir, "res.data"), earlier) << c.name;
    for (const auto& entry : fs::directory_iterator(dir.path()))
      for (const char* temporary : {".res.data.", ".res.stat."})
        EXPECT_NE(entry.path().filename().string().rfind(temporary, 0), 0u)
            << c.name << ": temporary file left behind: " << entry.path();
  }
}

// --init in a folder deleted under the shell says so and ends with 1, as a plain run there
// does; --help and --version that cannot reach their reader (a full device) are failures.
TEST(KestrunBinaryTest, InitInADeletedFolderAndOutputToAFullDevice) {
  const TempDir dir(testing::ScratchName("engine_binary_gone"));
  const std::string out = dir.File("console.txt");
  for (const char* args : {"--init", "--init --repair", ""}) {
    const std::string command = "cd \"" + dir.path().string() +
                                "\" && mkdir gone && cd gone && rmdir ../gone && \"" KESTRUN_PATH
                                "\" " +
                                args + " < /dev/null > \"" + out + "\" 2>&1";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << args;
    EXPECT_EQ(WEXITSTATUS(raw), 1) << args << "\n" << Read(dir, "console.txt");
    const std::string said = Read(dir, "console.txt");
    if (std::string(args).empty())
      EXPECT_NE(said.find(" *** "), std::string::npos) << said;
    else
      EXPECT_NE(said.find("current directory cannot be found"), std::string::npos) << said;
  }
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  // A run too: its result is written, and the console it could not write is said.
  WriteSmallData(dir);
  dir.Write("Joken.dat", "t.csv\r\nres.data\r\n2000\r\n");
  for (const char* args : {"--help", "--version", "< /dev/null"}) {
    const std::string command = "cd \"" + dir.path().string() + "\" && \"" KESTRUN_PATH "\" " +
                                std::string(args) + " > /dev/full 2> \"" + out + "\"";
    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << args;
    EXPECT_EQ(WEXITSTATUS(raw), 1) << args;
    EXPECT_NE(Read(dir, "console.txt").find("cannot write"), std::string::npos) << args;
  }
  EXPECT_EQ(Read(dir, "res.data").size(), 600u * 127u);
}

// A result named like a spectrum is refused before any history runs.
TEST(KestrunBinaryTest, AResultNamedLikeAProgramFileIsRefusedAtOnce) {
  const TempDir dir(testing::ScratchName("engine_binary_program_name"));
  dir.Write("water20.dat", testing::WaterFile(testing::TypicalWaterRows()));
  dir.Write("ELDAT.dat", testing::EldatFile());
  auto intensity = ZeroSpectrum();
  intensity[40] = 1.0;
  dir.Write("t.csv", SpectrumText(intensity));
  EXPECT_EQ(RunKestrunIn(dir, "t.csv\r\n7MV.csv\r\n2000\r\n"), 1);
  const std::string console = Read(dir, "console.txt");
  EXPECT_NE(console.find("'7MV.csv'"), std::string::npos) << console;
  EXPECT_EQ(console.find("計算が終了するまで"), std::string::npos) << console;
  EXPECT_FALSE(fs::exists(dir.path() / "7MV.csv"));
}

// The result first, then its statistics: statistics that cannot be written cost only the
// measured uncertainties (the result stands, the console says so), and a result that cannot
// be written leaves the earlier pair as it was, never an earlier result with new statistics.
// The clock read at the end of the histories spoils the folder just before the writing.
TEST(KestrunBinaryTest, TheResultIsWrittenBeforeItsStatisticsAndStandsWithoutThem) {
  const struct {
    const char* name;
    const char* spoiled;  // made a folder just before the writing
    int status;
    bool new_result;
  } cases[] = {
      {"statistics cannot be written", "res.stat", 0, true},
      {"result cannot be written", "res.data", 1, false},
  };
  const std::string earlier = ResultFileText(*std::make_unique<NormalisedResults>());
  for (const auto& c : cases) {
    const TempDir dir(testing::ScratchName("engine_binary_pair"));
    WriteSmallData(dir);
    dir.Write("Joken.dat", "t.csv\r\nres.data\r\n2000\r\n");
    dir.Write("res.data", earlier);
    dir.Write("res.stat", EarlierStatistics());
    KestrunOptions options;
    int readings = 0;
    options.clock = [&] {
      if (++readings == 2) {
        fs::remove(dir.path() / c.spoiled);
        fs::create_directory(dir.path() / c.spoiled);
      }
      return ClockReading{};
    };
    std::istringstream in;
    std::ostringstream out;
    EXPECT_EQ(RunKestrun(in, out, dir.path(), options), c.status) << c.name << "\n" << out.str();
    if (c.new_result) {
      EXPECT_NE(Read(dir, "res.data"), earlier) << c.name;
      EXPECT_NE(out.str().find("計算の統計（不確かさ）を書けませんでした"), std::string::npos)
          << c.name << "\n"
          << out.str();
    } else {
      EXPECT_EQ(Read(dir, "res.stat"), EarlierStatistics()) << c.name;
    }
  }
  // The same on a full quota: 80 kB (160 blocks of the shell's 512 bytes) takes the result
  // (76 kB) but not its statistics.
  const TempDir dir(testing::ScratchName("engine_binary_quota"));
  WriteSmallData(dir);
  EXPECT_EQ(RunKestrunIn(dir, "t.csv\r\nres.data\r\n2000\r\n", "", "ulimit -f 160 &&"), 0)
      << Read(dir, "console.txt");
  EXPECT_EQ(Read(dir, "res.data").size(), 600u * 127u);
  EXPECT_FALSE(fs::exists(dir.path() / "res.stat"));
  EXPECT_NE(Read(dir, "console.txt").find("res.stat：ファイルを書き込めません"), std::string::npos)
      << Read(dir, "console.txt");
}

// One run of a result name at a time in a folder: a second is refused before any history
// while the first holds the name (by flock, or as Node's engine does, by its process number
// alone); a lock left by a killed run is taken over, and the temporary files that run left
// are cleared, however young.
TEST(KestrunBinaryTest, OneRunOfANameAtATime) {
#ifndef _WIN32
  const pid_t gone = fork();
  if (gone == 0) _exit(0);
  waitpid(gone, nullptr, 0);
  const struct {
    const char* name;
    std::function<std::unique_ptr<WriteLock>(const TempDir&)> hold;
    int status;
  } cases[] = {
      {"held by a run",
       [](const TempDir& d) { return std::make_unique<WriteLock>(d.File("res.data")); }, 1},
      {"held by a process without flock",
       [](const TempDir& d) {
         d.Write(".res.data.lock", std::to_string(getpid()) + "\n");
         return nullptr;
       },
       1},
      {"left by a killed run",
       [&](const TempDir& d) {
         d.Write(".res.data.lock", std::to_string(gone) + " flock\n");
         d.Write(".res.data.Ab12Cd", "half a result");
         d.Write(".res.stat.Ef34Gh", "half the statistics");
         return nullptr;
       },
       0},
  };
  const std::string earlier = ResultFileText(*std::make_unique<NormalisedResults>());
  for (const auto& c : cases) {
    const TempDir dir(testing::ScratchName("engine_binary_lock"));
    WriteSmallData(dir);
    dir.Write("res.data", earlier);
    const auto lock = c.hold(dir);
    EXPECT_EQ(RunKestrunIn(dir, "t.csv\r\nres.data\r\n2000\r\n"), c.status) << c.name;
    const std::string console = Read(dir, "console.txt");
    if (c.status == 1) {
      EXPECT_NE(console.find("res.data：同じフォルダで同じ名前の計算が実行中です"),
                std::string::npos)
          << c.name << "\n"
          << console;
      EXPECT_EQ(console.find(kWaitingLine), std::string::npos) << c.name;
      EXPECT_EQ(Read(dir, "res.data"), earlier) << c.name;
    } else {
      EXPECT_NE(Read(dir, "res.data"), earlier) << c.name;
      for (const char* left : {".res.data.lock", ".res.data.Ab12Cd", ".res.stat.Ef34Gh"})
        EXPECT_FALSE(fs::exists(dir.path() / left)) << c.name << ": " << left;
    }
  }
#endif
}

// In a shared sticky folder (mode 1777) another user's result cannot be replaced: said
// before any history, not after all of them.
TEST(KestrunBinaryTest, AnotherUsersResultInAStickyFolderIsRefusedAtOnce) {
  const struct {
    unsigned folder_mode, folder_owner, file_owner, user;
    bool allowed;
  } rules[] = {
      {01777, 0, 1000, 1001, false}, {01777, 0, 1000, 1000, true}, {01777, 1001, 1000, 1001, true},
      {01777, 0, 1000, 0, true},     {0777, 0, 1000, 1001, true},
  };
  for (const auto& r : rules)
    EXPECT_EQ(StickyFolderAllowsReplace(r.folder_mode, r.folder_owner, r.file_owner, r.user),
              r.allowed)
        << r.folder_mode << " " << r.folder_owner << " " << r.file_owner << " " << r.user;
#ifndef _WIN32
  if (geteuid() != 0 || std::system("command -v setpriv > /dev/null") != 0)
    GTEST_SKIP() << "needs root and setpriv to run as another user";
  const TempDir dir(testing::ScratchName("engine_binary_sticky"));
  WriteSmallData(dir);
  dir.Write("Joken.dat", "t.csv\r\nres.data\r\n2000\r\n");
  const std::string earlier = ResultFileText(*std::make_unique<NormalisedResults>());
  dir.Write("res.data", earlier);
  fs::permissions(dir.path(), fs::perms::all | fs::perms::sticky_bit);
  const std::string command =
      "cd \"" + dir.path().string() +
      "\" && setpriv --reuid 65534 --regid 65534 --clear-groups \"" KESTRUN_PATH
      "\" < /dev/null > /dev/stdout 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string console;
  char buffer[4096];
  while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
    console.append(buffer, n);
  const int raw = ::pclose(pipe);
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1) << console;
  EXPECT_NE(console.find("res.data：他のユーザーのファイル"), std::string::npos) << console;
  EXPECT_EQ(console.find(kWaitingLine), std::string::npos) << console;
  EXPECT_EQ(Read(dir, "res.data"), earlier);
#endif
}

}  // namespace
}  // namespace dosavia
