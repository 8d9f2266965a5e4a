#include "records/number_text.h"

#include <locale.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <type_traits>

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

// What a conversion made of a whole number text: whether it read every character, and
// std::errc::result_out_of_range when the number lies beyond the type (the value is then
// left alone).
struct Conversion {
  bool whole;
  std::errc ec;
};

#if defined(__cpp_lib_to_chars)
template <typename Real>
Conversion ConvertByStandardLibrary(std::string_view t, Real& v) {
  const auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  return {ptr == t.data() + t.size(), ec};
}
#endif

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether t is a decimal number that from_chars reads to its end: an optional '-', digits
// with at most one '.' among them (at least one digit), then optionally 'e' or 'E', an
// optional sign and digits. What else from_chars reads at all ("inf", "nan") is not a
// finite number; strtod would read more still (blanks and '+' in front, hexadecimal).
bool IsDecimalText(std::string_view t) {
  std::size_t i = 0;
  if (i < t.size() && t[i] == '-') ++i;
  std::size_t digits = 0;
  bool point = false;
  for (; i < t.size(); ++i) {
    if (IsDigit(t[i])) {
      ++digits;
    } else if (t[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i == t.size()) return true;
  if (t[i] != 'e' && t[i] != 'E') return false;
  ++i;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
  if (i == t.size()) return false;
  for (; i < t.size(); ++i)
    if (!IsDigit(t[i])) return false;
  return true;
}

// Whether the mantissa of a decimal text holds a digit other than 0.
bool HasNonzeroMantissa(std::string_view t) {
  for (char c : t) {
    if (c == 'e' || c == 'E') break;
    if (c >= '1' && c <= '9') return true;
  }
  return false;
}

// The "C" locale: the data files write their decimal point as '.', whatever locale the
// interactive program runs in.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
  return c;
}

template <typename Real>
Real ReadByCLibrary(const std::string& text) {
  if constexpr (std::is_same_v<Real, float>)
    return strtof_l(text.c_str(), nullptr, CLocale());
  else
    return strtod_l(text.c_str(), nullptr, CLocale());
}

template <typename Real>
Conversion ConvertByCLibrary(std::string_view t, Real& v) {
  if (!IsDecimalText(t)) return {false, std::errc::invalid_argument};
  const Real r = ReadByCLibrary<Real>(std::string(t));
  // As from_chars: beyond the largest value, or a nonzero number that rounds to zero, is
  // out of range; a denormal is a value like any other (strtod's ERANGE for it is not).
  if (std::isinf(r) || (r == 0 && HasNonzeroMantissa(t)))
    return {true, std::errc::result_out_of_range};
  v = r;
  return {true, std::errc()};
}

template <typename Real, typename Convert>
NumberParse ParseWith(std::string_view text, Real& value, Convert convert) {
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return NumberParse::kNotANumber;
  Real v{};
  const Conversion c = convert(t, v);
  if (!c.whole) return NumberParse::kNotANumber;
  if (c.ec == std::errc::result_out_of_range) {
    // Too small for the type reads as zero, as the hardware would store it; too large has
    // no value of the type at all.
    if (!MagnitudeBelowOne(t)) return NumberParse::kOutOfRange;
    value = Real(0);
    return NumberParse::kOk;
  }
  if (c.ec != std::errc() || !std::isfinite(v)) return NumberParse::kNotANumber;
  value = v;
  return NumberParse::kOk;
}

// A decimal in scientific form: sign, `digits` significant digits as one whole number
// (1234 with 4 digits is 1.234) and the power of ten of the first digit.
struct Scientific {
  bool negative = false;
  std::uint64_t mantissa = 0;
  int digits = 1;
  int exponent = 0;
};

// `value` rounded correctly to `digits` significant digits (at most 17), as "%.*e" writes
// it; the point it writes, which the locale chooses, is skipped.
Scientific RoundedScientific(double value, int digits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
  Scientific s;
  s.digits = digits;
  const char* p = buf;
  if (*p == '-') {
    s.negative = true;
    ++p;
  }
  for (; *p != 'e'; ++p)
    if (IsDigit(*p)) s.mantissa = s.mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
  s.exponent = std::atoi(p + 1);
  return s;
}

// As to_chars writes it: "1.234e+07", "3e+07", "-5e-01", "1e+100".
std::string ScientificText(const Scientific& s) {
  std::string digits = std::to_string(s.mantissa);
  std::string text = s.negative ? "-" : "";
  text += digits[0];
  if (digits.size() > 1) text.append(1, '.').append(digits, 1);
  char exponent[16];
  std::snprintf(exponent, sizeof exponent, "e%c%02d", s.exponent < 0 ? '-' : '+',
                std::abs(s.exponent));
  return text + exponent;
}

// One unit in the last digit further from zero: 9.99e+02 becomes 1.00e+03.
Scientific FurtherOut(Scientific s) {
  std::uint64_t limit = 1;
  for (int i = 0; i < s.digits; ++i) limit *= 10;
  if (++s.mantissa == limit) {
    s.mantissa = limit / 10;
    ++s.exponent;
  }
  return s;
}

}  // namespace

template <typename Real>
NumberParse ParseNumber(std::string_view text, Real& value) {
#if defined(__cpp_lib_to_chars)
  return ParseWith(text, value, ConvertByStandardLibrary<Real>);
#else
  return ParseWith(text, value, ConvertByCLibrary<Real>);
#endif
}
template NumberParse ParseNumber<float>(std::string_view, float&);
template NumberParse ParseNumber<double>(std::string_view, double&);

template <typename Real>
NumberParse ParseNumberByCLibrary(std::string_view text, Real& value) {
  return ParseWith(text, value, ConvertByCLibrary<Real>);
}
template NumberParse ParseNumberByCLibrary<float>(std::string_view, float&);
template NumberParse ParseNumberByCLibrary<double>(std::string_view, double&);

template <typename Real>
bool ParseReal(std::string_view text, Real& value) {
  return ParseNumber(text, value) == NumberParse::kOk;
}
template bool ParseReal<float>(std::string_view, float&);
template bool ParseReal<double>(std::string_view, double&);

std::string ShortestScientific(double value) {
#if defined(__cpp_lib_to_chars)
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  return std::string(buf, res.ptr);
#else
  return ShortestScientificByCLibrary(value);
#endif
}

std::string ShortestScientificByCLibrary(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  const auto reads_back = [value](const Scientific& s) {
    return ReadByCLibrary<double>(ScientificText(s)) == value;
  };
  for (int digits = 1; digits < 17; ++digits) {
    // The nearest text of these digits, when any of them reads back, is the one: except
    // at a power of two, where the doubles below lie twice as close as those above, so
    // the nearest may miss on the near side while the next one out still reads back.
    const Scientific nearest = RoundedScientific(value, digits);
    if (reads_back(nearest)) return ScientificText(nearest);
    const Scientific out = FurtherOut(nearest);
    if (reads_back(out)) return ScientificText(out);
  }
  return ScientificText(RoundedScientific(value, 17));  // 17 digits always read back
}

}  // namespace dosavia
