// The visual run's depth-dose tally without a screen: the scoring observer, composed with
// another as the batch composes it, against a brute-force tally of each event, and the fit
// of the maximum through noise.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "models/visual_depth_dose.h"
#include "physics/composed_observer.h"

namespace dosavia {
namespace {

// Counts what reaches the first observer of a composition.
struct CountingObserver : NullObserver<double> {
  int absorptions = 0, interactions = 0, steps = 0;
  void OnLocalAbsorption(const Vec3<double>&, double, AbsorptionCause, int) { ++absorptions; }
  void OnInteraction(InteractionKind, const Vec3<double>&, double, int) { ++interactions; }
  void OnChargedStep(const ChargedStep<double>&, int) { ++steps; }
};

using Bins = std::array<double, kDepthDoseBins>;

// The reference: the step cut into many equal pieces, each scored at its middle.
Bins ReferenceStep(const ChargedStep<double>& s, double radius) {
  Bins dose{};
  if (s.left_phantom) return dose;
  constexpr int kPieces = 100000;
  for (int i = 0; i < kPieces; ++i) {
    const double t = (i + 0.5) / kPieces;
    const double x = s.start.x + t * (s.end.x - s.start.x);
    const double y = s.start.y + t * (s.end.y - s.start.y);
    const double z = s.start.z + t * (s.end.z - s.start.z);
    if (x * x + y * y > radius * radius) continue;
    const int k = std::min(kDepthDoseBins - 1, static_cast<int>(z * 10));
    dose[static_cast<std::size_t>(k)] += s.energy_lost / kPieces;
  }
  return dose;
}

Bins Totals(const VisualDepthDose& tally, bool kerma) {
  Bins sum{};
  for (int g = 0; g < kDepthDoseGroups; ++g)
    for (int k = 0; k < kDepthDoseBins; ++k)
      sum[static_cast<std::size_t>(k)] += kerma ? tally.GroupKerma(g, k) : tally.GroupDose(g, k);
  return sum;
}

enum class Event { kAbsorption, kInteraction, kStep };

struct ScoringCase {
  const char* name;
  Event event;
  Vec3<double> start, end;  // end: a step's only
  int kind;                 // the interaction's kind, or 1 for a step that left the phantom
  int component;
  double kerma;  // expected kerma in total [keV] of the 100 keV handed over
};

// Field 4 x 4: the cylinder has radius 1 cm; every event hands over 100 keV.
TEST(VisualDepthDose, ComposedObserverScoresLikeTheReference) {
  constexpr int kCompton = static_cast<int>(InteractionKind::kCompton);
  constexpr int kPair = static_cast<int>(InteractionKind::kPair);
  constexpr int kCoherent = static_cast<int>(InteractionKind::kCoherent);
  constexpr int kPhotoelectric = static_cast<int>(InteractionKind::kPhotoelectric);
  const ScoringCase cases[] = {
      {"absorption on the axis", Event::kAbsorption, {0, 0, 1.23}, {}, 0, 1, 0},
      {"absorption outside the cylinder", Event::kAbsorption, {1, 0.2, 1.23}, {}, 0, 2, 0},
      {"absorption at the bottom face", Event::kAbsorption, {0.1, 0, 30}, {}, 0, 2, 0},
      {"primary Compton is kerma", Event::kInteraction, {0.5, 0.5, 2}, {}, kCompton, 1, 100},
      {"primary pair is kerma", Event::kInteraction, {0, 0, 0}, {}, kPair, 1, 100},
      {"coherent hands over nothing", Event::kInteraction, {0, 0, 2}, {}, kCoherent, 1, 0},
      {"scattered photon is not primary", Event::kInteraction, {0, 0, 2}, {}, kPhotoelectric, 2, 0},
      {"primary outside the cylinder", Event::kInteraction, {0.9, 0.9, 2}, {}, kCompton, 1, 0},
      {"step inside one slab", Event::kStep, {0.1, 0.1, 1.01}, {0.2, 0.1, 1.09}, 0, 1, 0},
      {"step down across slabs", Event::kStep, {0, 0, 0.95}, {0.3, 0.1, 1.52}, 0, 1, 0},
      {"step up across slabs", Event::kStep, {0.2, -0.3, 2.47}, {-0.1, 0.2, 2.02}, 0, 2, 0},
      {"step leaving the cylinder", Event::kStep, {0.6, 0, 3}, {1.6, 0.1, 3.75}, 0, 1, 0},
      {"step from the surface", Event::kStep, {0, 0, 0}, {0, 0.2, 0.33}, 0, 1, 0},
      {"sideways step", Event::kStep, {-1.5, 0, 5.05}, {1.5, 0, 5.05}, 0, 2, 0},
      {"step that left the phantom", Event::kStep, {0, 0, 0.2}, {0, 0, -0.1}, 1, 1, 0},
  };
  constexpr double e = 100;
  for (const ScoringCase& c : cases) {
    SCOPED_TRACE(c.name);
    CountingObserver counter;
    VisualDepthDose tally;
    tally.Clear(4.0);
    tally.StartHistory();
    ComposedObserver<CountingObserver, VisualDepthDose> both(counter, tally);
    static_assert(TransportObserver<decltype(both), double>);
    Bins expected{};
    const Vec3<double>& a = c.start;
    if (c.event == Event::kAbsorption) {
      both.OnLocalAbsorption(a, e, AbsorptionCause::kPhotoelectric, c.component);
      if (a.x * a.x + a.y * a.y <= 1.0)
        expected[static_cast<std::size_t>(std::min(299, static_cast<int>(a.z * 10)))] = e;
    } else if (c.event == Event::kInteraction) {
      both.OnInteraction(static_cast<InteractionKind>(c.kind), a, e, c.component);
    } else {
      const ChargedStep<double> step{a, c.end, e, c.kind == 1, ChargedKind::kComptonElectron};
      both.OnChargedStep(step, c.component);
      expected = ReferenceStep(step, 1.0);
    }
    EXPECT_EQ(counter.absorptions + counter.interactions + counter.steps, 1);
    const Bins dose = Totals(tally, false);
    for (std::size_t k = 0; k < dose.size(); ++k)
      EXPECT_NEAR(dose[k], expected[k], 0.01) << "slab " << k;
    const Bins kerma = Totals(tally, true);
    EXPECT_DOUBLE_EQ(std::accumulate(kerma.begin(), kerma.end(), 0.0), c.kerma);
    // The primary dose is the dose of the unscattered photons' electrons, nothing else.
    for (int j = 0; j < kDepthDoseBins; ++j) {
      double primary = 0;
      for (int g = 0; g < kDepthDoseGroups; ++g) primary += tally.GroupPrimaryDose(g, j);
      EXPECT_DOUBLE_EQ(primary, c.component == 1 ? dose[static_cast<std::size_t>(j)] : 0.0)
          << "slab " << j;
    }
  }
}

struct FitCase {
  const char* name;
  double mu, beta;
  double surface;    // dose at the surface, share of A
  double bin;        // [cm]
  double noise;      // relative, per bin
  double tolerance;  // on the depth [cm]
};

// Shapes of 4, 10 and 15 MV and a peak at the surface.
TEST(FitMaximum, FindsTheMaximumThroughNoise) {
  const FitCase cases[] = {
      {"4 MV like, 0.5 cm bins", 0.06, 3.0, 0.3, 0.5, 0.05, 0.4},
      {"10 MV like, 0.5 cm bins", 0.045, 1.4, 0.15, 0.5, 0.05, 0.6},
      {"15 MV like, 0.2 cm bins", 0.035, 1.1, 0.1, 0.2, 0.03, 0.6},
      {"no build-up", 0.05, 2.0, 1.0, 0.5, 0.02, 0.3},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(c.name);
    const double b = 1 - c.surface;
    const auto model = [&](double z) {
      return std::exp(-c.mu * z) - b * std::exp(-(c.mu + c.beta) * z);
    };
    const double ratio = b * (c.mu + c.beta) / c.mu;
    const double d_max = ratio > 1 ? std::log(ratio) / c.beta : 0.0;
    std::mt19937 random(7);
    std::normal_distribution<double> gauss(0, 1);
    std::vector<double> values;
    for (double z = c.bin / 2; z < 30; z += c.bin) {
      // Bin means of the model (Simpson), with noise.
      const double mean = (model(z - c.bin / 2) + 4 * model(z) + model(z + c.bin / 2)) / 6;
      values.push_back(mean * (1 + c.noise * gauss(random)));
    }
    const FittedMaximum top = FitMaximum(values, c.bin);
    EXPECT_NEAR(top.depth_cm, d_max, c.tolerance);
    EXPECT_LT(std::abs(top.value / model(d_max) - 1), 2 * c.noise);
  }
  EXPECT_EQ(FitMaximum(std::vector<double>(60, 0.0), 0.5).value, 0.0);
}

}  // namespace
}  // namespace dosavia
