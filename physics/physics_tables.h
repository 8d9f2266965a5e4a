// The physics data of water held in memory, the phantom constants, and the table lookups
// that photon and electron transport perform.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "physics/electron_data.h"

namespace dosavia {

// One energy row of the photon coefficients of water [1/cm] (density 1).
template <typename Real>
struct PhotonRow {
  Real coherent = 0;
  Real incoherent = 0;
  Real photoelectric = 0;
  Real pair = 0;    // nuclear-field + electron-field pair production
  Real energy = 0;  // [keV]
};

// One row of the coherent and incoherent atomic functions of water.
template <typename Real>
struct FormFactorRow {
  Real x = 0;           // sin(theta/2)/lambda [1/angstrom]
  Real cumulative = 0;  // cumulative coherent form-factor integral up to x
  Real incoherent = 0;  // incoherent scattering function S(x)
};

// Total attenuation coefficient and the cumulative probabilities of the interactions.
template <typename Real>
struct Attenuation {
  Real mu;  // [1/cm]
  Real P1;  // coherent
  Real P2;  // coherent + Compton
  Real P3;  // coherent + Compton + photoelectric (1 below the pair threshold)
};

// All tables are 1-based like the data files they come from; element 0 is unused.
template <typename Real>
struct PhysicsTables {
  static constexpr int kMaxPhotonRows = 46;
  static constexpr int kFormFactorRows = 45;
  static constexpr int kScatterRows = 24;
  static constexpr int kQuantiles = 65;
  static constexpr int kDepthBins = 300;
  // Converts a ScatterAngleTable entry (cosine times 16384) back to a cosine.
  static constexpr Real kQuantileScale = static_cast<Real>(6.10352E-05);
  // The program's one circle constant, the decimal 3.14159 rather than std::numbers::pi:
  // the engine's scattering azimuths and ring weights have always been computed with it,
  // and the single stream's result files stay byte for byte what they were.
  static constexpr Real kPi = static_cast<Real>(3.14159);

  int photon_rows = 0;
  std::array<PhotonRow<Real>, kMaxPhotonRows + 1> PhotonTable{};
  std::array<FormFactorRow<Real>, kFormFactorRows + 1> FormFactorTable{};
  std::array<std::array<std::int32_t, kQuantiles + 1>, kScatterRows + 1> ScatterAngleTable{};
  std::array<Real, kScatterRows + 1> ScatterEnergies{};  // [keV], descending

  Real CoherentCumMax = 0;
  Real IncoherentMax = 0;
  // 1 - 0.5^0.125: eight steps halve an electron's energy. The single-precision engine holds
  // the decimal 0.08299595, which is not the float nearest 0.0829959568.
  static constexpr Real kStepLossFraction = std::is_same_v<Real, float>
                                                ? static_cast<Real>(0.08299595f)
                                                : static_cast<Real>(0.0829959568);
  Real StepLossFraction = kStepLossFraction;
  Real HalfWidthX = 25;                              // [cm]
  Real HalfWidthY = 25;                              // [cm]
  Real PhantomDepth = 30;                            // [cm]
  std::array<Real, kDepthBins + 1> DepthBinWidth{};  // [cm]
  // The accurate transport's electron data; loaded (rows > 0) only for runs that use it.
  ElectronData<Real> electrons;

  // Natural logarithms of the PhotonTable columns (0 for a zero pair value). Every flight
  // interpolates between two rows; taking the row logarithms once here leaves each flight
  // only the logarithm of its own energy, with the same numbers as taking them each time.
  struct PhotonLogRow {
    Real energy, coherent, incoherent, photoelectric, pair;
  };
  std::array<PhotonLogRow, kMaxPhotonRows + 1> photon_logs{};

  // Fills photon_logs from PhotonTable; the loader calls it, and so must anyone who fills
  // PhotonTable by hand before asking PhotonCoefficients.
  void PrepareLookups();

  // The first row k in [first, last) whose value(k) is greater than key, or last when there
  // is none: the upward row search of the lookups, made by bisection (the loader guarantees
  // ascending columns), with the same answer as walking up one row at a time.
  template <typename Value>
  static int FirstAbove(int first, int last, Real key, Value value) {
    int base = first;
    int n = last - first;
    if (n <= 0) return last;
    while (n > 1) {
      const int half = n / 2;
      base = (value(base + half) > key) ? base : base + half;
      n -= half;
    }
    return base + (value(base) > key ? 0 : 1);
  }

  // Phantom extents and the 300 depth bins of 0.1 cm.
  void SetPhantomConstants(Real half_width_x, Real half_width_y, Real depth);

  // Attenuation at photon energy E [keV], log-log interpolated between the rows that bracket
  // E. An E at or above the last row uses (extrapolates) the last interval, never reading
  // past the table.
  Attenuation<Real> PhotonCoefficients(Real E) const {
    const int i = FirstAbove(2, photon_rows, E, [this](int k) { return PhotonTable[k].energy; });
    const PhotonLogRow& lo = photon_logs[i - 1];
    const PhotonLogRow& hi = photon_logs[i];
    const Real f = (std::log(E) - lo.energy) / (hi.energy - lo.energy);
    auto interp = [f](Real la, Real lb) { return static_cast<Real>(std::exp(la + f * (lb - la))); };
    const Real coh = interp(lo.coherent, hi.coherent);
    const Real inc = interp(lo.incoherent, hi.incoherent);
    const Real pho = interp(lo.photoelectric, hi.photoelectric);
    const bool has_pair = PhotonTable[i - 1].pair != 0 && PhotonTable[i].pair != 0;
    const Real pair = has_pair ? interp(lo.pair, hi.pair) : Real(0);
    const Real mu = pair + pho + inc + coh;
    // Without a pair coefficient P3 is exactly 1: rounding must never let a photon below
    // the pair threshold choose pair production.
    const Real P3 = pair == 0 ? Real(1) : (coh + inc + pho) / mu;
    return {mu, coh / mu, (coh + inc) / mu, P3};
  }

  // x of the form-factor integral u in [0, CoherentCumMax), linear between rows.
  Real CoherentInverse(Real u) const {
    const int i =
        FirstAbove(2, kFormFactorRows, u, [this](int k) { return FormFactorTable[k].cumulative; });
    const FormFactorRow<Real>& lo = FormFactorTable[i - 1];
    const FormFactorRow<Real>& hi = FormFactorTable[i];
    return lo.x + (hi.x - lo.x) * (u - lo.cumulative) / (hi.cumulative - lo.cumulative);
  }

  // S(x) for x below the last row, linear between rows.
  Real IncoherentFunction(Real x) const {
    const int i = FirstAbove(2, kFormFactorRows, x, [this](int k) { return FormFactorTable[k].x; });
    const FormFactorRow<Real>& lo = FormFactorTable[i - 1];
    const FormFactorRow<Real>& hi = FormFactorTable[i];
    return lo.incoherent + (hi.incoherent - lo.incoherent) / (hi.x - lo.x) * (x - lo.x);
  }

  // Upper of the two ScatterEnergies rows bracketing T [keV], or 0 when T is at or below
  // every energy from row 4 on (then the electron is not deflected and draws no number).
  // A track's energy only falls, so its next search may start from the row it found last
  // (`from`, at least 4): the answer is the same as searching from row 4.
  int DeflectionRow(Real T, int from = 4) const {
    for (int i = from; i <= kScatterRows; ++i)
      if (T > ScatterEnergies[i]) return i - 1;
    return 0;
  }

  // Deflection cosine of one electron step at T [keV] for the uniform number r1, in [-1, 1].
  Real DeflectionCosine(Real T, Real r1) const {
    const int i = DeflectionRow(T);
    return i == 0 ? Real(1) : DeflectionCosineAtRow(i, T, r1);
  }

  // DeflectionCosine between rows i and i + 1 of the table (i from DeflectionRow). The
  // inverse of the step's cumulative angular distribution (Goudsmit-Saunderson theory for
  // the screened Rutherford cross section, tabulated at 65 equally spaced probabilities)
  // is interpolated linearly in probability within each row, then linearly in T between
  // the two rows that bracket the electron's energy.
  Real DeflectionCosineAtRow(int i, Real T, Real r1) const {
    const Real u = 64 * r1;
    int n = static_cast<int>(u);
    if (n > 63) n = 63;
    const Real g = u - static_cast<Real>(n);
    const int j = n + 1;
    const auto& row = ScatterAngleTable[i];
    const auto& next = ScatterAngleTable[i + 1];
    const Real w1 = static_cast<Real>(row[j]) + g * static_cast<Real>(row[j + 1] - row[j]);
    const Real w2 = static_cast<Real>(next[j]) + g * static_cast<Real>(next[j + 1] - next[j]);
    const Real h = (T - ScatterEnergies[i]) / (ScatterEnergies[i + 1] - ScatterEnergies[i]);
    Real c = kQuantileScale * (w1 + h * (w2 - w1));
    // The table's -16384 times the scale lies just below -1: clamp both ends.
    if (c > 1) c = 1;
    if (c < -1) c = -1;
    return c;
  }
};

extern template struct PhysicsTables<float>;
extern template struct PhysicsTables<double>;

}  // namespace dosavia
