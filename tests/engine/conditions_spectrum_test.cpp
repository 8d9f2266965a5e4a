#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/beam_spectrum.h"
#include "engine/conditions_file.h"
#include "engine/console_text.h"
#include "engine_test_support.h"
#include "records/input_error.h"
#include "records/problem_text.h"

namespace dosavia {
namespace {

using testing::SpectrumText;
using testing::ZeroSpectrum;

TEST(ConditionsTest, NamesAreCutAtTwentyCharactersAndTheTotalIsFreeFormat) {
  const struct {
    const char* text;
    const char* spectrum;
    const char* result;
    float photons;
  } cases[] = {
      {"10MV.csv\r\n10MV-30M.data\r\n3.00E+07\r\n", "10MV.csv", "10MV-30M.data", 3.0e7f},
      // exactly 20 characters are used whole, a 21st is dropped
      {"zyxwvutsrq0123456789\r\nabcdefghij0123456789X\r\n1000\r\n", "zyxwvutsrq0123456789",
       "abcdefghij0123456789", 1000.0f},
      // blanks filling a field are not part of the name; any number form on line 3
      {"6MV.csv     \n6MV-1M.data \n   1e6  trailing words", "6MV.csv", "6MV-1M.data", 1.0e6f},
      // a byte-order mark and blanks before a name are not part of it
      {"\xEF\xBB\xBF 10MV.csv\r\n  r.data\r\n1e4\r\n", "10MV.csv", "r.data", 1.0e4f},
      // 7 kana are 21 bytes: the cut drops the whole 7th character, not a part of it
      {"10MV.csv\r\n\u3042\u3044\u3046\u3048\u304a\u304b\u304d\r\n1e4\r\n", "10MV.csv",
       "\u3042\u3044\u3046\u3048\u304a\u304b", 1.0e4f},
  };
  for (const auto& c : cases) {
    const RunConditions r = ReadConditions(c.text);
    EXPECT_EQ(r.spectrum_file, c.spectrum);
    EXPECT_EQ(r.result_file, c.result);
    EXPECT_EQ(r.photon_total, c.photons);
  }
}

TEST(ConditionsTest, ErrorNamesTheFileTheLineAndTheField) {
  using enum ProblemKind;
  constexpr FieldName kSpectrum = FieldName::kSpectrumFileName;
  constexpr FieldName kResult = FieldName::kResultFileName;
  constexpr FieldName kTotal = FieldName::kPhotonTotal;
  const struct {
    const char* text;
    int line;
    FieldName field;
    ProblemKind kind;
    const char* value = "";  // what the report quotes
  } cases[] = {
      {"10MV.csv\r\n10MV-30M.data\r\n", 3, kTotal, kLineMissing, "2"},
      {"10MV.csv\r\n10MV-30M.data\r\nthirty\r\n", 3, kTotal, kNotANumber, "thirty"},
      {"10MV.csv\r\n10MV-30M.data\r\n-5\r\n", 3, kTotal, kPhotonTotalOutside},
      {"10MV.csv\r\n10MV-30M.data\r\n1e12\r\n", 3, kTotal,
       kPhotonTotalOutside},  // beyond 32-bit counts
      {"        \r\n10MV-30M.data\r\n1e6\r\n", 1, kSpectrum, kNameEmpty},
      {"../10MV.csv\r\nx.data\r\n1e6\r\n", 1, kSpectrum, kNotAPlainFileName, "../10MV.csv"},
      {"10MV.csv\r\nsub\\x.data\r\n1e6\r\n", 2, kResult, kNotAPlainFileName, "sub\\x.data"},
      {"10MV.csv\r\nC:x.data\r\n1e6\r\n", 2, kResult, kNotAPlainFileName, "C:x.data"},
      {"10MV.csv\r\n..\r\n1e6\r\n", 2, kResult, kNameIsAFolder, ".."},
      {"10MV.csv\r\nwater20.dat\r\n1e6\r\n", 2, kResult, kResultWouldOverwriteInput, "water20.dat"},
      {"10MV.csv\r\n10mv.CSV\r\n1e6\r\n", 2, kResult, kResultWouldOverwriteInput, "10mv.CSV"},
      {"10MV.csv\r\nKestrun\r\n1e6\r\n", 2, kResult, kResultWouldOverwriteShipped, "Kestrun"},
      {"10MV.csv\r\ndosavia.EXE\r\n1e6\r\n", 2, kResult, kResultWouldOverwriteShipped},
      {"10MV.csv\r\n4MV.csv\r\n1e6\r\n", 2, kResult, kResultWouldOverwriteShipped},
      {"10MV.csv\r\nr.data\r\n30,000,000\r\n", 3, kTotal, kMoreThanPhotonTotal, "30,000,000"},
      {"10MV.csv\r\nr.data\r\n1.00E+99\r\n", 3, kTotal, kOutOfRange, "1.00E+99"},
      // bytes that are not text are quoted escaped, never passed on to a console
      {"10MV.csv\r\nr.data\r\n\x01\xff\r\n", 3, kTotal, kNotANumber, "\\x01\\xFF"},
      {"10MV.csv\r\na/\x1b[2J\r\n1e6\r\n", 2, kResult, kNotAPlainFileName, "a/\\x1B[2J"},
  };
  for (const auto& c : cases) {
    try {
      ReadConditions(c.text);
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "Joken.dat");
      EXPECT_EQ(e.line(), c.line) << e.what();
      EXPECT_EQ(e.field(), ProblemField::Named(c.field)) << e.what();
      EXPECT_EQ(e.kind(), c.kind) << e.what();
      if (*c.value) {
        EXPECT_EQ(e.problem().value, c.value) << e.what();
      }
    }
  }
}

TEST(ConditionsTest, WriterHelpersBuildTheLinesOfTheInteractiveProgram) {
  const struct {
    const char* count;
    const char* result;
    const char* total;
  } cases[] = {
      {"30000000", "10MV-30M.data", "3.00E+07"},
      {"100000000", "10MV-100M.data", "1.00E+08"},
      {"12345678", "10MV-12M.data", "1.23E+07"},
      {"500000", "10MV-500K.data", "5.00E+05"},
      {"12350000", "10MV-12M.data", "1.24E+07"},  // a half goes up
      {"99950000", "10MV-99M.data", "1.00E+08"},  // and may carry into the exponent
      {"lots", "10MV-0.data", "lots"},
      // Trial runs below a million keep apart (once all "0M"); a million and more keep the
      // names stored results have.
      {"100000", "10MV-100K.data", "1.00E+05"},
      {"999999", "10MV-999K.data", "1.00E+06"},
      {"1000", "10MV-1K.data", "1.00E+03"},
      {"999", "10MV-999.data", "9.99E+02"},
      {"1999999", "10MV-1M.data", "2.00E+06"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResultFileName("10", c.count), c.result) << c.count;
    EXPECT_EQ(PhotonTotalText(c.count), c.total) << c.count;
  }
  const std::string text =
      ConditionsFileText(SpectrumFileName("10"), "10MV-30M.data", PhotonTotalText("30000000"));
  EXPECT_EQ(text, "10MV.csv\r\n10MV-30M.data\r\n3.00E+07\r\n");
  EXPECT_EQ(ReadConditions(text).photon_total, 3.0e7f);
}

// What a user types is the number it plainly is, or left as typed.
TEST(ConditionsTest, TypedCountsLoseTheirDigitGrouping) {
  const struct {
    const char* typed;
    const char* plain;
  } cases[] = {
      {"30000000", "30000000"},
      {"30,000,000", "30000000"},
      {"30 000 000", "30000000"},
      {"1,000", "1000"},
      {"3.00E+07", "3.00E+07"},
      {"1,00,000", "1,00,000"},  // not groups of three
      {"1234,567", "1234,567"},
      {"50000000 photons", "50000000 photons"},
      {"5,000,000 photons", "5000000 photons"},
      {"many", "many"},
  };
  for (const auto& c : cases) EXPECT_EQ(PlainCountText(c.typed), c.plain) << c.typed;
}

TEST(BeamSpectrumTest, WeightsAreIntensitiesOverTheirRunningSum) {
  auto intensity = ZeroSpectrum();
  intensity[3] = 1.0;
  intensity[5] = 3.0;
  intensity[399] = 4.0;
  const BeamSpectrum s = ReadBeamSpectrum(SpectrumText(intensity), "t.csv");
  EXPECT_EQ(s.weight[3], 0.125f);
  EXPECT_EQ(s.weight[5], 0.375f);
  EXPECT_EQ(s.weight[399], 0.5f);
  EXPECT_EQ(s.imax, 399);
  for (double& v : intensity) v *= 8.0;  // a common power of two changes nothing
  EXPECT_EQ(ReadBeamSpectrum(SpectrumText(intensity), "t.csv").weight, s.weight);
}

TEST(BeamSpectrumTest, EveryOccupiedBinRunsItsTruncatedShare) {
  struct Run {
    std::vector<int> bins;
    std::vector<float> energies;
  };
  const auto run = [](const auto& intensity, float n) {
    Run r;
    const BeamSpectrum s = ReadBeamSpectrum(SpectrumText(intensity), "t.csv");
    const auto total = RunSpectrumBins(
        s, n, [&](int i) { r.bins.push_back(i); }, [&](float e) { r.energies.push_back(e); });
    EXPECT_EQ(total, static_cast<std::int64_t>(r.energies.size()));
    return r;
  };
  auto one_bin = ZeroSpectrum();
  one_bin[200] = 2.5;
  const Run a = run(one_bin, 1000.0f);
  EXPECT_EQ(a.bins, std::vector<int>{200});
  EXPECT_EQ(a.energies, std::vector<float>(1000, 9975.0f));

  // w N = 0.99: the bin shows its line and runs nothing.
  auto small = ZeroSpectrum();
  small[2] = 0.99;
  small[7] = 99.01;
  const Run b = run(small, 100.0f);
  EXPECT_EQ(b.bins, (std::vector<int>{2, 7}));
  EXPECT_EQ(b.energies, std::vector<float>(99, 325.0f));

  // trunc of the exact product: the float product 0.7f * 10 rounds up to 7.
  EXPECT_EQ(HistoriesInBin(0.7f, 10.0f), 6);
  EXPECT_EQ(HistoriesInBin(1.0f, 3.0e7f), 30000000);
}

TEST(BeamSpectrumTest, ErrorNamesTheFileAndTheLine) {
  auto one = ZeroSpectrum();
  one[100] = 1.0;
  const auto with_line = [&](int line, const std::string& record) {
    std::string text = SpectrumText(one);
    std::size_t start = 0;
    for (int l = 1; l < line; ++l) start = text.find('\n', start) + 1;
    return text.replace(start, text.find('\r', start) - start, record);
  };
  const struct {
    std::string text;
    int line;
    const char* field;
  } cases[] = {
      {SpectrumText(ZeroSpectrum(), 399), 400, ""},
      {SpectrumText(ZeroSpectrum()), 0, ""},  // no positive weight
      {with_line(17, " 0.825, 1.2x0E-01"), 17, "field 3"},
      {with_line(9, " 0.425, "), 9, "field 3"},
      {with_line(5, " 0.2x5, 0.000E+00"), 5, "field 1"},
      {with_line(12, " 0.575, -.100E+01"), 12, "intensity"},
      // beyond single precision: refused by the record reader, which names the columns
      {with_line(3, " 0.125, .100E+40"), 3, "field 3 (columns 9-17"},
      // shifted columns would cut the numbers apart: refused, never read wrongly
      {with_line(7, " 0.325,3.679E-03"), 7, "columns 7-8"},    // no blank after the comma
      {with_line(7, " 0.325\t3.679E-03"), 7, "columns 7-8"},   // a TAB
      {with_line(7, " 0.3250, 3.679E-03"), 7, "columns 7-8"},  // four decimals
      {with_line(7, "  0.325, 3.679E-03"), 7, "columns 7-8"},  // one leading blank
      {with_line(7, " 0.325,-3.679E-03"), 7, "columns 7-8"},   // a sign in column 8
      {with_line(7, " 0.325,  3.679E-03"), 7, "columns 18"},   // two blanks
      {with_line(7, " 0.325, 03679E-03"), 7, "intensity"},     // no decimal point
  };
  for (const auto& c : cases) {
    try {
      ReadBeamSpectrum(c.text, "bad.csv");
      ADD_FAILURE() << "accepted, expected an error at line " << c.line;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), "bad.csv");
      EXPECT_EQ(e.line(), c.line) << e.what();
      EXPECT_NE(FieldText(e.field(), TextLanguage::kEnglish).find(c.field), std::string::npos)
          << e.what();
    }
  }
}

TEST(BeamSpectrumTest, WeightedBinsMustLieWithinThePhotonTable) {
  const struct {
    int highest_bin;  // last bin with weight
    float table_top;  // last photon table energy [keV]
    bool accepted;
  } cases[] = {
      {400, 22000.0f, true},  {400, 19975.0f, true},  // the top bin's centre may equal it
      {400, 19974.0f, false}, {200, 10000.0f, true}, {201, 10000.0f, false}, {1, 25.0f, true},
  };
  for (const auto& c : cases) {
    auto intensity = ZeroSpectrum();
    intensity[1] = 1.0;
    intensity[c.highest_bin] = 2.0;
    const BeamSpectrum s = ReadBeamSpectrum(SpectrumText(intensity), "t.csv");
    try {
      CheckSpectrumWithinTable(s, c.table_top, "t.csv");
      EXPECT_TRUE(c.accepted) << c.highest_bin << " " << c.table_top;
    } catch (const InputError& e) {
      EXPECT_FALSE(c.accepted) << e.what();
      EXPECT_EQ(e.file(), "t.csv");
      EXPECT_EQ(e.line(), c.highest_bin) << e.what();
      EXPECT_EQ(e.kind(), ProblemKind::kBinAboveTable) << e.what();
      EXPECT_EQ(e.problem().other, "water20.dat") << e.what();
    }
  }
}

TEST(ConsoleTextTest, LinesOfTheDialogue) {
  EXPECT_EQ(StartTimeLine({9, 5, 7, 42}), "      * 計算開始 = 9: 5: 7");
  EXPECT_EQ(EndTimeLine({23, 59, 0, 0}), "      * 計算終了 =23:59: 0");
  EXPECT_EQ(ProgressLine(1, 200), " ---   1 / 200");
  EXPECT_EQ(ProgressLine(399, 399), " --- 399 / 399");
}

}  // namespace
}  // namespace dosavia
