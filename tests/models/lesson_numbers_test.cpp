// The numbers the English lesson sheets, the switches' guide and the explanation pages give
// as the program's answers, computed again: runs of several seeds for each beam, measured as the
// screens measure them, and each stated number within three standard uncertainties of the
// runs' mean (the uncertainties each run measured from its history groups) and the rounding
// of the text. A text whose numbers drift from what the program computes fails here.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/block_run.h"
#include "engine/conditions_file.h"
#include "engine/field_superposition.h"
#include "engine/history_groups.h"
#include "engine/run_statistics.h"
#include "models/curve_table.h"
#include "models/figure_models.h"
#include "seeded_runs.h"

namespace dosavia {
namespace {

constexpr int kSeeds = 4;
const std::string kPhotons = "2.00E+05";
// Seeds of the visual screen's answers: each is the mean and spread of 16 runs in the
// sheet; 8 runs check them within their own statistics at a tolerable cost.
constexpr int kVisualSeeds = 8;
constexpr long long kVisualPhotons = 100000;

// A text of the source tree with its lines joined: lines are broken anywhere in a sentence.
std::string SourceText(const std::string& path) {
  std::ifstream in(std::string(DOSAVIA_SOURCE_DIR) + "/" + path);
  std::stringstream text;
  text << in.rdbuf();
  return std::regex_replace(text.str(), std::regex("\\s+"), " ");
}

// A number as a text states it: its value and the rounding of its last decimal.
struct Stated {
  double value = 0;
  double rounding = 0;
  std::string text;  // as written
};

// The numbers of the first match of `pattern` (its groups), or none.
std::vector<Stated> StatedIn(const std::string& text, const std::string& pattern) {
  std::smatch m;
  std::vector<Stated> values;
  if (!std::regex_search(text, m, std::regex(pattern))) return values;
  for (std::size_t i = 1; i < m.size(); ++i) {
    const std::string number = m[i].str();
    const std::size_t point = number.find('.');
    const int decimals =
        point == std::string::npos ? 0 : static_cast<int>(number.size() - point - 1);
    values.push_back({std::stod(number), 0.5 * std::pow(10.0, -decimals), number});
  }
  return values;
}

// One value over the seeds: the mean and the standard uncertainty of the mean.
struct Mean {
  double value = 0;
  double u = 0;
};

// The mean of `values` with the uncertainties `sigmas` each run stated for itself.
Mean MeanOf(const std::vector<double>& values, const std::vector<double>& sigmas) {
  Mean m;
  const double n = static_cast<double>(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    m.value += values[i] / n;
    m.u += sigmas[i] * sigmas[i];
  }
  m.u = std::sqrt(m.u) / n;
  return m;
}

// Runs `energy` MV with seeds 1..kSeeds and gives, per field column asked, the mean d_max
// and (of the 10 x 10 cm field) TPR20,10; with `ssd_cm`, d_max of the same curves in the
// clinical geometry too.
struct BeamRuns {
  std::vector<Mean> dmax;      // by the order of `fields`
  std::vector<Mean> clinical;  // the same at `ssd_cm`
  Mean tpr;
  double tpr_run_sigma = 0;  // a single run's TPR20,10 uncertainty, the runs' mean
};
BeamRuns MeasureBeam(int energy, const std::vector<int>& fields, const PhysicsSwitches& physics,
                     double ssd_cm) {
  const std::size_t n = fields.size() * (ssd_cm > 0 ? 2 : 1);
  std::vector<std::vector<double>> dmax(n), dmax_u(n);
  std::vector<double> tpr, tpr_u;
  for (RunSeed seed = 1; seed <= kSeeds; ++seed) {
    const std::vector<CurveTableRow> rows =
        EngineRun(energy, kPhotons, seed, fields, physics, ssd_cm);
    for (std::size_t i = 0; i < n; ++i) {
      dmax[i].push_back(rows[i].dmax_cm);
      dmax_u[i].push_back(rows[i].dmax_sigma_cm);
    }
    tpr.push_back(rows[0].tpr2010);
    tpr_u.push_back(rows[0].tpr2010_sigma);
  }
  BeamRuns out;
  for (std::size_t i = 0; i < n; ++i)
    (i < fields.size() ? out.dmax : out.clinical).push_back(MeanOf(dmax[i], dmax_u[i]));
  out.tpr = MeanOf(tpr, tpr_u);
  for (const double u : tpr_u) out.tpr_run_sigma += u / static_cast<double>(tpr_u.size());
  return out;
}

// The same runs, made once for all the tests that read them.
const BeamRuns& RunBeam(int energy, const std::vector<int>& fields,
                        const PhysicsSwitches& physics = {}, double ssd_cm = 0) {
  static std::map<std::string, BeamRuns> made;
  std::ostringstream key;
  key << energy << ' ' << ssd_cm << ' ' << physics.multiple_scattering << physics.photon_scatter
      << physics.accurate_transport;
  for (const int f : fields) key << ' ' << f;
  const auto found = made.find(key.str());
  if (found != made.end()) return found->second;
  return made.emplace(key.str(), MeasureBeam(energy, fields, physics, ssd_cm)).first->second;
}

// The Japanese sheet states each of the English sheet's numbers too, as written there.
void ExpectInJapaneseSheet(const std::vector<Stated>& numbers, const std::string& what,
                           const std::string& sheet = "docs/lesson_buildup_ja.md") {
  const std::string japanese = SourceText(sheet);
  for (const Stated& n : numbers)
    EXPECT_NE(japanese.find(n.text), std::string::npos)
        << what << ": the Japanese sheet lacks " << n.text;
}

// `stated` agrees with the runs' mean within three of its standard uncertainties and the
// rounding of the text.
void ExpectAgrees(const Stated& stated, const Mean& runs, const std::string& what) {
  EXPECT_NEAR(stated.value, runs.value, 3 * runs.u + stated.rounding)
      << what << ": the text says " << stated.value << ", the runs give " << runs.value << " ± "
      << runs.u;
}

TEST(LessonNumbersTest, TheSheetsEngineAnswersAreWhatTheEngineComputes) {
  const std::string sheet = SourceText("docs/lesson_buildup_en.md");
  const std::vector<Stated> dmax =
      StatedIn(sheet,
               "engine's means of the 10 × 10 cm field over many seeds: ([0-9.]+), ([0-9.]+), "
               "([0-9.]+) and ([0-9.]+) cm");
  const std::vector<Stated> tpr = StatedIn(
      sheet,
      "Expected:\\* ([0-9.]+), ([0-9.]+), ([0-9.]+) and ([0-9.]+) \\(means over many seeds\\)");
  const std::vector<Stated> fields =
      StatedIn(sheet,
               "With all physics the engine gives 10 MV d_max ([0-9.]+), ([0-9.]+), ([0-9.]+) and "
               "([0-9.]+) cm for 1×1, 4×4, 10×10 and 20×20 cm; with scattered photons switched off "
               "([0-9.]+), ([0-9.]+), ([0-9.]+) and ([0-9.]+) cm. About ([0-9]+) % of the shift");
  const std::vector<Stated> clinical = StatedIn(
      sheet,
      "10 × 10 cm d_max from ([0-9.]+), ([0-9.]+), ([0-9.]+) and ([0-9.]+) cm to ([0-9.]+), "
      "([0-9.]+), ([0-9.]+) and ([0-9.]+) cm \\(4, 6, 10, 15 MV\\)");
  // What a group's run of the links' 10^6 photons lies from another group's seed.
  const std::vector<Stated> spread =
      StatedIn(sheet, "one run of 10⁶ photons scatters by about ±([0-9.]+) from seed to seed");
  ASSERT_EQ(spread.size(), 1u) << "the sheet no longer states the spread between the groups' seeds";
  ExpectInJapaneseSheet(spread, "spread over seeds");
  ASSERT_EQ(dmax.size(), 4u) << "the sheet no longer states the engine's d_max of the four beams";
  ASSERT_EQ(tpr.size(), 4u) << "the sheet no longer states TPR20,10 of the four beams";
  ASSERT_EQ(fields.size(), 9u) << "the sheet no longer states the field sizes' d_max";
  ASSERT_EQ(clinical.size(), 8u) << "the sheet no longer states d_max at SSD 100";
  for (const auto* numbers : {&dmax, &tpr, &fields, &clinical})
    ExpectInJapaneseSheet(*numbers, "engine answers");

  const int energies[] = {4, 6, 10, 15};
  // Field columns 8 (10 x 10) first, then 1 (1 x 1), 4 (4 x 4) and 10 (20 x 20).
  const std::vector<int> columns = {8, 1, 4, 10};
  BeamRuns ten;
  double run_sigma = 0;  // of 10^6 photons, from the runs' own uncertainties at kPhotons
  for (int e = 0; e < 4; ++e) {
    const BeamRuns& runs =
        RunBeam(energies[e], energies[e] == 10 ? columns : std::vector<int>{8}, {}, 100);
    const std::string beam = std::to_string(energies[e]) + " MV";
    ExpectAgrees(dmax[e], runs.dmax[0], beam + " 10 × 10 d_max");
    ExpectAgrees(clinical[e], runs.dmax[0], beam + " 10 × 10 d_max (parallel beam)");
    ExpectAgrees(tpr[e], runs.tpr, beam + " TPR20,10");
    ExpectAgrees(clinical[4 + e], runs.clinical[0], beam + " 10 × 10 d_max at SSD 100");
    if (energies[e] == 10) ten = runs;
    run_sigma += runs.tpr_run_sigma * std::sqrt(std::stod(kPhotons) / 1e6) / 4;
  }
  // "About": within a quarter, the groups' uncertainties being measured from 16 groups each.
  EXPECT_NEAR(spread[0].value, run_sigma, 0.25 * run_sigma + spread[0].rounding)
      << "one run's TPR20,10 spread at 10^6 photons: the sheet says " << spread[0].text
      << ", the runs give " << run_sigma;
  ExpectAgrees(fields[0], ten.dmax[1], "10 MV 1 × 1 d_max");
  ExpectAgrees(fields[1], ten.dmax[2], "10 MV 4 × 4 d_max");
  ExpectAgrees(fields[2], ten.dmax[0], "10 MV 10 × 10 d_max");
  ExpectAgrees(fields[3], ten.dmax[3], "10 MV 20 × 20 d_max");
  PhysicsSwitches no_scatter;
  no_scatter.photon_scatter = false;
  const BeamRuns& primary = RunBeam(10, columns, no_scatter);
  ExpectAgrees(fields[4], primary.dmax[1], "10 MV 1 × 1 d_max without scattered photons");
  ExpectAgrees(fields[5], primary.dmax[2], "10 MV 4 × 4 d_max without scattered photons");
  ExpectAgrees(fields[6], primary.dmax[0], "10 MV 10 × 10 d_max without scattered photons");
  ExpectAgrees(fields[7], primary.dmax[3], "10 MV 20 × 20 d_max without scattered photons");
  // Scatter's share of the shift from 1 x 1 to 10 x 10 cm, "about" to the nearest ten.
  const double all = ten.dmax[0].value - ten.dmax[1].value;
  const double without = primary.dmax[0].value - primary.dmax[1].value;
  const double u = std::hypot(std::hypot(ten.dmax[0].u, ten.dmax[1].u),
                              std::hypot(primary.dmax[0].u, primary.dmax[1].u));
  ExpectAgrees({fields[8].value, 5, fields[8].text}, {100 * (all - without) / all, 100 * u / all},
               "scatter's share of the 10 MV field-size shift [%]");
}

// The visual screen's answers of the sheet: each mean and run-to-run spread of 16 runs of
// 10^5 photons, against kVisualSeeds runs: the mean within three of its standard errors, the
// spread within what so few runs allow (their SD scatters by a quarter).
TEST(LessonNumbersTest, TheSheetsVisualAnswersAreWhatTheVisualScreenReads) {
  const std::string sheet = SourceText("docs/lesson_buildup_en.md");
  const std::vector<Stated> energies =
      StatedIn(sheet,
               "of 16 runs: 4 MV ([0-9.]+) ± ([0-9.]+) cm, 6 MV ([0-9.]+) ± ([0-9.]+) cm, 10 MV "
               "([0-9.]+) ± ([0-9.]+) cm, 15 MV ([0-9.]+) ± ([0-9.]+) cm");
  const std::vector<Stated> fields = StatedIn(
      sheet, "\\(16 runs\\): 1×1 ([0-9.]+) ± ([0-9.]+) cm, 10×10 ([0-9.]+) ± ([0-9.]+) cm");
  ASSERT_EQ(energies.size(), 8u) << "the sheet no longer states the visual d_max of four beams";
  ASSERT_EQ(fields.size(), 4u) << "the sheet no longer states the visual d_max of two fields";
  ExpectInJapaneseSheet(energies, "visual answers");
  ExpectInJapaneseSheet(fields, "visual answers");
  const struct {
    int energy;
    double field_cm;
    Stated mean, spread;
  } cases[] = {{4, 10, energies[0], energies[1]},  {6, 10, energies[2], energies[3]},
               {10, 10, energies[4], energies[5]}, {15, 10, energies[6], energies[7]},
               {10, 1, fields[0], fields[1]},      {10, 10, fields[2], fields[3]}};
  for (const auto& c : cases) {
    const std::string beam =
        std::to_string(c.energy) + " MV " + std::to_string(static_cast<int>(c.field_cm)) + " cm";
    std::vector<double> dmax;
    for (int seed = 1001; seed < 1001 + kVisualSeeds; ++seed) {
      const VisualRun run = VisualSeries(c.energy, c.field_cm, kVisualPhotons, seed);
      ASSERT_TRUE(run.reading.dmax_shown) << beam << ", seed " << seed;
      dmax.push_back(run.curve.d_max_cm);
    }
    double mean = 0, squares = 0;
    for (double d : dmax) mean += d / kVisualSeeds;
    for (double d : dmax) squares += (d - mean) * (d - mean) / (kVisualSeeds - 1);
    const double spread = std::sqrt(squares);
    ExpectAgrees(c.mean, {mean, c.spread.value / std::sqrt(double{kVisualSeeds})}, beam + " mean");
    EXPECT_GT(spread, 0.45 * c.spread.value - c.spread.rounding) << beam << " spread";
    EXPECT_LT(spread, 1.75 * c.spread.value + c.spread.rounding) << beam << " spread";
  }
}

// The switch experiments' numbers of the guide and page 5: without multiple scattering the
// 10 MV build-up deepens; page 4's field sizes with and without scattered photons.
TEST(LessonNumbersTest, TheSwitchNumbersOfTheTextsAreWhatTheEngineComputes) {
  const std::string guide = SourceText("docs/physics_switches.md");
  const std::string pages = SourceText("models/page_texts.cpp");
  const std::vector<Stated> moves = StatedIn(guide, "d_max moves from ([0-9.]+) to ([0-9.]+) cm");
  const std::vector<Stated> page5 = StatedIn(pages, "10×10 cm で d_max ([0-9.]+)→([0-9.]+) cm");
  const std::vector<Stated> page4 =
      StatedIn(pages,
               "1×1 cm で ([0-9.]+) cm、10×10 cm で ([0-9.]+) cm、.*?切ると ([0-9.]+) cm と "
               "([0-9.]+) cm");
  ASSERT_EQ(moves.size(), 2u);
  ASSERT_EQ(page5.size(), 2u);
  ASSERT_EQ(page4.size(), 4u);
  PhysicsSwitches straight;
  straight.multiple_scattering = false;
  const std::vector<int> columns = {8, 1, 4, 10};
  const Mean all = RunBeam(10, columns, {}, 100).dmax[0];
  const Mean without = RunBeam(10, {8}, straight).dmax[0];
  for (const auto* stated : {&moves, &page5}) {
    ExpectAgrees((*stated)[0], all, "10 MV d_max");
    ExpectAgrees((*stated)[1], without, "10 MV d_max without multiple scattering");
  }
  PhysicsSwitches no_scatter;
  no_scatter.photon_scatter = false;
  const BeamRuns& fields = RunBeam(10, columns, {}, 100);
  const BeamRuns& primary = RunBeam(10, columns, no_scatter);
  ExpectAgrees(page4[0], fields.dmax[1], "page 4: 10 MV 1 × 1 d_max");
  ExpectAgrees(page4[1], fields.dmax[0], "page 4: 10 MV 10 × 10 d_max");
  ExpectAgrees(page4[2], primary.dmax[1], "page 4: 1 × 1 d_max without scattered photons");
  ExpectAgrees(page4[3], primary.dmax[0], "page 4: 10 × 10 d_max without scattered photons");
}

// What the sheets and page 5 say the accurate transport changes: the 15 MV d_max of the
// 10 x 10 cm field, exact and accurate.
TEST(LessonNumbersTest, TheAccurateTransportNumbersAreWhatTheEngineComputes) {
  const std::string sheet = SourceText("docs/lesson_buildup_en.md");
  const std::string pages = SourceText("models/page_texts.cpp");
  const std::vector<Stated> moves =
      StatedIn(sheet,
               "accurate transport moves the 15 MV d_max of the 10 × 10 cm field from ([0-9.]+) to "
               "([0-9.]+) cm");
  const std::vector<Stated> page5 = StatedIn(pages, "15 MV の d_max ([0-9.]+)→([0-9.]+) cm");
  ASSERT_EQ(moves.size(), 2u) << "the sheet no longer states what the accurate transport moves";
  ASSERT_EQ(page5.size(), 2u) << "page 5 no longer states what the accurate transport moves";
  ExpectInJapaneseSheet(moves, "accurate transport");
  PhysicsSwitches accurate;
  accurate.accurate_transport = true;
  const Mean exact = RunBeam(15, {8}, {}, 100).dmax[0];
  const Mean precise = RunBeam(15, {8}, accurate).dmax[0];
  for (const auto* stated : {&moves, &page5}) {
    ExpectAgrees((*stated)[0], exact, "15 MV d_max, exact transport");
    ExpectAgrees((*stated)[1], precise, "15 MV d_max, accurate transport");
  }
}

// The table says "no build-up" for a curve that starts at its maximum (no electron
// transport), and gives a d_max for the full physics, from the run's own statistics.
TEST(LessonNumbersTest, NoBuildUpIsSaidOnlyWithoutElectronTransport) {
  PhysicsSwitches no_electrons;
  no_electrons.electron_transport = false;
  const struct {
    PhysicsSwitches physics;
    BuildUp build_up;
    const char* word;
  } cases[] = {{{}, BuildUp::kYes, "yes"}, {no_electrons, BuildUp::kNone, "none"}};
  for (const auto& c : cases) {
    const CurveTableRow row = EngineRun(10, "5.00E+04", 3, {8}, c.physics)[0];
    EXPECT_EQ(row.build_up, c.build_up) << "surface " << row.surface_percent << " %";
    const std::vector<TableTsvRow> rows = {{"r.data", "10 MV", 8, row}};
    const std::string tsv = CurveTableTsv(rows);
    EXPECT_NE(tsv.find(std::string("\t") + c.word + "\t"), std::string::npos) << tsv;
    // The statistics record the transport and the phantom: an exact run in water says so in
    // the last two columns.
    EXPECT_EQ(tsv.substr(tsv.size() - 13), "\texact\twater\n") << tsv;
    // Without a build-up no d_max is written, in the table's cell or the TSV's column.
    if (c.build_up == BuildUp::kNone) {
      EXPECT_EQ(CurveTableText(row, true).dmax, "at the surface: no build-up");
      EXPECT_NE(tsv.find("\t10\t\t\t"), std::string::npos) << tsv;
    }
  }
}

// The interfaces page and lesson: doses through the slab phantoms against water's, as a class
// reads them off two curves of the engine screen. Seeds 1..kPhantomSeeds of kPhantomPhotons
// photons, as the sheet states them; each stated mean within three standard errors of the
// seeds' mean and its rounding, each stated run-to-run spread within what four runs allow.
constexpr int kPhantomSeeds = 4;
const std::string kPhantomPhotons = "2.00E+05";

// The field columns of the 1 x 1 and 10 x 10 cm fields.
constexpr int kColumn1 = 0;
constexpr int kColumn10 = 7;

// The mean of the bins whose centres lie from `from_cm` to `to_cm`.
double WindowMean(const std::vector<double>& dose, double from_cm, double to_cm) {
  double sum = 0;
  int n = 0;
  for (int j = 1; j <= kSlabs; ++j)
    if (DepthBinCentreCm(j) > from_cm - 1e-6 && DepthBinCentreCm(j) < to_cm + 1e-6) {
      sum += dose[static_cast<std::size_t>(j - 1)];
      ++n;
    }
  return sum / n;
}

// The runs of one phantom at one energy, made once for all the tests that read them.
const std::array<std::vector<double>, kFields>& PhantomCurves(const std::string& phantom,
                                                              int energy, int seed) {
  static std::map<std::string, std::array<std::vector<double>, kFields>> made;
  const std::string key = phantom + " " + std::to_string(energy) + " " + std::to_string(seed);
  const auto found = made.find(key);
  if (found != made.end()) return found->second;
  return made.emplace(key, PhantomRun(energy, kPhantomPhotons, static_cast<RunSeed>(seed), phantom))
      .first->second;
}

// A quantity over the seeds: its mean, the standard error of the mean and the run-to-run
// standard deviation.
struct SeedSpread {
  double mean = 0, u = 0, sd = 0;
};

// What the sheet asks the class to read: in per cent, the mean dose of a depth window in the
// phantom over the same window of water (a ratio of two curves), or over water's maximum.
struct InterfaceReading {
  std::string phantom;
  int energy;
  int column;
  double from_cm, to_cm;
  bool of_maximum = false;  // true: per cent of water's maximum (the skin under a bolus)
};

SeedSpread Read(const InterfaceReading& r) {
  std::vector<double> values;
  for (int seed = 1; seed <= kPhantomSeeds; ++seed) {
    const auto& dose = PhantomCurves(r.phantom, r.energy, seed)[r.column];
    const auto& water = PhantomCurves("water", r.energy, seed)[r.column];
    const double reference =
        r.of_maximum ? CurveMaximum(water).dose : WindowMean(water, r.from_cm, r.to_cm);
    values.push_back(100 * WindowMean(dose, r.from_cm, r.to_cm) / reference);
  }
  SeedSpread s;
  for (double v : values) s.mean += v / kPhantomSeeds;
  for (double v : values) s.sd += (v - s.mean) * (v - s.mean) / (kPhantomSeeds - 1);
  s.sd = std::sqrt(s.sd);
  s.u = s.sd / std::sqrt(double{kPhantomSeeds});
  return s;
}

// Each stated reading (mean, and the spread where the text gives one) against the runs.
void ExpectReadings(const std::vector<Stated>& stated, const std::vector<InterfaceReading>& reads,
                    bool with_spread, const std::string& where) {
  // What the runs give is said first, so that a text that lost its sentence can be mended.
  std::vector<SeedSpread> runs;
  std::vector<std::string> whats;
  for (const InterfaceReading& r : reads) {
    std::ostringstream what;
    what << where << ": " << r.phantom << " " << r.energy << " MV, column " << r.column << ", "
         << r.from_cm << "-" << r.to_cm << " cm";
    runs.push_back(Read(r));
    whats.push_back(what.str());
    std::printf("%s: %.1f %% ± %.1f (run-to-run SD %.1f)\n", whats.back().c_str(), runs.back().mean,
                runs.back().u, runs.back().sd);
  }
  ASSERT_EQ(stated.size(), reads.size() * (with_spread ? 2 : 1)) << where;
  for (std::size_t i = 0; i < reads.size(); ++i) {
    const std::string& what = whats[i];
    const SeedSpread& s = runs[i];
    const Stated& mean = stated[with_spread ? 2 * i : i];
    ExpectAgrees(mean, {s.mean, s.u}, what);
    if (!with_spread) continue;
    const Stated& spread = stated[2 * i + 1];
    EXPECT_GT(s.sd, 0.4 * spread.value - spread.rounding) << what << " spread";
    EXPECT_LT(s.sd, 2.0 * spread.value + spread.rounding) << what << " spread";
  }
}

// The lesson's readings, in the order of its sentences; the page states the same means.
const std::vector<InterfaceReading> kLungReadings = {
    {"lung", 15, kColumn1, 6, 10}, {"lung", 15, kColumn10, 6, 10},     {"lung", 6, kColumn1, 6, 10},
    {"lung", 6, kColumn10, 6, 10}, {"lung", 15, kColumn1, 13.0, 13.3},
};
const std::vector<InterfaceReading> kAirReadings = {
    {"air", 15, kColumn10, 5.0, 5.3},
    {"air", 15, kColumn1, 5.0, 5.3},
};
const std::vector<InterfaceReading> kBoneBolusReadings = {
    {"bone", 6, kColumn10, 2.5, 3.5},
    {"bone", 6, kColumn10, 5, 8},
    {"water", 6, kColumn10, 0, 0.1, true},
    {"bolus", 6, kColumn10, 1.0, 1.1, true},
};

TEST(LessonNumbersTest, TheLungNumbersOfTheInterfacesLessonAreWhatTheEngineComputes) {
  const std::string sheet = SourceText("docs/lesson_interfaces_en.md");
  // A spread is a whole or decimal number; the full stop that ends its sentence is not its.
  const std::string u = "([0-9]+(?:\\.[0-9]+)?)";
  const std::vector<Stated> stated = StatedIn(
      sheet,
      "Expected:\\* in the lung \\(6–10 cm\\), in per cent of water at the same depth: 15 MV "
      "1×1 ([0-9]+) ± " +
          u + ", 10×10 ([0-9]+) ± " + u + "; 6 MV 1×1 ([0-9]+) ± " + u + ", 10×10 ([0-9]+) ± " + u +
          ". Just beyond the lung \\(13.0–13.3 cm\\), 15 MV 1×1: "
          "([0-9]+) ± " +
          u);
  ExpectInJapaneseSheet(stated, "lung readings", "docs/lesson_interfaces_ja.md");
  ExpectReadings(stated, kLungReadings, true, "lesson, lung");
  const std::vector<Stated> page = StatedIn(
      SourceText("models/page_texts.cpp"),
      "肺の中（深さ 6〜10 cm）の線量は、.*?同じ深さの水の ([0-9]+) %.*?10×10 cm では ([0-9]+) "
      "%.*?6 MV では 1×1 cm で ([0-9]+) %、10×10 cm で ([0-9]+) %.*?肺のすぐ奥（13.0〜13.3 cm）"
      "で水の ([0-9]+) %");
  ExpectReadings(page, kLungReadings, false, "page 6, lung");
}

TEST(LessonNumbersTest, TheAirGapNumbersOfTheInterfacesLessonAreWhatTheEngineComputes) {
  const std::string sheet = SourceText("docs/lesson_interfaces_en.md");
  const std::vector<Stated> stated =
      StatedIn(sheet,
               "Expected:\\* just beyond the air gap \\(5.0–5.3 cm\\), in per cent of water at the "
               "same depth: 15 MV 10×10 ([0-9]+) ± ([0-9.]+), 1×1 ([0-9]+) ± ([0-9.]+)");
  ExpectInJapaneseSheet(stated, "air gap readings", "docs/lesson_interfaces_ja.md");
  ExpectReadings(stated, kAirReadings, true, "lesson, air gap");
  const std::vector<Stated> page = StatedIn(
      SourceText("models/page_texts.cpp"),
      "空気層の.*?すぐ奥（5.0〜5.3 cm）の線量は、10×10 cm で水の ([0-9]+) %、.*?1×1 cm では "
      "([0-9]+) %");
  ExpectReadings(page, kAirReadings, false, "page 6, air gap");
}

TEST(LessonNumbersTest, TheBoneAndBolusNumbersOfTheInterfacesLessonAreWhatTheEngineComputes) {
  const std::string sheet = SourceText("docs/lesson_interfaces_en.md");
  const std::vector<Stated> stated = StatedIn(
      sheet,
      "Expected:\\* 6 MV, 10×10 cm, in per cent of water at the same depth: in the bone "
      "\\(2.5–3.5 cm\\) ([0-9]+) ± ([0-9.]+), beyond it \\(5–8 cm\\) ([0-9]+) ± ([0-9.]+). The "
      "skin's dose \\(its first millimetre\\) in per cent of water's maximum: without a bolus "
      "([0-9]+) ± ([0-9.]+), under 1 cm of bolus ([0-9]+) ± ([0-9.]+)");
  ExpectInJapaneseSheet(stated, "bone and bolus readings", "docs/lesson_interfaces_ja.md");
  ExpectReadings(stated, kBoneBolusReadings, true, "lesson, bone and bolus");
  const std::vector<Stated> page = StatedIn(
      SourceText("models/page_texts.cpp"),
      "骨の中の線量は同じ深さの水の ([0-9]+) %、骨の奥（5〜8 cm）も ([0-9]+) %.*?皮膚の最初の.*?"
      "1 mm の線量は、水の最大線量の ([0-9]+) % から ([0-9]+) %");
  ExpectReadings(page, kBoneBolusReadings, false, "page 6, bone and bolus");
}

}  // namespace
}  // namespace dosavia
