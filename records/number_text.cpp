#include "records/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace dosavia {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}


bool NormaliseNumber(std::string_view field, int implied_decimals, std::string& out) {
  std::string_view s = Trim(field);
  if (s.empty()) return false;
  std::string sign;
  if (s.front() == '+' || s.front() == '-') {
    if (s.front() == '-') sign = "-";
    s.remove_prefix(1);
  }
  // Split mantissa and exponent.
  std::size_t e = s.find_first_of("EeDd");
  std::string_view mantissa = s, exponent;
  if (e != std::string_view::npos) {
    mantissa = s.substr(0, e);
    exponent = s.substr(e + 1);
    if (exponent.empty()) return false;
  } else {
    std::size_t signpos = s.find_first_of("+-", 1);
    if (signpos != std::string_view::npos) {
      mantissa = s.substr(0, signpos);
      exponent = s.substr(signpos);
    }
  }
  std::size_t point = mantissa.find('.');
  std::string digits_before, digits_after;
  if (point == std::string_view::npos) {
    if (!IsDigits(mantissa)) return false;
    std::string m(mantissa);
    if (implied_decimals > 0) {
      if (static_cast<int>(m.size()) <= implied_decimals)
        m.insert(0, implied_decimals + 1 - m.size(), '0');
      digits_before = m.substr(0, m.size() - implied_decimals);
      digits_after = m.substr(m.size() - implied_decimals);
    } else {
      digits_before = m;
    }
  } else {
    digits_before = std::string(mantissa.substr(0, point));
    digits_after = std::string(mantissa.substr(point + 1));
    if (digits_before.empty() && digits_after.empty()) return false;
    if (!digits_before.empty() && !IsDigits(digits_before)) return false;
    if (!digits_after.empty() && !IsDigits(digits_after)) return false;
  }
  out = sign + (digits_before.empty() ? "0" : digits_before);
  if (!digits_after.empty()) out += "." + digits_after;
  if (!exponent.empty()) {
    std::string_view ex = exponent;
    std::string exsign;
    if (ex.front() == '+' || ex.front() == '-') {
      if (ex.front() == '-') exsign = "-";
      ex.remove_prefix(1);
    }
    if (!IsDigits(ex) || ex.size() > 4) return false;
    out += "e" + exsign + std::string(ex);
  }
  return true;
}

namespace {

// Whether a decimal number text that the conversion found out of range lies below 1 in
// magnitude, so that it underflowed rather than overflowed: the decimal exponent of its
// first significant digit plus its written exponent is negative.
bool MagnitudeBelowOne(std::string_view t) {
  if (!t.empty() && (t.front() == '-' || t.front() == '+')) t.remove_prefix(1);
  const std::size_t e = t.find_first_of("eE");
  std::string_view mantissa = t.substr(0, e);
  const std::size_t point = mantissa.find('.');
  std::string_view whole = mantissa.substr(0, point);
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  long long lead = 0;
  if (!whole.empty()) {
    lead = static_cast<long long>(whole.size()) - 1;
  } else if (point != std::string_view::npos) {
    const std::string_view fraction = mantissa.substr(point + 1);
    const std::size_t first = fraction.find_first_not_of('0');
    lead = -static_cast<long long>(first == std::string_view::npos ? fraction.size() : first) - 1;
  }
  long long exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view ex = t.substr(e + 1);
    bool negative = false;
    if (!ex.empty() && (ex.front() == '-' || ex.front() == '+')) {
      negative = ex.front() == '-';
      ex.remove_prefix(1);
    }
    // Saturate: any exponent beyond a million decides the side on its own.
    for (char c : ex) exponent = std::min(exponent * 10 + (c - '0'), 1000000LL);
    if (negative) exponent = -exponent;
  }
  return lead + exponent < 0;
}


}  // namespace

template <typename Real>
NumberParse ParseNumber(std::string_view text, Real& value) {
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return NumberParse::kNotANumber;
  Real v{};
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ptr != t.data() + t.size()) return NumberParse::kNotANumber;
  if (ec == std::errc::result_out_of_range) {
    // Too small for the type reads as zero, as the hardware would store it; too large has
    // no value of the type at all.
    if (!MagnitudeBelowOne(t)) return NumberParse::kOutOfRange;
    value = Real(0);
    return NumberParse::kOk;
  }
  if (ec != std::errc() || !std::isfinite(v)) return NumberParse::kNotANumber;
  value = v;
  return NumberParse::kOk;
}
template NumberParse ParseNumber<float>(std::string_view, float&);
template NumberParse ParseNumber<double>(std::string_view, double&);

template <typename Real>
bool ParseReal(std::string_view text, Real& value) {
  return ParseNumber(text, value) == NumberParse::kOk;
}
template bool ParseReal<float>(std::string_view, float&);
template bool ParseReal<double>(std::string_view, double&);

}  // namespace dosavia
