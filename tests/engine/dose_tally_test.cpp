#include "engine/dose_tally.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "engine/pencil_beam.h"
#include "engine_test_support.h"

namespace dosavia {
namespace {

struct Cell {
  int component;
  int ring;
  int slab;
  float energy;  // [keV]
};

class DoseTallyTest : public ::testing::Test {
 protected:
  void Reset() { tally_ = std::make_unique<DoseTally>(widths_); }

  // The cells hold the expected energies and nothing else is scored.
  void ExpectOnly(const std::vector<Cell>& cells, float tolerance, const char* what) const {
    double total = 0, expected = 0;
    for (int c = 1; c <= kComponents; ++c)
      for (int k = 1; k <= kSlabs; ++k)
        for (int j = 1; j <= kRings; ++j) total += tally_->RingDose(c, j, k);
    for (const Cell& c : cells) {
      EXPECT_NEAR(tally_->RingDose(c.component, c.ring, c.slab), c.energy, tolerance)
          << what << ": component " << c.component << ", ring " << c.ring << ", slab " << c.slab;
      expected += c.energy;
    }
    EXPECT_NEAR(total, expected, tolerance) << what;
  }

  const std::array<float, kSlabs + 1> widths_ = testing::EngineSlabWidths();
  std::unique_ptr<DoseTally> tally_ = std::make_unique<DoseTally>(widths_);
};

TEST_F(DoseTallyTest, DirectSlabLookupAgreesWithTheWalkFromTheSurface) {
  EXPECT_EQ(tally_->SlabBottom(50), 4.9999976f);  // running float sums, not 0.1 k
  std::vector<float> depths = {-1.0f, 0.0f, 1e-30f, 30.0f, 30.1f, 1e9f};
  for (int k = 1; k <= kSlabs; ++k) {
    const float b = tally_->SlabBottom(k);
    depths.insert(depths.end(), {b, std::nextafter(b, 0.0f), std::nextafter(b, 99.0f), 0.1f * k});
  }
  std::mt19937 gen(7);
  std::uniform_real_distribution<float> any(0.0f, 31.0f);
  for (int n = 0; n < 20000; ++n) depths.push_back(any(gen));
  for (float z : depths) {
    int k = 1;
    float b = widths_[1];
    while (b < z && k <= kSlabs) b += (++k <= kSlabs) ? widths_[k] : 0.0f;
    ASSERT_EQ(tally_->SlabOf(z), k) << "z = " << z;
  }
}

TEST_F(DoseTallyTest, StepChordIsSpreadOverSlabsAndRings) {
  struct Case {
    const char* name;
    Vec3<float> s0, s1;
    std::vector<Cell> cells;  // 100 keV of component 1; none for a guarded step
  };
  const Vec3<float> near{25.06f, 25.08f, 0.05f};  // r = 0.1
  const Vec3<float> far{25.3f, 25.4f, 0.25f};     // r = 0.5
  const std::vector<Cell> outward = {{1, 1, 1, 25}, {1, 2, 2, 50}, {1, 3, 3, 25}};
  const Case cases[] = {
      {"outward", near, far, outward},
      {"towards the surface", far, near, outward},
      {"inward",
       {25.3f, 25.4f, 0.05f},
       {25.06f, 25.08f, 0.25f},
       {{1, 3, 1, 25}, {1, 2, 2, 50}, {1, 1, 3, 25}}},
      {"inside one cell", {25.01f, 25.02f, 0.52f}, {25.05f, 25.07f, 0.58f}, {{1, 1, 6, 100}}},
      {"equal x", {25.1f, 25.1f, 0.1f}, {25.1f, 25.3f, 0.3f}, {}},
      {"equal y", {25.1f, 25.1f, 0.1f}, {25.3f, 25.1f, 0.3f}, {}},
      {"equal z", {25.1f, 25.1f, 0.1f}, {25.3f, 25.3f, 0.1f}, {}},
      {"equal radius", {25.3f, 25.4f, 0.1f}, {25.4f, 25.3f, 0.3f}, {}},
      {"both ends 25 cm out", {0.5f, 0.5f, 1.0f}, {0.6f, 0.7f, 1.2f}, {}},
      // From 25.1 to 24.7 cm: the part beyond the last ring is dropped.
      {"from beyond the last ring",
       {50.1f, 25.001f, 3.05f},
       {49.7f, 25.002f, 3.07f},
       {{1, 125, 31, 50}, {1, 124, 31, 25}}},
  };
  for (const Case& c : cases) {
    Reset();
    tally_->ScoreStep(c.s0, c.s1, 100.0f, kPrimary);
    ExpectOnly(c.cells, 2e-3f, c.name);
  }
}

TEST_F(DoseTallyTest, LocalScoreFindsRingAndSlabOrDropsThePoint) {
  const struct {
    Vec3<float> p;
    std::vector<Cell> cells;
  } cases[] = {
      {{25.06f, 25.08f, 1.23f}, {{2, 1, 13, 7}}},
      {{25.0f, 25.0f, 0.0f}, {{2, 1, 1, 7}}},        // the surface belongs to slab 1
      {{25.0f, 25.3f, 0.1f}, {{2, 2, 1, 7}}},        // a slab holds its own bottom
      {{25.0f, 49.9f, 29.95f}, {{2, 125, 300, 7}}},  // r = 24.9
      {{0.0f, 25.0f, 1.0f}, {}},                     // r = 25: ring 126 is not kept
      {{25.0f, 25.0f, -0.01f}, {}},
      {{25.0f, 25.0f, 30.01f}, {}},
  };
  for (const auto& c : cases) {
    Reset();
    tally_->ScoreLocal(c.p, 7.0f, kScatter);
    ExpectOnly(c.cells, 0.0f, "local score");
  }
  for (auto [z, bin] : {std::pair{0.0f, 1}, {1.23f, 13}, {29.99f, 300}}) {
    tally_->ScoreKerma(z, 5.0f);
    EXPECT_EQ(tally_->Kerma(bin), 5.0f) << "z = " << z;
  }
  tally_->ScoreKerma(30.0f, 5.0f);  // bin 301 is outside the table
  EXPECT_EQ(tally_->Kerma(300), 5.0f);
}

// Events as the transport reports them for each way a photon hands over energy: kerma only
// for primaries, dose scored under the component of the history that deposits it.
TEST_F(DoseTallyTest, ObserverScoresKermaForPrimariesAndDoseByComponent) {
  const Vec3<float> p{25.06f, 25.08f, 1.23f};
  {
    DoseTallyObserver obs(*tally_);
    // Photoelectric absorption of a primary photon, then of a scattered one.
    obs.OnInteraction(InteractionKind::kPhotoelectric, p, 60.0f, kPrimary);
    obs.OnLocalAbsorption(p, 60.0f, AbsorptionCause::kPhotoelectric, kPrimary);
    obs.OnInteraction(InteractionKind::kPhotoelectric, p, 30.0f, kScatter);
    obs.OnLocalAbsorption(p, 30.0f, AbsorptionCause::kPhotoelectric, kScatter);
    // A 3 keV Compton electron of a primary photon: kerma at the interaction, local dose.
    obs.OnInteraction(InteractionKind::kCompton, p, 3.0f, kPrimary);
    obs.OnLocalAbsorption(p, 3.0f, AbsorptionCause::kChargedBelowCutoff, kPrimary);
    obs.OnScatteredComponent();
    // No kerma from a coherent scatter or from scattered photons; pair kerma of primaries.
    obs.OnInteraction(InteractionKind::kCoherent, p, 0.0f, kPrimary);
    obs.OnInteraction(InteractionKind::kCompton, p, 200.0f, kScatter);
    obs.OnInteraction(InteractionKind::kPair, p, 900.0f, kScatter);
    obs.OnInteraction(InteractionKind::kPair, {25.0f, 25.0f, 0.55f}, 3978.0f, kPrimary);
    // A step whose end left the phantom is not scored.
    obs.OnChargedStep({{25.06f, 25.08f, 0.05f}, {25.3f, 25.4f, 0.25f}, 100.0f, true}, kPrimary);
    obs.Flush();
  }
  ExpectOnly({{1, 1, 13, 63}, {2, 1, 13, 30}}, 0.0f, "observer");
  EXPECT_EQ(tally_->Kerma(13), 63.0f);
  EXPECT_EQ(tally_->Kerma(6), 3978.0f);
  double kerma = 0;
  for (int j = 1; j <= kKermaBins; ++j) kerma += tally_->Kerma(j);
  EXPECT_EQ(kerma, 63.0 + 3978.0);
}

// The observer queues its ring scores; applied in event order they must leave every cell
// exactly as scoring each event at once does, also across the flushes of a full queue.
TEST_F(DoseTallyTest, QueuedScoresEqualImmediateScoresBitForBit) {
  DoseTally direct(widths_);
  {
    DoseTallyObserver obs(*tally_);
    std::mt19937 gen(5);
    std::uniform_real_distribution<float> lateral(24.0f, 26.0f), depth(0.0f, 2.0f), e(1.0f, 300.0f);
    for (int n = 0; n < 1000; ++n) {
      const int component = n % 3 == 0 ? kPrimary : kScatter;
      const Vec3<float> a{lateral(gen), lateral(gen), depth(gen)};
      const Vec3<float> b{lateral(gen), lateral(gen), depth(gen)};
      const float energy = e(gen);
      if (n % 4 == 0) {
        obs.OnLocalAbsorption(a, energy, AbsorptionCause::kChargedBelowCutoff, component);
        direct.ScoreLocal(a, energy, component);
      } else {
        obs.OnChargedStep({a, b, energy, false}, component);
        direct.ScoreStep(a, b, energy, component);
      }
      if (n == 700) obs.Flush();
    }
  }  // the observer applies what is left when it goes
  int scored = 0;
  for (int c = 1; c <= kComponents; ++c)
    for (int k = 1; k <= kSlabs; ++k)
      for (int j = 1; j <= kRings; ++j) {
        ASSERT_EQ(tally_->RingDose(c, j, k), direct.RingDose(c, j, k));
        scored += direct.RingDose(c, j, k) > 0;
      }
  EXPECT_GT(scored, 200);
}

TEST(PencilBeamTest, EntryPointsFillTheDiscAtTheSurfaceInDrawOrder) {
  RandomStream<float> random, replay;
  double sum_r2 = 0;
  const int n = 20000;
  for (int i = 0; i < n; ++i) {
    const Vec3<float> p = SampleEntryPoint(random);
    float u, v;
    do {
      u = (0.5f - replay.Uniform()) * 0.4f;
      v = (0.5f - replay.Uniform()) * 0.4f;
    } while (u * u + v * v > 0.04f);
    ASSERT_TRUE(p.x == 25.0f + u && p.y == 25.0f + v && p.z == 0.0f) << i;
    sum_r2 += (p.x - 25.0) * (p.x - 25.0) + (p.y - 25.0) * (p.y - 25.0);
  }
  EXPECT_NEAR(sum_r2 / n, 0.02, 5e-4);  // uniform over the disc: mean r^2 = R^2 / 2
}

}  // namespace
}  // namespace dosavia
