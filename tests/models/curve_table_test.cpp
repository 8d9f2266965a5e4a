// The compared curve sets' shared text and numbers: the energy a result name carries, the
// CSV layout, the uncertainties of d_max and TPR20,10 against the spread they estimate, and
// the curves of a point source at a clinical SSD made from the parallel beam's.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "models/clinical_geometry.h"
#include "models/curve_metrics.h"
#include "models/curve_table.h"
#include "models/depth_probe.h"
#include "models/phantom_session.h"

namespace dosavia {
namespace {

TEST(CurveTableTest, EnergyOfResultFileName) {
  const struct {
    const char* name;
    const char* energy;
  } cases[] = {
      {"10MV-30M.data", "10 MV"},
      {"4mv-1M.data", "4 MV"},
      {"dir/6MV-0M.data", "6 MV"},
      {"MV-3M.data", ""},
      {"10MV.data", ""},
      {"15MV-MV-1M.data", "15 MV"},
      {"", ""},
      {"C:\\r\\4MV-2M.data", "4 MV"},
  };
  for (const auto& c : cases) EXPECT_EQ(EnergyOfResultFileName(c.name), c.energy) << c.name;
  EXPECT_EQ(CurveLegendText("", 8, "x.data"), "?, 10 × 10 cm, x.data");
  EXPECT_EQ(FieldSizeLabel(10), "20 × 20 cm");
}

// A result of switched-off physics is named as such in the legend, in either language; a
// full-physics name, or a renamed one whose tag is not a tag, gets no note.
TEST(CurveTableTest, LegendNamesSwitchedOffPhysics) {
  const struct {
    const char* file;
    bool english;
    const char* legend;
  } cases[] = {
      {"10MV-30M.data", false, "10 MV, 10 × 10 cm, 10MV-30M.data"},
      {"10MV-30M-noe.data", false,
       "10 MV, 10 × 10 cm, 10MV-30M-noe.data [なし: 電子・陽電子の輸送]"},
      {"10MV-30M-noe.data", true,
       "10 MV, 10 × 10 cm, 10MV-30M-noe.data [without electron and positron transport]"},
      {"dir/10MV-1M-nocp.data", true,
       "10 MV, 10 × 10 cm, dir/10MV-1M-nocp.data [without coherent scattering, pair production]"},
      {"10MV-1M-nope.data", true, "10 MV, 10 × 10 cm, 10MV-1M-nope.data"},
      // A phantom's mark says which phantom, so that its curves are never read as water's.
      {"10MV-30M-lung.data", true,
       "10 MV, 10 × 10 cm, 10MV-30M-lung.data [accurate transport], Lung slab (water 3 cm, lung "
       "10 cm)"},
      {"10MV-30M-bolus.data", false,
       "10 MV, 10 × 10 cm, 10MV-30M-bolus.data [精密な電子輸送], ボーラス 1 cm"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CurveLegendText("10 MV", 8, c.file, c.english), c.legend) << c.file;
  // The physics a run recorded outweighs its name; the seed and the SSD follow the notes,
  // and the short head (field alone) exists only where the name says the energy.
  PhysicsSwitches no_electrons;
  no_electrons.electron_transport = false;
  const CurveLegend recorded =
      CurveLegendParts({"10 MV", 8, "renamed.data", &no_electrons, 7, 100}, false);
  EXPECT_EQ(recorded.Text(),
            "10 MV, 10 × 10 cm, renamed.data [なし: 電子・陽電子の輸送], 乱数の種 7, SSD 100 cm");
  EXPECT_EQ(recorded.compact_head, "");
  const CurveLegend seeded = CurveLegendParts({"4 MV", 1, "4MV-1M.data", nullptr, 12, 0}, true);
  EXPECT_EQ(seeded.tail, ", seed 12");
  EXPECT_EQ(seeded.compact_head, "1×1, ");
  // The layers a run recorded outweigh its name's mark.
  PhysicsSwitches accurate;
  accurate.accurate_transport = true;
  EXPECT_EQ(CurveLegendParts({"6 MV", 8, "6MV-1M-lung.data", &accurate, kDefaultSeed, 0,
                              "water 2 air 3 water 25"},
                             true)
                .tail,
            " [accurate transport], phantom: water 2 cm, air 3 cm");
  EXPECT_EQ(
      CurveLegendParts({"6 MV", 8, "6MV-1M-lung.data", &accurate, kDefaultSeed, 0, ""}, true).tail,
      " [accurate transport]");
}

// A build-up curve (1 - exp(-a z)) exp(-mu z) with Gaussian noise of relative size `noise`,
// each bin's noise the mean of `spread` independent draws shared with its neighbours, as
// an electron's energy is shared by the bins along its track.
std::unique_ptr<ResultTables> NoisyTables(double noise, unsigned seed, int spread = 1) {
  auto t = std::make_unique<ResultTables>();
  std::mt19937_64 random(seed);
  std::normal_distribution<double> normal(0.0, 1.0);
  std::vector<double> white(kDepthBins + spread + 1);
  for (int f = 1; f <= kFieldColumns; ++f) {
    for (double& w : white) w = normal(random);
    for (int i = 1; i <= kDepthBins; ++i) {
      double shared = 0;
      for (int k = 0; k < spread; ++k) shared += white[static_cast<std::size_t>(i + k)];
      shared /= std::sqrt(static_cast<double>(spread));
      const double z = DepthBinCentreCm(i);
      const double d = (1 - std::exp(-1.0 * z)) * std::exp(-0.04 * z);
      t->DoseTable[kPrimaryDose][f][i] = 0.8 * d * (1 + noise * shared);
      t->DoseTable[kScatterDose][f][i] = 0.2 * d;
      t->DoseTable[kTotalDose][f][i] = t->DoseTable[kPrimaryDose][f][i] + 0.2 * d;
      t->Kerma[i] = std::exp(-0.04 * z);
    }
  }
  return t;
}

// Beam-quality numbers of curves with known answers, (1 - exp(-a z)) exp(-mu z) from
// cobalt-like to 15 MV-like build-ups: the analytic maximum ln((a + mu) / mu) / a and
// TPR20,10 = exp(-10 mu) up to the build-up term left at 10 cm. With a deterministic ripple
// standing in for a run's noise, TPR20,10 is what tools/depth_dose_analysis.py gives on the
// same curve, and the fitted maximum, taking the build-up and 12 cm of fall-off together,
// stays within 0.05 cm of the smooth curve's (a cubic about the peak moved up to 0.14 cm).
TEST(CurveMetricsTest, BeamQualityOfCurvesWithKnownAnswers) {
  const auto build_up = [](double z, double a, double mu) {
    return (1 - std::exp(-a * z)) * std::exp(-mu * z);
  };
  const struct {
    double a, mu, ripple;
    double tpr;  // 0: exp(-10 mu), within 2e-3
  } cases[] = {{4.0, 0.06, 0, 0},
               {1.5, 0.05, 0, 0},
               {1.0, 0.04, 0, 0},
               {0.7, 0.035, 0, 0},
               {4.0, 0.06, 0.005, 0.5488545068281824},
               {1.0, 0.04, 0.005, 0.6704106005169338},
               {0.7, 0.035, 0.005, 0.7054702365092648}};
  for (const auto& c : cases) {
    std::vector<double> dose(kDepthBins + 1);
    for (int j = 1; j <= kDepthBins; ++j)
      dose[j] = build_up(DepthBinCentreCm(j), c.a, c.mu) * (1 + c.ripple * std::sin(7.3 * j));
    const double dmax = std::log((c.a + c.mu) / c.mu) / c.a;
    const CurveMetrics m = MeasureCurve(dose);
    EXPECT_NEAR(m.maximum.depth_cm, dmax, c.ripple > 0 ? 0.05 : 0.02) << c.a << " " << c.ripple;
    EXPECT_NEAR(Tpr2010(dose), c.tpr > 0 ? c.tpr : std::exp(-10 * c.mu), c.tpr > 0 ? 1e-9 : 2e-3)
        << c.a << " " << c.ripple;
    EXPECT_TRUE(m.maximum.window_first_cm < dmax && m.maximum.window_last_cm > dmax) << c.a;
    if (c.ripple > 0) continue;
    const double top = build_up(dmax, c.a, c.mu);
    EXPECT_NEAR(m.surface_ratio, build_up(0.05, c.a, c.mu) / top, 1e-3) << c.a;
    EXPECT_NEAR(m.d10_ratio, build_up(10.0, c.a, c.mu) / top, 1e-3) << c.a;
  }
}

// The table's cells as the screen and the saved picture both show them: rounding, the
// smallest uncertainty, and a dash for what is unknown rather than a false 0.00.
TEST(CurveTableTest, TableCellsRoundAndMarkTheUnknown) {
  const struct {
    CurveTableRow row;
    const char* dmax;
    const char* surface;
    const char* d10;
    const char* tpr;
  } cases[] = {
      {{2.876, 0.148, 45.26, 67.14, 0.6723, 0.0042, true, BuildUp::kYes, 0.84, 0.04},
       "2.88 ± 0.15",
       "45.3 ± 0.8",
       "67.1 ± 0.1",
       "0.672 ± 0.004"},
      {{2.876, 0.148, 45.26, 67.14, 0.6723, -1, false}, "2.88 ± 0.15*", "45.3", "67.1", "0.672"},
      {{2.5, 0.001, 50, 70, 0.7, 0.0001, true}, "2.50 ± 0.01", "50.0", "70.0", "0.700 ± 0.001"},
      {{1.234, -1, 12.34, 5.56, 0.5, -1}, "1.23", "12.3", "5.6", "0.500"},
      {{0.31, 0.16, 97.0, 60.0, 0.6, -1, true, BuildUp::kNone},
       "表面で最大: ビルドアップなし",
       "97.0",
       "60.0",
       "0.600"},
      // Too few photons to tell: no d_max, however small its spread happens to be.
      {{4.19, 0.01, 60.0, 50.0, 0.7, 0.1, true, BuildUp::kTooFewPhotons, 30, 20},
       "光子が少なすぎて判定できない",
       "60.0 ± 30.0",
       "50.0 ± 20.0",
       "0.700 ± 0.100"},
      // A build-up whose maximum could lie anywhere in the build-up region.
      {{3.5, 2.4, 20.0, 70.0, 0.7, 0.02, true, BuildUp::kYes, 5, 3},
       "光子が少なすぎて判定できない",
       "20.0 ± 5.0",
       "70.0 ± 3.0",
       "0.700 ± 0.020"},
      {{0, 0.2, 0, 0, 0, -1}, "—", "—", "—", "—"},
      {{-1, 0.2, -3, std::nan(""), -0.5, -1}, "—", "—", "—", "—"},
  };
  for (const auto& c : cases) {
    const CurveTableCells cells = CurveTableText(c.row);
    EXPECT_EQ(cells.dmax, c.dmax) << c.row.dmax_cm;
    EXPECT_EQ(cells.surface, c.surface) << c.row.surface_percent;
    EXPECT_EQ(cells.d10, c.d10) << c.row.d10_percent;
    EXPECT_EQ(cells.tpr, c.tpr) << c.row.tpr2010;
  }
}

// One rule reads every curve: "no build-up" only where the surface lies clearly at the
// maximum, a build-up (and a d_max) only where it lies clearly below; between them the run
// has too few photons to tell, and the TSV says "unknown" with no d_max.
TEST(CurveTableTest, OneRuleReadsTheBuildUp) {
  const struct {
    double surface, sigma;
    BuildUp reading;
    const char* tsv;  // build_up and d_max_cm of a row with d_max 2.5 cm
  } cases[] = {
      {0.97, 0.02, BuildUp::kNone, "none"},  // no electron transport, a long run
      {0.97, 0.05, BuildUp::kTooFewPhotons, "unknown"},
      {0.62, 0.15, BuildUp::kTooFewPhotons, "unknown"},  // 4 MV, 5000 photons, 0.5 cm bars
      {0.62, 0.10, BuildUp::kYes, "yes"},
      {0.30, 0.40, BuildUp::kTooFewPhotons, "unknown"},  // a short engine run
      {0.95, -1, BuildUp::kNone, "none"},                // a result without its statistics
      {0.30, -1, BuildUp::kYes, "yes"},
      {std::nan(""), 0.1, BuildUp::kTooFewPhotons, "unknown"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadBuildUp(c.surface, c.sigma), c.reading) << c.surface << " ± " << c.sigma;
    CurveTableRow row{2.5, 0.3, 100 * c.surface, 70, 0.7, 0.01, true, c.reading};
    const std::vector<TableTsvRow> rows = {{"r.data", "10 MV", 8, row}};
    std::string line = CurveTableTsv(rows);
    line = line.substr(line.find('\n') + 1);
    const bool shown = c.reading == BuildUp::kYes;
    EXPECT_EQ(line.rfind("r.data\t10 MV\t10\t" + std::string(shown ? "2.5\t0.3\t" : "\t\t"), 0), 0u)
        << line;
    EXPECT_NE(line.find(std::string("\t") + c.tsv + "\tmeasured\t"), std::string::npos) << line;
  }
}

// Over many noisy curves the stated uncertainties must match the spread of the values they
// belong to (within a factor that the correlated fit windows allow), else the table's
// "±" misleads.
TEST(CurveTableTest, UncertaintiesMatchTheSpreadOverRepeatedCurves) {
  constexpr int kRepeats = 200;
  std::vector<double> dmax;
  double dmax_sigma = 0;
  for (int r = 0; r < kRepeats; ++r) {
    const CurveTableRow row = MeasureCurveSet(*NoisyTables(0.01, 1000 + r), 8);
    ASSERT_GT(row.dmax_sigma_cm, 0);
    // Without the run's history groups TPR20,10's uncertainty is not claimed: the bins'
    // noise is correlated over the electrons' range, which a fit cannot see.
    ASSERT_LT(row.tpr2010_sigma, 0);
    dmax.push_back(row.dmax_cm);
    dmax_sigma += row.dmax_sigma_cm / kRepeats;
  }
  const auto spread = [](const std::vector<double>& v) {
    double mean = 0, sq = 0;
    for (double x : v) mean += x / v.size();
    for (double x : v) sq += (x - mean) * (x - mean) / (v.size() - 1);
    return std::sqrt(sq);
  };
  EXPECT_GT(dmax_sigma, 0.6 * spread(dmax));
  EXPECT_LT(dmax_sigma, 1.6 * spread(dmax));
}

// A result file's noise is correlated over the electrons' range: the stated d_max
// uncertainty must still match the spread over repeated curves, for independent bins and
// for noise shared over 0.5 and 1.5 cm, where bins taken as independent give a "±" that is
// several times too small.
TEST(CurveTableTest, DmaxUncertaintyFollowsCorrelatedNoise) {
  constexpr int kRepeats = 150;
  for (const int spread : {1, 5, 15}) {
    std::vector<double> dmax;
    double dmax_sigma = 0;
    for (int r = 0; r < kRepeats; ++r) {
      const CurveTableRow row = MeasureCurveSet(*NoisyTables(0.01, 5000 + r, spread), 8);
      ASSERT_GT(row.dmax_sigma_cm, 0) << "spread " << spread;
      dmax.push_back(row.dmax_cm);
      dmax_sigma += row.dmax_sigma_cm / kRepeats;
    }
    double mean = 0, sq = 0;
    for (double x : dmax) mean += x / kRepeats;
    for (double x : dmax) sq += (x - mean) * (x - mean) / (kRepeats - 1);
    const double spread_cm = std::sqrt(sq);
    EXPECT_GT(dmax_sigma, 0.6 * spread_cm) << "spread " << spread;
    EXPECT_LT(dmax_sigma, 1.6 * spread_cm) << "spread " << spread;
  }
}

TEST(CurveTableTest, NoiseCorrelationOfTheFallOff) {
  // Independent bins: no lag beyond 0; noise shared over 10 bins: falling from near 0.9.
  const auto white = NoisyTables(0.01, 7, 1);
  const auto shared = NoisyTables(0.01, 7, 10);
  const auto total = [](const ResultTables& t) {
    return std::span<const double>(t.DoseTable[kTotalDose][8]);
  };
  EXPECT_LE(BinNoiseCorrelation(total(*white), 60, 280).size(), 2u);
  const std::vector<double> rho = BinNoiseCorrelation(total(*shared), 60, 280);
  ASSERT_GE(rho.size(), 6u);
  EXPECT_NEAR(rho[1], 0.9, 0.1);
  EXPECT_GT(rho[1], rho[5]);
  EXPECT_EQ(BinNoiseCorrelation(total(*shared), 60, 80), std::vector<double>{1.0});  // too short
}

TEST(CurveTableTest, CsvHasTheDesktopLayout) {
  const auto a = NoisyTables(0.0, 1);
  const auto b = NoisyTables(0.0, 2);
  const CsvCurveSet sets[] = {{a.get(), 8, "10 MV", "10MV-1M.data"},
                              {b.get(), 8, "4 MV", "4MV-1M.data"},
                              {b.get(), 4, "4 MV", "4MV-1M.data"},
                              {a.get(), 1, "", "x,y.data"}};
  const CurveCsvNames names{
      "深さ [cm]", "一次線水カーマ", {"水吸収線量", "一次線線量", "散乱線線量"}, "(max = 1)"};
  const std::string csv = CurvesCsvText(a.get(), "10MV-1M.data", sets, names);
  // Every value column says what its numbers are relative to.
  ASSERT_EQ(
      csv.rfind(
          "\xEF\xBB\xBF深さ [cm],10 MV 一次線水カーマ 10MV-1M.data (max = 1),10 MV 10 × 10 cm "
          "水吸収線量 10MV-1M.data (max = 1),",
          0),
      0u);
  EXPECT_NE(csv.find(",\"1 × 1 cm 散乱線線量 x,y.data (max = 1)\"\r\n"),
            std::string::npos);  // quoted
  // The other file's kerma once, before its first set: depth, kerma, 3, kerma, 3 + 3, 3.
  EXPECT_NE(
      csv.find("10MV-1M.data (max = 1),4 MV 一次線水カーマ 4MV-1M.data (max = 1),4 MV 10 × 10"),
      std::string::npos);
  EXPECT_EQ(std::count(csv.begin(), csv.begin() + csv.find("\r\n0.05,"), ','),
            14 + 3);  // "x,y" thrice
  const std::string first_row = csv.substr(csv.find("\r\n0.05,") + 2);
  EXPECT_EQ(std::count(first_row.begin(), first_row.begin() + first_row.find("\r\n"), ','), 14);
  std::size_t lines = 0;
  for (std::size_t p = csv.find("\r\n"); p != std::string::npos; p = csv.find("\r\n", p + 2))
    ++lines;
  EXPECT_EQ(lines, 1u + kDepthBins);
  EXPECT_NE(csv.find("\r\n0.05,"), std::string::npos);
  EXPECT_NE(csv.find("\r\n29.95,"), std::string::npos);
  // A phantom set's columns name its layers: from its statistics for layers of its own, from
  // its name's mark for a preset; a water set's columns stay as they were.
  RunStatistics slab;
  slab.phantom = "water 2 air 3 water 25";
  const CsvCurveSet phantoms[] = {{a.get(), 8, "6 MV", "6MV-1M-slab.data", &slab},
                                  {b.get(), 8, "6 MV", "6MV-1M-lung.data"}};
  const std::string named = CurvesCsvText(
      nullptr, "", phantoms, {"depth", "kerma", {"total", "primary", "scatter"}, "", true});
  EXPECT_NE(
      named.find(",\"6 MV 10 × 10 cm total 6MV-1M-slab.data, phantom: water 2 cm, air 3 cm\","),
      std::string::npos)
      << named.substr(0, 400);
  EXPECT_NE(named.find("\"6 MV 10 × 10 cm scatter 6MV-1M-lung.data, Lung slab (water 3 cm, lung "
                       "10 cm)\"\r\n"),
            std::string::npos)
      << named.substr(0, 400);
}

// Parallel-beam tables without noise whose scatter grows linearly with the field side, so
// that the interpolation between columns is exact and the point source's curve is known in
// closed form: primary (1 - exp(-z)) exp(-0.04 z), scatter 0.01 F z exp(-0.04 z).
std::unique_ptr<ResultTables> SmoothFieldTables() {
  auto t = std::make_unique<ResultTables>();
  for (int i = 1; i <= kDepthBins; ++i) {
    const double z = DepthBinCentreCm(i);
    t->Kerma[i] = std::exp(-0.04 * z);
    for (int f = 1; f <= kFieldColumns; ++f) {
      t->DoseTable[kPrimaryDose][f][i] = (1 - std::exp(-z)) * std::exp(-0.04 * z);
      t->DoseTable[kScatterDose][f][i] = 0.01 * kFieldSideCm[f] * z * std::exp(-0.04 * z);
      t->DoseTable[kTotalDose][f][i] =
          t->DoseTable[kPrimaryDose][f][i] + t->DoseTable[kScatterDose][f][i];
    }
  }
  return t;
}

// The engine graph's probe reads, at any depth of the axis (the first millimetre and beyond
// 12 cm too), the very values the graph draws there, on the set's display scale, with the
// run's measured ± only where its groups measure one; off the axis it reads nothing.
TEST(DepthProbeTest, ReadsWhatTheGraphDrawsWithItsMeasuredSpread) {
  const auto tables = SmoothFieldTables();
  const double scale = 100 * DisplayScale(*tables);
  RunStatistics measured;
  measured.histories = 1000000;
  for (auto& curve : measured.u) curve.fill(0.002);
  measured.u[kFields + 8].fill(0);  // a version 1 file without the primary dose's u
  RunStatistics few = measured;
  few.histories = kFewestMeasuredHistories - 1;
  const struct {
    double depth_cm;
    int bin;  // 0: off the axis
    const RunStatistics* statistics;
    bool total_sigma;
    const char* heading;
  } cases[] = {
      {0.0, 1, &measured, true, "深さ 0.05 cm"},
      {0.099, 1, nullptr, false, "深さ 0.05 cm"},
      {0.1, 2, &measured, true, "深さ 0.15 cm"},
      {10.0, 101, &measured, true, "深さ 10.05 cm"},
      {12.5, 126, &measured, true, "深さ 12.55 cm"},
      {20.0, 201, &few, false, "深さ 20.05 cm"},
      {29.99, 300, &measured, true, "深さ 29.95 cm"},
      {30.0, 0, nullptr, false, ""},
      {-0.01, 0, nullptr, false, ""},
      {std::nan(""), 0, nullptr, false, ""},
  };
  for (const auto& c : cases) {
    const int bin = ProbedDepthBin(c.depth_cm);
    EXPECT_EQ(bin, c.bin) << c.depth_cm;
    if (bin == 0) continue;
    EXPECT_EQ(DepthProbeHeading(bin), c.heading);
    const ProbedSet set = ProbeCurveSet(*tables, 8, bin, c.statistics);
    EXPECT_DOUBLE_EQ(set.total.percent, scale * tables->DoseTable[kTotalDose][8][bin]);
    EXPECT_DOUBLE_EQ(set.primary.percent, scale * tables->DoseTable[kPrimaryDose][8][bin]);
    EXPECT_DOUBLE_EQ(set.scatter.percent, scale * tables->DoseTable[kScatterDose][8][bin]);
    EXPECT_DOUBLE_EQ(set.kerma.percent, scale * tables->Kerma[bin]);
    EXPECT_DOUBLE_EQ(set.total.sigma_percent, c.total_sigma ? scale * 0.002 : -1) << bin;
    EXPECT_EQ(set.primary.sigma_percent, -1) << bin;
    EXPECT_EQ(set.scatter.sigma_percent, -1) << bin;
  }
  ProbedSet set;
  set.total = {78.14, 0.43};
  set.primary = {70.2, -1};
  set.scatter = {7.94, -1};
  EXPECT_EQ(DepthProbeValues(set), "全 78.1 ± 0.4  一次 70.2  散乱 7.9 [%]");
  set.total.sigma_percent = 0.01;  // never "± 0.0"
  EXPECT_EQ(DepthProbeValues(set, true), "total 78.1 ± 0.1  primary 70.2  scatter 7.9 [%]");
  EXPECT_EQ(DepthProbeHeading(101, true), "depth 10.05 cm");
}

// The point source at an SSD: at every depth the inverse square times the parallel dose of
// the field grown to F (s + d) / s (the largest column's scatter beyond 20 cm); a very
// large SSD gives the parallel beam back; d_max moves shallower as the source comes closer.
TEST(CurveTableTest, ClinicalGeometryFollowsInverseSquareAndFieldGrowth) {
  const auto parallel = SmoothFieldTables();
  const struct {
    double ssd_cm;
    int field;
  } cases[] = {{1e7, 8}, {150, 8}, {100, 8}, {100, 1}, {100, 10}, {50, 4}};
  double previous_dmax = 0;
  for (const auto& c : cases) {
    const auto clinical = ClinicalGeometryTables(*parallel, c.ssd_cm);
    for (int i : {1, 15, 100, 200, 300}) {
      const double z = DepthBinCentreCm(i);
      const double fall = c.ssd_cm / (c.ssd_cm + z);
      const double side = std::min(20.0, kFieldSideCm[c.field] * (c.ssd_cm + z) / c.ssd_cm);
      const double primary = (1 - std::exp(-z)) * std::exp(-0.04 * z) * fall * fall;
      const double scatter = 0.01 * side * z * std::exp(-0.04 * z) * fall * fall;
      EXPECT_NEAR(clinical->Kerma[i], std::exp(-0.04 * z) * fall * fall, 1e-12)
          << c.ssd_cm << " " << z;
      EXPECT_NEAR(clinical->DoseTable[kPrimaryDose][c.field][i], primary, 1e-12)
          << c.ssd_cm << " " << z;
      EXPECT_NEAR(clinical->DoseTable[kScatterDose][c.field][i], scatter, 1e-12)
          << c.ssd_cm << " " << z;
      EXPECT_NEAR(clinical->DoseTable[kTotalDose][c.field][i], primary + scatter, 1e-12);
    }
    // The 10 x 10 cm field's d_max, first from the parallel-like SSD, then nearer sources.
    if (c.field != 8) continue;
    const double dmax = MeasureCurveSet(*clinical, 8).dmax_cm;
    const double parallel_dmax = MeasureCurveSet(*parallel, 8).dmax_cm;
    if (c.ssd_cm > 1e6)
      EXPECT_NEAR(dmax, parallel_dmax, 0.005);
    else
      EXPECT_LT(dmax, previous_dmax - 0.02) << c.ssd_cm;
    previous_dmax = dmax;
  }
  // The point source's row carries the run's seed, as the parallel beam's does, on every
  // front end; its uncertainties are not the groups' (they are the parallel beam's).
  RunStatistics statistics;
  statistics.seed = 0;
  statistics.group.assign(kHistoryGroups, {});
  const auto clinical = ClinicalGeometryTables(*parallel, 100);
  const CurveTableRow point = MeasureCurveSet(*clinical, 8, &statistics, parallel.get());
  EXPECT_EQ(point.seed, 0);
  EXPECT_FALSE(point.measured);
  const std::vector<double> pdd = ClinicalPercentDepthDose(*parallel, 8, 100);
  EXPECT_NEAR(*std::max_element(pdd.begin() + 1, pdd.end()), 100, 0.5);
  EXPECT_THROW(ClinicalGeometryTables(*parallel, 0), std::invalid_argument);
  EXPECT_THROW(ClinicalGeometryTables(*parallel, std::nan("")), std::invalid_argument);
}

// The values at a phantom's interfaces from curves of known answers: a lung slab's dose
// falls from 90 % to 60 % and builds up again linearly over 2 cm below it; water is flat at
// 90 %. Before, inside, beyond and the depth back at 95 % of water follow by hand.
namespace interfaces {

// A curve of `dose(z)` at the bins' centres, of every field, under a flat kerma of 1.
std::unique_ptr<ResultTables> TablesOf(const std::function<double(double)>& dose) {
  auto t = std::make_unique<ResultTables>();
  for (int i = 1; i <= kDepthBins; ++i) {
    t->Kerma[i] = 1;
    for (int f = 1; f <= kFieldColumns; ++f)
      t->DoseTable[kTotalDose][f][i] = dose(DepthBinCentreCm(i));
  }
  return t;
}

double Lung(double z, double bottom = 13) {
  if (z < 3) return 0.9;
  if (z < bottom) return 0.6;
  return std::min(0.9, 0.6 + 0.15 * (z - bottom));
}

// Groups of `tables`' curves, each bin scattered by a relative `noise` over the groups; the
// tables become their mean, as a run's are.
std::unique_ptr<RunStatistics> GroupsOf(ResultTables& tables, double noise, unsigned seed,
                                        std::int64_t histories = 1000000) {
  auto s = std::make_unique<RunStatistics>();
  s->histories = histories;
  s->group.resize(static_cast<std::size_t>(s->groups));
  std::mt19937 random(seed);
  std::normal_distribution<double> normal(0, noise);
  for (int i = 1; i <= kDepthBins; ++i) {
    double sum = 0;
    for (auto& g : s->group) {
      g[RunStatistics::kKerma][i] = 1;
      const double d = tables.DoseTable[kTotalDose][8][i] * (1 + normal(random));
      for (int f = 1; f <= kFieldColumns; ++f) g[f][i] = d;
      sum += d / s->groups;
    }
    for (int f = 1; f <= kFieldColumns; ++f) tables.DoseTable[kTotalDose][f][i] = sum;
  }
  return s;
}

TEST(PhantomInterfacesTest, ValuesOfCurvesWithKnownAnswers) {
  const auto water = TablesOf([](double) { return 0.9; });
  const struct {
    const char* what;
    const char* layers;
    std::function<double(double)> dose;
    bool with_water;
    double before, inside, beyond, rebuild;  // -1: none
    SlabValues::Rebuild state;
    const char* rebuild_text;  // part of its English cell
  } cases[] = {
      {"lung slab", "water 3\nlung 10\n", [](double z) { return Lung(z); }, true, 90, 60, 62.25,
       14.7, SlabValues::Rebuild::kFound, "14.70 cm"},
      {"no water run", "water 3\nlung 10\n", [](double z) { return Lung(z); }, false, 90, 60, 62.25,
       -1, SlabValues::Rebuild::kNoWaterRun, "needs a water run of 10 MV"},
      {"never back", "water 3\nlung 10\n", [](double z) { return z < 3 ? 0.9 : 0.6; }, true, 90, 60,
       60, -1, SlabValues::Rebuild::kNotReached, "not within 30 cm"},
      {"at the phantom's bottom", "water 3\nlung 27\n", [](double z) { return Lung(z, 30); }, true,
       90, 60, -1, -1, SlabValues::Rebuild::kNone, "—"},
      {"a bolus has no dose before it", "bolus 1\n",
       [](double z) { return z < 1 ? 0.5 + 0.4 * z : 0.9; }, true, -1, 56, 90, 1,
       SlabValues::Rebuild::kAtInterface, "at the interface"},
  };
  for (const auto& c : cases) {
    const auto tables = TablesOf(c.dose);
    const InterfaceValues v = MeasureInterfaces(ParsePhantom(c.layers, "test"), *tables, 8, nullptr,
                                                c.with_water ? water.get() : nullptr, nullptr);
    ASSERT_EQ(v.slabs.size(), 1u) << c.what;
    const SlabValues& slab = v.slabs[0];
    EXPECT_FALSE(v.measured || v.too_few) << c.what;
    EXPECT_NEAR(slab.before.value, c.before, 1e-9) << c.what;
    EXPECT_NEAR(slab.inside.value, c.inside, 1e-9) << c.what;
    EXPECT_NEAR(slab.beyond.value, c.beyond, 1e-9) << c.what;
    EXPECT_EQ(slab.rebuild, c.state) << c.what;
    if (c.rebuild >= 0) EXPECT_NEAR(slab.rebuild_cm.value, c.rebuild, 1e-9) << c.what;
    // Without the run's groups no uncertainty is claimed.
    for (const ValueWithSigma* value : {&slab.before, &slab.inside, &slab.beyond, &slab.rebuild_cm})
      EXPECT_LT(value->sigma, 0) << c.what;
    const std::vector<SlabValueCells> cells = InterfaceValueText(v, "10 MV", true);
    EXPECT_NE(cells[0].rebuild.find(c.rebuild_text), std::string::npos)
        << c.what << ": " << cells[0].rebuild;
    EXPECT_EQ(cells[0].before, c.before < 0 ? "—" : "90.0 %") << c.what;
  }
  // A run too short to measure its noise says so, in every cell.
  auto tables = TablesOf([](double z) { return Lung(z); });
  const auto few = GroupsOf(*tables, 0.01, 1, kFewestMeasuredHistories - 1);
  const InterfaceValues v = MeasureInterfaces(ParsePhantom("water 3\nlung 10\n", "test"), *tables,
                                              8, few.get(), water.get(), nullptr);
  EXPECT_TRUE(v.too_few);
  for (const SlabValueCells& cells : InterfaceValueText(v, "10 MV", true))
    EXPECT_EQ(cells.inside, "too few photons");
}

// Over repeated noisy runs the measured uncertainties match the spread of the values they
// belong to, the re-build-up depth's included, else the table's "±" misleads.
TEST(PhantomInterfacesTest, UncertaintiesMatchTheSpreadOverRepeatedRuns) {
  constexpr int kRepeats = 60;
  const Phantom lung = ParsePhantom("water 3\nlung 10\n", "test");
  const auto water = TablesOf([](double) { return 0.9; });
  std::vector<double> before, rebuild;
  double before_sigma = 0, rebuild_sigma = 0;
  for (int r = 0; r < kRepeats; ++r) {
    auto tables = TablesOf([](double z) { return Lung(z); });
    const auto groups = GroupsOf(*tables, 0.08, 100 + r);
    const InterfaceValues v =
        MeasureInterfaces(lung, *tables, 8, groups.get(), water.get(), nullptr);
    ASSERT_TRUE(v.measured);
    ASSERT_EQ(v.slabs[0].rebuild, SlabValues::Rebuild::kFound);
    before.push_back(v.slabs[0].before.value);
    rebuild.push_back(v.slabs[0].rebuild_cm.value);
    before_sigma += v.slabs[0].before.sigma / kRepeats;
    rebuild_sigma += v.slabs[0].rebuild_cm.sigma / kRepeats;
  }
  const auto spread = [](const std::vector<double>& v) {
    double mean = 0, sq = 0;
    for (double x : v) mean += x / v.size();
    for (double x : v) sq += (x - mean) * (x - mean) / (v.size() - 1);
    return std::sqrt(sq);
  };
  EXPECT_GT(before_sigma, 0.7 * spread(before));
  EXPECT_LT(before_sigma, 1.4 * spread(before));
  EXPECT_GT(rebuild_sigma, 0.6 * spread(rebuild));
  EXPECT_LT(rebuild_sigma, 1.6 * spread(rebuild));
}

}  // namespace interfaces

}  // namespace
}  // namespace dosavia
