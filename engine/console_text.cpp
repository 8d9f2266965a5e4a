#include "engine/console_text.h"

#include <chrono>
#include <ctime>

#include "records/fixed_format.h"

namespace dosavia {

namespace {

std::string TimeLine(const char* format, const ClockReading& t) {
  return FixedFormat(format).WriteRecord({t.hour, t.minute, t.second});
}

}  // namespace

ClockReading ReadLocalClock() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  const auto since_second = now - std::chrono::system_clock::from_time_t(seconds);
  const auto hundredths =
      std::chrono::duration_cast<std::chrono::milliseconds>(since_second).count() / 10;
  return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(hundredths)};
}

const char* TitleLine(TextLanguage language) {
  return language == TextLanguage::kEnglish ? kEnglishTitleLine : kTitleLine;
}

const char* WaitingLine(TextLanguage language) {
  return language == TextLanguage::kEnglish ? kEnglishWaitingLine : kWaitingLine;
}

const char* PromptLine(TextLanguage language) {
  return language == TextLanguage::kEnglish ? kEnglishPromptLine : kPromptLine;
}

bool IsPromptLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line == kPromptLine || line == kEnglishPromptLine;
}

// The leading ' ' of each format is the line-start control character and is not shown.
std::string StartTimeLine(const ClockReading& t, TextLanguage language) {
  return TimeLine(language == TextLanguage::kEnglish ? "('      * Started  =',I2,':',I2,':',I2)"
                                                     : "('      * 計算開始 =',I2,':',I2,':',I2)",
                  t);
}

std::string EndTimeLine(const ClockReading& t, TextLanguage language) {
  return TimeLine(language == TextLanguage::kEnglish ? "('      * Finished =',I2,':',I2,':',I2)"
                                                     : "('      * 計算終了 =',I2,':',I2,':',I2)",
                  t);
}

std::string ProgressLine(int bin, int imax) {
  static const FixedFormat format("(' --- ',I3,' / ',I3)");
  return format.WriteRecord({bin, imax});
}

namespace {

constexpr std::string_view kErrorStart = " *** エラー: ";
constexpr std::string_view kEnglishErrorStart = " *** Error: ";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Reads the digits at `pos` into `value`; false when there are none or too many.
bool ReadCount(std::string_view line, std::size_t& pos, int& value) {
  const std::size_t start = pos;
  value = 0;
  while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && pos - start < 9)
    value = value * 10 + (line[pos++] - '0');
  return pos > start && !(pos < line.size() && line[pos] >= '0' && line[pos] <= '9');
}

}  // namespace

std::optional<ProgressReading> ParseProgressLine(std::string_view line) {
  std::size_t pos = 0;
  const auto skip_blanks = [&] {
    const std::size_t start = pos;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    return pos > start;
  };
  ProgressReading r;
  skip_blanks();
  if (line.substr(pos, 3) != "---") return std::nullopt;
  pos += 3;
  if (!skip_blanks() || !ReadCount(line, pos, r.bin)) return std::nullopt;
  skip_blanks();
  if (pos >= line.size() || line[pos] != '/') return std::nullopt;
  ++pos;
  skip_blanks();
  if (!ReadCount(line, pos, r.imax)) return std::nullopt;
  skip_blanks();
  if (pos != line.size()) return std::nullopt;
  return r;
}

std::string ErrorLine(const Problem& problem, TextLanguage language) {
  return ErrorLineOf(ProblemLine(problem, language), language);
}

std::string ErrorLineOf(std::string_view report, TextLanguage language) {
  return std::string(language == TextLanguage::kEnglish ? kEnglishErrorStart : kErrorStart) +
         std::string(report);
}

bool IsErrorLine(std::string_view line) {
  return line.substr(0, kErrorStart.size()) == kErrorStart ||
         line.substr(0, kEnglishErrorStart.size()) == kEnglishErrorStart;
}

std::string StatisticsNotWrittenLine(const Problem& problem, TextLanguage language) {
  if (language == TextLanguage::kEnglish)
    return "     The result file was written, but not the run's statistics (its uncertainties): "
           "they will be estimated from the curves: " +
           ProblemLine(problem, language);
  return "     "
         "結果ファイルは書きましたが、計算の統計（不確かさ）を書けませんでした。不確かさは曲線から"
         "見積もります：" +
         ProblemLine(problem, language);
}

std::string DifferingDataLine(const std::vector<std::string>& names, TextLanguage language) {
  const bool english = language == TextLanguage::kEnglish;
  std::string line = english ? "     Running on data files that differ from the shipped ones: "
                             : "     付属のものと異なるデータファイルで計算します：";
  for (std::size_t i = 0; i < names.size(); ++i)
    line += (i ? (english ? ", " : "、") : "") + names[i];
  return line;
}

}  // namespace dosavia
