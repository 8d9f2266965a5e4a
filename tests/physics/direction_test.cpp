#include "physics/direction.h"

#include <gtest/gtest.h>

#include <cmath>

namespace dosavia {
namespace {

struct V {
  double x, y, z;
};

template <typename Real>
V Unit(const Direction<Real>& d) {
  return {double(d.sinTheta) * d.cosPhi, double(d.sinTheta) * d.sinPhi, double(d.cosTheta)};
}

double Dot(const auto& a, const auto& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

constexpr double kStraightDown = 3.14159265358979;

// The direction of polar angle theta and azimuth phi; kStraightDown is exactly -z.
template <typename Real>
Direction<Real> FromAngles(double theta, double phi) {
  if (theta == kStraightDown) return {-1, 0, 1, 0};
  return {Real(std::cos(theta)), Real(std::sin(theta)), Real(std::cos(phi)), Real(std::sin(phi))};
}

template <typename Real>
class RotateTest : public ::testing::Test {};
using RealTypes = ::testing::Types<float, double>;
TYPED_TEST_SUITE(RotateTest, RealTypes);

// Old direction (theta, phi) and deflection (polar alpha, azimuth psi), radians.
struct RotateCase {
  double theta, phi, alpha, psi;
};
constexpr RotateCase kRotateCases[] = {
    {0.0, 0.0, 0.3, 1.0},            // along +z: the azimuth rule for sinTheta = 0
    {kStraightDown, 0.0, 0.7, 2.5},  // along -z
    {0.4, 0.3, 0.2, 0.0},            // tilted, in-plane deflection
    {1.2, 2.0, 1.0, 4.0},           {2.0, -1.0, 2.9, 5.5},  // near backscatter
    {1.5707963, 0.5, 3.14159, 1.0},                         // reversal
    {0.9, 1.1, 0.0, 3.0},                                   // no deflection keeps the direction
};

TYPED_TEST(RotateTest, NewDirectionIsUnitAndDeflectedByTheGivenAngle) {
  using Real = TypeParam;
  const double tol = std::is_same_v<Real, float> ? 2e-6 : 1e-12;
  for (const auto& c : kRotateCases) {
    const auto old = FromAngles<Real>(c.theta, c.phi);
    const auto d =
        Rotate(old, Real(std::cos(c.alpha)), Real(std::sin(c.alpha)), static_cast<Real>(c.psi));
    const auto u = Unit(d);
    SCOPED_TRACE(::testing::Message() << c.theta << " " << c.phi << " " << c.alpha << " " << c.psi);
    EXPECT_NEAR(Dot(u, u), 1, 4 * tol);
    EXPECT_NEAR(Dot(u, Unit(old)), std::cos(c.alpha), 4 * tol);
    EXPECT_GE(d.sinTheta, 0);
    EXPECT_NEAR(double(d.cosPhi) * d.cosPhi + double(d.sinPhi) * d.sinPhi, 1, 8 * tol);
  }
}

// A Compton photon and its electron, or a pair's electron and positron, leave at azimuths
// phi and phi + pi: in one plane with the old direction, on opposite sides of it.
TYPED_TEST(RotateTest, AzimuthsHalfATurnApartLieOnOppositeSidesOfOnePlane) {
  using Real = TypeParam;
  const Real pi = Real(3.14159);
  for (const auto& c : kRotateCases) {
    if (c.alpha == 0 || c.alpha > 3) continue;
    const auto old = FromAngles<Real>(c.theta, c.phi);
    const auto a = Unit(Rotate(old, Real(std::cos(c.alpha)), Real(std::sin(c.alpha)), Real(c.psi)));
    const auto b = Unit(Rotate(old, Real(std::cos(0.4)), Real(std::sin(0.4)), Real(c.psi) + pi));
    const auto o = Unit(old);
    const V n{a.y * o.z - a.z * o.y, a.z * o.x - a.x * o.z, a.x * o.y - a.y * o.x};
    EXPECT_NEAR(Dot(n, b), 0, 1e-5);
    const double ca = Dot(a, o), cb = Dot(b, o);
    const V pa{a.x - ca * o.x, a.y - ca * o.y, a.z - ca * o.z};
    const V pb{b.x - cb * o.x, b.y - cb * o.y, b.z - cb * o.z};
    EXPECT_LT(Dot(pa, pb), 0);
  }
}

// Rounding can give a polar cosine just below -1 for a deflection that reverses the
// direction; the result must be the exact reversal, not NaN.
TYPED_TEST(RotateTest, CosineBelowMinusOneIsClamped) {
  using Real = TypeParam;
  const Real phi = static_cast<Real>(3.14159265358979323846);
  const Real cos_phi = std::cos(phi);
  bool found = false;
  for (int k = 1; k < 20000 && !found; ++k) {
    const Real ct = std::cos(Real(k * 1e-4)), st = std::sin(Real(k * 1e-4));
    const Real raw = ct * -ct + st * st * cos_phi;
    if (!(raw < -1)) continue;
    found = true;
    const auto d = Rotate(Direction<Real>{ct, st, 1, 0}, -ct, st, phi);
    EXPECT_EQ(d.cosTheta, -1);
    EXPECT_EQ(d.sinTheta, 0);
    EXPECT_FALSE(std::isnan(d.cosPhi) || std::isnan(d.sinPhi));
  }
  EXPECT_TRUE(found) << "no direction found whose reversal rounds below -1";
}

}  // namespace
}  // namespace dosavia
