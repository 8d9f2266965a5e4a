// Laying out a working folder from the installed data: the data folder is found next to the
// program, files the user has are never replaced, and "--init" writes all or nothing.
#include "engine/working_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "engine/conditions_file.h"
#include "engine_test_support.h"
#include "records/file_io.h"

namespace dosavia {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) { return ReadWholeFile(p.string(), p.string()); }
void Write(const fs::path& p, const std::string& s) { std::ofstream(p, std::ios::binary) << s; }

class WorkingFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / testing::ScratchName("working_folder_test");
    fs::remove_all(root_);
    // A relocated install: prefix/bin/Kestrun and prefix/share/dosavia.
    fs::create_directories(share_ = root_ / "prefix" / "share" / "dosavia");
    fs::create_directories(root_ / "prefix" / "bin");
    fs::create_directories(folder_ = root_ / "work");
    for (const char* name : kShippedDataFiles)
      fs::copy_file(fs::path(DOSAVIA_DATA_DIR) / name, share_ / name);
  }
  void TearDown() override { fs::remove_all(root_); }
  fs::path Executable() const { return root_ / "prefix" / "bin" / "Kestrun"; }

  fs::path root_, share_, folder_;
};

// The list the programs copy is every data file the build ships.
TEST_F(WorkingFolderTest, ListNamesEveryShippedFile) {
  std::vector<std::string> shipped, listed(kShippedDataFiles.begin(), kShippedDataFiles.end());
  for (const auto& entry : fs::directory_iterator(DOSAVIA_DATA_DIR)) {
    const std::string ext = entry.path().extension().string();
    if (ext == ".dat" || ext == ".csv") shipped.push_back(entry.path().filename().string());
  }
  std::sort(shipped.begin(), shipped.end());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(shipped, listed);
}

TEST_F(WorkingFolderTest, DataFolderIsTheFirstCompleteCandidate) {
  const std::vector<fs::path> candidates = DataDirCandidates(Executable());
  ASSERT_GE(candidates.size(), 3u);
  EXPECT_EQ(candidates[0], share_.lexically_normal());
  EXPECT_EQ(candidates[1], root_ / "prefix" / "bin");
  EXPECT_EQ(FindDataDir(candidates), candidates[0]);
  // A folder lacking one file is passed over for the next complete one.
  fs::remove(share_ / "15MV.csv");
  EXPECT_EQ(FindDataDir({share_, "", DOSAVIA_DATA_DIR}), fs::path(DOSAVIA_DATA_DIR));
  EXPECT_EQ(FindDataDir({share_, root_ / "nowhere"}), std::nullopt);
}

// Each case: files the folder holds before, then "--init" or the copy of missing files.
struct FolderCase {
  const char* name;
  std::vector<std::string> present;  // written with user content before
  bool init;
  int status;                       // of --init
  std::vector<std::string> copied;  // names expected to hold the shipped bytes afterwards
};

class FolderCases : public WorkingFolderTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(FolderCases, UserFilesSurviveAndShippedFilesArrive) {
  const FolderCase& c = GetParam();
  for (const std::string& name : c.present) Write(folder_ / name, "edited by the user\r\n");
  std::ostringstream out;
  if (c.init) {
    EXPECT_EQ(InitWorkingFolder(Executable(), folder_, out), c.status) << out.str();
  } else {
    std::vector<std::string> copied = CopyMissingDataFiles(share_, folder_);
    std::sort(copied.begin(), copied.end());
    std::vector<std::string> expected = c.copied;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(copied, expected);
  }
  for (const std::string& name : c.present)
    EXPECT_EQ(Read(folder_ / name), "edited by the user\r\n");
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder_)) ++entries;
  const bool wrote_conditions = c.init && c.status == 0;
  EXPECT_EQ(entries, c.present.size() + c.copied.size() + (wrote_conditions ? 1 : 0)) << out.str();
  for (const std::string& name : c.copied)
    EXPECT_EQ(Read(folder_ / name), Read(share_ / name)) << name;
  if (wrote_conditions) {
    const RunConditions run = ReadConditionsFile(folder_ / kConditionsFile);
    EXPECT_EQ(run.spectrum_file, "10MV.csv");
    EXPECT_EQ(run.result_file, "10MV-30M.data");
    EXPECT_EQ(run.photon_total, 3.0e7f);
  }
}

const std::vector<std::string> kAll(kShippedDataFiles.begin(), kShippedDataFiles.end());
const std::vector<std::string> kAllBut10 = [] {
  std::vector<std::string> names;
  for (const std::string& name : kAll)
    if (name != "10MV.csv") names.push_back(name);
  return names;
}();

INSTANTIATE_TEST_SUITE_P(
    Cases, FolderCases,
    ::testing::Values(FolderCase{"InitEmpty", {}, true, 0, kAll},
                      FolderCase{"InitRefusesOverAnEditedSpectrum", {"10MV.csv"}, true, 1, {}},
                      FolderCase{"InitRefusesOverConditions", {"Joken.dat"}, true, 1, {}},
                      FolderCase{"CopyIntoEmpty", {}, false, 0, kAll},
                      FolderCase{"CopyKeepsEdited", {"10MV.csv", "Joken.dat"}, false, 0, kAllBut10},
                      FolderCase{"CopyComplete", kAll, false, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// --init --repair restores what a stray export destroyed, keeps the damaged bytes beside it
// and leaves a teacher's edited table alone; a second run has nothing to do.
TEST_F(WorkingFolderTest, RepairRestoresDamagedAndMissingFilesAndKeepsEditedOnes) {
  for (const char* name : kShippedDataFiles) fs::copy_file(share_ / name, folder_ / name);
  const std::string curves =
      "\xEF\xBB\xBF"
      "depth [cm],kerma\r\n0.05,0.5\r\n";
  Write(folder_ / "10MV.csv", curves);  // a curve table over the spectrum
  fs::remove(folder_ / "ELDAT.dat");    // lost
  std::string edited = Read(share_ / "water20.dat");
  edited += "\r\n";  // an edit that still reads
  Write(folder_ / "water20.dat", edited);

  EXPECT_EQ(CheckDataFile(share_, folder_, "10MV.csv"), DataFileState::kDamaged);
  EXPECT_EQ(CheckDataFile(share_, folder_, "ELDAT.dat"), DataFileState::kMissing);
  EXPECT_EQ(CheckDataFile(share_, folder_, "water20.dat"), DataFileState::kEdited);
  EXPECT_EQ(CheckDataFile(share_, folder_, "6MV.csv"), DataFileState::kShipped);
  EXPECT_EQ(DataFilesDifferingFromShipped(Executable(), folder_),
            (std::vector<std::string>{"water20.dat", "10MV.csv"}));

  std::ostringstream out;
  EXPECT_EQ(RepairWorkingFolder(Executable(), folder_, out), 0) << out.str();
  EXPECT_EQ(Read(folder_ / "10MV.csv"), Read(share_ / "10MV.csv"));
  EXPECT_EQ(Read(folder_ / "10MV.csv.damaged"), curves);
  EXPECT_EQ(Read(folder_ / "ELDAT.dat"), Read(share_ / "ELDAT.dat"));
  EXPECT_EQ(Read(folder_ / "water20.dat"), edited);
  EXPECT_TRUE(fs::exists(folder_ / kConditionsFile));
  for (const char* said : {"restored 10MV.csv", "kept as 10MV.csv.damaged", "restored ELDAT.dat",
                           "water20.dat differs from the shipped copy"})
    EXPECT_NE(out.str().find(said), std::string::npos) << said << "\n" << out.str();

  // Damaged again: the earlier damaged copy is not replaced either.
  Write(folder_ / "10MV.csv", curves + "more\r\n");
  std::ostringstream again;
  EXPECT_EQ(RepairWorkingFolder(Executable(), folder_, again), 0);
  EXPECT_EQ(Read(folder_ / "10MV.csv.damaged"), curves);
  EXPECT_EQ(Read(folder_ / "10MV.csv.damaged-2"), curves + "more\r\n");
  std::ostringstream nothing;
  fs::remove(folder_ / "water20.dat");
  fs::copy_file(share_ / "water20.dat", folder_ / "water20.dat");
  EXPECT_EQ(RepairWorkingFolder(Executable(), folder_, nothing), 0);
  EXPECT_NE(nothing.str().find("nothing to restore"), std::string::npos) << nothing.str();
}

}  // namespace
}  // namespace dosavia
