// The number conversions on the C library alone, which builds without floating-point
// from_chars/to_chars run (the WebAssembly engine), held to the standard library's answer:
// a number text that read differently there would change a run's input, and a different
// shortest form would change the photon total written for the interactive program.
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <type_traits>
#include <vector>
#include <version>

#include "records/number_text.h"

namespace dosavia {
namespace {

#if defined(__cpp_lib_to_chars)

// Both paths must agree on the outcome and, when one is read, on every bit of the value;
// on failure the value must stay as it was.
template <typename Real>
void ExpectSameParse(const std::string& text) {
  Real by_std = Real(7), by_c = Real(7);
  const NumberParse std_outcome = ParseNumber(text, by_std);
  const NumberParse c_outcome = ParseNumberByCLibrary(text, by_c);
  using Bits = std::conditional_t<sizeof(Real) == 4, std::uint32_t, std::uint64_t>;
  ASSERT_EQ(c_outcome, std_outcome) << "'" << text << "'";
  ASSERT_EQ(std::bit_cast<Bits>(by_c), std::bit_cast<Bits>(by_std))
      << "'" << text << "' read as " << by_c << " instead of " << by_std;
}

void ExpectSameParseBoth(const std::string& text) {
  ExpectSameParse<float>(text);
  ExpectSameParse<double>(text);
}

std::string Printed(const char* format, int precision, double value) {
  char buf[128];
  std::snprintf(buf, sizeof buf, format, precision, value);
  return buf;
}

TEST(NumberTextCLibrary, ReadsEveryHandWrittenTextAsFromCharsDoes) {
  const char* const texts[] = {
      // Fortran fields after normalising, and the forms the free-format reader passes on.
      "0.1250e-00",
      "0.025",
      "1.0e-03",
      "-3",
      "0.511",
      "+0.5",
      " 12.5\t",
      "1.",
      ".5",
      "-.5",
      "5.",
      "00.1e+0005",
      "-0",
      "0",
      "0e-999",
      "0e99999999999999999999",
      "0.000",
      // Limits of float and double, their overflow and their underflow to zero or denormal.
      "3.4028235e38",
      "3.40282346638528859811704183484516925440e+38",
      "3.4028236e38",
      "3.40282356779733661637539395458142568448e38",
      "3.40282356779733661637539395458142568447e38",
      "1.17549435e-38",
      "1e-40",
      "1e-45",
      "1.4e-45",
      "7e-46",
      "7.006492321624085e-46",
      "7.006492321624086e-46",
      "7.1e-46",
      "1e-46",
      "1e-310",
      "4.9406564584124654e-324",
      "2.4703282292062328e-324",
      "2.4703282292062327e-324",
      "1e-324",
      "1.7976931348623157e308",
      "1.7976931348623158e308",
      "1.7976931348623159e308",
      "1e-99999999999999999999",
      "1e99999999999999999999",
      "-1e999",
      "-1e-999",
      // Long mantissas that only a correct rounding reads right.
      "0.1000000000000000055511151231257827021181583404541015625",
      "0.1000000000000000055511151231257827021181583404541015624",
      "9007199254740993",
      "9007199254740993.0000000000000000000000000000001",
      "16777217",
      "16777217.000000000000000000001",
      "33554435",
      "123456789012345678901234567890123456789012345678901234567890e-40",
      // Not a number, or only in part: each must fail the same way on both paths.
      "",
      "+",
      "-",
      ".",
      "-.",
      "e5",
      ".e5",
      "1e",
      "1e+",
      "1e-",
      "1E+5",
      "1e5x",
      "1..2",
      "1.2.3",
      "--1",
      "+-1",
      "++1",
      "-+1",
      "1,5",
      "1 5",
      "\n1",
      "1\n",
      "\v1",
      "0x1p3",
      "0X10",
      "inf",
      "-inf",
      "infinity",
      "INF",
      "nan",
      "NaN",
      "nan(123)",
      "1e5.5",
      "1d5",
      "\xef\xbc\x91",
  };
  for (const char* t : texts) ExpectSameParseBoth(t);
}

// Texts of random values in every notation and precision the files and users write,
// across the whole range of double and the edges of float.
TEST(NumberTextCLibrary, ReadsGeneratedTextsAsFromCharsDoes) {
  std::mt19937_64 gen(20261208);
  std::vector<double> values;
  for (int i = 0; i < 20000; ++i) {
    std::uint64_t bits = gen();
    double v = std::bit_cast<double>(bits);
    if (std::isfinite(v)) values.push_back(v);
  }
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  std::uniform_int_distribution<int> exponent(-50, 50);
  for (int i = 0; i < 20000; ++i) values.push_back(mantissa(gen) * std::pow(10.0, exponent(gen)));
  // Floats and the midpoints between neighbouring floats, where a double rounding shows.
  for (int i = 0; i < 20000; ++i) {
    const float f = std::bit_cast<float>(static_cast<std::uint32_t>(gen()) & 0x7fffffffu);
    if (!std::isfinite(f)) continue;
    values.push_back(f);
    const float next = std::nextafter(f, std::numeric_limits<float>::infinity());
    if (std::isfinite(next)) values.push_back((double(f) + double(next)) / 2);
  }
  for (const double v : values) {
    ExpectSameParseBoth(Printed("%.*e", 2, v));
    ExpectSameParseBoth(Printed("%.*e", 8, v));
    ExpectSameParseBoth(Printed("%.*e", 17, v));
    ExpectSameParseBoth(Printed("%.*e", 40, v));
    ExpectSameParseBoth(Printed("%.*g", 9, v));
    if (std::fabs(v) < 1e30) ExpectSameParseBoth(Printed("%.*f", 6, v));
  }
}

// The shortest form must be to_chars' to the character: PhotonTotalText rounds its digits.
TEST(NumberTextCLibrary, WritesTheShortestFormAsToCharsDoes) {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                0.1,
                                0.1235,
                                30000000.0,
                                1.235e7,
                                99950000,
                                5e-324,
                                DBL_MAX,
                                DBL_MIN,
                                2147483520.0,
                                9007199254740993.0,
                                1e23,
                                5e-1,
                                123456789012345678.0};
  // Powers of two and their neighbours: there the doubles below lie closer than above, and
  // the nearest decimal of a length may not read back while the next one out does.
  for (int e = -1074; e <= 1023; ++e) {
    const double p = std::ldexp(1.0, e);
    values.push_back(p);
    values.push_back(std::nextafter(p, 0.0));
    values.push_back(std::nextafter(p, HUGE_VAL));
  }
  std::mt19937_64 gen(7);
  for (int i = 0; i < 30000; ++i) {
    const double v = std::bit_cast<double>(gen());
    if (std::isfinite(v)) values.push_back(v);
  }
  // Counts as typed: whole numbers and short decimals, where the shortest form is short.
  for (int i = 0; i < 20000; ++i) {
    values.push_back(static_cast<double>(gen() % 4000000000u));
    values.push_back(static_cast<double>(gen() % 100000u) / 1000.0);
    values.push_back(static_cast<double>(gen() % 10000u) * std::pow(10.0, int(gen() % 40) - 20));
  }
  for (const double v : values) {
    for (const double signed_v : {v, -v}) {
      ASSERT_EQ(ShortestScientificByCLibrary(signed_v), ShortestScientific(signed_v))
          << Printed("%.*e", 17, signed_v);
    }
  }
  const struct {
    double value;
    const char* text;
  } cases[] = {{3.0e7, "3e+07"},      {1.235e7, "1.235e+07"},
               {0.1235, "1.235e-01"}, {-0.5, "-5e-01"},
               {0.0, "0e+00"},        {1e100, "1e+100"},
               {5e-324, "5e-324"},    {DBL_MAX, "1.7976931348623157e+308"}};
  for (const auto& c : cases) EXPECT_EQ(ShortestScientificByCLibrary(c.value), c.text) << c.text;
}

// The interactive program runs in the user's locale, whose decimal point may be a comma;
// the data files' numbers still read and write with '.'.
TEST(NumberTextCLibrary, DecimalPointStaysAPointInAnyLocale) {
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  bool comma = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"})
    if (std::setlocale(LC_NUMERIC, name) && *std::localeconv()->decimal_point == ',') {
      comma = true;
      break;
    }
  if (!comma) {
    std::setlocale(LC_NUMERIC, before.c_str());
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  double d = 0;
  const NumberParse outcome = ParseNumberByCLibrary("1.25e-1", d);
  const std::string shortest = ShortestScientificByCLibrary(0.1235);
  std::setlocale(LC_NUMERIC, before.c_str());
  EXPECT_EQ(outcome, NumberParse::kOk);
  EXPECT_EQ(d, 0.125);
  EXPECT_EQ(shortest, "1.235e-01");
}

#else

TEST(NumberTextCLibrary, NeedsTheStandardLibrarysConversionsToCompareWith) {
  GTEST_SKIP() << "no floating-point from_chars/to_chars here: nothing to compare with";
}

#endif

}  // namespace
}  // namespace dosavia
