#include "engine/run_statistics.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <system_error>

#include <sys/stat.h>

#include "engine/physics_switch_names.h"
#include "engine/program_files.h"
#include "records/file_io.h"
#include "records/input_error.h"
#include "records/utf8_text.h"

namespace dosavia {

namespace {

constexpr std::string_view kTitle = "Kestrun run statistics 2";
constexpr std::string_view kTitleVersion1 = "Kestrun run statistics 1";
// A group's deviation from the row's mean is written in at most this many steps.
constexpr double kLargestStep = 99;

void AppendNumber(std::string& text, const char* format, double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  text += buffer;
}

// The lines of the companion, read front to back; every failure names the line and what
// belonged there.
class StatisticsReader {
 public:
  StatisticsReader(std::string_view content, const std::string& name)
      : lines_(SplitLines(content)), name_(name) {}

  // The next line's words; fails when there is none.
  std::vector<std::string_view> Words(const char* expected) {
    if (next_ >= lines_.size()) {
      ++next_;  // the missing line's number
      Fail(expected, "");
    }
    const std::string& line = lines_[next_++];
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
      while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
      const std::size_t start = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
      if (i > start) words.emplace_back(line.data() + start, i - start);
    }
    return words;
  }

  // A line "key value"; returns the value.
  std::string_view Keyed(std::string_view key, const char* expected) {
    const auto words = Words(expected);
    if (words.size() != 2 || words[0] != key) Fail(expected, Current());
    return words[1];
  }

  template <typename Int>
  Int Integer(std::string_view text, const char* expected, int base = 10) {
    Int value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size()) Fail(expected, Current());
    return value;
  }

  double Number(std::string_view text, const char* expected) {
    const std::string copy(text);
    char* end = nullptr;
    const double value = std::strtod(copy.c_str(), &end);
    if (copy.empty() || end != copy.c_str() + copy.size() || !std::isfinite(value))
      Fail(expected, Current());
    return value;
  }

  // Whether the next line starts with `word` (without taking it).
  bool NextStartsWith(std::string_view word) const {
    if (next_ >= lines_.size()) return false;
    const std::string_view line = lines_[next_];
    return line.substr(0, word.size()) == word &&
           (line.size() == word.size() || line[word.size()] == ' ' || line[word.size()] == '\t');
  }

  // Fails unless only blank lines are left.
  void ExpectEnd() {
    while (next_ < lines_.size()) {
      const std::string& line = lines_[next_++];
      if (line.find_first_not_of(" \t") != std::string::npos) Fail("the end of the file", line);
    }
  }

  [[noreturn]] void Fail(const char* expected, std::string_view found) const {
    throw InputError(Problem(ProblemKind::kStatisticsLineUnexpected)
                         .In(name_, static_cast<int>(next_))
                         .WithLimit(expected)
                         .WithValue(Excerpt(found)));
  }

  std::string_view Current() const {
    // Both branches a view: a ternary of "" and the std::string would view a temporary copy.
    if (next_ == 0 || next_ > lines_.size()) return {};
    return lines_[next_ - 1];
  }

 private:
  std::vector<std::string> lines_;
  std::string name_;
  std::size_t next_ = 0;
};

}  // namespace

std::string RunStatisticsFileName(std::string_view result_file) {
  std::string name(result_file);
  constexpr std::string_view kData = ".data";
  if (name.size() > kData.size()) {
    bool ends_in_data = true;
    for (std::size_t i = 0; i < kData.size(); ++i)
      ends_in_data = ends_in_data && std::tolower(static_cast<unsigned char>(
                                         name[name.size() - kData.size() + i])) == kData[i];
    if (ends_in_data) name.resize(name.size() - kData.size());
  }
  return name + kRunStatisticsExtension;
}

std::uint64_t ResultChecksum(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

std::unique_ptr<RunStatistics> MakeRunStatistics(const GroupCurves& groups, float kerma_maximum_kev,
                                                 std::int64_t histories, RunSeed seed,
                                                 const PhysicsSwitches& physics,
                                                 std::uint64_t result_checksum) {
  auto out = std::make_unique<RunStatistics>();
  out->result_checksum = result_checksum;
  out->histories = histories;
  out->seed = seed;
  out->physics = physics;
  out->groups = kHistoryGroups;
  out->kerma_maximum_kev = kerma_maximum_kev;
  out->group.resize(kHistoryGroups);
  constexpr double G = kHistoryGroups;
  const double scale = G / kerma_maximum_kev;
  for (int c = 0; c < RunStatistics::kUncertaintyCurves; ++c) {
    // Curve c of the statistics is the kerma, a field's total or a field's primary dose.
    const int axis = c == 0
                         ? AxisCurves::kKerma
                         : (c <= kFields ? AxisCurves::Total(c) : AxisCurves::Primary(c - kFields));
    for (int k = 1; k <= kDepthBins; ++k) {
      double sum = 0;
      double sum2 = 0;
      for (int g = 0; g < kHistoryGroups; ++g) {
        const double x = scale * groups.at(g, axis, k);
        if (c < RunStatistics::kGroupCurves) out->group[g][c][k] = x;
        sum += x;
        sum2 += x * x;
      }
      const double mean = sum / G;
      const double variance = std::max(0.0, (sum2 - G * mean * mean) / (G - 1));
      out->u[c][k] = std::sqrt(variance / G);
    }
  }
  return out;
}

namespace {

// Standard uncertainty of the mean of the groups' values of one bin.
double GroupUncertainty(const RunStatistics& s, int curve, int bin) {
  const double n = static_cast<double>(s.group.size());
  if (n < 2) return 0;
  double mean = 0;
  for (const auto& g : s.group) mean += g[curve][bin] / n;
  double squares = 0;
  for (const auto& g : s.group) squares += (g[curve][bin] - mean) * (g[curve][bin] - mean);
  return std::sqrt(squares / (n - 1) / n);
}

std::string Formatted(const char* format, double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// The result's value that curve c of the statistics describes at bin k.
double ResultValue(const ResultTables& result, int curve, int bin) {
  return curve == RunStatistics::kKerma ? result.Kerma[bin]
                                        : result.DoseTable[kTotalDose][curve][bin];
}

std::string CurveHeading(int curve) {
  return curve == RunStatistics::kKerma ? "curve kerma" : "curve total " + std::to_string(curve);
}

}  // namespace

std::string RunStatisticsText(const RunStatistics& s) {
  std::string text;
  text.reserve(static_cast<std::size_t>(RunStatistics::kGroupCurves) * kDepthBins *
               (24 + 4 * static_cast<std::size_t>(s.groups)));
  char line[128];
  text += kTitle;
  text += "\r\n";
  std::snprintf(line, sizeof line, "result_checksum %016" PRIx64 "\r\n", s.result_checksum);
  text += line;
  text += "histories " + std::to_string(s.histories) + "\r\n";
  text += "seed " + std::to_string(s.seed) + "\r\n";
  text += "without";
  if (s.physics.AllOn()) text += " none";
  for (const PhysicsSwitchName& name : kPhysicsSwitchNames)
    if (!(s.physics.*name.member)) text += " " + std::string(name.option);
  text += "\r\n";
  // Only the accurate transport says so: an exact run's companion stays as it always was,
  // and one without the line reads as exact.
  if (s.physics.accurate_transport) text += "transport accurate\r\n";
  // Likewise only a slab phantom's run names its layers.
  if (!s.phantom.empty()) text += "phantom " + s.phantom + "\r\n";
  for (const std::string& record : s.other_records) text += record + "\r\n";
  text += "groups " + std::to_string(s.groups) + "\r\n";
  text += "kerma_maximum_keV";
  AppendNumber(text, " %.5E", s.kerma_maximum_kev);
  text += "\r\n";
  const std::size_t n = s.group.size();
  for (int c = 0; c < RunStatistics::kGroupCurves; ++c) {
    text += CurveHeading(c) + "\r\n";
    for (int k = 1; k <= kDepthBins; ++k) {
      double mean = 0;
      for (const auto& g : s.group) mean += g[c][k] / static_cast<double>(n);
      // The mean as written, and the deviations from it in steps of two digits.
      const std::string mean_text = Formatted("%.4E", mean);
      const double m = std::strtod(mean_text.c_str(), nullptr);
      double largest = 0;
      for (const auto& g : s.group) largest = std::max(largest, std::fabs(g[c][k] - m));
      std::string step_text = "0";
      double step = 0;
      if (largest > 0 && std::isfinite(largest)) {
        // A little wider than needed, so that the step's rounding keeps every deviation
        // within kLargestStep of them.
        step_text = Formatted("%.1E", largest / kLargestStep * 1.06);
        step = std::strtod(step_text.c_str(), nullptr);
      }
      text += std::to_string(k);
      text += ' ';
      text += mean_text;
      text += ' ';
      text += step_text;
      for (const auto& g : s.group) {
        text += ' ';
        text += std::to_string(step > 0 ? std::lround((g[c][k] - m) / step) : 0L);
      }
      text += "\r\n";
    }
  }
  return text;
}

void WriteRunStatisticsFile(const std::filesystem::path& path, const RunStatistics& statistics) {
  CheckNotProgramFile(path);
  WriteFileAtomically(path.string(), RunStatisticsText(statistics));
}

std::unique_ptr<RunStatistics> ParseRunStatistics(std::string_view content,
                                                  const std::string& name) {
  auto s = std::make_unique<RunStatistics>();
  StatisticsReader in(content, name);
  bool version1 = false;
  {
    const auto words = in.Words("the title 'Kestrun run statistics 2'");
    std::string title;
    for (const auto w : words) title += (title.empty() ? "" : " ") + std::string(w);
    version1 = title == kTitleVersion1;
    if (title != kTitle && !version1) in.Fail("the title 'Kestrun run statistics 2'", in.Current());
  }
  s->result_checksum = in.Integer<std::uint64_t>(in.Keyed("result_checksum", "result_checksum"),
                                                 "result_checksum", 16);
  s->histories = in.Integer<std::int64_t>(in.Keyed("histories", "histories"), "histories");
  if (s->histories < 0) in.Fail("histories", in.Current());
  const auto seed = ParseRunSeed(in.Keyed("seed", "seed"));
  if (!seed) in.Fail("seed", in.Current());
  s->seed = *seed;
  {
    const auto words = in.Words("without");
    if (words.size() < 2 || words[0] != "without") in.Fail("without", in.Current());
    if (!(words.size() == 2 && words[1] == "none")) {
      for (std::size_t i = 1; i < words.size(); ++i) {
        const PhysicsSwitchName* part = FindPhysicsSwitch(words[i]);
        if (part == nullptr) in.Fail("without", in.Current());
        s->physics.*part->member = false;
      }
    }
  }
  // Records of the header after "without": the transport (a run in the accurate transport
  // says so; a companion without the line reads as exact), a slab phantom's layers, and
  // records a later version adds:
  // a key of small letters and underscores and its values, kept as they are.
  while (!in.NextStartsWith("groups")) {
    if (in.NextStartsWith("transport")) {
      const std::string_view mode = in.Keyed("transport", "transport exact or accurate");
      if (mode != "exact" && mode != "accurate")
        in.Fail("transport exact or accurate", in.Current());
      s->physics.accurate_transport = mode == "accurate";
      continue;
    }
    if (in.NextStartsWith("phantom")) {
      const auto words = in.Words("phantom");
      for (std::size_t i = 1; i < words.size(); ++i) {
        if (i > 1) s->phantom += ' ';
        s->phantom.append(words[i]);
      }
      continue;
    }
    const auto words = in.Words("groups");
    const bool keyed =
        !words.empty() &&
        words[0].find_first_not_of("abcdefghijklmnopqrstuvwxyz_") == std::string_view::npos;
    if (!keyed || s->other_records.size() >= 16) in.Fail("groups", in.Current());
    s->other_records.emplace_back(in.Current());
  }
  s->groups = in.Integer<int>(in.Keyed("groups", "groups"), "groups");
  if (s->groups < 2 || s->groups > 1000) in.Fail("groups (2 to 1000)", in.Current());
  s->kerma_maximum_kev =
      in.Number(in.Keyed("kerma_maximum_keV", "kerma_maximum_keV"), "kerma_maximum_keV");
  s->group.resize(static_cast<std::size_t>(s->groups));
  const auto rows = [&](const char* what, int values, auto&& store) {
    for (int k = 1; k <= kDepthBins; ++k) {
      const auto words = in.Words(what);
      if (static_cast<int>(words.size()) != 1 + values || in.Integer<int>(words[0], what) != k)
        in.Fail(what, in.Current());
      store(k, words);
    }
  };
  if (version1) {
    if (in.Words("uncertainty") != std::vector<std::string_view>{"uncertainty"})
      in.Fail("uncertainty", in.Current());
    rows("a row of bin and 21 uncertainties", RunStatistics::kUncertaintyCurves,
         [&](int k, const auto& words) {
           for (int c = 0; c < RunStatistics::kUncertaintyCurves; ++c)
             s->u[c][k] = in.Number(words[1 + c], "an uncertainty");
         });
    for (int g = 0; g < s->groups; ++g) {
      const std::string heading = "group " + std::to_string(g + 1);
      const auto words = in.Words(heading.c_str());
      if (words.size() != 2 || words[0] != "group" || words[1] != std::to_string(g + 1))
        in.Fail(heading.c_str(), in.Current());
      rows("a row of bin, kerma and 10 doses", RunStatistics::kGroupCurves,
           [&](int k, const auto& words) {
             for (int c = 0; c < RunStatistics::kGroupCurves; ++c)
               s->group[g][c][k] = in.Number(words[1 + c], "a row of bin, kerma and 10 doses");
           });
    }
  } else {
    const std::string row = "a row of bin, mean, step and " + std::to_string(s->groups) + " steps";
    for (int c = 0; c < RunStatistics::kGroupCurves; ++c) {
      const std::string heading = CurveHeading(c);
      std::string found;
      for (const auto w : in.Words(heading.c_str())) {
        if (!found.empty()) found += ' ';
        found.append(w);
      }
      if (found != heading) in.Fail(heading.c_str(), in.Current());
      rows(row.c_str(), 2 + s->groups, [&](int k, const auto& words) {
        const double mean = in.Number(words[1], row.c_str());
        const double step = in.Number(words[2], row.c_str());
        for (int g = 0; g < s->groups; ++g) {
          const long steps = in.Integer<long>(words[3 + g], row.c_str());
          if (steps < -99999 || steps > 99999) in.Fail(row.c_str(), in.Current());
          s->group[g][c][k] = mean + step * static_cast<double>(steps);
        }
        s->u[c][k] = GroupUncertainty(*s, c, k);
      });
    }
  }
  in.ExpectEnd();
  return s;
}

bool IsRunStatisticsFile(const std::filesystem::path& path) {
  try {
    ParseRunStatistics(ReadWholeFile(path.string(), path.string()), path.string());
    return true;
  } catch (const InputError&) {
    return false;
  }
}

std::optional<Problem> StatisticsProblem(const RunStatistics& s, const ResultTables& result,
                                         const std::string& name) {
  if (s.groups != kHistoryGroups || s.group.size() != static_cast<std::size_t>(kHistoryGroups))
    return Problem(ProblemKind::kStatisticsGroupCount)
        .In(name)
        .WithValue(std::to_string(s.groups))
        .WithLimit(std::to_string(kHistoryGroups));
  if (!(std::isfinite(s.kerma_maximum_kev) && s.kerma_maximum_kev > 0))
    return Problem(ProblemKind::kStatisticsNotFinite).In(name);
  const auto where = [](int c, int k) {
    return (c == RunStatistics::kKerma ? std::string("kerma") : "field " + std::to_string(c)) +
           ", " + Formatted("%.2f", 0.1 * k - 0.05) + " cm";
  };
  constexpr double G = kHistoryGroups;
  for (int c = 0; c < RunStatistics::kGroupCurves; ++c) {
    int dosed = 0;
    int without_spread = 0;
    for (int k = 1; k <= kDepthBins; ++k) {
      double sum = 0;
      double sum2 = 0;
      double low = 0;
      double high = 0;
      for (const auto& g : s.group) {
        const double x = g[c][k];
        if (!std::isfinite(x)) return Problem(ProblemKind::kStatisticsNotFinite).In(name);
        low = std::min(low, x);
        high = std::max(high, x);
        sum += x;
        sum2 += x * x;
      }
      // Energy only adds up: a group's dose is never below zero, beyond the steps in which
      // the groups' numbers are written (a hundredth of their range).
      if (low < -0.01 * (high - low) - 1e-9)
        return Problem(ProblemKind::kStatisticsNegative).In(name).WithValue(where(c, k));
      const double mean = sum / G;
      const double u = std::sqrt(std::max(0.0, (sum2 - G * mean * mean) / (G - 1)) / G);
      if (!std::isfinite(u)) return Problem(ProblemKind::kStatisticsNotFinite).In(name);
      // The mean is the result's value but for the result's four digits (half a unit of the
      // fourth is 5e-4 of it), the steps of the groups' numbers and the weights of groups
      // whose shares of a bin differ by a history, which at a few thousand photons move it
      // by up to about one u (1.2 in 36 runs of 4, 10 and 15 MV from 1e3 to 1e5 photons).
      // Groups of dose never below zero whose mean is the result's cannot spread by more
      // than u = r; an edited value far beyond that (1e30) moves the mean far beyond it.
      const double r = ResultValue(result, c, k);
      if (std::fabs(mean - r) > 1e-3 * std::fabs(r) + 3 * std::min(u, std::fabs(r)) + 1e-6)
        return Problem(ProblemKind::kStatisticsMeanDiffers).In(name).WithValue(where(c, k));
      if (c != RunStatistics::kKerma && r > 0) {
        ++dosed;
        if (!(u > 1e-9 * r)) ++without_spread;
      }
    }
    if (dosed > 0 && 2 * without_spread > dosed)
      return Problem(ProblemKind::kStatisticsWithoutSpread).In(name);
  }
  return std::nullopt;
}

MatchedStatistics MatchRunStatistics(std::string_view content, const std::string& name,
                                     std::string_view result_bytes, const ResultTables& result) {
  MatchedStatistics matched;
  try {
    auto s = ParseRunStatistics(content, name);
    if (s->result_checksum != ResultChecksum(result_bytes)) {
      matched.problem = Problem(ProblemKind::kStatisticsOfAnotherResult).In(name);
      return matched;
    }
    matched.problem = StatisticsProblem(*s, result, name);
    if (!matched.problem) matched.statistics = std::move(s);
  } catch (const InputError& e) {
    matched.problem = e.problem();
  }
  return matched;
}

MatchedStatistics ReadMatchingRunStatistics(const std::filesystem::path& result_path,
                                            std::string_view result_bytes,
                                            const ResultTables& result) {
  std::filesystem::path path = result_path;
  path.replace_filename(RunStatisticsFileName(result_path.filename().string()));
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return {};
  const std::string name = path.filename().string();
  try {
    return MatchRunStatistics(ReadWholeFile(path.string(), name), name, result_bytes, result);
  } catch (const InputError& e) {
    MatchedStatistics matched;
    matched.problem = e.problem();
    return matched;
  }
}

LoadedResult ReadResultWithStatistics(const std::filesystem::path& path,
                                      const std::string& display_name) {
  LoadedResult loaded;
  loaded.tables = ReadResultFile(path, display_name);
  // The bytes again, for the checksum: a result is some 80 kB, within the readers' limit.
  std::string bytes;
  try {
    bytes = ReadWholeFile(path.string(), display_name);
  } catch (const InputError&) {
    return loaded;  // gone since: the result stands alone
  }
  MatchedStatistics matched = ReadMatchingRunStatistics(path, bytes, *loaded.tables);
  loaded.statistics = std::move(matched.statistics);
  loaded.statistics_problem = std::move(matched.problem);
  return loaded;
}

void CheckStatisticsTarget(const std::filesystem::path& path) {
  namespace fs = std::filesystem;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return;  // a new name
  if (S_ISLNK(st.st_mode)) {
    // Where the link leads, as the writer would follow it: written through only into the
    // companion's own folder.
    std::error_code ec;
    fs::path target = fs::read_symlink(path, ec);
    if (!ec && target.is_relative()) target = path.parent_path() / target;
    const auto folder_of = [](const fs::path& p, std::error_code& error) {
      return fs::weakly_canonical(fs::absolute(p, error).parent_path(), error);
    };
    std::error_code target_ec, own_ec;
    const fs::path target_folder = folder_of(target, target_ec);
    const fs::path own_folder = folder_of(path, own_ec);
    if (ec || target_ec || own_ec || target.empty() || target_folder != own_folder)
      throw WriteError(Problem(ProblemKind::kWillNotReplaceThroughLink)
                           .In(path.string())
                           .WithValue(Excerpt(fs::read_symlink(path, ec).string())));
  }
  if (!IsRunStatisticsFile(path))
    throw WriteError(Problem(ProblemKind::kWillNotReplaceStatistics).In(path.string()));
}

namespace {

std::filesystem::path CompanionOf(const std::filesystem::path& result_path) {
  std::filesystem::path path = result_path;
  path.replace_filename(RunStatisticsFileName(result_path.filename().string()));
  return path;
}

}  // namespace

void CheckResultPairTargets(const std::filesystem::path& result_path) {
  const std::filesystem::path companion = CompanionOf(result_path);
  for (const std::filesystem::path& path : {result_path, companion}) {
    CheckNotProgramFile(path);
    CheckCanWrite(path.string());
  }
  CheckStatisticsTarget(companion);
}

std::unique_ptr<WriteLock> LockResultPair(const std::filesystem::path& result_path) {
  return std::make_unique<WriteLock>(
      result_path.string(), std::vector<std::string>{CompanionOf(result_path).filename().string()});
}

std::optional<Problem> WriteResultWithStatistics(const std::filesystem::path& result_path,
                                                 const NormalisedResults& results,
                                                 const RunStatistics& statistics) {
  const std::filesystem::path companion = CompanionOf(result_path);
  CheckNotProgramFile(result_path);
  StagedFile result(result_path.string(), ResultFileText(results));
  std::unique_ptr<StagedFile> staged;
  std::optional<Problem> problem;
  try {
    CheckNotProgramFile(companion);
    CheckStatisticsTarget(companion);
    staged = std::make_unique<StagedFile>(companion.string(), RunStatisticsText(statistics));
  } catch (const WriteError& e) {
    problem = e.problem();
  }
  result.Commit();
  if (staged) {
    try {
      staged->Commit();
    } catch (const WriteError& e) {
      problem = e.problem();
    }
  }
  return problem;
}

}  // namespace dosavia
