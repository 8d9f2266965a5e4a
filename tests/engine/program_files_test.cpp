// No writer replaces a file the programs read or run: by its name in any case, through a
// symbolic or hard link, and the default export names never meet one.
#include "engine/program_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "engine/conditions_file.h"
#include "engine_test_support.h"
#include "records/file_io.h"
#include "records/problem.h"
#include "tests/physics/small_data_files.h"

namespace dosavia {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(ProgramFilesTest, NamesOfTheProgramsFiles) {
  const struct {
    const char* name;
    bool program_file;
  } cases[] = {
      {"water20.dat", true},    {"WATER20.DAT", true},
      {"ELDAT.dat", true},      {"eldat.DAT", true},
      {"Joken.dat", true},      {"joken.dat", true},
      {"10MV.csv", true},       {"10mv.CSV", true},
      {"7.5MV.csv", true},      {"Kestrun", true},
      {"kestrun.exe", true},    {"Dosavia", true},
      {"MV.csv", false},        {"10MV-30M-curves.csv", false},
      {"10MV-30M.data", false}, {"curves.csv", false},
      {"10MV.csv.png", false},  {"water20.dat.bak", false},
      {"Lung20.dat", true},     {"ELACC-air.dat", true},
      {"glass20.dat", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsProgramFileName(c.name), c.program_file) << c.name;
}

// An export by a harmless name that reaches a program file is refused and changes nothing;
// the same name reaching an ordinary file is written.
TEST(ProgramFilesTest, ExportsNeverReplaceAProgramFileThroughAnyName) {
  const struct {
    const char* what;
    const char* export_name;
    void (*make)(const TempDir&);
    bool refused;
  } cases[] = {
      {"the spectrum itself", "10MV.csv", [](const TempDir&) {}, true},
      {"the spectrum in other case", "10mv.CSV", [](const TempDir&) {}, true},
      {"a new spectrum name", "9MV.csv", [](const TempDir&) {}, true},
      {"the water table", "water20.dat", [](const TempDir&) {}, true},
      {"the conditions", "Joken.dat", [](const TempDir&) {}, true},
      {"the engine", "Kestrun", [](const TempDir&) {}, true},
      {"a symbolic link to the spectrum", "curves.csv",
       [](const TempDir& d) { fs::create_symlink("10MV.csv", d.path() / "curves.csv"); }, true},
      {"a hard link to the water table", "table.csv",
       [](const TempDir& d) {
         fs::create_hard_link(d.path() / "water20.dat", d.path() / "table.csv");
       },
       true},
      {"an earlier export", "curves.csv", [](const TempDir& d) { d.Write("curves.csv", "old"); },
       false},
      {"a new name", "10MV-30M-curves.csv", [](const TempDir&) {}, false},
  };
  for (const auto& c : cases) {
    const TempDir dir(testing::ScratchName("program_files"));
    dir.Write("10MV.csv", "spectrum");
    dir.Write("water20.dat", "water");
    dir.Write("Joken.dat", "joken");
    dir.Write("Kestrun", "program");
    c.make(dir);
    const std::string path = dir.File(c.export_name);
    if (c.refused) {
      try {
        WriteExportFile(path, "curves");
        ADD_FAILURE() << c.what << ": written";
      } catch (const WriteError& e) {
        EXPECT_EQ(e.kind(), ProblemKind::kWillNotReplaceProgramFile) << c.what;
        EXPECT_EQ(e.problem().file, path) << c.what;
      }
    } else {
      EXPECT_NO_THROW(WriteExportFile(path, "curves")) << c.what;
      EXPECT_EQ(ReadWholeFile(path, path), "curves") << c.what;
    }
    EXPECT_EQ(ReadWholeFile(dir.File("10MV.csv"), "s"), "spectrum") << c.what;
    EXPECT_EQ(ReadWholeFile(dir.File("water20.dat"), "w"), "water") << c.what;
    EXPECT_EQ(ReadWholeFile(dir.File("Joken.dat"), "j"), "joken") << c.what;
    EXPECT_EQ(ReadWholeFile(dir.File("Kestrun"), "k"), "program") << c.what;
  }
}

// Joken.dat is written as itself, but never through a link that leads to a data file.
TEST(ProgramFilesTest, ConditionsAreWrittenOnlyAsThemselves) {
  const TempDir dir(testing::ScratchName("program_files_joken"));
  WriteConditionsFile(dir.File("Joken.dat"), "a\r\nb\r\n1\r\n");
  EXPECT_EQ(ReadWholeFile(dir.File("Joken.dat"), "j"), "a\r\nb\r\n1\r\n");
  fs::remove(dir.path() / "Joken.dat");
  dir.Write("10MV.csv", "spectrum");
  fs::create_symlink("10MV.csv", dir.path() / "Joken.dat");
  EXPECT_THROW(WriteConditionsFile(dir.File("Joken.dat"), "x"), WriteError);
  EXPECT_EQ(ReadWholeFile(dir.File("10MV.csv"), "s"), "spectrum");
}

TEST(ProgramFilesTest, DefaultExportNamesFollowTheResult) {
  EXPECT_EQ(ExportFileName("10MV-30M.data", "curves.csv"), "10MV-30M-curves.csv");
  EXPECT_EQ(ExportFileName("run.DATA", "graph.png"), "run-graph.png");
  EXPECT_EQ(ExportFileName("notes", "curves.csv"), "notes-curves.csv");
  EXPECT_FALSE(IsProgramFileName(ExportFileName("10MV.csv", "curves.csv")));
}

}  // namespace
}  // namespace dosavia
