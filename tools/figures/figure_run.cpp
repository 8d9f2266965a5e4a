#include "tools/figures/figure_run.h"

#include <chrono>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "engine/conditions_file.h"

namespace dosavia::figures {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder(const std::string& prefix)
    : path_(
          fs::temp_directory_path() /
          (prefix + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
  fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::unique_ptr<ResultTables> RunEngine(const fs::path& run_dir, const std::string& spectrum,
                                        const std::string& result, const std::string& photons,
                                        const KestrunOptions& options) {
  WriteConditionsFile(run_dir / kConditionsFile,
                      ConditionsFileText(spectrum, result, PhotonTotalText(photons)));
  std::istringstream enter("\n");
  std::ostringstream dialogue;
  if (RunKestrun(enter, dialogue, run_dir, options) != 0)
    throw std::runtime_error("the engine failed:\n" + dialogue.str());
  return ReadResultFile(run_dir / result, result);
}

}  // namespace dosavia::figures
