#include "engine/field_superposition.h"

#include <cmath>

#include "physics/physics_tables.h"

namespace dosavia {

int RingCount(float fs) { return static_cast<int>(fs * std::sqrt(2.0f) * 2.5f); }

float RingWeight(float fs, int j) {
  const float h = fs / 2.0f;
  const float rho = kRingWidthCm * static_cast<float>(j) - 0.1f;  // the ring's middle radius
  if (h >= rho) return 1.0f;
  // Each corner of the square cuts the circle at the half-angle atan(sqrt(rho^2 - h^2)/h)
  // from the side's normal; the arc left inside is the rest of each quarter.
  const float quarter = PhysicsTables<float>::kPi / 4.0f;
  return (quarter - std::atan(std::sqrt(rho * rho - h * h) / h)) / quarter;
}

void Superpose(const DoseTally& tally, FieldDoseTable& field) {
  for (int i = 1; i <= kFields; ++i) {
    const float fs = kFieldSideCm[i];
    const int nr = RingCount(fs);
    std::array<float, kRings + 1> q{};
    for (int j = 1; j <= nr; ++j) q[j] = RingWeight(fs, j);
    for (int k = 1; k <= kSlabs; ++k) {
      for (int j = 1; j <= nr; ++j) {
        field.at(kPrimary, i, k) += q[j] * tally.RingDose(kPrimary, j, k);
        field.at(kScatter, i, k) += q[j] * tally.RingDose(kScatter, j, k);
      }
    }
  }
}

}  // namespace dosavia
