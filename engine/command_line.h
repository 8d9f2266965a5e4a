// Kestrun's command line. Without arguments the engine runs its single random stream, as
// Dosavia has always started it; "--threads N" selects the block streams on N threads.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace dosavia {

inline constexpr int kMaxThreads = 256;

inline constexpr const char* kUsageText =
    "Usage: Kestrun [--threads N]\n"
    "       Kestrun --init | --version | --help\n"
    "Runs the batch simulation that Joken.dat in the current directory describes.\n"
    "  (no option)   one random stream on one core; the result file is the same on every run\n"
    "  --threads N   block streams on N threads (N = 0: one per core, at most 256); the\n"
    "                result file is the same for every N, and differs from the single\n"
    "                stream's by statistical noise\n"
    "  --init        lay the data files and a default Joken.dat into the current directory\n"
    "                from the installed ones; nothing that is there is overwritten\n"
    "  --version     the program and data versions\n"
    "  --help        this text\n";

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kInit, kError };
  Action action = Action::kRun;
  std::optional<int> threads;  // empty: the single stream; 0: one thread per core
  std::string error;           // what was wrong, for kError
};

// args: the arguments after the program name.
CommandLine ParseCommandLine(std::span<const std::string_view> args);

// The console line that tells which mode runs, shown in the block-stream mode only, so that
// the single-stream dialogue stays as it always was.
std::string ModeLine(int threads);

}  // namespace dosavia
