// One run of the batch engine: physics data, conditions and spectrum, the pencil-beam
// histories bin by bin, the superposition, the normalised result file and the console
// dialogue around them.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "engine/console_text.h"
#include "engine/run_seed.h"
#include "physics/physics_switches.h"

namespace dosavia {

struct KestrunOptions {
  // The local clock for the start and end lines; tests pass a fixed one.
  std::function<ClockReading()> clock = ReadLocalClock;
  // Empty: the single random stream. A number: the block streams on that many threads
  // (0: one per core).
  std::optional<int> threads;
  // The data files of the working directory that differ from the shipped ones; the console
  // says so before the histories, so that a run on an edited table is told from one on the
  // shipped data.
  std::vector<std::string> differing_data;
  // The parts of the physics in force; a run with some off writes a tagged result name.
  PhysicsSwitches physics;
  // The random sequence: the default is the fixed one of every run without --seed.
  RunSeed seed = kDefaultSeed;
  // A slab phantom file (read before any history); empty: water.
  std::string phantom_file;
  // The language of the console's lines; the files written are the same in both.
  TextLanguage language = kConsoleLanguage;
};

// Runs the engine in working_dir (empty: the current directory), whose files it opens by
// their plain names. Beside the result file it writes the run's statistics
// (RunStatisticsFileName: the history groups' curves and the uncertainties they give). Writes the
// dialogue to `out`, reads the final Enter from `in` (the end of input counts as Enter) and returns
// the exit status: 0 after a complete run, 1 when an input file is missing or malformed, no primary
// kerma was scored, the tally holds a value that is not finite, or the result file could not be
// written. After an error the prompt is still shown, and no result file is written (an earlier file
// of the same name is left as it was).
int RunKestrun(std::istream& in, std::ostream& out, const std::filesystem::path& working_dir,
               const KestrunOptions& options = {});

}  // namespace dosavia
