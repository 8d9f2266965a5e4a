#include "physics/charged_transport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tests/physics/transport_test_support.h"
#include "tests/physics/water_test_tables.h"

namespace dosavia {
namespace {

using testing::DrawsBetween;
using testing::EventLog;
using testing::EventType;

template <typename Real>
PhantomBox<Real> HugeBox() {
  return {-1000, 1000, -1000, 1000, 1000};
}

template <typename Real>
Direction<Real> Tilted(double theta, double phi) {
  return {Real(std::cos(theta)), Real(std::sin(theta)), Real(std::cos(phi)), Real(std::sin(phi))};
}

template <typename Real>
class ChargedTransportTest : public ::testing::Test {
 protected:
  // Runs one particle and returns its end point; the log and the draws are kept.
  Vec3<Real> Run(const PhantomBox<Real>& box, const Vec3<Real>& start, const Direction<Real>& d,
                 Real T, ChargedKind kind = ChargedKind::kComptonElectron) {
    const RandomStream<Real> before = random_;
    const TransportContext<Real> ctx{tables_, random_, box};
    const Vec3<Real> end = TransportCharged(ctx, start, d, T, kind, 1, log_);
    draws_ = DrawsBetween(before, random_);
    return end;
  }

  PhysicsTables<Real> tables_ = testing::WaterTestTables<Real>();
  RandomStream<Real> random_;
  EventLog<Real> log_;
  int draws_ = -1;
};
using RealTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(ChargedTransportTest, RealTypes);

TEST(StoppingPower, ReferenceValuesOfWater) {
  struct Case {
    double T, S;
  };
  for (const Case c : {Case{1000, 1870.6}, Case{306, 2378.9}, Case{20000, 2063.9}}) {
    EXPECT_NEAR(StoppingPower<double>(c.T), c.S, 0.05) << c.T;
    EXPECT_NEAR(StoppingPower<float>(static_cast<float>(c.T)), c.S, 0.1) << c.T;
  }
}

// The first step of a particle: length [cm], energy loss [keV], whether it is the last one,
// and the draws the whole track takes in a box it cannot leave.
struct FirstStepCase {
  double T;
  double length, length_tol;
  double loss, loss_tol;
  int steps;
};
constexpr FirstStepCase kFirstSteps[] = {
    {200, 0.0441, 1e-4, 200, 0, 1},           // one straight residual-range step
    {305, 0.07906, 1e-4, 305, 0, 1},          // 305 keV is already the last step
    {306, 0.010676, 1e-5, 25.397, 1e-3, 2},   // just above: one fraction step first
    {1000, 0.04437, 1e-5, 82.996, 1e-3, 15},  // halves every 8 steps down to 305 keV
};

TYPED_TEST(ChargedTransportTest, FirstStepAndNumberOfSteps) {
  using Real = TypeParam;
  for (const auto& c : kFirstSteps) {
    SCOPED_TRACE(c.T);
    this->log_.events.clear();
    const auto d = Tilted<Real>(0.6, 1.9);
    const Vec3<Real> start{1, 2, 3};
    const Vec3<Real> end = this->Run(HugeBox<Real>(), start, d, Real(c.T));
    ASSERT_EQ(this->log_.Count(EventType::kStep), c.steps);
    const auto& first = this->log_.events.front().step;
    const double dx = first.end.x - start.x, dy = first.end.y - start.y, dz = first.end.z - start.z;
    const double length = std::sqrt(dx * dx + dy * dy + dz * dz);
    EXPECT_NEAR(length, c.length, c.length_tol);
    // The first step goes straight along the start direction.
    EXPECT_NEAR(dz / length, d.cosTheta, 1e-5);
    EXPECT_NEAR(first.energy_lost, c.loss, c.loss_tol + 1e-4 * c.loss);
    // A deflection (two numbers) follows every step but the last.
    EXPECT_EQ(this->draws_, 2 * (c.steps - 1));
    double lost = 0;
    for (const auto& e : this->log_.events) lost += e.step.energy_lost;
    EXPECT_NEAR(lost, c.T, 1e-5 * c.T);
    const auto& last = this->log_.events.back().step;
    EXPECT_EQ(end.x, last.end.x);
    EXPECT_EQ(end.z, last.end.z);
    EXPECT_EQ(this->log_.Count(EventType::kEscape), 0);
  }
}

// Where ScatterEnergies lie above the particle's energy the table gives no deflection: no
// number is drawn and every step continues along the same line.
TYPED_TEST(ChargedTransportTest, NoDeflectionRowDrawsNothing) {
  using Real = TypeParam;
  for (int i = 1; i <= 24; ++i) this->tables_.ScatterEnergies[i] = Real(1e6 - i);
  const auto d = Tilted<Real>(0.6, 1.9);
  this->Run(HugeBox<Real>(), {0, 0, 0}, d, Real(1000));
  EXPECT_EQ(this->draws_, 0);
  ASSERT_EQ(this->log_.Count(EventType::kStep), 15);
  for (const auto& e : this->log_.events) {
    const auto& s = e.step;
    const double dx = s.end.x - s.start.x, dz = s.end.z - s.start.z;
    const double len = std::hypot(dx, s.end.y - s.start.y, dz);
    EXPECT_NEAR(dz / len, d.cosTheta, 1e-4);
  }
}

TYPED_TEST(ChargedTransportTest, EscapeEndsTheTrackOutsideWithTheRestOfTheEnergy) {
  using Real = TypeParam;
  const PhantomBox<Real> box{-0.1f, 0.1f, -0.1f, 0.1f, 0.1f};
  const Vec3<Real> end = this->Run(box, {0, 0, Real(0.05)}, Tilted<Real>(0.7, 0.8), Real(6000),
                                   ChargedKind::kPositron);
  ASSERT_EQ(this->log_.events.size(), 2u);
  const auto& step = this->log_.events[0];
  EXPECT_TRUE(step.step.left_phantom);
  EXPECT_EQ(step.step.kind, ChargedKind::kPositron);
  const auto& escape = this->log_.events[1];
  EXPECT_EQ(escape.type, EventType::kEscape);
  EXPECT_EQ(escape.escape, EscapeKind::kCharged);
  EXPECT_NEAR(escape.energy + step.energy, 6000, 1e-3);
  EXPECT_NEAR(escape.energy, 6000 * (1 - 0.0829959568), 1e-2);
  EXPECT_TRUE(box.Outside(end));
  EXPECT_EQ(end.x, step.step.end.x);
  EXPECT_EQ(escape.p.y, step.step.end.y);
  EXPECT_EQ(this->draws_, 0);
}

// A step that leaves a coordinate exactly unchanged is not tested for escape: straight
// along the axis, the particle goes on outside until its energy is spent.
TYPED_TEST(ChargedTransportTest, StepWithAnUnchangedCoordinateIsNotTested) {
  using Real = TypeParam;
  for (int i = 1; i <= 24; ++i) this->tables_.ScatterEnergies[i] = Real(1e6 - i);
  const PhantomBox<Real> box{-0.1f, 0.1f, -0.1f, 0.1f, 0.1f};
  const Vec3<Real> end = this->Run(box, {0, 0, Real(0.05)}, Direction<Real>{}, Real(6000));
  EXPECT_EQ(this->log_.Count(EventType::kEscape), 0);
  for (const auto& e : this->log_.events) EXPECT_FALSE(e.step.left_phantom);
  EXPECT_GT(end.z, 2);
  EXPECT_EQ(end.x, 0);
}

// The first step ends exactly on one face of the box (inside) or one representable value
// beyond it (outside).
struct FaceCase {
  const char* face;
  double theta, phi;  // a direction towards that face, all three components non-zero
  bool beyond;
};
constexpr FaceCase kFaces[] = {
    {"xmin", 1.0, 3.0, false}, {"xmin", 1.0, 3.0, true},   {"xmax", 1.0, 0.2, false},
    {"xmax", 1.0, 0.2, true},  {"ymin", 1.0, -1.4, false}, {"ymin", 1.0, -1.4, true},
    {"ymax", 1.0, 1.4, false}, {"ymax", 1.0, 1.4, true},   {"zmax", 0.5, 1.0, false},
    {"zmax", 0.5, 1.0, true},  {"z0", 2.5, 1.0, false},    {"z0", 2.5, 1.0, true},
};

TYPED_TEST(ChargedTransportTest, EndOnAFaceStaysInside) {
  using Real = TypeParam;
  const Real inf = std::numeric_limits<Real>::infinity();
  for (const auto& c : kFaces) {
    SCOPED_TRACE(::testing::Message() << c.face << (c.beyond ? " beyond" : " on"));
    this->log_.events.clear();
    const auto d = Tilted<Real>(c.theta, c.phi);
    const Real T = 1000;
    const Real length = ChargedStepSize(this->tables_, T).length;
    Vec3<Real> start{0, 0, 1};
    const std::string face = c.face;
    if (face == "z0") {
      // -a + a is exactly 0: the end lies on the entrance surface.
      start.z = -(length * d.cosTheta);
      if (c.beyond) start.z = std::nextafter(start.z, -inf);
    }
    const Vec3<Real> end = Advance(start, d, length);
    PhantomBox<Real> box = HugeBox<Real>();
    if (face == "xmin") box.xmin = c.beyond ? std::nextafter(end.x, inf) : end.x;
    if (face == "xmax") box.xmax = c.beyond ? std::nextafter(end.x, -inf) : end.x;
    if (face == "ymin") box.ymin = c.beyond ? std::nextafter(end.y, inf) : end.y;
    if (face == "ymax") box.ymax = c.beyond ? std::nextafter(end.y, -inf) : end.y;
    if (face == "zmax") box.zmax = c.beyond ? std::nextafter(end.z, -inf) : end.z;
    if (face == "z0") {
      ASSERT_EQ(end.z < 0, c.beyond);
    }
    this->Run(box, start, d, T);
    const auto& first = this->log_.events.front();
    EXPECT_EQ(first.step.left_phantom, c.beyond);
    if (c.beyond) {
      EXPECT_EQ(this->log_.events.size(), 2u);  // the step and the escape
    } else {
      EXPECT_GT(this->log_.Count(EventType::kStep), 1);
    }
  }
}

}  // namespace
}  // namespace dosavia
