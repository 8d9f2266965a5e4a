#include "physics/direction.h"

#include <cmath>
#include <memory>

#include "physics/physics_tables.h"

namespace dosavia {

// Spherical trigonometry of the triangle formed by the z axis, the old and the new
// direction: the law of cosines gives the new polar cosine, the law of sines and the
// cosine relation give the new azimuth from the old one.
template <typename Real>
Direction<Real> Rotate(const Direction<Real>& old, Real c, Real s, Real phi) {
  return RotateAzimuth(old, c, s, Real(std::cos(phi)), Real(std::sin(phi)));
}

template <typename Real>
const AzimuthTable<Real>& StepAzimuths() {
  static const std::unique_ptr<const AzimuthTable<Real>> table = [] {
    auto t = std::make_unique<AzimuthTable<Real>>();
    const Real two_pi = 2 * PhysicsTables<Real>::kPi;
    for (std::int32_t n = 0; n < RandomStream<Real>::kModulus; ++n) {
      // The same operations as 2 pi times Uniform() for the step that gave n.
      const Real phi = two_pi * (static_cast<Real>(n) / RandomStream<Real>::kDivisor);
      t->cos_phi[n] = std::cos(phi);
      t->sin_phi[n] = std::sin(phi);
    }
    return t;
  }();
  return *table;
}

template Direction<float> Rotate<float>(const Direction<float>&, float, float, float);
template Direction<double> Rotate<double>(const Direction<double>&, double, double, double);
template const AzimuthTable<float>& StepAzimuths<float>();
template const AzimuthTable<double>& StepAzimuths<double>();

}  // namespace dosavia
