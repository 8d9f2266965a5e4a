// A phantom of plane layers stacked along the depth. A layer holds a material with data of
// its own (photon coefficients and electron data per g/cm^2, made from its composition)
// at its mass density, or, without, water's data scaled by a water-equivalent density (a
// layer of water itself, and water of another density as the Fano test takes it). Doses
// are per mass of the layer's own material. The layers fill the whole depth of the
// phantom box.
#pragma once

#include <array>

namespace dosavia {

template <typename Real>
struct PhysicsTables;

inline constexpr int kMaxSlabLayers = 64;

template <typename Real>
struct SlabLayers {
  int count = 0;                             // layers 0..count-1 from the surface down
  std::array<Real, kMaxSlabLayers + 1> z{};  // layer k spans z[k]..z[k+1] [cm]; z[0] = 0
  // The density by which the transport turns the layer's data per g/cm^2 into lengths:
  // the mass density [g/cm^3] for a layer with its own data, else the water-equivalent
  // density (electrons per cm^3 over those of water of density 1).
  std::array<Real, kMaxSlabLayers> density{};
  // The layer's own photon and electron data; none: the transport's own (water).
  std::array<const PhysicsTables<Real>*, kMaxSlabLayers> tables{};
  std::array<Real, kMaxSlabLayers> mass_density{};  // [g/cm^3]: what the dose is per

  // The layer holding depth z, taking a point on a plane with the layer below it.
  int LayerAt(Real depth) const {
    int k = 0;
    while (k + 1 < count && !(depth < z[k + 1])) ++k;
    return k;
  }
};

}  // namespace dosavia
