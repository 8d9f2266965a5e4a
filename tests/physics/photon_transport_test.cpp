#include "physics/photon_transport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/physics/transport_test_support.h"
#include "tests/physics/water_test_tables.h"

namespace dosavia {
namespace {

using testing::DrawsBetween;
using testing::Event;
using testing::EventLog;
using testing::EventType;
using testing::ScriptUniforms;

constexpr double kTiny = 1e-20;  // a coefficient [1/cm] that never wins the choice

// The same coefficients [1/cm] at every energy (two rows spanning the whole range), with the
// water model's atomic functions and deflection table.
template <typename Real>
PhysicsTables<Real> ConstantTables(double coh, double inc, double pho, double pair) {
  auto t = testing::WaterTestTables<Real>();
  t.photon_rows = 2;
  t.PhotonTable[1] = {Real(coh), Real(inc), Real(pho), Real(pair), Real(1)};
  t.PhotonTable[2] = {Real(coh), Real(inc), Real(pho), Real(pair), Real(1e6)};
  t.PrepareLookups();
  return t;
}

template <typename Real>
Direction<Real> Tilted(double theta, double phi) {
  return {Real(std::cos(theta)), Real(std::sin(theta)), Real(std::cos(phi)), Real(std::sin(phi))};
}

template <typename Real>
class PhotonTransportTest : public ::testing::Test {
 protected:
  void Run(const PhysicsTables<Real>& tables, const PhantomBox<Real>& box, const Vec3<Real>& start,
           const Direction<Real>& d, Real E) {
    const RandomStream<Real> before = random_;
    TrackHistory(TransportContext<Real>{tables, random_, box}, start, d, E, log_);
    draws_ = DrawsBetween(before, random_);
  }
  // The n-th number (from 0) the generator will return, without drawing it.
  Real Peek(int n) const {
    RandomStream<Real> probe = random_;
    for (int i = 0; i < n; ++i) probe.Uniform();
    return probe.Uniform();
  }

  RandomStream<Real> random_;
  EventLog<Real> log_;
  int draws_ = -1;
  const PhantomBox<Real> big_{-100, 100, -100, 100, 100};
};
using RealTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(PhotonTransportTest, RealTypes);

TYPED_TEST(PhotonTransportTest, PhotonBelowCutoffIsAbsorbedAtItsStartWithoutDrawing) {
  using Real = TypeParam;
  const auto tables = testing::WaterTestTables<Real>();
  const Vec3<Real> start{1, 2, 3};
  this->Run(tables, this->big_, start, Direction<Real>{}, Real(4.99));
  EXPECT_EQ(this->draws_, 0);
  ASSERT_EQ(this->log_.events.size(), 1u);
  const auto& e = this->log_.events[0];
  EXPECT_EQ(e.type, EventType::kAbsorption);
  EXPECT_EQ(e.cause, AbsorptionCause::kPhotonBelowCutoff);
  EXPECT_EQ(e.energy, Real(4.99));
  EXPECT_EQ(e.component, 1);
  EXPECT_EQ(e.p.z, start.z);
}

// A flight draws a path number and an interaction number, and both again while the path
// number is 0 (the logarithm never sees 0); then the photon escapes.
TYPED_TEST(PhotonTransportTest, FlightDrawsTwoNumbersAndRedrawsAZeroPathNumber) {
  using Real = TypeParam;
  const auto tables = ConstantTables<Real>(kTiny, kTiny, 1.0, 0);
  struct Case {
    std::vector<double> script;
    int draws;
  };
  const Case cases[] = {{{0.5, 0.3}, 2}, {{0, 0.3, 0.5, 0.3}, 4}, {{0, 0.9, 0, 0.1, 0.25, 0.7}, 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.draws);
    this->log_.events.clear();
    ScriptUniforms(this->random_, c.script);
    const Real r_path = this->Peek(c.draws - 2);
    this->Run(tables, {-1, 1, -1, 1, Real(0.1)}, {0, 0, 0}, Direction<Real>{}, Real(100));
    EXPECT_EQ(this->draws_, c.draws);
    ASSERT_EQ(this->log_.events.size(), 1u);
    const auto& e = this->log_.events[0];
    EXPECT_EQ(e.type, EventType::kEscape);
    EXPECT_EQ(e.escape, EscapeKind::kPhoton);
    EXPECT_EQ(e.energy, Real(100));
    EXPECT_NEAR(e.p.z, -std::log(double(r_path)), 1e-5);
  }
}

// A flight that ends exactly on a face interacts there; one representable value beyond, it
// escapes.
TYPED_TEST(PhotonTransportTest, FlightEndingOnAFaceStaysInside) {
  using Real = TypeParam;
  const Real inf = std::numeric_limits<Real>::infinity();
  const auto tables = ConstantTables<Real>(kTiny, kTiny, 0.8, 0);
  for (const char* face : {"xmin", "ymax", "zmax"}) {
    for (bool beyond : {false, true}) {
      SCOPED_TRACE(::testing::Message() << face << (beyond ? " beyond" : " on"));
      this->log_.events.clear();
      ScriptUniforms(this->random_, {0.3, 0.6});
      const std::string f = face;
      const auto d = f == "xmin" ? Tilted<Real>(0.5, 2.8) : Tilted<Real>(0.5, 1.2);
      const Vec3<Real> start{Real(0.3), Real(-0.2), Real(0.1)};
      const Real s = -std::log(this->Peek(0)) / tables.PhotonCoefficients(Real(300)).mu;
      const Vec3<Real> end = Advance(start, d, s);
      PhantomBox<Real> box = this->big_;
      if (f == "xmin") box.xmin = beyond ? std::nextafter(end.x, inf) : end.x;
      if (f == "ymax") box.ymax = beyond ? std::nextafter(end.y, -inf) : end.y;
      if (f == "zmax") box.zmax = beyond ? std::nextafter(end.z, -inf) : end.z;
      this->Run(tables, box, start, d, Real(300));
      const auto& first = this->log_.events.front();
      if (beyond) {
        EXPECT_EQ(first.type, EventType::kEscape);
      } else {
        ASSERT_EQ(first.type, EventType::kInteraction);
        EXPECT_EQ(first.interaction, InteractionKind::kPhotoelectric);
        EXPECT_EQ(first.p.x, end.x);
        EXPECT_EQ(first.p.y, end.y);
        EXPECT_EQ(first.p.z, end.z);
        EXPECT_EQ(this->log_.events[1].cause, AbsorptionCause::kPhotoelectric);
        EXPECT_EQ(this->log_.events[1].energy, Real(300));
      }
    }
  }
}

// With the largest interaction number the generator can give, a photon below 1022 keV is
// still never turned into a pair; above the threshold the same number picks pair production.
TYPED_TEST(PhotonTransportTest, NoPairProductionBelowThreshold) {
  using Real = TypeParam;
  const auto tables = testing::WaterTestTables<Real>();
  struct Case {
    double E;
    bool pair;
  };
  for (const Case c : {Case{5.5, false}, Case{100, false}, Case{511, false}, Case{1000, false},
                       Case{1021.9, false}, Case{1500, true}, Case{19975, true}}) {
    SCOPED_TRACE(c.E);
    this->log_.events.clear();
    ScriptUniforms(this->random_, {0.9, 1.0});
    this->Run(tables, this->big_, {0, 0, 0}, Direction<Real>{}, Real(c.E));
    const auto& first = this->log_.events.front();
    ASSERT_EQ(first.type, EventType::kInteraction);
    EXPECT_EQ(first.interaction == InteractionKind::kPair, c.pair);
  }
}

// A Compton electron below 5 keV stays at the interaction point; the photon goes on in the
// direction computed before that test.
TYPED_TEST(PhotonTransportTest, ComptonElectronBelowCutoffIsAbsorbedAndPhotonGoesOn) {
  using Real = TypeParam;
  const auto tables = ConstantTables<Real>(kTiny, 0.1, kTiny, 0);
  // Flight; Kahn attempt with x = E/E' near 1.02 (r1 > T0), S acceptance; azimuth a quarter
  // turn; second flight long enough to escape.
  ScriptUniforms(this->random_, {0.5, 0.5, 0.9, 0.0697, 0.1, 0.5, 0.25, 0.0001, 0.5});
  const Real r2 = this->Peek(3);
  this->Run(tables, {-100, 100, -100, 100, 20}, {0, 0, 0}, Direction<Real>{}, Real(100));
  EXPECT_EQ(this->draws_, 9);
  const auto& ev = this->log_.events;
  ASSERT_EQ(ev.size(), 4u);
  EXPECT_EQ(ev[0].interaction, InteractionKind::kCompton);
  EXPECT_EQ(ev[0].component, 1);
  const Real T = ev[0].energy;
  EXPECT_LT(T, 5);
  EXPECT_GT(T, 1);
  EXPECT_EQ(ev[1].cause, AbsorptionCause::kChargedBelowCutoff);
  EXPECT_EQ(ev[1].energy, T);
  EXPECT_EQ(ev[1].p.z, ev[0].p.z);
  EXPECT_EQ(ev[1].component, 1);
  EXPECT_EQ(ev[2].type, EventType::kScattered);
  ASSERT_EQ(ev[3].type, EventType::kEscape);
  EXPECT_EQ(ev[3].component, 2);
  EXPECT_NEAR(ev[3].energy + T, 100, 1e-4);
  // The scattering angle follows from x alone: cos = 1 - (511/E)(x - 1).
  const double lam = 5.11, x = (lam + 2) / (lam + 2 * (1 - double(r2)));
  const double c = 1 - lam * (x - 1), s = std::sqrt(1 - c * c);
  const double dx = ev[3].p.x - ev[0].p.x, dy = ev[3].p.y - ev[0].p.y, dz = ev[3].p.z - ev[0].p.z;
  const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
  EXPECT_NEAR(dz / len, c, 1e-4);
  EXPECT_NEAR(dy / len, s, 1e-3);  // azimuth of a quarter turn about +z
  EXPECT_NEAR(dx / len, 0, 1e-3);
}

// A Compton-scattered photon that falls below 5 keV is absorbed where it scattered and the
// history ends.
TYPED_TEST(PhotonTransportTest, ScatteredPhotonBelowCutoffEndsTheHistory) {
  using Real = TypeParam;
  const auto tables = ConstantTables<Real>(kTiny, 0.1, kTiny, 0);
  // Flight; backscatter attempt (r1 <= T0, r2 near 1); S acceptance; azimuth.
  ScriptUniforms(this->random_, {0.5, 0.5, 0.05, 0.99, 0.0, 0.1, 0.3});
  this->Run(tables, this->big_, {0, 0, 0}, Direction<Real>{}, Real(5.05));
  EXPECT_EQ(this->draws_, 7);
  const auto& ev = this->log_.events;
  ASSERT_EQ(ev.size(), 4u);
  EXPECT_EQ(ev[0].interaction, InteractionKind::kCompton);
  EXPECT_EQ(ev[1].cause, AbsorptionCause::kChargedBelowCutoff);
  EXPECT_EQ(ev[2].type, EventType::kScattered);
  EXPECT_EQ(ev[3].cause, AbsorptionCause::kScatteredPhotonBelowCutoff);
  EXPECT_EQ(ev[3].component, 2);
  EXPECT_EQ(ev[3].p.z, ev[0].p.z);
  EXPECT_LT(ev[3].energy, 5);
  EXPECT_NEAR(ev[3].energy + ev[0].energy, 5.05, 1e-5);
}

// Pair production just above threshold: both particles below 5 keV stay at the pair point,
// which becomes the annihilation point. The first 511 keV photon is absorbed, then the
// second starts from the same point in exactly the opposite direction and escapes.
TYPED_TEST(PhotonTransportTest, PairAnnihilationPhotonsStartTogetherBackToBack) {
  using Real = TypeParam;
  const auto tables = ConstantTables<Real>(kTiny, kTiny, 0.01, 1.0);
  ScriptUniforms(this->random_, {0.5, 0.99, 0.25, 0.3, 0.125, 0.5, 0.005, 0.0001, 0.5});
  const Real pi = Real(3.14159);
  const Real theta_a = pi * this->Peek(3), phi_a = 2 * pi * this->Peek(4);
  this->Run(tables, {-5, 5, -5, 5, 5}, {0, 0, 0}, Direction<Real>{}, Real(1030));
  EXPECT_EQ(this->draws_, 9);  // flight, pair (3), flight, flight
  const auto& ev = this->log_.events;
  ASSERT_EQ(ev.size(), 9u);
  EXPECT_EQ(ev[0].interaction, InteractionKind::kPair);
  EXPECT_EQ(ev[0].energy, Real(1030 - 1022));
  for (int k : {1, 2}) {
    EXPECT_EQ(ev[k].cause, AbsorptionCause::kChargedBelowCutoff);
    EXPECT_EQ(ev[k].energy, Real(4));
    EXPECT_EQ(ev[k].component, 1);
  }
  EXPECT_EQ(ev[3].type, EventType::kScattered);
  const Event<Real>& first = ev[4];
  ASSERT_EQ(first.type, EventType::kAnnihilation);
  EXPECT_EQ(first.which, 1);
  EXPECT_EQ(first.p.z, ev[0].p.z);
  EXPECT_EQ(first.direction.cosTheta, std::cos(theta_a));
  EXPECT_EQ(first.direction.sinPhi, std::sin(phi_a));
  EXPECT_EQ(ev[5].interaction, InteractionKind::kPhotoelectric);
  EXPECT_EQ(ev[6].energy, Real(511));
  const Event<Real>& second = ev[7];
  ASSERT_EQ(second.type, EventType::kAnnihilation);
  EXPECT_EQ(second.which, 2);
  EXPECT_EQ(second.p.x, first.p.x);
  EXPECT_EQ(second.p.z, first.p.z);
  const auto& a = first.direction;
  const auto& b = second.direction;
  EXPECT_EQ(b.sinTheta * b.cosPhi, -(a.sinTheta * a.cosPhi));
  EXPECT_EQ(b.sinTheta * b.sinPhi, -(a.sinTheta * a.sinPhi));
  EXPECT_EQ(b.cosTheta, -a.cosTheta);
  EXPECT_EQ(ev[8].escape, EscapeKind::kPhoton);
  EXPECT_EQ(ev[8].energy, Real(511));
}

// Coherent sampling draws u (and the Thomson number only when q <= 1) per attempt; Compton
// sampling three numbers per attempt and a fourth only when S(x) is not saturated.
struct SamplingDrawCase {
  const char* name;
  bool compton;
  double E;
  std::vector<double> script;
  int draws;
  double cosine;  // of the accepted angle
  double tol;
};
const SamplingDrawCase kSamplingDraws[] = {
    {"coherent: forward at once", false, 20, {0.0, 0.5}, 2, 1, 0},
    {"coherent: q > 1 redraws u only", false, 20, {0.9, 0.0, 0.5}, 3, 1, 0},
    {"coherent: Thomson rejection at 90 degrees", false, 20, {0.9, 0.5709, 0.9, 0.0, 0.5}, 5, 1, 0},
    {"compton: saturated S, no fourth number", true, 6000, {0.1, 0.5, 0.0}, 3, 0, 2e-4},
    {"compton: Kahn rejection", true, 6000, {0.1, 0.5, 0.99, 0.1, 0.5, 0.0}, 6, 0, 2e-4},
    {"compton: S(0) = 0 rejects forward",
     true,
     6000,
     {0.9, 0.0, 0.5, 0.5, 0.1, 0.5, 0.0},
     7,
     0,
     2e-4},
};

TYPED_TEST(PhotonTransportTest, SamplingDrawsPerAttempt) {
  using Real = TypeParam;
  const auto tables = testing::WaterTestTables<Real>();
  for (const auto& c : kSamplingDraws) {
    SCOPED_TRACE(c.name);
    ScriptUniforms(this->random_, c.script);
    const RandomStream<Real> before = this->random_;
    const double cosine = c.compton ? SampleComptonAngle(tables, this->random_, Real(c.E)).cos_theta
                                    : SampleCoherentCosine(tables, this->random_, Real(c.E));
    EXPECT_EQ(DrawsBetween(before, this->random_), c.draws);
    EXPECT_NEAR(cosine, c.cosine, c.tol);
  }
}

// 6 MeV photons along a water rod too thin to hold the tracks: a positron that leaves it
// still annihilates, at its last step's end outside, and both 511 keV photons start there,
// back to back, the second right after the first one has ended.
TYPED_TEST(PhotonTransportTest, EscapedPositronAnnihilatesAtItsEndOutside) {
  using Real = TypeParam;
  const auto tables = testing::WaterTestTables<Real>();
  const PhantomBox<Real> rod{Real(24.99), Real(25.01), Real(24.99), Real(25.01), 30};
  int escaped = 0;
  for (int h = 0; h < 1000; ++h) {
    this->log_.events.clear();
    this->Run(tables, rod, {25, 25, 0}, Direction<Real>{}, Real(6000));
    const auto& ev = this->log_.events;
    for (size_t k = 0; k < ev.size(); ++k) {
      if (ev[k].type != EventType::kAnnihilation || ev[k].which != 1) continue;
      size_t last = k;  // the positron's last step (none when it started below 5 keV)
      while (ev[last].type != EventType::kStep) --last;
      if (ev[last].step.kind != ChargedKind::kPositron) continue;
      EXPECT_EQ(ev[k].p.x, ev[last].step.end.x);
      EXPECT_EQ(ev[k].p.z, ev[last].step.end.z);
      if (!ev[last].step.left_phantom) continue;
      ++escaped;
      EXPECT_TRUE(rod.Outside(ev[k].p));
      size_t m = k + 1;
      while (m < ev.size() && ev[m].type != EventType::kAnnihilation) ++m;
      ASSERT_LT(m, ev.size());
      EXPECT_EQ(ev[m].which, 2);
      EXPECT_EQ(ev[m].p.y, ev[k].p.y);
      EXPECT_EQ(ev[m].direction.cosTheta, -ev[k].direction.cosTheta);
      EXPECT_TRUE(ev[m - 1].type == EventType::kEscape || ev[m - 1].type == EventType::kAbsorption);
    }
  }
  EXPECT_GT(escaped, 10);
}

// The first Compton interaction of a history is reported before its electron's steps, the
// electron belongs to the primary component, and the component changes after it.
TYPED_TEST(PhotonTransportTest, ComptonElectronIsPrimaryAndFollowsItsInteraction) {
  using Real = TypeParam;
  const auto tables = testing::WaterTestTables<Real>();
  int checked = 0;
  for (int h = 0; h < 200; ++h) {
    this->log_.events.clear();
    this->Run(tables, {0, 50, 0, 50, 30}, {25, 25, 0}, Direction<Real>{}, Real(2000));
    const auto& ev = this->log_.events;
    if (ev.empty() || ev[0].type != EventType::kInteraction ||
        ev[0].interaction != InteractionKind::kCompton || ev[0].energy < 5)
      continue;
    ++checked;
    EXPECT_EQ(ev[0].component, 1);
    ASSERT_EQ(ev[1].type, EventType::kStep);
    EXPECT_EQ(ev[1].step.start.z, ev[0].p.z);
    size_t k = 1;
    double lost = 0;
    while (ev[k].type == EventType::kStep || ev[k].type == EventType::kEscape) {
      EXPECT_EQ(ev[k].component, 1);
      lost += ev[k].energy;
      ++k;
    }
    EXPECT_NEAR(lost, ev[0].energy, 1e-4 * ev[0].energy);
    EXPECT_EQ(ev[k].type, EventType::kScattered);
    for (size_t j = k + 1; j < ev.size(); ++j) {
      if (ev[j].type != EventType::kAnnihilation && ev[j].type != EventType::kScattered) {
        EXPECT_EQ(ev[j].component, 2);
      }
    }
  }
  EXPECT_GT(checked, 50);
}

}  // namespace
}  // namespace dosavia
