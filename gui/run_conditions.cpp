#include "gui/run_conditions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "physics/text_records.h"

namespace dosavia::gui {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest number at the start of `s` (sign, digits, point, exponent); 0
// when `s` does not start with one. The exponent counts only when digits follow it.
std::size_t NumberPrefixLength(std::string_view s) {
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    const std::size_t exponent_start = j;
    while (j < s.size() && IsDigit(s[j])) ++j;
    if (j > exponent_start) i = j;
  }
  return i;
}

// Converts a number text accepted by NumberPrefixLength; false when it is not finite.
bool ConvertNumber(std::string_view s, double& value) {
  std::string text(s);
  if (!text.empty() && text.front() == '+') text.erase(0, 1);
  for (char& c : text)
    if (c == 'D' || c == 'd') c = 'e';
  double v = 0.0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || ptr != text.data() + text.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

}  // namespace

double LeadingNumber(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  const std::size_t n = NumberPrefixLength(text);
  double value = 0.0;
  if (n == 0 || !ConvertNumber(text.substr(0, n), value)) return 0.0;
  return value;
}

bool WholeNumber(std::string_view text, double& value) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.empty() || NumberPrefixLength(text) != text.size()) return false;
  return ConvertNumber(text, value);
}

std::string FormatThreeDigitExponent(double value) {
  if (value == 0.0 || !std::isfinite(value)) return "0.00E+00";
  // Seventeen significant digits hold the double exactly enough to round its decimal
  // form once, half away from zero, as a pocket calculator would.
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.16e", std::fabs(value));
  const std::string_view s(buffer);
  const std::size_t e = s.find('e');
  int exponent = std::atoi(buffer + e + 1);
  int mantissa = (s[0] - '0') * 100 + (s[2] - '0') * 10 + (s[3] - '0');
  if (s[4] >= '5') ++mantissa;
  if (mantissa >= 1000) {
    mantissa /= 10;
    ++exponent;
  }
  char out[40];
  std::snprintf(out, sizeof out, "%s%d.%02dE%c%02d", value < 0 ? "-" : "", mantissa / 100,
                mantissa % 100, exponent < 0 ? '-' : '+', std::abs(exponent));
  return out;
}

std::string FormatPhotonCountLine(std::string_view count_text) {
  double value = 0.0;
  if (!WholeNumber(count_text, value)) return std::string(count_text);
  return FormatThreeDigitExponent(value);
}

std::string MillionsText(std::string_view count_text) {
  const double millions = std::floor(LeadingNumber(count_text) / kPhotonsPerMillion);
  // Plain integer digits, also beyond the range of a 64-bit integer.
  char buffer[400];
  std::snprintf(buffer, sizeof buffer, "%.0f", millions == 0.0 ? 0.0 : millions);
  return buffer;
}

RunConditions BuildRunConditions(std::string_view energy_text, std::string_view count_text) {
  RunConditions c;
  c.spectrum_file = std::string(energy_text) + "MV.csv";
  c.result_file = std::string(energy_text) + "MV-" + MillionsText(count_text) + "M.data";
  c.photon_count = FormatPhotonCountLine(count_text);
  return c;
}

bool NamesFitEngine(const RunConditions& conditions) {
  return conditions.spectrum_file.size() <= kEngineNameColumns &&
         conditions.result_file.size() <= kEngineNameColumns;
}

std::string ConditionsFileText(const RunConditions& conditions) {
  return conditions.spectrum_file + "\r\n" + conditions.result_file + "\r\n" +
         conditions.photon_count + "\r\n";
}

void WriteConditionsFile(const std::string& path, const RunConditions& conditions) {
  WriteFileAtomically(path, ConditionsFileText(conditions));
}

void DeleteConditionsFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace dosavia::gui
