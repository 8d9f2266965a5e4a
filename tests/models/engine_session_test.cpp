// The engine screen's run as OK checks it, once for Dosavia and the browser.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/beam_geometry.h"
#include "models/engine_session.h"
#include "models/phantom_presets.h"
#include "models/phantom_session.h"
#include "models/visual_session.h"
#include "records/problem.h"
#include "records/problem_text.h"
#include "models/result_library.h"

namespace dosavia {
namespace {

TEST(PlanEngineRun, NamesTheRunAndRefusesWhatTheEngineWouldNot) {
  using Refusal = EngineRunPlan::Refusal;
  const struct {
    const char* energy;
    const char* count;  // made plain by the front end
    Refusal refusal;
    const char* result;
    const char* total;
    bool ask;
    bool accurate = false;     // the accurate-transport box ticked
    const char* phantom = "";  // the slab phantom's mark (PhantomSession::ResultMark)
  } cases[] = {
      {"10", "30000000", Refusal::kNone, "10MV-30M.data", "3.00E+07", false},
      {"10", "30,000,000", Refusal::kNone, "10MV-30M.data", "3.00E+07", false},
      {"10", "100000000", Refusal::kNone, "10MV-100M.data", "1.00E+08", false},
      {"10", "999999", Refusal::kNone, "10MV-999K.data", "1.00E+06", false},
      {"4", "50000000 photons", Refusal::kNone, "4MV-50M.data", "50000000 photons", false},
      {"10", "3e7", Refusal::kNone, "10MV-30M.data", "3.00E+07", false},
      {"10", "2e9", Refusal::kNone, "10MV-2000M.data", "2.00E+09", true},
      {"12", "30000000", Refusal::kNoSpectrum, "12MV-30M.data", "3.00E+07", false},
      {"10", "0", Refusal::kCount, "10MV-0.data", "0.00E+00", false},
      {"10", "0.5", Refusal::kCount, "10MV-0.data", "5.00E-01", false},
      {"10", "abc", Refusal::kCount, "10MV-0.data", "abc", false},
      {"10.1234567", "30000000", Refusal::kNameTooLong, "10.1234567MV-30M.data", "3.00E+07", false},
      // The accurate transport's result keeps apart from the exact one; its mark counts
      // against the engine's 20 bytes.
      {"10", "30000000", Refusal::kNone, "10MV-30M-acc.data", "3.00E+07", false, true},
      {"15", "2e9", Refusal::kNone, "15MV-2000M-acc.data", "2.00E+09", true, true},
      {"10.123", "30000000", Refusal::kNameTooLong, "10.123MV-30M-acc.data", "3.00E+07", false,
       true},
      // A phantom run's mark keeps it apart from water's, in place of the accurate mark it
      // implies; the longest mark still has to fit the engine's 20 bytes.
      {"10", "30000000", Refusal::kNone, "10MV-30M-lung.data", "3.00E+07", false, true, "lung"},
      {"6", "100000", Refusal::kNone, "6MV-100K-slab.data", "1.00E+05", false, false, "slab"},
      {"15", "2e9", Refusal::kNameTooLong, "15MV-2000M-bolus.data", "2.00E+09", true, true,
       "bolus"},
  };
  for (const auto& c : cases) {
    const EngineRunPlan plan =
        PlanEngineRun(c.energy, c.count, DOSAVIA_DATA_DIR, c.accurate, c.phantom);
    EXPECT_EQ(plan.refusal, c.refusal) << c.energy << " " << c.count;
    EXPECT_EQ(plan.problem.has_value(),
              c.refusal == Refusal::kCount || c.refusal == Refusal::kNoSpectrum)
        << c.count;
    EXPECT_EQ(plan.result_file, c.result) << c.count;
    EXPECT_EQ(plan.photon_total, c.total) << c.count;
    EXPECT_EQ(plan.ask, c.ask) << c.count;
  }
}

// A count the engine would refuse is refused at OK with the engine's own reason.
TEST(PlanEngineRun, RefusesACountWithTheEnginesReason) {
  const struct {
    const char* count;
    const char* reason;  // in the Japanese line
  } cases[] = {{"abc", "数値ではありません"},
               {"1.000.000", "数値ではありません"},
               {"1,5E6", "光子総数"},
               {"1e5x", "数値ではありません"},
               {"1e10", "2147483520"},
               {"", "数値がありません"},
               {"0", "1 以上"},
               {"0.5", "1 以上"}};
  for (const auto& c : cases) {
    const EngineRunPlan plan = PlanEngineRun("10", c.count, DOSAVIA_DATA_DIR);
    EXPECT_EQ(plan.refusal, EngineRunPlan::Refusal::kCount) << c.count;
    ASSERT_TRUE(plan.problem.has_value()) << c.count;
    EXPECT_NE(ProblemLine(*plan.problem, TextLanguage::kJapanese).find(c.reason), std::string::npos)
        << c.count << ": " << ProblemLine(*plan.problem, TextLanguage::kJapanese);
  }
}

// Both screens open on values their own OK accepts, on the desktop and in the browser alike
// (the page takes them from these tables through the core).
TEST(OpeningValues, AreWhatOkAccepts) {
  for (const char* count : {kEngineOpening.photons, kEngineOpening.browser_photons}) {
    const EngineRunPlan plan = PlanEngineRun(kEngineOpening.energy, count, DOSAVIA_DATA_DIR);
    EXPECT_FALSE(plan.problem.has_value() || plan.ask) << count;
  }
  EXPECT_TRUE(kEngineOpening.field >= 1 && kEngineOpening.field <= kFields);
  EXPECT_GT(BatchPhotonsOf(kVisualOpening.photons), 0);
  EXPECT_NE(FindFieldChoice(kVisualOpening.field), nullptr);
  // The speed slider: slowest first, ending at "as fast as drawn".
  EXPECT_EQ(std::cend(kStepSpeeds)[-1], 0);
  EXPECT_TRUE(std::is_sorted(std::cbegin(kStepSpeeds), std::cend(kStepSpeeds) - 1));
}

// Start runs only what OK confirmed: a box changed after it needs OK again.
TEST(EngineSession, StartOnlyWhileTheBoxesShowWhatOkConfirmed) {
  EngineSession session;
  EXPECT_FALSE(session.CanStart());
  session.Confirm("10", "30000000");
  EXPECT_TRUE(session.CanStart());
  session.ShowSettings("10", "1000");
  EXPECT_FALSE(session.CanStart());
  session.ShowSettings("10", "30000000");
  EXPECT_TRUE(session.CanStart());
  session.ShowSettings("4", "30000000");
  EXPECT_FALSE(session.CanStart());
  session.Confirm("4", "30000000");
  EXPECT_TRUE(session.CanStart());
  // The accurate-transport box is a condition: ticked after OK, it needs OK again.
  session.ShowSettings("4", "30000000", true);
  EXPECT_FALSE(session.CanStart());
  session.Confirm("4", "30000000", true);
  EXPECT_TRUE(session.CanStart());
  session.ShowSettings("4", "30000000");
  EXPECT_FALSE(session.CanStart());
  // So is the phantom: another one chosen after OK needs OK again.
  session.Confirm("4", "30000000", false, {}, "lung");
  EXPECT_TRUE(session.CanStart());
  session.ShowSettings("4", "30000000", false, {}, "water:2,air:3");
  EXPECT_FALSE(session.CanStart());
  session.Clear();
  EXPECT_FALSE(session.CanStart());
}

// The seed box: what OK reads as a seed (or refuses), and which texts after OK still read as
// the seed it confirmed, so that Start never runs another seed than the one on screen.
TEST(EngineSession, SeedBoxIsAConditionOkConfirms) {
  const struct {
    const char* typed;
    std::optional<RunSeed> seed;  // nothing: OK refuses the text
    bool still_confirmed;         // after OK with "7"
  } cases[] = {
      {"", kDefaultSeed, false},  // the default sequence, not seed 7
      {"7", 7, true},
      {" 7 ", 7, true},
      {"07", 7, true},
      {"0", kDefaultSeed, false},
      {"2147483647", kMaxRunSeed, false},
      {"2147483648", std::nullopt, false},
      {"-1", std::nullopt, false},
      {"7a", std::nullopt, false},
      {"1e3", std::nullopt, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EngineSeedOf(c.typed), c.seed) << c.typed;
    EngineSession session;
    session.Confirm("10", "30000000", false, "7");
    session.ShowSettings("10", "30000000", false, c.typed);
    EXPECT_EQ(session.CanStart(), c.still_confirmed) << c.typed;
  }
}

// The result library as a class uses it: each row a sequence of actions from a fresh library,
// then what is drawn ("file:field:family" per set), loaded, kerma shown, saveable, undoable.
TEST(ResultLibrary, ActionsGiveTheSetsDrawn) {
  const struct {
    const char* what;
    std::vector<const char*> actions;  // "list a b", "load a", "draw 8", "remove 0", "forget a",
                                       // "undo", "clear", "return", "kerma"
    const char* sets;
    const char* loaded;
    bool kerma;
    bool save;
    bool undo;
  } cases[] = {
      {"nothing loaded: no kerma, nothing to save", {}, "", "", false, false, false},
      {"draw before a load draws nothing", {"draw 8"}, "", "", false, false, false},
      {"a load draws its kerma", {"load a", "draw 8"}, "a:8:0", "a", true, true, false},
      {"the same file drawn twice is one set",
       {"load a", "draw 8", "load a", "draw 8"},
       "a:8:0",
       "a",
       true,
       true,
       false},
      {"another field is another set",
       {"load a", "draw 8", "draw 3"},
       "a:8:0 a:3:1",
       "a",
       true,
       true,
       false},
      {"one compared set removed, the others keep their colours",
       {"load a", "draw 8", "load b", "draw 8", "load c", "draw 8", "remove 1"},
       "a:8:0 c:8:2",
       "c",
       true,
       true,
       true},
      {"a removed set comes back at its place",
       {"load a", "draw 8", "load b", "draw 8", "load c", "draw 8", "remove 1", "undo"},
       "a:8:0 b:8:1 c:8:2",
       "c",
       true,
       true,
       false},
      {"a deleted result is drawn no more",
       {"list a b", "load a", "draw 8", "load b", "draw 8", "forget b"},
       "a:8:0",
       "",
       false,
       true,
       true},
      {"undo after removing a result",
       {"list a b", "load a", "draw 8", "load b", "draw 8", "forget b", "undo"},
       "a:8:0 b:8:1",
       "b",
       true,
       true,
       false},
      {"a result gone from the folder is drawn no more, not undoable",
       {"list a b", "load b", "draw 8", "list a"},
       "",
       "",
       false,
       false,
       false},
      {"graph clear: the next set has the first colours again",
       {"load a", "draw 8", "draw 3", "clear", "draw 5"},
       "a:5:0",
       "a",
       false,
       true,
       false},
      {"on return the comparison is kept and can be saved",
       {"load a", "draw 8", "return"},
       "a:8:0",
       "",
       false,
       true,
       false},
      {"on return without sets nothing is drawn",
       {"load a", "return", "kerma"},
       "",
       "",
       false,
       false,
       false},
      {"the kerma drawn again after a clear",
       {"load a", "clear", "kerma"},
       "",
       "a",
       true,
       true,
       false},
  };
  for (const auto& c : cases) {
    ResultLibrary library;
    for (const std::string action : c.actions) {
      const std::string verb = action.substr(0, action.find(' '));
      const std::string rest = action.size() > verb.size() ? action.substr(verb.size() + 1) : "";
      if (verb == "list") {
        std::istringstream words(rest);
        std::vector<std::string> names;
        for (std::string name; words >> name;) names.push_back(name);
        library.List(names);
      }
      if (verb == "load") library.Load(rest);
      if (verb == "draw") library.Draw(std::stoi(rest));
      if (verb == "remove") library.RemoveSet(std::stoul(rest));
      if (verb == "forget") library.Forget(rest);
      if (verb == "undo") library.Undo();
      if (verb == "clear") library.Clear();
      if (verb == "return") library.Return();
      if (verb == "kerma") library.ShowKerma();
    }
    std::string sets;
    for (const ComparedSet& set : library.Sets())
      sets += (sets.empty() ? "" : " ") + set.file + ":" + std::to_string(set.field) + ":" +
              std::to_string(set.family);
    EXPECT_EQ(sets, c.sets) << c.what;
    EXPECT_EQ(library.Loaded(), c.loaded) << c.what;
    EXPECT_EQ(library.KermaShown(), c.kerma) << c.what;
    EXPECT_EQ(library.CanSave(), c.save) << c.what;
    EXPECT_EQ(library.CanUndo(), c.undo) << c.what;
  }
}

TEST(ResultLibrary, ListsResultsInTheOrderOfTheirNumbers) {
  ResultLibrary library;
  library.List(
      {"10MV-30M.data", "4MV-3M.data", "10MV-3M.data", "4mv-1M-noe.data", "15MV-030M.data"});
  const std::vector<std::string> expected = {"4mv-1M-noe.data", "4MV-3M.data", "10MV-3M.data",
                                             "10MV-30M.data", "15MV-030M.data"};
  EXPECT_EQ(library.Listed(), expected);
}

// The phantom chosen on the engine screen, each row actions from a fresh session: what the
// run's result is marked with, its link, the phantom file it writes, and for refused rows
// the line (the editor's row) and field the problem names, the earlier choice kept.
TEST(PhantomSession, ChoicesGiveTheRunsPhantom) {
  const struct {
    const char* what;
    std::vector<const char*> actions;  // "preset KEY", "edit MAT:CM|MAT:CM", "link VALUE"
    const char* mark;
    const char* link;
    const char* text;               // the phantom file; empty: none, the water run
    int problem_line = -1;          // of the last action; -1: none
    const char* problem_word = "";  // in its English sentence
  } cases[] = {
      {"opens on water", {}, "", "water", ""},
      {"a preset", {"preset lung"}, "lung", "lung", "water 3\nlung 10\n"},
      {"an unknown key changes nothing",
       {"preset bone", "preset glass"},
       "bone",
       "bone",
       "water 2\nbone 2\n"},
      {"water again", {"preset air", "preset water"}, "", "water", ""},
      {"edited layers equal to a preset take its mark",
       {"edit water:3|lung:10"},
       "lung",
       "lung",
       "water 3\nlung 10\n"},
      {"edited layers of their own",
       {"edit water:2|air:3"},
       "slab",
       "water:2,air:3",
       "water 2\nair 3\n"},
      {"edited water alone is the water run", {"preset lung", "edit water:5"}, "", "water", ""},
      {"a bad thickness names its row; the choice stays",
       {"preset bone", "edit water:2|lung:-1"},
       "bone",
       "bone",
       "water 2\nbone 2\n",
       2,
       "thickness"},
      {"an unknown material", {"edit glass:2"}, "", "water", "", 1, "glass"},
      {"a row typed as a comment is no comment",
       {"edit water:2|#lung:3"},
       "",
       "water",
       "",
       2,
       "lung"},
      {"a line end typed into a box", {"edit lung\nwater:3"}, "", "water", "", 1, ""},
      {"deeper than the phantom", {"edit water:20|lung:11"}, "", "water", "", 2, "30"},
      {"a link of layers", {"link water:2,air:3"}, "slab", "water:2,air:3", "water 2\nair 3\n"},
      {"a link of a key", {"link bolus"}, "bolus", "bolus", "bolus 1\n"},
      {"a link of no form",
       {"preset lung", "link lung 3"},
       "lung",
       "lung",
       "water 3\nlung 10\n",
       0,
       ""},
      {"a link of unknown layers", {"link glass:3"}, "", "water", "", 1, "glass"},
  };
  for (const auto& c : cases) {
    PhantomSession session;
    std::optional<Problem> problem;
    for (const std::string action : c.actions) {
      const std::string verb = action.substr(0, action.find(' '));
      const std::string rest = action.substr(verb.size() + 1);
      problem.reset();
      if (verb == "preset") session.ChoosePreset(rest);
      if (verb == "link") problem = session.FollowLink(rest);
      if (verb == "edit") {
        std::vector<EditedLayer> rows;
        std::istringstream layers(rest);
        for (std::string layer; std::getline(layers, layer, '|');) {
          const std::size_t colon = layer.find(':');
          rows.push_back({layer.substr(0, colon), layer.substr(colon + 1)});
        }
        problem = session.EditLayers(rows);
      }
    }
    EXPECT_EQ(session.ResultMark(), c.mark) << c.what;
    EXPECT_EQ(session.Link(), c.link) << c.what;
    EXPECT_EQ(session.FileText(), c.text) << c.what;
    EXPECT_EQ(session.IsWater(), std::string(c.text).empty()) << c.what;
    // The editor opened on the phantom in force shows rows that read back as that phantom.
    if (!session.IsWater()) {
      PhantomSession reopened;
      EXPECT_FALSE(reopened.EditLayers(EditorRowsOf(session.Layers()))) << c.what;
      EXPECT_EQ(reopened.Link(), session.Link()) << c.what;
    }
    ASSERT_EQ(problem.has_value(), c.problem_line >= 0) << c.what;
    if (!problem) continue;
    EXPECT_EQ(problem->line, c.problem_line) << c.what;
    const std::string sentence = ProblemSentence(*problem, TextLanguage::kEnglish);
    EXPECT_NE(sentence.find(c.problem_word), std::string::npos) << c.what << ": " << sentence;
    EXPECT_FALSE(ProblemSentence(*problem, TextLanguage::kJapanese).empty()) << c.what;
  }
}

// The phantom file is written whole beside Joken.dat, and nothing else under its name is
// ever written through or replaced: a link, a folder, a pipe.
TEST(PhantomSession, PhantomFileReplacesOnlyItsOwnFile) {
  namespace fs = std::filesystem;
  // A folder of this process's own: another run of the suite on the machine keeps to its own.
  const fs::path folder =
      fs::path(testing::TempDir()) / ("phantom_file_test_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  const fs::path path = folder / kPhantomFile;
  WritePhantomFile(path, "water 3\nlung 10\n");
  WritePhantomFile(path, "bone 2\n");
  std::ifstream in(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "bone 2\n");
  const struct {
    const char* what;
    std::function<void()> make;
  } cases[] = {
      {"a link", [&] { fs::create_symlink(folder / "notes.txt", path); }},
      {"a folder", [&] { fs::create_directory(path); }},
      {"a pipe", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }},
  };
  for (const auto& c : cases) {
    fs::remove_all(path);
    { std::ofstream(folder / "notes.txt") << "mine"; }
    c.make();
    EXPECT_THROW(WritePhantomFile(path, "lung 5\n"), WriteError) << c.what;
    std::ifstream notes(folder / "notes.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(notes), {}), "mine") << c.what;
  }
  fs::remove_all(folder);
}

// A phantom result is read against the water result of its beam: the same energy, water,
// the whole physics; the accurate transport's first, then the most photons.
TEST(PhantomSession, WaterResultOfTheSameBeam) {
  const struct {
    const char* phantom;
    std::vector<std::string> listed;
    const char* water;
  } cases[] = {
      {"10MV-30M-lung.data", {"10MV-30M.data", "6MV-30M-acc.data"}, "10MV-30M.data"},
      {"10MV-30M-lung.data", {"10MV-3M-acc.data", "10MV-30M.data"}, "10MV-3M-acc.data"},
      {"10MV-1M-slab.data", {"10MV-3M-acc.data", "10MV-30M-acc.data"}, "10MV-30M-acc.data"},
      {"10MV-30M-lung.data", {"10MV-30M-bone.data", "10MV-30M-noe.data"}, ""},
      {"6MV-30M-air.data", {"10MV-30M.data", "15MV-3M-acc.data"}, ""},
      {"mine.data", {"10MV-30M.data"}, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WaterResultFor(c.phantom, c.listed), c.water) << c.phantom;
}

// A slab that bends the curve within the maximum fit's reach hides d_max on every screen;
// a bolus, water of another name, keeps it: it is what the bolus moves.
TEST(PhantomLinkTest, DmaxIsReadUnlessASlabBendsTheCurve) {
  const struct {
    std::string_view link;
    bool read;
  } cases[] = {{"water", true},          {"bolus", true}, {"lung", false},
               {"bone", false},          {"air", false},  {"water:13,lung:5", true},
               {"water:2,bolus:1", true}};
  EXPECT_TRUE(DmaxIsReadIn(std::nullopt));
  for (const auto& c : cases)
    EXPECT_EQ(DmaxIsReadIn(ParsePhantom(*PhantomTextOfLink(c.link), "link")), c.read) << c.link;
}

// A phantom in a link comes back as the same link, by preset key or written out, and what is
// neither is refused before anything reads it as a file.
TEST(PhantomLinkTest, LinksReadBackAsWritten) {
  for (const PhantomPreset& preset : kPhantomPresets) {
    const std::optional<std::string> text = PhantomTextOfLink(preset.key);
    ASSERT_TRUE(text) << preset.key;
    EXPECT_EQ(PhantomLinkOf(ParsePhantom(*text, "link")), preset.key);
  }
  const struct {
    std::string_view link;
    std::optional<std::string_view> text;  // none: refused
    std::string_view back;
  } cases[] = {
      {"water:2,air:3", "water 2\nair 3\n", "water:2,air:3"},
      {"lung:5", "lung 5\n", "lung:5"},
      {"water:3,lung:10,water:17", "water 3\nlung 10\nwater 17\n", "lung"},
      {"water:30", "water 30\n", "water"},
      {"", std::nullopt, ""},
      {"lung:", std::nullopt, ""},
      {":3", std::nullopt, ""},
      {"water:2,", std::nullopt, ""},
      {"water 2", std::nullopt, ""},
      {"water:2:3", std::nullopt, ""},
  };
  for (const auto& c : cases) {
    const std::optional<std::string> text = PhantomTextOfLink(c.link);
    ASSERT_EQ(text.has_value(), c.text.has_value()) << c.link;
    if (!text) continue;
    EXPECT_EQ(*text, *c.text) << c.link;
    EXPECT_EQ(PhantomLinkOf(ParsePhantom(*text, "link")), c.back) << c.link;
  }
}

}  // namespace
}  // namespace dosavia
