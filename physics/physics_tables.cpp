#include "physics/physics_tables.h"

namespace dosavia {

template <typename Real>
void PhysicsTables<Real>::SetPhantomConstants(Real half_width_x, Real half_width_y, Real depth) {
  HalfWidthX = half_width_x;
  HalfWidthY = half_width_y;
  PhantomDepth = depth;
  DepthBinWidth[0] = 0;
  for (int k = 1; k <= kDepthBins; ++k) DepthBinWidth[k] = static_cast<Real>(0.1);
}

template struct PhysicsTables<float>;
template struct PhysicsTables<double>;

}  // namespace dosavia
