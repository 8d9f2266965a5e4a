// Laying out a working folder: both programs open their files by plain names in the working
// directory, so an installed copy must put the shipped data files into a folder of the
// user's own before either program can run there. The installed data stay read-only.
#pragma once

#include <array>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "records/problem.h"
#include "records/problem_text.h"

namespace dosavia {

// The data files shipped beside the programs; every working folder needs them.
inline constexpr std::array<const char*, 13> kShippedDataFiles = {
    "water20.dat",    "ELDAT.dat",      "4MV.csv",      "6MV.csv",    "10MV.csv",
    "15MV.csv",       "ELACC.dat",      "lung20.dat",   "bone20.dat", "air20.dat",
    "ELACC-lung.dat", "ELACC-bone.dat", "ELACC-air.dat"};

// The conditions of the default run (10 MV, 3.00E+07 photons), as the non-visual screen
// writes them for its default settings.
std::string DefaultConditionsText();

// True when `dir` holds both physics tables (water20.dat and ELDAT.dat): then it is a
// working directory already and is used as it is.
bool HoldsPhysicsData(const std::filesystem::path& dir);

// Where the shipped data files may lie, in order: share/dosavia beside the program's bin
// folder (a relocatable install), the program's own folder (the build tree's workdir), then
// the data folder of the configured install prefix.
std::vector<std::filesystem::path> DataDirCandidates(const std::filesystem::path& executable);

// The first candidate that holds every shipped data file; none when no candidate does.
std::optional<std::filesystem::path> FindDataDir(
    const std::vector<std::filesystem::path>& candidates);

// Copies into `folder` (which must exist) each shipped data file that it lacks; a file that
// is there already, perhaps edited by the user, is never touched. Returns the names copied.
// Throws WriteError or InputError naming the file when one cannot be copied; a file that failed
// half way is removed, so that a later call copies it again.
std::vector<std::string> CopyMissingDataFiles(const std::filesystem::path& data_dir,
                                              const std::filesystem::path& folder);

// Kestrun --init and --init --repair speak English, as the command line that starts them;
// their failures are worded by ReportOf in this language.
inline constexpr TextLanguage kInitLanguage = TextLanguage::kEnglish;

// A failure of `command` ("Kestrun --init") as its console line says it.
std::string InitProblemLine(std::string_view command, const Problem& problem);

// "Kestrun --init": writes the shipped data files and the default "Joken.dat" into
// `folder`. When any of these names exists already nothing at all is written. Prints what
// it did or why it did not to `out`; returns the exit status (0 done, 1 refused or failed).
int InitWorkingFolder(const std::filesystem::path& executable, const std::filesystem::path& folder,
                      std::ostream& out);

// How a data file of a working folder stands beside the installed copy.
enum class DataFileState {
  kShipped,  // byte for byte the installed copy
  kEdited,   // differs, and is still read as the file it is named after (a teacher's table)
  kDamaged,  // differs, and is no longer read as that file (a curve table in 10MV.csv)
  kMissing,  // not there, or not a regular file
};

// Compares `folder`/`name` (one of kShippedDataFiles) with `data_dir`/`name`.
DataFileState CheckDataFile(const std::filesystem::path& data_dir,
                            const std::filesystem::path& folder, const std::string& name);

// The name a damaged file is kept under when its shipped copy takes its place:
// "10MV.csv.damaged", or "10MV.csv.damaged-2" and on when that exists.
std::filesystem::path DamagedCopyName(const std::filesystem::path& file);

// Restores the data file `name` in `folder` from `data_dir`: a damaged file is first renamed
// to DamagedCopyName, so that nothing is lost. Throws WriteError or InputError naming the file.
// Returns the name the damaged file was kept under (empty when the file was missing).
std::filesystem::path RestoreDataFile(const std::filesystem::path& data_dir,
                                      const std::filesystem::path& folder, const std::string& name);

// "Kestrun --init --repair": restores every missing or damaged data file of `folder` from the
// installed copies, writes the default Joken.dat when there is none, and keeps edited files
// (reported as edited). Prints what it did to `out`; returns 0, or 1 when a file could not be
// restored or the data files were not found.
int RepairWorkingFolder(const std::filesystem::path& executable,
                        const std::filesystem::path& folder, std::ostream& out);

// The data files of `folder` that differ from the installed copies (edited or damaged), for
// the version text and the run's console; empty when no installed copy is found.
std::vector<std::string> DataFilesDifferingFromShipped(const std::filesystem::path& executable,
                                                       const std::filesystem::path& folder);

// "data files differing from the shipped ones: water20.dat", for --version.
std::string DifferingDataText(const std::vector<std::string>& names);

// The path of the running program (from the system where it can say, else from argv[0]
// and PATH); empty when it cannot be found.
std::filesystem::path CurrentExecutable(const char* argv0);

// "Kestrun <program version>, data <fingerprint of the shipped data files>".
std::string KestrunVersionText();
// The two versions on their own, for the interactive program's About text.
std::string ProgramVersion();
std::string DataVersion();

}  // namespace dosavia
