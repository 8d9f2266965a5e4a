// The engine screen's run conditions as OK checks them, once for Dosavia and the browser:
// the names Joken.dat will hold, the count as every count box reads it, the problems OK
// refuses (a name the engine would cut, no spectrum of that energy, no whole photon, a
// count the engine refuses) and the question before a run of hours. OK confirms conditions;
// a box changed after it makes the screen ask for OK again, so that Start never runs
// conditions other than those on screen.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/run_seed.h"
#include "records/problem.h"

namespace dosavia {

// The engine screen as it opens, on both front ends: the energy box, the field shown (1-based
// as the result file's columns; 8 is 10×10 cm), the count box, and the parallel beam. The
// browser opens on a smaller count: its run shares the page's machine with whatever else
// the class has open, and a million photons already give a readable curve.
struct EngineOpening {
  const char* energy;
  int field;
  const char* photons;          // Dosavia
  const char* browser_photons;  // the browser edition
  double ssd_cm;                // 0: the parallel beam
};
inline constexpr EngineOpening kEngineOpening{"10", 8, "30000000", "1000000", 0};

// A run of the engine as the boxes describe it.
struct EngineRunPlan {
  std::string spectrum_file;  // "10MV.csv"
  std::string result_file;    // "10MV-30M.data", the full-physics name Joken.dat holds
  std::string photon_total;   // Joken.dat's third line, "3.00E+07"
  long long photons = 0;      // the whole photons the count runs
  double expected_seconds = 0;
  // What OK refuses (worded by ProblemSentence); none: the run may be prepared.
  std::optional<Problem> problem;
  enum class Refusal { kNone, kNameTooLong, kNoSpectrum, kCount } refusal = Refusal::kNone;
  // A run of more than an hour asks first.
  bool ask = false;
};

// Photons a second that the estimate assumes: one core of a classroom PC (the engine's own
// bench measures about 5e5 histories a second).
inline constexpr double kEnginePhotonsPerSecond = 5e5;
// A run expected to take longer than this asks before it is prepared [s].
inline constexpr double kEngineAskAboveSeconds = 3600;

// The run that `energy_text` and the typed count `count_plain_text` (made plain by the front
// end) describe, its spectrum looked for in `folder`. A run in the accurate transport
// (`accurate`) names its result with kAccurateResultTag ("10MV-30M-acc.data"), so that it
// never replaces the exact run of the same energy and count; an exact run's name stays as
// it always was. A run in a slab phantom (`phantom_mark`, PhantomSession::ResultMark) names
// it with that mark instead ("10MV-30M-lung.data"): the phantom runs the accurate transport
// and its result never replaces a water result.
EngineRunPlan PlanEngineRun(std::string_view energy_text, std::string_view count_plain_text,
                            const std::filesystem::path& folder, bool accurate = false,
                            std::string_view phantom_mark = {});

// The seed that the engine screen's seed box names (its text made plain): blanks around it
// dropped, an empty box the default seed, so that a class that leaves it alone gets the file
// it always got. Nothing for a text that is no seed ("-1", "2147483648", "7a"): refused by
// OK rather than run on some other seed.
std::optional<RunSeed> EngineSeedOf(std::string_view seed_plain_text);

// What OK confirmed on the engine screen, and whether the boxes still show it.
class EngineSession {
 public:
  // OK with a plan without problem: Start may run it while the boxes show it. `accurate`:
  // the accurate-transport box, a condition like the others (it names the result); `seed`:
  // the seed box's text, a condition too (it makes another run of the same name).
  // `phantom`: the phantom's link value (PhantomSession::Link), a condition too.
  void Confirm(std::string_view energy_text, std::string_view count_plain_text,
               bool accurate = false, std::string_view seed_text = {},
               std::string_view phantom = "water");
  // The boxes now show these texts.
  void ShowSettings(std::string_view energy_text, std::string_view count_plain_text,
                    bool accurate = false, std::string_view seed_text = {},
                    std::string_view phantom = "water");
  // Start only while the boxes show what OK confirmed.
  bool CanStart() const { return confirmed_ && shown_ == confirmed_texts_; }
  // Back to no confirmed run (the screen opens again).
  void Clear() { confirmed_ = false; }

 private:
  struct Texts {
    std::string energy;
    std::string count;
    bool accurate = false;
    std::optional<RunSeed> seed = kDefaultSeed;  // a seed box that reads the same seed
    std::string phantom;
    friend bool operator==(const Texts&, const Texts&) = default;
  };
  bool confirmed_ = false;
  Texts confirmed_texts_;
  Texts shown_;
};

}  // namespace dosavia
