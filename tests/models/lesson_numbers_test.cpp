// The numbers the English lesson sheet gives as the engine's answers, computed again: runs of
// several seeds for each beam, measured as the value table measures them, and each stated
// number within three standard uncertainties of the runs' mean (the uncertainties each run
// measured from its history groups). A sheet whose numbers drift from what the program
// computes fails here.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
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

namespace dosavia {
namespace {

constexpr int kSeeds = 4;
constexpr float kPhotons = 2.0e5f;

std::string Sheet() {
  std::ifstream in(std::string(DOSAVIA_SOURCE_DIR) + "/docs/lesson_buildup_en.md");
  std::stringstream text;
  text << in.rdbuf();
  // Lines are broken anywhere in a sentence: read it as one.
  return std::regex_replace(text.str(), std::regex("\\s+"), " ");
}

// The numbers of the first match of `pattern` (its groups), or none.
std::vector<double> Stated(const std::string& sheet, const std::string& pattern) {
  std::smatch m;
  std::vector<double> values;
  if (!std::regex_search(sheet, m, std::regex(pattern))) return values;
  for (std::size_t i = 1; i < m.size(); ++i) values.push_back(std::stod(m[i].str()));
  return values;
}

// One value over the seeds: the mean and the standard uncertainty of the mean.
struct Mean {
  double value = 0;
  double u = 0;
};

// Runs `energy` MV with seeds 1..kSeeds and gives, per field column asked, the mean d_max
// and (of the 10 x 10 cm field) TPR20,10.
struct BeamRuns {
  std::vector<Mean> dmax;  // by the order of `fields`
  Mean tpr;
};
BeamRuns RunBeam(int energy, const std::vector<int>& fields, const PhysicsSwitches& physics = {}) {
  const std::string spectrum = std::to_string(energy) + "MV.csv";
  BeamRuns out;
  out.dmax.resize(fields.size());
  for (RunSeed seed = 1; seed <= kSeeds; ++seed) {
    const auto inputs = LoadBlockRunInputs(
        DOSAVIA_DATA_DIR, ConditionsFileText(spectrum, "r.data", "2.00E+05"), physics, seed);
    auto tally = std::make_unique<DoseTally>(
        std::span<const float, kSlabs + 1>(inputs->tables.DepthBinWidth));
    auto growth = std::make_unique<GroupGrowth>();
    const std::int64_t histories = RunBlockStreams(inputs->tables, inputs->spectrum, kPhotons, 2,
                                                   *tally, [](int) {}, physics, seed, growth.get());
    auto field = std::make_unique<FieldDoseTable>();
    Superpose(*tally, *field);
    const NormalisedResults results = Normalise(*tally, *field);
    const std::string text = ResultFileText(results);
    const auto statistics = MakeRunStatistics(GroupCurves(*growth), results.kmax, histories, seed,
                                              physics, ResultChecksum(text));
    const auto tables = ParseResultFile(text, "r.data");
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const CurveTableRow row = MeasureCurveSet(*tables, fields[i], statistics.get());
      out.dmax[i].value += row.dmax_cm / kSeeds;
      out.dmax[i].u += row.dmax_sigma_cm * row.dmax_sigma_cm;
      if (i == 0) {
        out.tpr.value += row.tpr2010 / kSeeds;
        out.tpr.u += row.tpr2010_sigma * row.tpr2010_sigma;
      }
    }
  }
  for (Mean& m : out.dmax) m.u = std::sqrt(m.u) / kSeeds;
  out.tpr.u = std::sqrt(out.tpr.u) / kSeeds;
  return out;
}

// `stated` (given to `decimals` decimals) agrees with the runs' mean within three of its
// standard uncertainties and the rounding of the text.
void ExpectAgrees(double stated, const Mean& runs, int decimals, const std::string& what) {
  const double rounding = 0.5 * std::pow(10.0, -decimals);
  EXPECT_NEAR(stated, runs.value, 3 * runs.u + rounding)
      << what << ": the sheet says " << stated << ", " << kSeeds << " runs give " << runs.value
      << " ± " << runs.u;
}

TEST(LessonNumbersTest, TheSheetsEngineAnswersAreWhatTheEngineComputes) {
  const std::string sheet = Sheet();
  const std::vector<double> dmax = Stated(
      sheet, "engine's means of the 10 × 10 cm field over many seeds: ([0-9.]+), ([0-9.]+), "
             "([0-9.]+) and ([0-9.]+) cm");
  const std::vector<double> tpr =
      Stated(sheet, "Expected:\\* ([0-9.]+), ([0-9.]+), ([0-9.]+) and ([0-9.]+) \\(means over many seeds\\)");
  const std::vector<double> fields = Stated(
      sheet, "With all physics the engine gives 10 MV d_max ([0-9.]+), ([0-9.]+), ([0-9.]+) and "
             "([0-9.]+) cm for 1×1, 4×4, 10×10 and 20×20 cm; with scattered photons switched off "
             "([0-9.]+), ([0-9.]+), ([0-9.]+) and ([0-9.]+) cm");
  ASSERT_EQ(dmax.size(), 4u) << "the sheet no longer states the engine's d_max of the four beams";
  ASSERT_EQ(tpr.size(), 4u) << "the sheet no longer states TPR20,10 of the four beams";
  ASSERT_EQ(fields.size(), 8u) << "the sheet no longer states the field sizes' d_max";

  const int energies[] = {4, 6, 10, 15};
  // Field columns 8 (10 x 10) first, then 1 (1 x 1), 4 (4 x 4) and 10 (20 x 20).
  const std::vector<int> columns = {8, 1, 4, 10};
  for (int e = 0; e < 4; ++e) {
    const BeamRuns runs = RunBeam(energies[e], energies[e] == 10 ? columns : std::vector<int>{8});
    const std::string beam = std::to_string(energies[e]) + " MV";
    ExpectAgrees(dmax[e], runs.dmax[0], 2, beam + " 10 × 10 d_max");
    ExpectAgrees(tpr[e], runs.tpr, 2, beam + " TPR20,10");
    if (energies[e] != 10) continue;
    ExpectAgrees(fields[0], runs.dmax[1], 2, "10 MV 1 × 1 d_max");
    ExpectAgrees(fields[1], runs.dmax[2], 2, "10 MV 4 × 4 d_max");
    ExpectAgrees(fields[2], runs.dmax[0], 2, "10 MV 10 × 10 d_max");
    ExpectAgrees(fields[3], runs.dmax[3], 2, "10 MV 20 × 20 d_max");
  }
  PhysicsSwitches no_scatter;
  no_scatter.photon_scatter = false;
  const BeamRuns primary = RunBeam(10, columns, no_scatter);
  ExpectAgrees(fields[4], primary.dmax[1], 2, "10 MV 1 × 1 d_max without scattered photons");
  ExpectAgrees(fields[5], primary.dmax[2], 2, "10 MV 4 × 4 d_max without scattered photons");
  ExpectAgrees(fields[6], primary.dmax[0], 2, "10 MV 10 × 10 d_max without scattered photons");
  ExpectAgrees(fields[7], primary.dmax[3], 2, "10 MV 20 × 20 d_max without scattered photons");
}

// The table says "no build-up" for a curve that starts at its maximum (no electron
// transport), and gives a d_max for the full physics, from the run's own statistics.
TEST(LessonNumbersTest, NoBuildUpIsSaidOnlyWithoutElectronTransport) {
  PhysicsSwitches no_electrons;
  no_electrons.electron_transport = false;
  const struct {
    PhysicsSwitches physics;
    bool build_up;
  } cases[] = {{{}, true}, {no_electrons, false}};
  for (const auto& c : cases) {
    const auto inputs = LoadBlockRunInputs(
        DOSAVIA_DATA_DIR, ConditionsFileText("10MV.csv", "r.data", "5.00E+04"), c.physics, 3);
    auto tally = std::make_unique<DoseTally>(
        std::span<const float, kSlabs + 1>(inputs->tables.DepthBinWidth));
    auto growth = std::make_unique<GroupGrowth>();
    const std::int64_t histories = RunBlockStreams(inputs->tables, inputs->spectrum, 5.0e4f, 2,
                                                   *tally, [](int) {}, c.physics, 3, growth.get());
    auto field = std::make_unique<FieldDoseTable>();
    Superpose(*tally, *field);
    const NormalisedResults results = Normalise(*tally, *field);
    const std::string text = ResultFileText(results);
    const auto statistics = MakeRunStatistics(GroupCurves(*growth), results.kmax, histories, 3,
                                              c.physics, ResultChecksum(text));
    const CurveTableRow row = MeasureCurveSet(*ParseResultFile(text, "r.data"), 8, statistics.get());
    EXPECT_EQ(row.build_up, c.build_up) << "surface " << row.surface_percent << " %";
    const std::vector<TableTsvRow> rows = {{"r.data", "10 MV", 8, row}};
    const std::string tsv = CurveTableTsv(rows);
    EXPECT_NE(tsv.find(c.build_up ? "\tyes\t" : "\tnone\t"), std::string::npos) << tsv;
    // The statistics record the transport: an exact run's row says so in the last column.
    EXPECT_EQ(tsv.substr(tsv.size() - 7), "\texact\n") << tsv;
    // Without a build-up no d_max is written, in the table's cell or the TSV's column.
    if (!c.build_up) {
      EXPECT_EQ(CurveTableText(row, true).dmax, "at the surface: no build-up");
      EXPECT_NE(tsv.find("\t10\t\t\t"), std::string::npos) << tsv;
    }
  }
}

}  // namespace
}  // namespace dosavia
