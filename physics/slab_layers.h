// A phantom of plane layers stacked along the depth. Every material is taken as water scaled
// to its electron density: at megavoltage energies Compton scattering, the collision
// stopping power and the pair production of light elements all go with the electrons per
// cm^3, so a layer scales water's data per g/cm^2 (attenuation and interaction fractions,
// stopping powers, cross sections, transport mean free paths) by its water-equivalent
// density. Doses are per mass of the layer's own material. The layers fill the whole depth
// of the phantom box.
#pragma once

#include <array>

namespace dosavia {

inline constexpr int kMaxSlabLayers = 64;

template <typename Real>
struct SlabLayers {
  int count = 0;                             // layers 0..count-1 from the surface down
  std::array<Real, kMaxSlabLayers + 1> z{};  // layer k spans z[k]..z[k+1] [cm]; z[0] = 0
  // Water-equivalent density: the layer's electrons per cm^3 over those of water of
  // density 1 [g/cm^3]; the transport scales every path by it.
  std::array<Real, kMaxSlabLayers> density{};
  std::array<Real, kMaxSlabLayers> mass_density{};  // [g/cm^3]: what the dose is per

  // The layer holding depth z, taking a point on a plane with the layer below it.
  int LayerAt(Real depth) const {
    int k = 0;
    while (k + 1 < count && !(depth < z[k + 1])) ++k;
    return k;
  }
};

}  // namespace dosavia
