// Where the kinetic energy of the Compton electrons released at one point in water ends up:
// the primary energy-deposition kernel of an X-ray spectrum, summed around the photon's
// direction, on a grid of R (distance from the axis) and Z (depth along the photon's
// direction, 0 at the point of interaction).
#pragma once

#include <cstdint>
#include <vector>

#include "physics/physics_tables.h"
#include "physics/random_stream.h"

namespace dosavia::figures {

// The grid of the kernel map [cm]: R 0..3, Z -1..4 in square bins of 0.05.
inline constexpr double kKernelRMaxCm = 3.0;
inline constexpr double kKernelZMinCm = -1.0;
inline constexpr double kKernelZMaxCm = 4.0;
inline constexpr double kKernelBinCm = 0.05;
inline constexpr int kKernelRBins = 60;
inline constexpr int kKernelZBins = 100;

// Longest piece [cm] over which one condensed-history step's energy loss is spread evenly
// before it is binned: a fifth of a bin, so that a step crossing bins shares out its loss.
inline constexpr double kDepositPieceCm = 0.01;

// The energy deposited by the electrons of one spectrum.
struct ElectronKernel {
  // Energy [keV] deposited in bin (iz, ir), at index iz * kKernelRBins + ir.
  std::vector<double> deposited = std::vector<double>(kKernelZBins * kKernelRBins, 0.0);
  double released_keV = 0;  // kinetic energy given to the electrons (the kerma) [keV]
  double outside_keV = 0;   // energy deposited outside the grid [keV]
  std::int64_t electrons = 0;

  // 2 pi R P(R, Z) of bin (iz, ir) [1/cm^2]: the energy deposited per unit R and unit Z,
  // per unit kerma. Its integral over the whole space is 1.
  double Value(int iz, int ir) const;
};

// Relative number of photons per 50 keV bin of a spectrum, index 1..400 (element 0 unused),
// and the Compton interaction rate of water at the bin centres: weight times the
// incoherent attenuation coefficient. Photons interacting at a point are drawn from it.
std::vector<double> ComptonInteractionWeights(const PhysicsTables<double>& tables,
                                              const std::vector<double>& photon_weights);

// Releases `electrons` Compton electrons at the origin and follows each with the program's
// condensed-history transport in unbounded water. The photon energy is drawn from
// `interaction_weights` (bin centres 50 i - 25 keV), the scattering by the program's
// Compton sampling, and the electron leaves at the recoil angle
// cot(theta_e) = (1 + E / m c^2) tan(theta / 2) from the photon's direction (+Z).
// Electrons below the 5 keV cut-off deposit their energy where they are released.
ElectronKernel ComputeElectronKernel(const PhysicsTables<double>& tables,
                                     RandomStream<double>& random,
                                     const std::vector<double>& interaction_weights,
                                     std::int64_t electrons);

// Farthest extent [cm] of the region where the map reaches `level` [1/cm^2]: the largest Z
// (forward) and the largest R (sideways) of the bins at or above it; -1 when none is.
struct KernelReach {
  double forward_cm = -1;
  double lateral_cm = -1;
};
KernelReach Reach(const ElectronKernel& kernel, double level);

// Share of the released energy deposited within Z < z_max and R < r_max [cm] (and Z above
// the map's top): how much of the kerma stays in that neighbourhood.
double EnergyFractionWithin(const ElectronKernel& kernel, double z_max_cm, double r_max_cm);

}  // namespace dosavia::figures
