// Kestrun's command line. Without arguments the engine runs its single random stream, as
// Dosavia has always started it; "--threads N" selects the block streams on N threads.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_seed.h"
#include "physics/physics_switches.h"
#include "records/problem_text.h"

namespace dosavia {

inline constexpr int kMaxThreads = 256;

inline constexpr const char* kUsageText =
    "Usage: Kestrun [--threads N] [--seed N] [--lang ja|en] [--accurate | --without PART...]\n"
    "       Kestrun [--threads N] [--seed N] [--lang ja|en] --phantom FILE\n"
    "       Kestrun --init [--repair] | --version | --help\n"
    "Runs the batch simulation that Joken.dat in the current directory describes.\n"
    "  (no option)   one random stream on one core; the result file is the same on every run\n"
    "  --threads N   block streams on N threads (N = 0: one per core, at most 256); the\n"
    "                result file is the same for every N, and differs from the single\n"
    "                stream's by statistical noise\n"
    "  --seed N      an independent random sequence N (1 to 2147483647; 0, the default,\n"
    "                is the fixed sequence of a run without it): runs that differ only in\n"
    "                the seed show how far one run's numbers lie from another's\n"
    "  --without PART  switch a part of the physics off, to see what it does to the\n"
    "                dose; PART is electron-transport, multiple-scattering,\n"
    "                photon-scatter, coherent or pair, and may be repeated. The result\n"
    "                file's name gets a tag (10MV-30M.data -> 10MV-30M-noe.data)\n"
    "  --accurate    follow electrons and positrons by the accurate transport (class II\n"
    "                condensed history with delta rays, bremsstrahlung photons and\n"
    "                annihilation in flight; data ELACC.dat) instead of the exact one,\n"
    "                the default; slower, with the build-up of the reference codes at\n"
    "                10 and 15 MV. Not with --without\n"
    "  --phantom FILE  a slab phantom: FILE holds one layer per line from the surface\n"
    "                down, a material (water, lung, bone, air, bolus) and a thickness\n"
    "                in cm; water below the last layer to 30 cm. Doses are per mass of\n"
    "                each slab's own material; runs the accurate transport\n"
    "  --lang en     the run's console lines in English (ja, the default: in Japanese);\n"
    "                the files written are the same in both\n"
    "  --init        lay the data files and a default Joken.dat into the current directory\n"
    "                from the installed ones; nothing that is there is overwritten\n"
    "  --init --repair  restore missing or damaged data files (one no longer read as the\n"
    "                file it is named after) from the installed ones; a damaged file is kept\n"
    "                as NAME.damaged, an edited file that still reads is kept as it is\n"
    "  --version     the program and data versions, and which data files of the current\n"
    "                directory differ from the shipped ones\n"
    "  --help        this text (given anywhere, it is the only thing done)\n";

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kInit, kRepair, kError };
  Action action = Action::kRun;
  std::optional<int> threads;   // empty: the single stream; 0: one thread per core
  std::string error;            // what was wrong, for kError
  PhysicsSwitches physics;      // the parts that --without switched off
  RunSeed seed = kDefaultSeed;  // --seed
  std::string phantom_file;     // --phantom; empty: water
  TextLanguage language = TextLanguage::kJapanese;  // --lang: the console's lines
};

// args: the arguments after the program name. One rule for every order: "--help" anywhere
// is answered alone; "--version", "--init" and "--init --repair" take no other argument.
CommandLine ParseCommandLine(std::span<const std::string_view> args);

// The arguments that switch the parts of `physics` that are off: "--without" and the part's
// word for each, in the order of the result-name tag; none for the full physics. What a
// front end passes when it starts the engine, read back by ParseCommandLine.
std::vector<std::string> WithoutArguments(const PhysicsSwitches& physics);

// The argument that selects the accurate transport ("--accurate"); none for the exact one.
std::vector<std::string> TransportArguments(const PhysicsSwitches& physics);

// The console line that says a run uses the accurate transport; empty for the exact one, so
// that its dialogue stays as it always was.
std::string TransportLine(const PhysicsSwitches& physics,
                          TextLanguage language = TextLanguage::kJapanese);

// The arguments that make the console speak `language` ("--lang", "en"); none for Japanese,
// the console's own language.
std::vector<std::string> LanguageArguments(TextLanguage language);

// The console line that names a slab phantom, by its description.
std::string PhantomLine(const std::string& description,
                        TextLanguage language = TextLanguage::kJapanese);

// The arguments that give a seeded run its seed ("--seed", N); none for the default seed.
std::vector<std::string> SeedArguments(RunSeed seed);

// The console line that tells which mode runs, shown in the block-stream mode only, so that
// the single-stream dialogue stays as it always was.
std::string ModeLine(int threads, TextLanguage language = TextLanguage::kJapanese);

// The console line that names a run's seed, shown only for a seed given with --seed.
std::string SeedLine(RunSeed seed, TextLanguage language = TextLanguage::kJapanese);

// The console lines that say which parts of the physics are switched off and the name the
// result gets; empty for the full physics, so that its dialogue stays as it always was.
std::string WithoutLines(const PhysicsSwitches& physics, const std::string& result_file,
                         TextLanguage language = TextLanguage::kJapanese);

}  // namespace dosavia
