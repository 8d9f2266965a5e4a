// The visual run without its drawing, as the desktop program and the browser edition both
// call it: energy accounted for (the accurate transport's own tracks drawn apart), the
// mono-energetic beam, and the d_max uncertainty.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "models/dmax_uncertainty.h"
#include "models/visual_batch.h"
#include "models/visual_tracks.h"
#include "records/input_error.h"

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
    bool accurate;  // the accurate transport, whose delta rays and bremsstrahlung are drawn apart
    const char* phantom = "";  // layers the photons run in; none: water
  };
  for (const Case c :
       {Case{"4MV.csv", 1.0, false}, Case{"15MV.csv", 10.0, false}, Case{"15MV.csv", 10.0, true},
        Case{"10MV.csv", 4.0, true, "water 2\nbone 2\n"},
        Case{"15MV.csv", 1.0, true, "water 3\nlung 10\n"},
        Case{"6MV.csv", 4.0, true, "water 3\nair 2\n"}}) {
    simulation_->LoadSpectrum(c.spectrum, c.spectrum);
    simulation_->SetField(c.field);
    PhysicsSwitches physics;
    physics.accurate_transport = c.accurate;
    if (c.accurate) simulation_->LoadAccurateData();
    if (*c.phantom != 0)
      simulation_->SetPhantom(ParsePhantom(c.phantom, "phantom.txt"));
    else
      simulation_->ClearPhantom();
    const TransportContext<double> context = simulation_->Context(physics);
    TrackSegmentCollector tracks;
    double incident = 0;
    for (int n = 0; n < 2000; ++n) incident += simulation_->SimulatePhoton(context, tracks);
    EXPECT_NEAR(tracks.Deposited() + tracks.Escaped(), incident, 1e-9 * incident) << c.spectrum;
    EXPECT_GT(tracks.Deposited(), 0.0);
    // Four numbers per drawn step, two per absorption point.
    EXPECT_EQ(tracks.Segments().size() % 4, 0u);
    EXPECT_EQ(tracks.Absorptions().size() % 2, 0u);
    EXPECT_FALSE(tracks.Segments().empty());
    EXPECT_EQ(tracks.DeltaRaySegments().empty(), !c.accurate) << c.spectrum;
    EXPECT_EQ(tracks.BremsstrahlungSegments().empty(), !c.accurate) << c.spectrum;
    EXPECT_EQ(tracks.DeltaRaySegments().size() % 4, 0u);
    EXPECT_EQ(tracks.BremsstrahlungSegments().size() % 4, 0u);
  }
  simulation_->ClearPhantom();
}

// Path per keV lost, of the steps whose middle lies in a depth range.
struct ReachPerKeV : NullObserver<double> {
  double top = 0, bottom = 0;
  double path_cm = 0, lost_kev = 0;
  void OnChargedStep(const ChargedStep<double>& step, int) {
    const double middle = 0.5 * (step.start.z + step.end.z);
    if (step.left_phantom || middle < top || middle > bottom) return;
    const double dx = step.end.x - step.start.x, dy = step.end.y - step.start.y,
                 dz = step.end.z - step.start.z;
    path_cm += std::sqrt(dx * dx + dy * dy + dz * dz);
    lost_kev += step.energy_lost;
  }
};

// What the class is to see: an electron runs about four times as far in lung as in water
// for the energy it loses, the stopping power per gram being nearly the same at a quarter
// of the density. Steps in lung taken at water's density would give one.
TEST_F(VisualBatchTest, ElectronsRunFurtherPerKeVInLung) {
  simulation_->LoadSpectrum("10MV.csv", "10MV.csv");
  simulation_->SetField(4.0);
  simulation_->SetPhantom(ParsePhantom("water 3\nlung 10\n", "lung.txt"));
  PhysicsSwitches physics;
  physics.accurate_transport = true;
  const TransportContext<double> context = simulation_->Context(physics);
  struct Both : NullObserver<double> {
    ReachPerKeV water{{}, 1.0, 2.9}, lung{{}, 5.0, 12.0};
    void OnChargedStep(const ChargedStep<double>& step, int c) {
      water.OnChargedStep(step, c);
      lung.OnChargedStep(step, c);
    }
  } both;
  for (int n = 0; n < 3000; ++n) simulation_->SimulatePhoton(context, both);
  simulation_->ClearPhantom();
  ASSERT_GT(both.water.lost_kev, 0.0);
  ASSERT_GT(both.lung.lost_kev, 0.0);
  const double ratio =
      (both.lung.path_cm / both.lung.lost_kev) / (both.water.path_cm / both.water.lost_kev);
  EXPECT_GT(ratio, 3.0);
  EXPECT_LT(ratio, 4.6);
}

TEST_F(VisualBatchTest, MonoenergeticBeamCountsEveryPhotonInItsBin) {
  struct Case {
    double mev;
    bool accepted;
    int bin;
  };
  const Case cases[] = {{2.0, true, 40},  {0.1, true, 2},   {2.01, true, 41},
                        {0.05, false, 0}, {25.0, false, 0}, {std::nan(""), false, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(simulation_->SetMonoenergeticSpectrum(c.mev), c.accepted) << c.mev;
    if (!c.accepted) continue;
    simulation_->ClearHistogram();
    const TransportContext<double> context = simulation_->Context();
    NullObserver<double> nothing;
    for (int n = 0; n < 50; ++n)
      EXPECT_EQ(simulation_->SimulatePhoton(context, nothing), 1000 * c.mev);
    EXPECT_EQ(simulation_->SpectrumTally()[c.bin], 50) << c.mev;
  }
}

struct CountCase {
  double count;
  long long photons;
};

TEST(WholePhotonCount, RunsAWholeFiniteCountOfOneOrMoreAndRefusesTheRest) {
  const CountCase cases[] = {{100.0, 100},
                             {2.5e6, 2500000},
                             {100.7, 0},  // refused as 0.5 is, not run as its whole part
                             {1.5, 0},
                             {0.5, 0},
                             {-3.0, 0},
                             {std::numeric_limits<double>::infinity(), 0},
                             {std::numeric_limits<double>::quiet_NaN(), 0}};
  for (const CountCase& c : cases) EXPECT_EQ(WholePhotonCount(c.count), c.photons) << c.count;
}

// A spectrum file of `records` CR LF lines (energy [MeV], weight) at the bins' energies, the
// weights beyond those given 0; written to the test's scratch folder, whose path it returns.
std::string WriteSpectrum(const std::string& name, const std::vector<double>& weights,
                          int records = kSpectrumBins) {
  const std::string path = ::testing::TempDir() + "visual_batch_test_" + name;
  std::ofstream out(path, std::ios::binary);
  for (int i = 1; i <= records; ++i) {
    const double weight = i <= static_cast<int>(weights.size()) ? weights[i - 1] : 0.0;
    char line[64];
    std::snprintf(line, sizeof line, "%.3f, %.3E\r\n", (50.0 * i - 25) / 1000, weight);
    out << line;
  }
  return path;
}

TEST_F(VisualBatchTest, SpectrumIsNormalisedToExactlyOne) {
  // Weights whose sum is not a power of two, so the division is not trivially exact.
  std::vector<double> weights(400);
  for (int i = 0; i < 400; ++i) weights[i] = 1.0 / (3 + i % 7);
  const std::string path = WriteSpectrum("odd.csv", weights);
  simulation_->LoadSpectrum(path, "odd.csv");
  std::filesystem::remove(path);
  EXPECT_EQ(simulation_->SpectrumCumulative()[400], 1.0);
  for (int i = 2; i <= 400; ++i)
    EXPECT_GT(simulation_->SpectrumCumulative()[i], simulation_->SpectrumCumulative()[i - 1]) << i;
  EXPECT_EQ(simulation_->SpectrumEnergy()[1], 25.0);
  EXPECT_EQ(simulation_->SpectrumEnergy()[400], 19975.0);
}

// The reader's cases are the engine's tests; these show that a refusal leaves the loaded
// spectrum, whether it comes early or only after all records were read.
TEST_F(VisualBatchTest, BadSpectrumIsRejectedAndKept) {
  struct Case {
    const char* name;
    std::vector<double> weights;
    int records;
    const char* problem;
  };
  const Case cases[] = {{"short", std::vector<double>(400, 1.0), 399, "399 of 400"},
                        {"all zero", std::vector<double>(400, 0.0), 400, "sum to 0"}};
  const std::string good = WriteSpectrum("good.csv", std::vector<double>(400, 2.0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    simulation_->LoadSpectrum(good, "good.csv");
    const auto cumulative = simulation_->SpectrumCumulative();
    const auto energy = simulation_->SpectrumEnergy();
    const std::string bad = WriteSpectrum("bad.csv", c.weights, c.records);
    try {
      simulation_->LoadSpectrum(bad, "bad.csv");
      ADD_FAILURE() << "a bad spectrum was accepted";
    } catch (const InputError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("bad.csv"), std::string::npos) << message;
      EXPECT_NE(message.find(c.problem), std::string::npos) << message;
    }
    std::filesystem::remove(bad);
    EXPECT_EQ(simulation_->SpectrumCumulative(), cumulative);
    EXPECT_EQ(simulation_->SpectrumEnergy(), energy);
  }
  std::filesystem::remove(good);
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

double BuildUpCurve(double z) { return std::exp(-0.05 * z) - std::exp(-0.8 * z); }

TEST(DmaxUncertainty, FollowsTheSpreadOfTheHistoryGroups) {
  // Fewer than two histories per group: unknown.
  EXPECT_EQ(DmaxUncertainty(HandTally(31, [](int, double z) { return BuildUpCurve(z); })), -1);
  // Every group alike: the fit cannot move.
  const double same = DmaxUncertainty(HandTally(64, [](int, double z) { return BuildUpCurve(z); }));
  EXPECT_NEAR(same, 0.0, 1e-6);
  EXPECT_TRUE(DmaxIsSettled(same));
  // Judged as the label shows σ, to 0.1 cm: "± 0.5" is never green.
  for (const auto& [sigma, settled] : {std::pair{0.44, true}, std::pair{0.46, false},
                                       std::pair{0.5, false}, std::pair{-1.0, false}})
    EXPECT_EQ(DmaxIsSettled(sigma), settled) << sigma;
  // Groups whose peaks differ: a spread of the order of their difference, widened by the
  // fit's drift.
  const double spread = DmaxUncertainty(HandTally(
      64, [](int h, double z) { return h % 2 ? BuildUpCurve(z) : BuildUpCurve(z - 1.0); }));
  EXPECT_GT(spread, 0.05);
  EXPECT_LT(spread, WithFitDrift(2.0));
}

// Both front ends read the live curve by one rule: a few hundred photons, a run that cannot
// tell a build-up from none, or a build-up whose d_max could lie anywhere in the build-up
// region, is "too few photons", never a d_max (a 300-photon 15 MV link once showed
// "d_max = 7.4 ± 6.6 cm"); so is a build-up of a few thousand photons, however small its
// "±" (6 MV 4x4 once read "3.7 ± 0.7 cm" at 3000 photons, the beam's d_max being 1.6 cm).
TEST(DmaxUncertainty, TooFewPhotonsToReadTheCurve) {
  constexpr BuildUp kYes = BuildUp::kYes, kNone = BuildUp::kNone, kUnsure = BuildUp::kTooFewPhotons;
  const struct {
    long long photons;
    bool has_maximum;
    BuildUp build_up;
    double sigma_cm;
    bool too_few;
  } cases[] = {
      {0, false, kYes, -1, false},      {300, true, kYes, 0.3, true},
      {3000, false, kYes, -1, true},    {3000, true, kYes, 6.6, true},
      {10000, true, kYes, 1.9, false},  {10000, true, kYes, -1, false},
      {3000, true, kYes, 0.7, true},    {9999, true, kYes, 0.3, true},
      {3000, true, kNone, 6.6, false},  // no build-up: its flat top may spread widely
      {3000, true, kUnsure, 0.3, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TooFewPhotonsToRead(c.photons, c.has_maximum, c.build_up, c.sigma_cm), c.too_few)
        << c.photons << " " << c.sigma_cm;
}

// The side view's fade: a photon's tracks keep half their ink after the half-life in
// photons, whether the photons come one by one (desktop, step display) or in chunks (the
// browser's answers); a wash comes only once it is strong enough to show in 8-bit colour.
TEST(TrackFade, HalvesTheInkOverTheHalfLifeInAnyChunks) {
  struct Case {
    long long chunk;    // photons per drawing
    long long photons;  // photons drawn after the first one's tracks
    double ink;         // what is left of those tracks [fraction]
  };
  const double h = TrackFade::kHalfLifePhotons;
  for (const Case c : {Case{1, 400, 0.5}, Case{7, 1400, std::exp2(-3.5)}, Case{400, 400, 0.5},
                       Case{1, 4000, 1.0 / 1024}, Case{5000, 5000, std::exp2(-12.5)}}) {
    TrackFade fade;
    double ink = 1;
    long long washes = 0;
    for (long long done = 0; done < c.photons; done += c.chunk) {
      const double wash = fade.Add(c.chunk);
      EXPECT_TRUE(wash == 0 || (wash >= TrackFade::kMinimumWash && wash <= 1)) << wash;
      washes += wash > 0;
      ink *= 1 - wash;
    }
    // The fade not yet washed in, still counted: 167 photons more always bring a wash.
    ink *= (1 - fade.Add(167)) * std::exp2(167 / h);
    EXPECT_NEAR(ink, c.ink, 1e-9) << c.chunk << " " << c.photons;
    // Few washes, none too weak to show: one about every 167 photons at most.
    EXPECT_LE(washes, c.photons / 166 + 1) << c.chunk;
  }
  TrackFade fade;
  EXPECT_EQ(fade.Add(160), 0.0);
  fade.Reset();
  EXPECT_EQ(fade.Add(166), 0.0);
  EXPECT_EQ(fade.Add(0), 0.0);
  EXPECT_NEAR(fade.Add(1), 0.2513, 0.0001);
  EXPECT_TRUE(TrackFade::HighlightsNewest(1));
  EXPECT_FALSE(TrackFade::HighlightsNewest(TrackFade::kDrawnPhotons));
  // Switched off, no count of photons brings a wash and a drawing keeps all its photons;
  // switched on again, the count starts afresh rather than washing at once.
  fade.SetFading(false);
  for (const long long chunk : {1LL, 400LL, 100000LL}) EXPECT_EQ(fade.Add(chunk), 0.0) << chunk;
  EXPECT_GT(fade.DrawnPhotons(), 100000);
  fade.SetFading(true);
  EXPECT_EQ(fade.Add(166), 0.0);
  EXPECT_EQ(fade.DrawnPhotons(), TrackFade::kDrawnPhotons);
}

}  // namespace
}  // namespace dosavia
