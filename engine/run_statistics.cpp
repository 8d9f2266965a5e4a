#include "engine/run_statistics.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "engine/physics_switch_names.h"
#include "engine/program_files.h"
#include "records/file_io.h"
#include "records/input_error.h"
#include "records/utf8_text.h"

namespace dosavia {

namespace {

constexpr std::string_view kTitle = "Kestrun run statistics 1";

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

  [[noreturn]] void Fail(const char* expected, std::string_view found) const {
    throw InputError(Problem(ProblemKind::kStatisticsLineUnexpected)
                         .In(name_, static_cast<int>(next_))
                         .WithLimit(expected)
                         .WithValue(Excerpt(found)));
  }

  // Whether the next line starts with `word` (followed by a blank), without reading it.
  bool NextStartsWith(std::string_view word) const {
    if (next_ >= lines_.size()) return false;
    const std::string_view line = lines_[next_];
    return line.size() > word.size() && line.substr(0, word.size()) == word &&
           line[word.size()] == ' ';
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
      ends_in_data = ends_in_data &&
                     std::tolower(static_cast<unsigned char>(name[name.size() - kData.size() + i])) ==
                         kData[i];
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
    const int axis = c == 0 ? AxisCurves::kKerma
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

std::string RunStatisticsText(const RunStatistics& s) {
  std::string text;
  text.reserve(static_cast<std::size_t>(s.groups + 1) * kDepthBins * 200);
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
  text += "groups " + std::to_string(s.groups) + "\r\n";
  text += "kerma_maximum_keV";
  AppendNumber(text, " %.5E", s.kerma_maximum_kev);
  text += "\r\nuncertainty\r\n";
  for (int k = 1; k <= kDepthBins; ++k) {
    text += std::to_string(k);
    for (int c = 0; c < RunStatistics::kUncertaintyCurves; ++c) AppendNumber(text, " %.3E", s.u[c][k]);
    text += "\r\n";
  }
  for (int g = 0; g < s.groups; ++g) {
    text += "group " + std::to_string(g + 1) + "\r\n";
    for (int k = 1; k <= kDepthBins; ++k) {
      text += std::to_string(k);
      for (int c = 0; c < RunStatistics::kGroupCurves; ++c)
        AppendNumber(text, " %.5E", s.group[g][c][k]);
      text += "\r\n";
    }
  }
  return text;
}

void WriteRunStatisticsFile(const std::filesystem::path& path, const RunStatistics& statistics) {
  CheckNotProgramFile(path);
  WriteFileAtomically(path.string(), RunStatisticsText(statistics));
}

std::unique_ptr<RunStatistics> ParseRunStatistics(std::string_view content, const std::string& name) {
  auto s = std::make_unique<RunStatistics>();
  StatisticsReader in(content, name);
  {
    const auto words = in.Words("the title 'Kestrun run statistics 1'");
    std::string title;
    for (const auto w : words) title += (title.empty() ? "" : " ") + std::string(w);
    if (title != kTitle) in.Fail("the title 'Kestrun run statistics 1'", in.Current());
  }
  s->result_checksum = in.Integer<std::uint64_t>(
      in.Keyed("result_checksum", "result_checksum"), "result_checksum", 16);
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
  if (in.NextStartsWith("transport")) {
    const std::string_view mode = in.Keyed("transport", "transport exact or accurate");
    if (mode != "exact" && mode != "accurate") in.Fail("transport exact or accurate", in.Current());
    s->physics.accurate_transport = mode == "accurate";
  }
  s->groups = in.Integer<int>(in.Keyed("groups", "groups"), "groups");
  if (s->groups < 2 || s->groups > 1000) in.Fail("groups (2 to 1000)", in.Current());
  s->kerma_maximum_kev = in.Number(in.Keyed("kerma_maximum_keV", "kerma_maximum_keV"),
                                   "kerma_maximum_keV");
  const auto rows = [&](const char* what, int values, auto&& store) {
    for (int k = 1; k <= kDepthBins; ++k) {
      const auto words = in.Words(what);
      if (static_cast<int>(words.size()) != 1 + values ||
          in.Integer<int>(words[0], what) != k)
        in.Fail(what, in.Current());
      for (int c = 0; c < values; ++c) store(c, k, in.Number(words[1 + c], what));
    }
  };
  if (in.Words("uncertainty") != std::vector<std::string_view>{"uncertainty"})
    in.Fail("uncertainty", in.Current());
  rows("a row of bin and 21 uncertainties", RunStatistics::kUncertaintyCurves,
       [&](int c, int k, double v) { s->u[c][k] = v; });
  s->group.resize(static_cast<std::size_t>(s->groups));
  for (int g = 0; g < s->groups; ++g) {
    const std::string heading = "group " + std::to_string(g + 1);
    const auto words = in.Words(heading.c_str());
    if (words.size() != 2 || words[0] != "group" || words[1] != std::to_string(g + 1))
      in.Fail(heading.c_str(), in.Current());
    rows("a row of bin, kerma and 10 doses", RunStatistics::kGroupCurves,
         [&](int c, int k, double v) { s->group[g][c][k] = v; });
  }
  return s;
}

std::unique_ptr<RunStatistics> ReadMatchingRunStatistics(const std::filesystem::path& result_path,
                                                         std::string_view result_bytes) {
  std::filesystem::path path = result_path;
  path.replace_filename(RunStatisticsFileName(result_path.filename().string()));
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
  try {
    auto s = ParseRunStatistics(ReadWholeFile(path.string(), path.filename().string()),
                                path.filename().string());
    if (s->result_checksum != ResultChecksum(result_bytes)) return nullptr;
    return s;
  } catch (const InputError&) {
    return nullptr;
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
  loaded.statistics = ReadMatchingRunStatistics(path, bytes);
  return loaded;
}

}  // namespace dosavia
