// Kestrun: the batch engine; it works in the current directory. Without arguments it runs
// the single random stream; see kUsageText for the options.
#include <filesystem>
#include <iostream>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/command_line.h"
#include "engine/kestrun_run.h"
#include "engine/working_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#include <sys/stat.h>
#endif

namespace {

// Kestrun --init or --init --repair in the current directory; the exit status.
int LayOutWorkingFolder(dosavia::CommandLine::Action action,
                        const std::filesystem::path& executable) {
  const bool init = action == dosavia::CommandLine::Action::kInit;
  // A folder deleted under the shell: said, like a plain run there, not an abort.
  std::error_code ec;
  const std::filesystem::path here = std::filesystem::current_path(ec);
  if (ec) {
    std::cout << dosavia::InitProblemLine(init ? "Kestrun --init" : "Kestrun --init --repair",
                                          dosavia::Problem(dosavia::ProblemKind::kCurrentFolderGone)
                                              .WithSystemError(ec.value()))
              << "\n";
    return 1;
  }
  return init ? dosavia::InitWorkingFolder(executable, here, std::cout)
              : dosavia::RepairWorkingFolder(executable, here, std::cout);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The dialogue is Japanese text in UTF-8.
  SetConsoleOutputCP(CP_UTF8);
#else
  // The result file is the run's product: a console that goes away (a closed pipe) must not
  // end the run before it is written.
  std::signal(SIGPIPE, SIG_IGN);
  // A file-size limit (or a full quota) must end in a write error that names the file and
  // removes the temporary file, not in a silent kill that leaves it half written.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
#ifdef __EMSCRIPTEN__
  // Emscripten's C library starts with a file-creation mask of 0777, so the result file,
  // given the permissions of a plain new file, would get none at all. Node knows the
  // process's real mask.
  ::umask(static_cast<mode_t>(EM_ASM_INT({ return process.umask(); })));
#endif
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  const dosavia::CommandLine line = dosavia::ParseCommandLine(args);
  // What was asked for is done only when it reached its reader: a full disk or a closed
  // output is a failure, not a success.
  const auto written = [](int status) {
    std::cout.flush();
    if (!std::cout) {
      std::cerr << "Kestrun: cannot write to the standard output\n";
      return 1;
    }
    return status;
  };
  if (line.action == dosavia::CommandLine::Action::kHelp) {
    std::cout << dosavia::kUsageText;
    return written(0);
  }
  if (line.action == dosavia::CommandLine::Action::kError) {
    std::cerr << "Kestrun: " << line.error << "\n" << dosavia::kUsageText;
    return 2;
  }
  const std::filesystem::path executable =
      dosavia::CurrentExecutable(argc > 0 ? argv[0] : "Kestrun");
  if (line.action == dosavia::CommandLine::Action::kVersion) {
    std::cout << dosavia::KestrunVersionText() << "\n";
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    if (!ec) {
      const std::vector<std::string> differing =
          dosavia::DataFilesDifferingFromShipped(executable, here);
      if (!differing.empty()) std::cout << dosavia::DifferingDataText(differing) << "\n";
    }
    return written(0);
  }
  if (line.action == dosavia::CommandLine::Action::kInit ||
      line.action == dosavia::CommandLine::Action::kRepair)
    return written(LayOutWorkingFolder(line.action, executable));
  dosavia::KestrunOptions options;
  options.threads = line.threads;
  {
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    if (!ec) options.differing_data = dosavia::DataFilesDifferingFromShipped(executable, here);
  }
  options.physics = line.physics;
  options.seed = line.seed;
  options.phantom_file = line.phantom_file;
  options.language = line.language;
  // The result is written whatever became of the console; a console that took no line (a
  // full device) still makes the run a failure to report.
  return written(dosavia::RunKestrun(std::cin, std::cout, {}, options));
}
