// The interactive program's free-format reading of a spectrum file, shared by the visual run
// and the spectrum page.
#include "engine/spectrum_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "records/input_error.h"

namespace dosavia {
namespace {

// Records "0.025, 1.0000000000000000e+00" with CR LF: the first `weights.size()` bins
// weighted as given, the rest 0.
std::string FreeText(const std::vector<double>& weights, int records = kSpectrumBins) {
  std::string s;
  char line[64];
  for (int i = 1; i <= records; ++i) {
    const double w = i <= static_cast<int>(weights.size()) ? weights[i - 1] : 0.0;
    std::snprintf(line, sizeof line, "%.3f, %.16e\r\n", BinEnergy(i) / 1000.0, w);
    s += line;
  }
  return s;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

TEST(FreeFormatSpectrumTest, RecordsAndTheirRunningSumNormalisedToExactlyOne) {
  // Weights whose sum is not a power of two, so the division is not trivially exact.
  std::vector<double> w(kSpectrumBins);
  for (int i = 0; i < kSpectrumBins; ++i) w[i] = 1.0 / (3 + i % 7);
  const FreeFormatSpectrum s = ParseFreeFormatSpectrum(FreeText(w), "odd.csv");
  EXPECT_EQ(s.cumulative[kSpectrumBins], 1.0);
  for (int i = 2; i <= kSpectrumBins; ++i) ASSERT_GT(s.cumulative[i], s.cumulative[i - 1]);
  EXPECT_EQ(s.weight[1], 1.0 / 3);
  EXPECT_EQ(s.energy_mev[400], 19.975);
  EXPECT_EQ(s.energy[1], 25.0);
  EXPECT_EQ(s.energy[400], 19975.0);
}

TEST(FreeFormatSpectrumTest, BadFilesAreRefusedNamingTheFile) {
  const std::vector<double> ones(kSpectrumBins, 1.0);
  const std::string good = FreeText(ones);
  const struct {
    const char* what;
    std::string text;
    const char* named;  // what the message must hold
  } cases[] = {
      {"short", FreeText(ones, 399), "399 of 400"},
      {"empty", "", "0 of 400"},
      {"not a number", Replaced(good, "0.075, 1", "0.075, x"), "line 2, value 4: not a number"},
      {"negative weight", Replaced(good, "0.475, 1", "0.475, -1"), "line 10, record 10"},
      {"all zero", FreeText({}), "sum to 0"},
      {"weights overflow their sum", FreeText(std::vector<double>(400, 1e307)),
       "too large to add up"},
      {"energy beyond keV", Replaced(good, "0.025, ", "1E+306, "), "far too large"},
      // No photon of negative energy can be run, so the spectrum page does not draw one either.
      {"negative energy with weight", Replaced(good, "0.075, ", "-0.075, "), "line 2, record 2"},
  };
  for (const auto& c : cases) {
    try {
      ParseFreeFormatSpectrum(c.text, "bad.csv");
      ADD_FAILURE() << c.what << " was accepted";
    } catch (const InputError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("bad.csv", 0), 0u) << c.what << ": " << message;
      EXPECT_NE(message.find(c.named), std::string::npos) << c.what << ": " << message;
    }
  }
  // A negative energy without weight is drawn by nobody and stays harmless.
  EXPECT_NO_THROW(
      ParseFreeFormatSpectrum(Replaced(FreeText({0, 1}), "0.025, ", "-0.025, "), "z.csv"));
  EXPECT_THROW(ReadFreeFormatSpectrumFile("no_such_spectrum.csv", "no_such_spectrum.csv"),
               InputError);
}

TEST(FreeFormatSpectrumTest, WeightedEnergiesStayWithinThePhotonTable) {
  const struct {
    int last_weighted;  // last record with weight
    double table_top;   // [keV]
    bool accepted;
  } cases[] = {
      {400, 22000.0, true},  // the shipped table
      {200, 9975.0, true},   // top energy equal
      {201, 10000.0, false},
      {200, 10000.0, true},  // weightless records above
  };
  for (const auto& c : cases) {
    const std::string text = FreeText(std::vector<double>(c.last_weighted, 1.0));
    try {
      const FreeFormatSpectrum s = ParseFreeFormatSpectrum(text, "t.csv", c.table_top);
      EXPECT_TRUE(c.accepted) << c.last_weighted;
      EXPECT_EQ(s.cumulative[kSpectrumBins], 1.0);
    } catch (const InputError& e) {
      EXPECT_FALSE(c.accepted) << e.what();
      EXPECT_EQ(e.line(), c.last_weighted);
      EXPECT_NE(std::string(e.what()).find("above the photon table"), std::string::npos)
          << e.what();
    }
  }
}

}  // namespace
}  // namespace dosavia
