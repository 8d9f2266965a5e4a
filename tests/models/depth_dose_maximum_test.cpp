// The smoothing and the depth of maximum dose shared by the program's depth-dose curves: the
// running mean keeps each mean on its own bin, and the explanation figures' maximum is the
// value table's.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "models/curve_metrics.h"
#include "models/figure_models.h"

namespace dosavia {
namespace {

// Each case: values, half width, the running mean expected.
TEST(RunningMean, StaysCentredOnEachBin) {
  const struct {
    const char* name;
    std::vector<double> values;
    int half_width;
    std::vector<double> mean;
  } cases[] = {
      // A straight slope stays itself, the end bins too: one-sided means would pull the first
      // bins of a build-up up and the last ones down.
      {"slope", {1, 2, 3, 4, 5, 6}, 2, {1, 2, 3, 4, 5, 6}},
      {"spike spreads evenly", {0, 0, 0, 6, 0, 0, 0}, 1, {0, 0, 2, 2, 2, 0, 0}},
      {"half width 0 changes nothing", {3, 1, 2}, 0, {3, 1, 2}},
      {"wider than the curve", {2, 4, 9}, 5, {2, 5, 9}},
      {"empty", {}, 3, {}},
  };
  for (const auto& c : cases) {
    const std::vector<double> mean = RunningMean(c.values, c.half_width);
    ASSERT_EQ(mean.size(), c.mean.size()) << c.name;
    for (std::size_t i = 0; i < mean.size(); ++i) EXPECT_DOUBLE_EQ(mean[i], c.mean[i]) << c.name;
  }
}

// Curves on the engine's 0.1 cm grid as the figures store them (bin i at 0.1 i + 0.05 cm):
// the maximum lies where the analytic one does, and the tissue-maximum ratio is 1 there.
TEST(CurveMaximum, FindsTheBuildUpPeakOfStoredCurves) {
  for (const auto& [a, mu] : {std::pair{4.0, 0.06}, {1.5, 0.05}, {0.7, 0.035}}) {
    DepthDoseCurves curves;
    for (int i = 0; i < 300; ++i) {
      const double z = 0.1 * i + 0.05;
      curves.depth_cm.push_back(z);
      curves.dose[0].push_back((1 - std::exp(-a * z)) * std::exp(-mu * z));
    }
    const double d_max = std::log((a + mu) / mu) / a;
    const DoseMaximum top = CurveMaximum(curves.dose[0]);
    EXPECT_NEAR(top.depth_cm, d_max, 0.02) << "a = " << a;
    const std::vector<double> tmr = TissueMaximumRatio(curves, 0);
    const auto peak = static_cast<std::size_t>(std::lround((d_max - 0.05) / 0.1));
    EXPECT_NEAR(tmr[peak], 1.0, 1e-3) << "a = " << a;
  }
  EXPECT_TRUE(TissueMaximumRatio(DepthDoseCurves{}, 3).empty());
}

}  // namespace
}  // namespace dosavia
