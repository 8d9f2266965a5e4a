// NIST XCOM element cross-section files (the element data of the XCOM program, version 3.1)
// and the mass coefficients formed from them.
#pragma once

#include <string>
#include <vector>

namespace dosavia::datagen {

// One element's XCOM table: energies [MeV] and cross sections [barn/atom].
struct XcomElement {
  int Z = 0;
  double atomic_weight = 0;    // [g/mol]
  std::vector<double> energy;  // [MeV], ascending; an absorption edge appears twice
  std::vector<double> coherent;
  std::vector<double> incoherent;
  std::vector<double> photoelectric;
  std::vector<double> pair_nuclear;   // 0 below threshold
  std::vector<double> pair_electron;  // 0 below threshold

  // Converts a cross section [barn/atom] to a mass coefficient [cm^2/g].
  double MassCoefficient(double barn) const { return barn * 0.60221367 / atomic_weight; }
  // Total mass attenuation coefficient with coherent scattering [cm^2/g] at grid row k.
  double TotalAt(std::size_t k) const;
  // Total mass attenuation coefficient with coherent scattering [cm^2/g] at E [MeV],
  // straight-line interpolated in log energy and log coefficient between the grid rows
  // that bracket E (an edge's two rows keep the jump sharp).
  double Total(double energy_mev) const;
};

// Reads an XCOM element file (free-format numbers: Z and A; edge and energy counts; the edge
// indices, labels and energies when there are edges; the energies in eV; then five blocks of
// cross sections). Throws std::runtime_error naming the file when it is missing or short.
XcomElement ReadXcomElement(const std::string& path);

// Water by mass fractions H 0.111894, O 0.888106: the mixture's coefficients [cm^2/g] on the
// elements' common energy grid.
struct WaterCoefficients {
  std::vector<double> energy;  // [MeV]
  std::vector<double> coherent, incoherent, photoelectric, pair_nuclear, pair_electron;
  double Total(std::size_t k) const {
    return coherent[k] + incoherent[k] + photoelectric[k] + pair_nuclear[k] + pair_electron[k];
  }
};
inline constexpr double kWaterHydrogenFraction = 0.111894;
inline constexpr double kWaterOxygenFraction = 0.888106;
// Throws std::runtime_error when the two grids differ.
WaterCoefficients MixWater(const XcomElement& hydrogen, const XcomElement& oxygen);

}  // namespace dosavia::datagen
