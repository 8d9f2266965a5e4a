// The browser and Node editions' entry to Kestrun's engine: a block-stream run cut up so
// that any number of Web Workers (or Node worker threads) run its blocks and one of them
// adds the block tallies in block order and writes the 600 records; the names of the
// screen's run; Kestrun's console texts for the Node edition. The results it writes are read
// back by result_library_core.cpp. All of it is the engine's and the models' C++; the
// JavaScript only passes block numbers and tallies around and draws.
#include <emscripten/bind.h>
#include <emscripten/em_asm.h>
#include <emscripten/val.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <iterator>
#include <map>
#include <utility>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/block_run.h"
#include "engine/command_line.h"
#include "engine/conditions_file.h"
#include "engine/console_text.h"
#include "engine/physics_switch_names.h"
#include "engine/program_files.h"
#include "engine/result_file.h"
#include "engine/run_statistics.h"
#include "models/engine_session.h"
#include "models/phantom_presets.h"
#include "models/phantom_session.h"
#include "models/typed_text.h"
#include "records/file_io.h"
#include "records/problem.h"
#include "records/problem_text.h"
#include "web/bindings/report_language.h"
#include "web/bindings/typed_arrays.h"
#include "records/utf8_text.h"

namespace dosavia::web {

using emscripten::val;

namespace {

// A failure as the user reads it, in the report language.
std::string Report(const std::exception& e) { return ReportOf(e, report_language); }

// Kestrun's console line for a report.
// The language of the console lines these bindings write (kestrun.mjs --lang); the page's
// engine console keeps Kestrun's own, Japanese.
TextLanguage console_language = kConsoleLanguage;

std::string ErrorLineText(const std::string& report) {
  return ErrorLineOf(report, console_language);
}

constexpr std::size_t kCells = DoseTally::kCellCount;
// A finished block travels from the worker that ran it to the one that adds it as one
// Float32Array: its tally's cells, then its history groups' growth, packed.

// The word that rides in the list of --without words for Kestrun --accurate: the run's
// whole physics goes from the command line to the workers as one list.
constexpr const char* kAccurateWord = "accurate";

// The parts switched off, by their --without words, as the command line and the screen
// name them (and kAccurateWord for the accurate transport): a word the engine does not know
// is an error, never silently the full physics.
PhysicsSwitches SwitchesOf(val without) {
  PhysicsSwitches physics;
  const int n = without["length"].as<int>();
  for (int i = 0; i < n; ++i) {
    const std::string word = without[i].as<std::string>();
    if (word == kAccurateWord) {
      physics.accurate_transport = true;
      continue;
    }
    const PhysicsSwitchName* name = FindPhysicsSwitch(word);
    if (name == nullptr)
      throw std::invalid_argument("no part of the physics is named '" + Excerpt(word) + "'");
    physics.*name->member = false;
  }
  // As Kestrun refuses it: the switches are experiments on the exact transport.
  if (physics.accurate_transport && !physics.AllOn())
    throw std::invalid_argument("--accurate cannot be combined with --without");
  return physics;
}

// Whether the list names the accurate transport, whose result the screens mark
// (PlanEngineRun); whether the list is sound is SwitchesOf's to say.
bool AsksAccurate(val without) {
  const int n = without["length"].as<int>();
  for (int i = 0; i < n; ++i)
    if (without[i].as<std::string>() == kAccurateWord) return true;
  return false;
}

val WithoutWords(const PhysicsSwitches& physics) {
  val list = val::array();
  for (const PhysicsSwitchName& name : kPhysicsSwitchNames)
    if (!(physics.*name.member)) list.call<void>("push", std::string(name.option));
  if (physics.accurate_transport) list.call<void>("push", std::string(kAccurateWord));
  return list;
}

// The mark of a screen run's result name in the phantom of `text` (a phantom file's text;
// empty: water), as the desktop's screen marks it, so that it never replaces the water
// result of its beam.
std::string PhantomMarkOf(const std::string& text) {
  if (text.empty()) return {};
  PhantomSession phantom;
  if (phantom.FollowLink(PhantomLinkOf(ParsePhantom(text, kPhantomFile)))) return {};
  return phantom.ResultMark();
}

val BinList(const std::vector<int>& bins) {
  val list = val::array();
  for (int b : bins) list.call<void>("push", b);
  return list;
}

}  // namespace

// One run: its inputs, and in the worker that adds them, the total.
class EngineRun {
 public:
  // Loads the run from `dir`: the physics data and the spectrum there, and the conditions
  // of `conditions_text`, or of dir/Joken.dat when it is empty; `without`: the --without
  // words of the parts switched off (the result's name then carries their tag). Returns
  // the error text, or an empty text when the run can start.
  std::string Prepare(const std::string& dir, const std::string& conditions_text, val without) {
    lock_.reset();
    total_.reset();
    runner_.reset();
    inputs_.reset();
    try {
      const PhysicsSwitches physics = SwitchesOf(without);
      inputs_ = conditions_text.empty()
                    ? LoadBlockRunInputs(dir, std::nullopt, physics, seed_, phantom_)
                    : LoadBlockRunInputs(dir, std::string_view(conditions_text), physics, seed_,
                                         phantom_);
      runner_ = std::make_unique<BlockRunner>(*inputs_);
      cells_.assign(kCells, 0.0f);
      return {};
    } catch (const std::exception& e) {
      return Report(e);
    }
  }

  // The seed of the runs prepared from now on (Kestrun --seed); false, and the seed left
  // as it was, for a number that is not a seed.
  bool SetSeed(const std::string& text) {
    const std::optional<RunSeed> seed = ParseRunSeed(text);
    if (!seed) return false;
    seed_ = *seed;
    return true;
  }

  // The slab phantom of the runs prepared from now on: none for an empty `name`; else the
  // layers of `text`, reported under `name`, or, for an empty `text`, of the file `name`
  // (Kestrun --phantom FILE). Every worker keeps its engine from run to run: each run sets
  // its own phantom, none included.
  void SetPhantom(const std::string& name, const std::string& text) {
    if (name.empty())
      phantom_.reset();
    else
      phantom_ =
          PhantomSource{name, text.empty() ? std::nullopt : std::optional<std::string>(text)};
  }

  // The browser's run: the conditions the desktop screen writes for an X-ray energy text
  // ("10") and a photon count text ("1000000"): 10MV.csv, 10MV-1M.data, 1.00E+06.
  // In a phantom (SetPhantom) the run is the accurate transport's, its result marked with
  // the phantom, as Dosavia names it.
  std::string PrepareScreenRun(const std::string& dir, const std::string& energy,
                               const std::string& count, val without) {
    std::string mark;
    try {
      mark = phantom_ && phantom_->text ? PhantomMarkOf(*phantom_->text) : std::string();
    } catch (const std::exception& e) {
      return Report(e);
    }
    const EngineRunPlan plan =
        PlanEngineRun(energy, count, dir, AsksAccurate(without) || phantom_.has_value(), mark);
    return Prepare(dir, ConditionsFileText(plan.spectrum_file, plan.result_file, plan.photon_total),
                   without);
  }

  // Kestrun's console lines on the parts switched off and the tagged result name; empty for
  // the full physics.
  std::string WithoutText() const {
    return inputs_
               ? WithoutLines(inputs_->plan->physics(), inputs_->conditions.result_file,
                              console_language) +
                     TransportLine(inputs_->plan->physics(), console_language) +
                     (inputs_->phantom
                          ? PhantomLine(inputs_->phantom->Description(), console_language) + "\n"
                          : std::string())
               : std::string();
  }

  val Info() const {
    val out = val::object();
    if (!inputs_) return out;
    out.set("blocks", static_cast<double>(inputs_->plan->blocks()));
    out.set("histories", static_cast<double>(inputs_->plan->histories()));
    out.set("resultFile", inputs_->conditions.result_file);
    out.set("spectrumFile", inputs_->conditions.spectrum_file);
    out.set("photonTotal", inputs_->conditions.photon_total);
    out.set("imax", inputs_->spectrum.imax);
    out.set("without", WithoutWords(inputs_->plan->physics()));
    out.set("seed", static_cast<double>(inputs_->plan->seed()));
    out.set("statisticsFile", RunStatisticsFileName(inputs_->conditions.result_file));
    if (inputs_->phantom) out.set("phantom", inputs_->phantom->Description());
    return out;
  }

  // Runs block b and returns its tally's cells followed by its history groups' growth.
  val RunBlock(double b) {
    cells_.resize(kCells);
    runner_->Run(static_cast<std::int64_t>(b), std::span<float, kCells>(cells_.data(), kCells));
    const std::vector<float> growth = runner_->PackedGrowth();
    cells_.insert(cells_.end(), growth.begin(), growth.end());
    return TypedArray(cells_);
  }

  // Starts the total; returns the bins that need no block.
  val BeginTotal() {
    total_ = std::make_unique<BlockTotal>(*inputs_);
    std::vector<int> bins;
    total_->Begin([&](int i) { bins.push_back(i); });
    return BinList(bins);
  }

  // Adds the next block's cells (a Float32Array from RunBlock); returns the bins now
  // complete.
  val AddNext(val cells) {
    const std::size_t length = cells["length"].as<std::size_t>();
    if (length <= kCells) return val::null();
    cells_.resize(length);
    val(emscripten::typed_memory_view(length, cells_.data())).call<void>("set", cells);
    std::vector<int> bins;
    try {
      total_->AddNext(std::span<const float, kCells>(cells_.data(), kCells),
                      std::span<const float>(cells_.data() + kCells, length - kCells),
                      [&](int i) { bins.push_back(i); });
    } catch (const std::logic_error&) {
      return val::null();
    }
    return BinList(bins);
  }

  double Merged() const { return total_ ? static_cast<double>(total_->merged()) : 0; }

  // The result file's text of the complete run: { text } or { error }.
  val Finish() const {
    val out = val::object();
    try {
      if (!total_) throw std::runtime_error("no run was started");
      const NormalisedResults results = total_->Results();
      const std::string text = ResultFileText(results);
      out.set("text", text);
      out.set("statistics", RunStatisticsText(*total_->Statistics(results, text)));
    } catch (const std::exception& e) {
      out.set("error", Report(e));
    }
    return out;
  }

  // Before the run, as Kestrun checks it: whether the result and its statistics can be
  // written into `dir` (a folder that takes no file, a name that reaches a program file, a
  // companion's name held by another file, a rename a sticky folder refuses) and no other run
  // writes them now; the lock on the name is then held until the result is written or the
  // run is prepared again. The error text, or empty.
  std::string CheckResultFolder(const std::string& dir) {
    try {
      if (!inputs_) throw std::runtime_error("no run was prepared");
      const std::filesystem::path result =
          std::filesystem::path(dir) / inputs_->conditions.result_file;
      CheckResultPairTargets(result);
      lock_ = LockResultPair(result);
      return {};
    } catch (const std::exception& e) {
      return Report(e);
    }
  }

  // Writes the complete run's file into `dir` under the conditions' name, then its
  // statistics, as Kestrun writes them; returns the error text, or empty. When only the
  // statistics could not be written, writeNote() says so.
  std::string WriteResult(const std::string& dir) {
    note_.clear();
    try {
      if (!total_) throw std::runtime_error("no run was started");
      // Emscripten's C library starts with a file-creation mask of 0777: under Node the file
      // would be written with no permission at all, unreadable to Dosavia. It takes the
      // process's mask, as native Kestrun's file does (the page's files stay in memory).
      ::umask(static_cast<mode_t>(EM_ASM_INT({
        // == rather than ===: the C++ layout tool reads this as C++ and would split ===.
        const hasUmask = typeof process == 'object' && typeof process.umask == 'function';
        return hasUmask ? process.umask() : 18;
      })));
      const NormalisedResults results = total_->Results();
      const auto problem =
          WriteResultWithStatistics(std::filesystem::path(dir) / inputs_->conditions.result_file,
                                    results, *total_->Statistics(results, ResultFileText(results)));
      if (problem) note_ = StatisticsNotWrittenLine(*problem, console_language);
      lock_.reset();
      return {};
    } catch (const std::exception& e) {
      lock_.reset();
      return Report(e);
    }
  }

  // Kestrun's console line when the last WriteResult wrote the result but not its
  // statistics; empty otherwise.
  std::string WriteNote() const { return note_; }

  // Gives up the lock on the result's name: a run that failed leaves no lock file behind.
  void ReleaseLock() { lock_.reset(); }

 private:
  std::unique_ptr<WriteLock> lock_;
  std::string note_;
  std::unique_ptr<BlockRunInputs> inputs_;
  std::unique_ptr<BlockRunner> runner_;
  std::unique_ptr<BlockTotal> total_;
  std::vector<float> cells_;
  RunSeed seed_ = kDefaultSeed;
  std::optional<PhantomSource> phantom_;
};

// The screen's run as OK checks it on the desktop (PlanEngineRun, the spectrum looked for
// where the worker keeps the data), in the phantom of `phantom_text` (empty: water):
// { resultFile: "10MV-1M.data" tagged for the parts or marked with the phantom
// switched off, photonTotal: "1.00E+06", photons: the whole photons (0: refused), problem:
// why it is refused (empty: it is not), ask: whether it would run for more than an hour,
// minutes }; { error } for a word that names no part.
val ScreenRunNames(const std::string& energy, const std::string& count, val without,
                   const std::string& phantom_text) {
  val out = val::object();
  std::string mark;
  try {
    mark = PhantomMarkOf(phantom_text);
  } catch (const std::exception& e) {
    out.set("error", Report(e));
    return out;
  }
  const EngineRunPlan plan =
      PlanEngineRun(energy, count, "/", AsksAccurate(without) || !mark.empty(), mark);
  try {
    out.set("resultFile", TaggedResultFileName(plan.result_file, SwitchesOf(without)));
  } catch (const std::exception& e) {
    out.set("error", Report(e));
    return out;
  }
  out.set("photonTotal", plan.photon_total);
  out.set("photons",
          plan.refusal == EngineRunPlan::Refusal::kCount ? 0.0 : static_cast<double>(plan.photons));
  out.set("problem", plan.problem ? ProblemLine(*plan.problem, report_language) : std::string());
  out.set("ask", plan.ask);
  out.set("minutes", std::max(1.0, plan.expected_seconds / 60));
  return out;
}

// Kestrun's console, for the Node edition.
val ReadClock() {
  const ClockReading t = ReadLocalClock();
  val out = val::array();
  for (int v : {t.hour, t.minute, t.second, t.hundredths}) out.call<void>("push", v);
  return out;
}
ClockReading ClockOf(val t) {
  return {t[0].as<int>(), t[1].as<int>(), t[2].as<int>(), t[3].as<int>()};
}
std::string StartLine(val t) { return StartTimeLine(ClockOf(t), console_language); }
std::string EndLine(val t) { return EndTimeLine(ClockOf(t), console_language); }
val ConsoleTexts() {
  val out = val::object();
  out.set("title", std::string(TitleLine(console_language)));
  out.set("waiting", std::string(WaitingLine(console_language)));
  out.set("prompt", std::string(PromptLine(console_language)));
  out.set("stop", std::string(kStopLine));
  out.set("usage", std::string(kUsageText));
  return out;
}
// { action: run|help|version|init|repair|error, threads (-1: the single stream), error,
// without: the --without words given, seed: --seed's number (0: none) }.
val CommandLineOf(val args) {
  std::vector<std::string> owned;
  const int n = args["length"].as<int>();
  for (int i = 0; i < n; ++i) owned.push_back(args[i].as<std::string>());
  const std::vector<std::string_view> views(owned.begin(), owned.end());
  const CommandLine line = ParseCommandLine(views);
  // One word for every action, in the enumeration's order: a word short, an error (the last)
  // read past the table's end and took kestrun.mjs down instead of saying what was wrong.
  static const char* const kActions[] = {"run", "help", "version", "init", "repair", "error"};
  static_assert(std::size(kActions) == static_cast<std::size_t>(CommandLine::Action::kError) + 1);
  val out = val::object();
  out.set("action", std::string(kActions[static_cast<int>(line.action)]));
  out.set("threads", line.threads ? *line.threads : -1);
  out.set("error", line.error);
  out.set("without", WithoutWords(line.physics));
  out.set("seed", static_cast<double>(line.seed));
  out.set("lang", std::string(line.language == TextLanguage::kEnglish ? "en" : "ja"));
  out.set("phantom", line.phantom_file);
  return out;
}

EMSCRIPTEN_BINDINGS(dosavia_engine) {
  emscripten::class_<EngineRun>("EngineRun")
      .constructor<>()
      .function("prepare", &EngineRun::Prepare)
      .function("prepareScreenRun", &EngineRun::PrepareScreenRun)
      .function("info", &EngineRun::Info)
      .function("runBlock", &EngineRun::RunBlock)
      .function("setSeed", &EngineRun::SetSeed)
      .function("setPhantom", &EngineRun::SetPhantom)
      .function("beginTotal", &EngineRun::BeginTotal)
      .function("addNext", &EngineRun::AddNext)
      .function("merged", &EngineRun::Merged)
      .function("finish", &EngineRun::Finish)
      .function("checkResultFolder", &EngineRun::CheckResultFolder)
      .function("writeResult", &EngineRun::WriteResult)
      .function("writeNote", &EngineRun::WriteNote)
      .function("releaseLock", &EngineRun::ReleaseLock)
      .function("withoutLines", &EngineRun::WithoutText);
  emscripten::function("screenRunNames", &ScreenRunNames);
  emscripten::function("readClock", &ReadClock);
  emscripten::function("startTimeLine", &StartLine);
  emscripten::function("endTimeLine", &EndLine);
  emscripten::function("progressLine", &ProgressLine);
  emscripten::function("modeLine", emscripten::optional_override([](int threads) {
                         return ModeLine(threads, console_language);
                       }));
  // Kestrun's console line naming a seeded run's seed; empty for the default sequence.
  emscripten::function("seedLine", emscripten::optional_override([](double seed) {
                         const auto s = static_cast<RunSeed>(seed);
                         return s == kDefaultSeed ? std::string() : SeedLine(s, console_language);
                       }));
  emscripten::function("errorLine", &ErrorLineText);
  emscripten::function("setReportLanguage", &SetReportLanguage);
  // kestrun.mjs --lang: its console lines, and the reports of its problems, in "en" or "ja".
  emscripten::function("setConsoleLanguage",
                       emscripten::optional_override([](const std::string& language) {
                         SetReportLanguage(language);
                         console_language = report_language;
                       }));
  emscripten::function("consoleTexts", &ConsoleTexts);
  emscripten::function("commandLine", &CommandLineOf);
  emscripten::function("blockHistories", emscripten::optional_override(
                                             [] { return static_cast<double>(kBlockHistories); }));
}

}  // namespace dosavia::web
