#include "engine/program_files.h"

#include <sys/stat.h>

#include <array>
#include <system_error>

#include "engine/conditions_file.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "engine/working_folder.h"
#include "physics/physics_loader.h"
#include "records/file_io.h"
#include "records/input_error.h"
#include "records/problem.h"

namespace dosavia {

namespace fs = std::filesystem;

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

bool EndsWithName(std::string_view name, std::string_view end) {
  return name.size() > end.size() && SameName(name.substr(name.size() - end.size()), end);
}

// The fixed names; spectra are recognised by their ending, since any energy may be typed.
constexpr std::array<const char*, 14> kFixedNames = {
    kWaterDataFile, kElectronDataFile, kConditionsFile,           "Kestrun",      "Kestrun.exe",
    "Dosavia",      "Dosavia.exe",     kAccurateElectronDataFile, "lung20.dat",   "bone20.dat",
    "air20.dat",    "ELACC-lung.dat",  "ELACC-bone.dat",          "ELACC-air.dat"};
constexpr std::string_view kSpectrumEnding = "MV.csv";

// The folders whose program files another name might reach: the target's own folder, the
// working directory and the folder of the running program.
std::vector<fs::path> FoldersToCompare(const fs::path& target) {
  std::vector<fs::path> folders;
  std::error_code ec;
  const fs::path absolute = fs::absolute(target, ec);
  if (!ec) folders.push_back(absolute.parent_path());
  const fs::path current = fs::current_path(ec);
  if (!ec) folders.push_back(current);
  const fs::path self = CurrentExecutable(nullptr);
  if (!self.empty()) folders.push_back(self.parent_path());
  return folders;
}

}  // namespace

bool IsProgramFileName(std::string_view name) {
  for (const char* fixed : kFixedNames)
    if (SameName(name, fixed)) return true;
  return EndsWithName(name, kSpectrumEnding);
}

std::optional<std::string> ProgramFileReachedBy(const fs::path& path, std::string_view own_name) {
  const auto reached = [&](const std::string& name) -> std::optional<std::string> {
    if (!own_name.empty() && name == own_name) return std::nullopt;
    if (IsProgramFileName(name)) return name;
    return std::nullopt;
  };
  if (auto name = reached(path.filename().string())) return name;
  // Through symbolic links: the name the file finally has.
  std::error_code ec;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return std::nullopt;  // a new name reaches nothing
  if (S_ISLNK(st.st_mode)) {
    const fs::path resolved = fs::weakly_canonical(path, ec);
    if (!ec) {
      if (auto name = reached(resolved.filename().string())) return name;
      if (!own_name.empty() && resolved.filename() != fs::path(own_name) &&
          path.filename() == fs::path(own_name))
        return resolved.filename().string();  // Joken.dat led somewhere else
    }
  }
  // Another name of one of them (a hard link, a copy of the path through another folder).
  for (const fs::path& folder : FoldersToCompare(path)) {
    for (const char* name : kFixedNames) {
      if (!own_name.empty() && name == own_name && path.filename() == fs::path(own_name)) continue;
      if (fs::equivalent(path, folder / name, ec)) return std::string(name);
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
      const std::string name = entry.path().filename().string();
      if (EndsWithName(name, kSpectrumEnding) && fs::equivalent(path, entry.path(), ec))
        return name;
    }
  }
  if (const fs::path self = CurrentExecutable(nullptr);
      !self.empty() && fs::equivalent(path, self, ec))
    return self.filename().string();
  return std::nullopt;
}

void CheckNotProgramFile(const fs::path& path, std::string_view own_name) {
  if (const auto name = ProgramFileReachedBy(path, own_name))
    throw WriteError(
        Problem(ProblemKind::kWillNotReplaceProgramFile).In(path.string()).WithValue(*name));
}

void CheckExportTarget(const std::string& path) {
  CheckNotProgramFile(fs::path(path));
  // Nor another run's result, whatever its name: a picture or a table in its place would
  // lose a run of hours.
  if (std::error_code ec; fs::is_regular_file(path, ec)) {
    bool result = true;
    try {
      ReadResultFile(path, path);
    } catch (const InputError&) {
      result = false;
    }
    if (result) throw WriteError(Problem(ProblemKind::kWillNotReplaceResult).In(path));
    // Nor a run's statistics: a table in their place would leave the run with estimated
    // uncertainties until it is run again with its seed.
    if (IsRunStatisticsFile(path))
      throw WriteError(Problem(ProblemKind::kExportOverStatistics).In(path));
  }
}

void WriteExportFile(const std::string& path, std::string_view content) {
  CheckExportTarget(path);
  WriteFileAtomically(path, content);
}

std::string ExportFileName(std::string_view result_name, std::string_view suffix) {
  std::string base(result_name);
  if (EndsWithName(base, ".data")) base.resize(base.size() - 5);
  if (base.empty()) base = "result";
  return base + "-" + std::string(suffix);
}

}  // namespace dosavia
