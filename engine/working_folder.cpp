#include "engine/working_folder.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "engine/conditions_file.h"
#include "engine/spectrum_file.h"
#include "physics/physics_loader.h"
#include "physics/physics_tables.h"
#include "engine/install_info.h"
#include "records/file_io.h"
#include "records/problem.h"

namespace dosavia {

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& path) {
  std::error_code ec;
  return fs::is_regular_file(path, ec);
}

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// Never over a file the user made meanwhile; see WriteNewFile.

void CopyNewFile(const fs::path& from, const fs::path& to) {
  WriteNewFile(to.string(), ReadWholeFile(from.string(), from.string()));
}

}  // namespace

std::string DefaultConditionsText() {
  return ConditionsFileText("10MV.csv", "10MV-30M.data", "3.00E+07");
}

bool HoldsPhysicsData(const fs::path& dir) {
  return IsFile(dir / "water20.dat") && IsFile(dir / "ELDAT.dat");
}

std::vector<fs::path> DataDirCandidates(const fs::path& executable) {
  std::vector<fs::path> candidates;
  if (!executable.empty()) {
    const fs::path bin = executable.parent_path();
    candidates.push_back((bin / ".." / "share" / "dosavia").lexically_normal());
    candidates.push_back(bin);
  }
  candidates.emplace_back(DOSAVIA_INSTALL_DATADIR);
  return candidates;
}

std::optional<fs::path> FindDataDir(const std::vector<fs::path>& candidates) {
  for (const fs::path& dir : candidates) {
    bool complete = !dir.empty();
    for (const char* name : kShippedDataFiles) complete = complete && IsFile(dir / name);
    if (complete) return dir;
  }
  return std::nullopt;
}

std::vector<std::string> CopyMissingDataFiles(const fs::path& data_dir, const fs::path& folder) {
  std::vector<std::string> copied;
  for (const char* name : kShippedDataFiles) {
    if (Exists(folder / name)) continue;
    try {
      CopyNewFile(data_dir / name, folder / name);
    } catch (const std::exception&) {
      // Made by the user since the check: theirs, and not a failure.
      if (Exists(folder / name)) continue;
      throw;
    }
    copied.emplace_back(name);
  }
  return copied;
}

std::string InitProblemLine(std::string_view command, const Problem& problem) {
  return std::string(command) + ": " + ProblemLine(problem, kInitLanguage);
}

namespace {

constexpr std::string_view kInit = "Kestrun --init";
constexpr std::string_view kRepair = "Kestrun --init --repair";

// What stands at `path` where a data file should.
FileType NonFileType(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (fs::is_directory(status)) return FileType::kDirectory;
  if (fs::is_fifo(status)) return FileType::kPipe;
  if (fs::is_character_file(status) || fs::is_block_file(status)) return FileType::kDevice;
  if (fs::is_socket(status)) return FileType::kSocket;
  return FileType::kSpecial;
}

// The data folder, or nullopt when none holds the data files (said on `out`).
std::optional<fs::path> DataDirOrSay(const fs::path& executable, std::string_view command,
                                     std::ostream& out) {
  const std::vector<fs::path> candidates = DataDirCandidates(executable);
  std::optional<fs::path> data_dir = FindDataDir(candidates);
  if (!data_dir) {
    std::string looked;
    for (const fs::path& dir : candidates) looked += (looked.empty() ? "" : ", ") + dir.string();
    out << InitProblemLine(command, Problem(ProblemKind::kDataFilesNotFound).WithValue(looked))
        << '\n';
  }
  return data_dir;
}

}  // namespace

int InitWorkingFolder(const fs::path& executable, const fs::path& folder, std::ostream& out) {
  const std::optional<fs::path> data_dir = DataDirOrSay(executable, kInit, out);
  if (!data_dir) return 1;
  std::vector<std::string> names(kShippedDataFiles.begin(), kShippedDataFiles.end());
  names.emplace_back(kConditionsFile);
  std::vector<std::string> present;
  for (const std::string& name : names)
    if (Exists(folder / name)) present.push_back(name);
  if (!present.empty()) {
    std::string names;
    for (const std::string& name : present) names += (names.empty() ? "" : " ") + name;
    out << InitProblemLine(
               kInit,
               Problem(ProblemKind::kFolderHoldsDataFiles).In(folder.string()).WithValue(names))
        << '\n';
    return 1;
  }
  std::vector<fs::path> written;
  try {
    for (const char* name : kShippedDataFiles) {
      CopyNewFile(*data_dir / name, folder / name);
      written.push_back(folder / name);
    }
    WriteNewFile((folder / kConditionsFile).string(), DefaultConditionsText());
  } catch (const std::exception& e) {
    // Leave the folder as it was, so that the command can simply be run again.
    for (const fs::path& path : written) ::unlink(path.c_str());
    out << kInit << ": " << ReportOf(e, kInitLanguage) << '\n';
    return 1;
  }
  out << "Kestrun --init: copied the data files from " << data_dir->string() << " and wrote "
      << kConditionsFile << " (10MV.csv, 3.00E+07 photons) into " << folder.string() << '\n';
  return 0;
}

DataFileState CheckDataFile(const fs::path& data_dir, const fs::path& folder,
                            const std::string& name) {
  std::string text;
  try {
    text = ReadWholeFile((folder / name).string(), name);
  } catch (const std::exception&) {
    return DataFileState::kMissing;
  }
  std::string shipped;
  try {
    shipped = ReadWholeFile((data_dir / name).string(), name);
  } catch (const std::exception&) {
    shipped.clear();
  }
  if (!shipped.empty() && text == shipped) return DataFileState::kShipped;
  // Read as the engine reads it; a physics table together with the shipped other one.
  try {
    if (name == kWaterDataFile || name == kElectronDataFile) {
      const bool water = name == kWaterDataFile;
      const std::string other_name = water ? kElectronDataFile : kWaterDataFile;
      const std::string other = ReadWholeFile((data_dir / other_name).string(), other_name);
      auto tables = std::make_unique<PhysicsTables<float>>();
      LoadPhysicsTablesFromText(*tables, kWaterDataFile, water ? text : other, kElectronDataFile,
                                water ? other : text);
    } else if (name == kAccurateElectronDataFile) {
      auto data = std::make_unique<ElectronData<float>>();
      LoadElectronDataFromText(*data, name, text);
    } else {
      ReadBeamSpectrum(text, name);
    }
  } catch (const std::exception&) {
    return DataFileState::kDamaged;
  }
  return DataFileState::kEdited;
}

fs::path DamagedCopyName(const fs::path& file) {
  fs::path copy = file;
  copy += ".damaged";
  for (int n = 2; Exists(copy); ++n) {
    copy = file;
    copy += ".damaged-" + std::to_string(n);
  }
  return copy;
}

fs::path RestoreDataFile(const fs::path& data_dir, const fs::path& folder,
                         const std::string& name) {
  const fs::path target = folder / name;
  const std::string shipped = ReadWholeFile((data_dir / name).string(), (data_dir / name).string());
  fs::path kept;
  if (Exists(target)) {
    kept = DamagedCopyName(target);
    // link + unlink: the damaged file keeps its bytes under the new name, and a name taken
    // meanwhile is never replaced. Where the file system has no hard links (Kestrun under
    // Node, some shares) the bytes are copied to the new name, made exclusively.
    if (::link(target.c_str(), kept.c_str()) != 0) {
      const int err = errno;
      std::error_code ec;
      if (err == EEXIST || !fs::copy_file(target, kept, fs::copy_options::none, ec))
        throw WriteError(Problem(ProblemKind::kCannotCreate)
                             .In(kept.string())
                             .WithSystemError(err == EEXIST || !ec ? err : ec.value()));
    }
    if (::unlink(target.c_str()) != 0) {
      const int err = errno;
      ::unlink(kept.c_str());
      throw WriteError(Problem(ProblemKind::kCannotWrite).In(target.string()).WithSystemError(err));
    }
  }
  WriteNewFile(target.string(), shipped);
  return kept;
}

int RepairWorkingFolder(const fs::path& executable, const fs::path& folder, std::ostream& out) {
  const std::optional<fs::path> data_dir = DataDirOrSay(executable, kRepair, out);
  if (!data_dir) return 1;
  int status = 0;
  bool changed = false;
  for (const char* name : kShippedDataFiles) {
    const DataFileState state = CheckDataFile(*data_dir, folder, name);
    if (state == DataFileState::kShipped) continue;
    if (state == DataFileState::kEdited) {
      out << "Kestrun --init --repair: " << name
          << " differs from the shipped copy but reads as a data file; kept (remove it and run "
             "this again to restore the shipped one)\n";
      continue;
    }
    if (state == DataFileState::kMissing && Exists(folder / name)) {
      out << InitProblemLine(kRepair, Problem(ProblemKind::kWillNotReplace)
                                          .In(name)
                                          .WithFileType(NonFileType(folder / name)))
          << '\n';
      status = 1;
      continue;
    }
    try {
      const fs::path kept = RestoreDataFile(*data_dir, folder, name);
      out << "Kestrun --init --repair: restored " << name << " from " << data_dir->string();
      if (!kept.empty()) out << "; the damaged file is kept as " << kept.filename().string();
      out << '\n';
      changed = true;
    } catch (const std::exception& e) {
      out << kRepair << ": " << ReportOf(e, kInitLanguage) << '\n';
      status = 1;
    }
  }
  if (!Exists(folder / kConditionsFile)) {
    try {
      WriteNewFile((folder / kConditionsFile).string(), DefaultConditionsText());
      out << "Kestrun --init --repair: wrote " << kConditionsFile
          << " (10MV.csv, 3.00E+07 photons)\n";
      changed = true;
    } catch (const std::exception& e) {
      out << kRepair << ": " << ReportOf(e, kInitLanguage) << '\n';
      status = 1;
    }
  }
  if (!changed && status == 0)
    out << "Kestrun --init --repair: nothing to restore in " << folder.string() << '\n';
  return status;
}

std::vector<std::string> DataFilesDifferingFromShipped(const fs::path& executable,
                                                       const fs::path& folder) {
  std::vector<std::string> differing;
  const std::optional<fs::path> data_dir = FindDataDir(DataDirCandidates(executable));
  if (!data_dir) return differing;
  std::error_code ec;
  if (fs::equivalent(*data_dir, folder, ec)) return differing;
  for (const char* name : kShippedDataFiles) {
    const DataFileState state = CheckDataFile(*data_dir, folder, name);
    if (state == DataFileState::kEdited || state == DataFileState::kDamaged)
      differing.emplace_back(name);
  }
  return differing;
}

std::string DifferingDataText(const std::vector<std::string>& names) {
  std::string text =
      "data files in use that differ from the shipped ones (the fingerprint above "
      "is of the shipped files):";
  for (const std::string& name : names) text += " " + name;
  return text;
}

fs::path CurrentExecutable(const char* argv0) {
  std::error_code ec;
#ifdef __EMSCRIPTEN__
  // Under Node the running process is node itself; argv[0] is the script as node was
  // given it, a path from the current directory.
  if (argv0 == nullptr || *argv0 == '\0') return {};
  return fs::absolute(argv0, ec);
#else
  fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec && !self.empty()) return self;
  const std::string name = argv0 ? argv0 : "";
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return fs::absolute(name, ec);
  const char* path_variable = std::getenv("PATH");
  std::string_view rest = path_variable ? path_variable : "";
  while (!rest.empty()) {
    const std::size_t colon = rest.find(':');
    const std::string_view entry = rest.substr(0, colon);
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    const fs::path candidate = fs::path(entry.empty() ? "." : std::string(entry)) / name;
    if (IsFile(candidate) && ::access(candidate.c_str(), X_OK) == 0)
      return fs::absolute(candidate, ec);
  }
  return {};
#endif
}

std::string ProgramVersion() { return DOSAVIA_PROGRAM_VERSION; }

std::string DataVersion() { return DOSAVIA_DATA_VERSION; }

std::string KestrunVersionText() {
  return "Kestrun " + ProgramVersion() + ", data " + DataVersion();
}

}  // namespace dosavia
