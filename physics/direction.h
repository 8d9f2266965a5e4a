// Turning a direction by a polar deflection and an azimuth, and moving a point along it.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "physics/random_stream.h"
#include "physics/transport_events.h"

namespace dosavia {

// The direction after a deflection by the polar angle whose cosine is c and sine s
// (s >= 0) about the old direction, at the azimuth phi [rad] around it. Works only with the
// cosines and sines of the direction, never with its angles. A new polar cosine that
// rounding pushes beyond +-1 is clamped to +-1, so the sine never becomes NaN.
template <typename Real>
Direction<Real> Rotate(const Direction<Real>& old, Real c, Real s, Real phi);

// Rotate with the azimuth given by its cosine and sine (those of phi, as std::cos and
// std::sin give them).
template <typename Real>
inline Direction<Real> RotateAzimuth(const Direction<Real>& old, Real c, Real s, Real cos_phi,
                                     Real sin_phi) {
  Real ct = old.cosTheta * c + old.sinTheta * s * cos_phi;
  // Rounding can push the cosine just past either pole; beyond -1 the square root below
  // would otherwise give NaN and lose the particle.
  if (ct > 1) ct = 1;
  if (ct < -1) ct = -1;
  Direction<Real> d;
  d.cosTheta = ct;
  d.sinTheta = std::sqrt(1 - ct * ct);
  if (d.sinTheta == 0) {
    d.sinPhi = 0;
    d.cosPhi = 1;
    return d;
  }
  if (old.sinTheta == 0) {
    d.sinPhi = sin_phi;
    d.cosPhi = -cos_phi;
    return d;
  }
  const Real a = s * sin_phi / d.sinTheta;
  const Real b = (c - ct * old.cosTheta) / (d.sinTheta * old.sinTheta);
  d.sinPhi = a * old.cosPhi + b * old.sinPhi;
  d.cosPhi = b * old.cosPhi - a * old.sinPhi;
  return d;
}

// Cosine and sine of the azimuth 2 pi u for each of the generator's 16384 integers n, with
// u = n / 16384.1: an azimuth drawn as one uniform number has only these values, so its
// cosine and sine are looked up instead of computed for every deflection. Filled once, on
// first use, with the very std::cos and std::sin calls that Rotate makes, so a lookup
// gives the same bits on any platform (a table computed at compile time might not).
template <typename Real>
struct AzimuthTable {
  std::array<Real, RandomStream<Real>::kModulus> cos_phi;
  std::array<Real, RandomStream<Real>::kModulus> sin_phi;
};

template <typename Real>
const AzimuthTable<Real>& StepAzimuths();

// Draws one number from the generator as an azimuth 2 pi u and returns the direction old
// turned by (c, s) at that azimuth: Rotate(old, c, s, 2 pi u) without the trigonometry.
template <typename Real>
inline Direction<Real> RotateAtDrawnAzimuth(const Direction<Real>& old, Real c, Real s,
                                            const AzimuthTable<Real>& azimuths,
                                            RandomStream<Real>& random) {
  const std::int32_t n = random.Step();
  return RotateAzimuth(old, c, s, azimuths.cos_phi[n], azimuths.sin_phi[n]);
}

extern template Direction<float> Rotate<float>(const Direction<float>&, float, float, float);
extern template Direction<double> Rotate<double>(const Direction<double>&, double, double, double);
extern template const AzimuthTable<float>& StepAzimuths<float>();
extern template const AzimuthTable<double>& StepAzimuths<double>();

// The point p moved by the distance s [cm] along d.
template <typename Real>
inline Vec3<Real> Advance(const Vec3<Real>& p, const Direction<Real>& d, Real s) {
  return {p.x + s * (d.sinTheta * d.cosPhi), p.y + s * (d.sinTheta * d.sinPhi),
          p.z + s * d.cosTheta};
}

}  // namespace dosavia
