// Turning a direction by a polar deflection and an azimuth, and moving a point along it.
#pragma once

#include "physics/transport_events.h"

namespace dosavia {

// The direction after a deflection by the polar angle whose cosine is c and sine s
// (s >= 0) about the old direction, at the azimuth phi [rad] around it. Works only with the
// cosines and sines of the direction, never with its angles. A new polar cosine that
// rounding pushes beyond +-1 is clamped to +-1, so the sine never becomes NaN.
template <typename Real>
Direction<Real> Rotate(const Direction<Real>& old, Real c, Real s, Real phi);

extern template Direction<float> Rotate<float>(const Direction<float>&, float, float, float);
extern template Direction<double> Rotate<double>(const Direction<double>&, double, double,
                                                 double);

// The point p moved by the distance s [cm] along d.
template <typename Real>
inline Vec3<Real> Advance(const Vec3<Real>& p, const Direction<Real>& d, Real s) {
  return {p.x + s * (d.sinTheta * d.cosPhi), p.y + s * (d.sinTheta * d.sinPhi),
          p.z + s * d.cosTheta};
}

}  // namespace dosavia
