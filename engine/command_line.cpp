#include "engine/command_line.h"

#include <charconv>

#include "engine/physics_switch_names.h"
#include "records/utf8_text.h"

namespace dosavia {

CommandLine ParseCommandLine(std::span<const std::string_view> args) {
  CommandLine line;
  const auto fail = [&line](std::string message) {
    line.action = CommandLine::Action::kError;
    line.error = std::move(message);
    return line;
  };
  for (const std::string_view arg : args)
    if (arg == "--help" || arg == "-h") {
      line.action = CommandLine::Action::kHelp;
      return line;
    }
  if (args.size() == 2 && ((args[0] == "--init" && args[1] == "--repair") ||
                           (args[0] == "--repair" && args[1] == "--init"))) {
    line.action = CommandLine::Action::kRepair;
    return line;
  }
  bool seen_seed = false;
  bool seen_language = false;
  for (std::size_t a = 0; a < args.size(); ++a) {
    const std::string_view arg = args[a];
    if (arg == "--version" || arg == "--init") {
      if (args.size() != 1) return fail(std::string(arg) + " takes no other argument");
      line.action = arg == "--init" ? CommandLine::Action::kInit : CommandLine::Action::kVersion;
      return line;
    }
    if (arg == "--repair") return fail("--repair works only with --init");
    if (arg == "--accurate") {
      if (line.physics.accurate_transport) return fail("--accurate given twice");
      line.physics.accurate_transport = true;
      continue;
    }
    if (arg == "--lang") {
      if (seen_language) return fail("--lang given twice");
      seen_language = true;
      const std::string_view value = a + 1 < args.size() ? args[++a] : std::string_view();
      if (value == "en") {
        line.language = TextLanguage::kEnglish;
      } else if (value != "ja") {
        return fail("--lang takes ja or en, not '" + Excerpt(value) + "'");
      }
      continue;
    }
    if (arg == "--phantom") {
      if (!line.phantom_file.empty()) return fail("--phantom given twice");
      if (a + 1 == args.size() || args[a + 1].empty())
        return fail("--phantom needs the name of a phantom file");
      line.phantom_file = std::string(args[++a]);
      continue;
    }
    if (arg == "--without") {
      if (a + 1 == args.size()) return fail("--without needs the name of a part of the physics");
      const std::string_view value = args[++a];
      const PhysicsSwitchName* name = FindPhysicsSwitch(value);
      if (name == nullptr)
        return fail(
            "--without takes electron-transport, multiple-scattering, photon-scatter, "
            "coherent or pair, not '" +
            Excerpt(value) + "'");
      line.physics.*name->member = false;
      continue;
    }
    if (arg == "--seed") {
      if (seen_seed) return fail("--seed given twice");
      seen_seed = true;
      if (a + 1 == args.size()) return fail("--seed needs a number");
      const std::string_view value = args[++a];
      const std::optional<RunSeed> seed = ParseRunSeed(value);
      if (!seed)
        return fail("--seed takes a whole number from 0 to " + std::to_string(kMaxRunSeed) +
                    ", not '" + Excerpt(value) + "'");
      line.seed = *seed;
      continue;
    }
    if (arg != "--threads") return fail("unknown argument '" + Excerpt(arg) + "'");
    if (line.threads) return fail("--threads given twice");
    if (a + 1 == args.size()) return fail("--threads needs a number");
    const std::string_view value = args[++a];
    int n = -1;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size() || n < 0 || n > kMaxThreads)
      return fail("--threads takes a whole number from 0 to " + std::to_string(kMaxThreads) +
                  ", not '" + Excerpt(value) + "'");
    line.threads = n;
  }
  // The switches are the lesson's experiments on the exact transport; the accurate one is
  // validated only as a whole.
  PhysicsSwitches exact = line.physics;
  exact.accurate_transport = false;
  if (line.physics.accurate_transport && !exact.AllOn())
    return fail("--accurate cannot be combined with --without");
  // Only the accurate transport stops its steps at the layers' boundaries.
  if (!line.phantom_file.empty()) {
    if (!exact.AllOn()) return fail("--phantom cannot be combined with --without");
    line.physics.accurate_transport = true;
  }
  return line;
}

std::vector<std::string> WithoutArguments(const PhysicsSwitches& physics) {
  std::vector<std::string> args;
  for (const PhysicsSwitchName& name : kPhysicsSwitchNames) {
    if (physics.*name.member) continue;
    args.emplace_back("--without");
    args.emplace_back(name.option);
  }
  return args;
}

std::vector<std::string> TransportArguments(const PhysicsSwitches& physics) {
  if (!physics.accurate_transport) return {};
  return {"--accurate"};
}

std::string TransportLine(const PhysicsSwitches& physics, TextLanguage language) {
  if (!physics.accurate_transport) return {};
  if (language == TextLanguage::kEnglish) return "     Accurate electron transport (ELACC.dat)\n";
  return "     精密な電子輸送 (accurate electron transport, ELACC.dat)\n";
}

std::vector<std::string> LanguageArguments(TextLanguage language) {
  if (language == TextLanguage::kJapanese) return {};
  return {"--lang", "en"};
}

std::string PhantomLine(const std::string& description, TextLanguage language) {
  return (language == TextLanguage::kEnglish ? "     Slab phantom: "
                                             : "     スラブファントム (slab phantom): ") +
         description;
}

std::vector<std::string> SeedArguments(RunSeed seed) {
  if (seed == kDefaultSeed) return {};
  return {"--seed", std::to_string(seed)};
}

std::string SeedLine(RunSeed seed, TextLanguage language) {
  return (language == TextLanguage::kEnglish ? "     Random seed " : "     乱数の種 (seed) ") +
         std::to_string(seed);
}

std::string ModeLine(int threads, TextLanguage language) {
  if (language == TextLanguage::kEnglish)
    return "     Parallel run (block streams, " + std::to_string(threads) + " threads)";
  return "     並列計算 (ブロック乱数列, " + std::to_string(threads) + " スレッド)";
}

std::string WithoutLines(const PhysicsSwitches& physics, const std::string& result_file,
                         TextLanguage language) {
  if (physics.AllOn()) return {};
  if (language == TextLanguage::kEnglish)
    return "     Part of the physics switched off: without " + SwitchedOffText(physics, true) +
           "\n     Result file: " + result_file + "\n";
  return "     物理の一部を切っています: " + SwitchedOffText(physics, false) + "\n" +
         "     (without " + SwitchedOffText(physics, true) + ")\n" +
         "     結果ファイル: " + result_file + "\n";
}

}  // namespace dosavia
