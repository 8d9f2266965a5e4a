// The visual run without its drawing, as the desktop program and the browser edition both
// call it: energy accounted for, the mono-energetic beam, and the d_max uncertainty.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "models/dmax_uncertainty.h"
#include "models/visual_batch.h"
#include "models/visual_tracks.h"

namespace dosavia {
namespace {

class VisualBatchTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::filesystem::current_path(DOSAVIA_DATA_DIR);
    simulation_ = new VisualSimulation;
    simulation_->Init();
  }
  static void TearDownTestSuite() { delete simulation_; }
  static VisualSimulation* simulation_;
};
VisualSimulation* VisualBatchTest::simulation_ = nullptr;

TEST_F(VisualBatchTest, EveryIncidentKeVIsDepositedOrEscapes) {
  struct Case {
    const char* spectrum;
    double field;
  };
  for (const Case c : {Case{"4MV.csv", 1.0}, Case{"15MV.csv", 10.0}}) {
    simulation_->LoadSpectrum(c.spectrum, c.spectrum);
    simulation_->field_side = c.field;
    const TransportContext<double> context = simulation_->Context();
    TrackSegmentCollector tracks;
    double incident = 0;
    for (int n = 0; n < 2000; ++n) incident += simulation_->SimulatePhoton(context, tracks);
    EXPECT_NEAR(tracks.Deposited() + tracks.Escaped(), incident, 1e-9 * incident) << c.spectrum;
    EXPECT_GT(tracks.Deposited(), 0.0);
    // Four numbers per drawn step, two per absorption point.
    EXPECT_EQ(tracks.Segments().size() % 4, 0u);
    EXPECT_EQ(tracks.Absorptions().size() % 2, 0u);
    EXPECT_FALSE(tracks.Segments().empty());
  }
}

TEST_F(VisualBatchTest, MonoenergeticBeamCountsEveryPhotonInItsBin) {
  struct Case {
    double mev;
    bool accepted;
    int bin;
  };
  const Case cases[] = {{2.0, true, 40}, {0.1, true, 2}, {2.01, true, 41},
                        {0.05, false, 0}, {25.0, false, 0}, {std::nan(""), false, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(simulation_->SetMonoenergeticSpectrum(c.mev), c.accepted) << c.mev;
    if (!c.accepted) continue;
    simulation_->spectrum_tally.fill(0);
    const TransportContext<double> context = simulation_->Context();
    NullObserver<double> nothing;
    for (int n = 0; n < 50; ++n) EXPECT_EQ(simulation_->SimulatePhoton(context, nothing), 1000 * c.mev);
    EXPECT_EQ(simulation_->spectrum_tally[c.bin], 50) << c.mev;
  }
}

// A tally filled by hand: every history deposits `kev` at each depth of `depths` on the axis.
VisualDepthDose HandTally(int histories, double (*kev)(int history, double z)) {
  VisualDepthDose tally;
  tally.Clear(4.0);
  for (int h = 0; h < histories; ++h) {
    tally.StartHistory();
    for (double z = 0.05; z < 30; z += 0.1) tally.OnLocalAbsorption({0, 0, z}, kev(h, z), {}, 1);
  }
  return tally;
}

double BuildUp(double z) { return std::exp(-0.05 * z) - std::exp(-0.8 * z); }

TEST(DmaxUncertainty, FollowsTheSpreadOfTheHistoryGroups) {
  // Fewer than two histories per group: unknown.
  EXPECT_EQ(DmaxUncertainty(HandTally(31, [](int, double z) { return BuildUp(z); }), 0.5), -1);
  // Every group alike: the fit cannot move.
  const double same = DmaxUncertainty(HandTally(64, [](int, double z) { return BuildUp(z); }), 0.5);
  EXPECT_NEAR(same, 0.0, 1e-6);
  EXPECT_TRUE(DmaxIsSettled(same));
  // Groups whose peaks differ: a spread of the order of their difference.
  const double spread = DmaxUncertainty(
      HandTally(64, [](int h, double z) { return h % 2 ? BuildUp(z) : BuildUp(z - 1.0); }), 0.5);
  EXPECT_GT(spread, 0.05);
  EXPECT_LT(spread, 2.0);
}

}  // namespace
}  // namespace dosavia
