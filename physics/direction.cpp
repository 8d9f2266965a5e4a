#include "physics/direction.h"

#include <cmath>

namespace dosavia {

// Spherical trigonometry of the triangle formed by the z axis, the old and the new
// direction: the law of cosines gives the new polar cosine, the law of sines and the
// cosine relation give the new azimuth from the old one.
template <typename Real>
Direction<Real> Rotate(const Direction<Real>& old, Real c, Real s, Real phi) {
  const Real cos_phi = std::cos(phi);
  const Real sin_phi = std::sin(phi);
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

template Direction<float> Rotate<float>(const Direction<float>&, float, float, float);
template Direction<double> Rotate<double>(const Direction<double>&, double, double, double);

}  // namespace dosavia
