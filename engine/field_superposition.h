// Pencil-beam superposition: the ring doses around one narrow beam folded into the
// central-axis depth doses of square fields.
#pragma once

#include <array>

#include "engine/beam_geometry.h"
#include "engine/dose_tally.h"

namespace dosavia {

// Central-axis depth dose of the ten square fields, per component [keV per slab], 1-based.
struct FieldDoseTable {
  // [component - 1][field][slab]
  std::array<std::array<std::array<float, kSlabs + 1>, kFields + 1>, kComponents> dose{};

  float& at(int component, int field, int slab) { return dose[component - 1][field][slab]; }
  float at(int component, int field, int slab) const { return dose[component - 1][field][slab]; }
};

// Number of whole rings inside the half-diagonal of a square field of side fs [cm]:
// trunc(fs sqrt(2) 2.5) in float (3, 7, 10, ..., 70 for the ten fields).
int RingCount(float fs);

// Fraction of the circle through the middle of ring j that lies inside the square field of
// side fs [cm] centred on the axis: 1 while the circle stays within the square, otherwise
// the arc left inside by the four corners, with the engine's pi.
float RingWeight(float fs, int j);

// Reciprocity: the dose on the axis of a uniform field equals the dose around one pencil
// integrated over the field's area, so each field sums its rings weighted by RingWeight.
// Adds into `field`, which starts at zero.
void Superpose(const DoseTally& tally, FieldDoseTable& field);

}  // namespace dosavia
