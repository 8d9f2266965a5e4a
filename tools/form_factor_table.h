// The coherent and incoherent atomic functions of water for "water20.dat", from Hubbell's
// tabulated atomic form factors and incoherent scattering functions (through xraylib's
// FF_Rayl and SF_Compt) in the independent-atom model.
#pragma once

#include <vector>

namespace dosavia::datagen {

inline constexpr int kFormFactorRows = 45;
inline constexpr double kFormFactorMaxX = 10;  // [1/angstrom]
// Rows are chosen on a grid of this step in x [1/angstrom].
inline constexpr double kFormFactorGridStep = 0.001;
// x of backscatter at 5 keV, the lowest photon energy followed: 5 / 12.4 [1/angstrom].
inline constexpr double kLowestBackscatterX = 5.0 / 12.4;

struct FormFactorRecord {
  double x;           // sin(theta/2)/lambda [1/angstrom]
  double cumulative;  // integral of F^2(x') d(x'^2) from 0 to x, F^2 = 2 F_H^2 + F_O^2
  double incoherent;  // S(x) = 2 S_H + S_O
};

struct FormFactorTable {
  std::vector<FormFactorRecord> rows;  // 45 rows, x from 0 to 10
  // Largest deviation of the straight line between rows from the function, relative to
  // the function's value at max(x of the row above, kLowestBackscatterX).
  double cumulative_error = 0;
  double incoherent_error = 0;
};

// Builds the table: both functions on the fine grid, then rows placed greedily, each time
// halving the interval whose straight-line interpolation strays furthest (in the relative
// measure above) from either function, until there are 45 rows. Throws std::runtime_error
// when xraylib reports an error.
FormFactorTable BuildWaterFormFactorTable();

}  // namespace dosavia::datagen
