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

template <typename Real>
void PhysicsTables<Real>::PrepareLookups() {
  auto ln = [](Real v) { return v > 0 ? static_cast<Real>(std::log(v)) : Real(0); };
  for (int i = 1; i <= photon_rows; ++i) {
    const PhotonRow<Real>& r = PhotonTable[i];
    photon_logs[i] = {ln(r.energy), ln(r.coherent), ln(r.incoherent), ln(r.photoelectric),
                      ln(r.pair)};
  }
}

template struct PhysicsTables<float>;
template struct PhysicsTables<double>;

}  // namespace dosavia
