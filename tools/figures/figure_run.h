// What the figure generators share: a scratch folder that holds one run's copies of the data
// files and goes when the generator ends, and one engine run in it, started as the
// interactive program starts Kestrun (Joken.dat names the spectrum, the result file and the
// photon total), whose result comes back as the tables the screens read.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "engine/kestrun_run.h"
#include "engine/result_file.h"

namespace dosavia::figures {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes, whether the generator ends normally or by an exception.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& prefix);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Writes Joken.dat for `spectrum`, `result` and `photons` in `run_dir`, runs the engine there
// with `options` and reads its result file. Throws std::runtime_error with the engine's
// dialogue when the run fails.
std::unique_ptr<ResultTables> RunEngine(const std::filesystem::path& run_dir,
                                        const std::string& spectrum, const std::string& result,
                                        const std::string& photons,
                                        const KestrunOptions& options = {});

}  // namespace dosavia::figures
