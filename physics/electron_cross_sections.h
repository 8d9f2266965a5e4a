// The electron and positron cross sections of water that the accurate transport samples and
// that its data generator integrates into the tables: Møller and Bhabha scattering on the
// atomic electrons, Bethe–Heitler bremsstrahlung with Thomas–Fermi screening, and Heitler's
// two-photon annihilation in flight. One set of formulas for both, so that the tables and
// the sampling can never disagree. Energies in keV, lengths in cm, water of density 1
// unless another medium is named (the slab phantoms' materials, whose tables the generator
// makes with the same formulas).
#pragma once

#include <algorithm>
#include <cmath>

namespace dosavia::electron_xs {

inline constexpr double kRestKeV = 510.99895;  // m c^2
inline constexpr double kClassicalRadiusCm = 2.8179403262e-13;
inline constexpr double kFineStructure = 7.2973525693e-3;
inline constexpr double kMoleculesPerCm3 = 3.342827e22;  // N_A / 18.01528 g/mol, density 1
inline constexpr double kElectronsPerCm3 = 10 * kMoleculesPerCm3;
// 2 pi r_e^2 m c^2 n_e [keV/cm] for n_e electrons per cm^3: the scale of every collision
// formula below.
constexpr double CollisionScaleKeVPerCm(double electrons_per_cm3) {
  return 2 * 3.14159265358979 * kClassicalRadiusCm * kClassicalRadiusCm * kRestKeV *
         electrons_per_cm3;
}
inline constexpr double kCollisionScaleKeVPerCm = CollisionScaleKeVPerCm(kElectronsPerCm3);
// Mean excitation energy of liquid water, 75 eV, over m c^2, squared (ICRU Report 37).
inline constexpr double kExcitationOverRestSquared = (0.075 / kRestKeV) * (0.075 / kRestKeV);

// An element of a medium for bremsstrahlung: atoms per water molecule's mass (per
// 18.01528 g / N_A of the medium), Z, Z^(1/3) and ln Z.
struct MediumAtom {
  double count, z, cube_root, ln_z;
};

// What the formulas below need of a medium at density 1 g/cm^3: its electrons per cm^3,
// (I / m c^2)^2, Sternheimer's density-effect parameters (-C, x0, x1, a, m; delta = 0
// below x0) and its atoms.
struct Medium {
  double electrons_per_cm3;
  double excitation_over_rest_squared;
  double neg_c, x0, x1, a, m;
  const MediumAtom* atoms;
  int atom_count;
};

inline constexpr MediumAtom kWaterAtoms[] = {{2, 1, 1, 0}, {1, 8, 2, 2.0794415417}};
// Liquid water (Sternheimer, Berger, Seltzer, At. Data Nucl. Data Tables 30 (1984) 261:
// -C = 3.5017, x0 = 0.2400, x1 = 2.8004, a = 0.09116, m = 3.4773).
inline constexpr Medium kWater{kElectronsPerCm3,
                               kExcitationOverRestSquared,
                               3.5017,
                               0.24,
                               2.8004,
                               0.09116,
                               3.4773,
                               kWaterAtoms,
                               2};

// Sternheimer's density-effect correction delta of `medium` at log10(beta gamma) = x.
template <typename Real>
Real DensityEffect(Real x, const Medium& medium = kWater) {
  const Real two_ln10 = static_cast<Real>(4.605170186);
  if (x < static_cast<Real>(medium.x0)) return 0;
  const Real d = two_ln10 * x - static_cast<Real>(medium.neg_c);
  if (x >= static_cast<Real>(medium.x1)) return d;
  return d + static_cast<Real>(medium.a) *
                 std::pow(static_cast<Real>(medium.x1) - x, static_cast<Real>(medium.m));
}

// Collision stopping power restricted to energy transfers below `cut` [keV/cm] for an
// electron (Møller) or a positron (Bhabha) of kinetic energy T [keV]; the cut is capped at
// the largest transfer (T/2 for an electron, T for a positron), where it becomes the
// unrestricted Bethe formula (ICRU Report 37, eqs. 2.9-2.11; in the form of Geant4's
// G4MollerBhabhaModel).
template <typename Real>
Real RestrictedCollisionStoppingPower(Real T, Real cut, bool positron,
                                      const Medium& medium = kWater) {
  const Real m = static_cast<Real>(kRestKeV);
  const Real tau = T / m;
  const Real gamma = tau + 1;
  const Real bg2 = tau * (tau + 2);
  const Real beta2 = bg2 / (gamma * gamma);
  const Real d = std::min(cut, positron ? T : T / 2) / m;
  Real f = std::log(2 * (tau + 2) / static_cast<Real>(medium.excitation_over_rest_squared));
  if (!positron) {
    f += -1 - beta2 + std::log((tau - d) * d) + tau / (tau - d) +
         (d * d / 2 + (2 * tau + 1) * std::log(1 - d / tau)) / (gamma * gamma);
  } else {
    const Real d2 = d * d / 2;
    const Real d3 = d2 * d / static_cast<Real>(1.5);
    const Real d4 = d3 * d * static_cast<Real>(0.75);
    const Real y = 1 / (1 + gamma);
    f += std::log(tau * d) -
         beta2 * (tau + 2 * d - y * (3 * d2 + y * (d - d3 + y * (d2 - tau * d3 + d4)))) / tau;
  }
  f -= DensityEffect(std::log(bg2) / static_cast<Real>(4.605170186), medium);
  return std::max(Real(0),
                  static_cast<Real>(CollisionScaleKeVPerCm(medium.electrons_per_cm3)) * f / beta2);
}

// Macroscopic cross section [1/cm] for handing a free electron more than `cut` [keV]: Møller
// scattering of an electron (the faster one keeps the name, transfers up to T/2), Bhabha
// scattering of a positron (transfers up to T). 0 where no transfer above the cut exists.
template <typename Real>
Real HardCollisionCrossSection(Real T, Real cut, bool positron, const Medium& medium = kWater) {
  const Real m = static_cast<Real>(kRestKeV);
  const Real xmin = cut / T;
  const Real xmax = positron ? Real(1) : Real(0.5);
  if (!(xmin < xmax)) return 0;
  const Real gamma = T / m + 1;
  const Real gamma2 = gamma * gamma;
  const Real beta2 = 1 - 1 / gamma2;
  Real cross;
  if (!positron) {
    const Real gg = (2 * gamma - 1) / gamma2;
    cross = ((xmax - xmin) * (1 - gg + 1 / (xmin * xmax) + 1 / ((1 - xmin) * (1 - xmax))) -
             gg * std::log(xmax * (1 - xmin) / (xmin * (1 - xmax)))) /
            beta2;
  } else {
    const Real y = 1 / (1 + gamma);
    const Real y2 = y * y;
    const Real y12 = 1 - 2 * y;
    const Real b1 = 2 - y2;
    const Real b2 = y12 * (3 + y2);
    const Real y122 = y12 * y12;
    const Real b4 = y122 * y12;
    const Real b3 = b4 + y122;
    cross = (xmax - xmin) * (1 / (beta2 * xmin * xmax) + b2 - b3 * (xmin + xmax) / 2 +
                             b4 * (xmin * xmin + xmin * xmax + xmax * xmax) / 3) -
            b1 * std::log(xmax / xmin);
  }
  return std::max(Real(0),
                  static_cast<Real>(CollisionScaleKeVPerCm(medium.electrons_per_cm3)) * cross / T);
}

// The rejection function of the fraction x = W / T handed over in a hard collision, for
// x drawn from 1/x^2 between cut/T and the largest fraction: Møller's or Bhabha's
// cross section over its 1/x^2 part, and its bound over the range (the acceptance
// probability is Value / Bound).
template <typename Real>
struct HardCollisionShape {
  Real gamma, beta2, gg, b1, b2, b3, b4;
  bool positron;

  HardCollisionShape(Real T, bool is_positron) : positron(is_positron) {
    gamma = T / static_cast<Real>(kRestKeV) + 1;
    beta2 = 1 - 1 / (gamma * gamma);
    gg = (2 * gamma - 1) / (gamma * gamma);
    const Real y = 1 / (1 + gamma);
    const Real y12 = 1 - 2 * y;
    b1 = 2 - y * y;
    b2 = y12 * (3 + y * y);
    b4 = y12 * y12 * y12;
    b3 = b4 + y12 * y12;
  }
  Real Value(Real x) const {
    if (!positron) {
      const Real y = 1 - x;
      return 1 - gg * x + x * x * (1 - gg + (1 - gg * y) / (y * y));
    }
    const Real x2 = x * x;
    return 1 + (x2 * x2 * b4 - x * x2 * b3 + x2 * b2 - x * b1) * beta2;
  }
  Real Bound(Real xmin) const {
    if (!positron) return Value(Real(0.5));
    return 1 + (b4 - xmin * xmin * xmin * b3 + b2 - xmin * b1) * beta2;
  }
};

// The Thomas–Fermi screening functions phi1, phi2 of bremsstrahlung and pair production at
// the screening variable delta, in Butcher and Messel's fits (Nucl. Phys. 20 (1960) 15).
template <typename Real>
inline void ScreeningFunctions(Real delta, Real& phi1, Real& phi2) {
  if (delta <= 1) {
    phi1 = static_cast<Real>(20.867) - static_cast<Real>(3.242) * delta +
           static_cast<Real>(0.625) * delta * delta;
    phi2 = static_cast<Real>(20.029) - static_cast<Real>(1.930) * delta -
           static_cast<Real>(0.086) * delta * delta;
  } else {
    phi1 = phi2 = static_cast<Real>(21.12) -
                  static_cast<Real>(4.184) * std::log(delta + static_cast<Real>(0.952));
  }
}

// The sum over a medium's atoms, each weighted by n_i Z_i (Z_i + 1) (nuclei and atomic
// electrons), of a bracket of the Thomas–Fermi screening functions that bremsstrahlung and pair
// production share: `bracket`(phi1/4 - ln Z / 3, phi2/4 - ln Z / 3) at delta = base / Z^(1/3),
// each atom's bracket counted from 0 up.
template <typename Real, typename Bracket>
Real ScreenedAtomSum(Real base, const Medium& medium, Bracket bracket) {
  Real sum = 0;
  for (int i = 0; i < medium.atom_count; ++i) {
    const MediumAtom& a = medium.atoms[i];
    const Real delta = base / static_cast<Real>(a.cube_root);
    Real phi1, phi2;
    ScreeningFunctions(delta, phi1, phi2);
    const Real lz = static_cast<Real>(a.ln_z) / 3;
    const Real b = bracket(phi1 / 4 - lz, phi2 / 4 - lz);
    sum += static_cast<Real>(a.count * a.z * (a.z + 1)) * std::max(Real(0), b);
  }
  return sum;
}

// Bethe–Heitler bremsstrahlung of a medium, water by default (2 H + O per molecule, Z(Z+1) for the
// field of the atomic electrons), with the Thomas–Fermi screening functions of Butcher and Messel
// (Nucl. Phys. 20 (1960) 15) as EGS4 uses them and no Coulomb correction:
// k d sigma/dk = 4 alpha r_e^2 sum_i n_i Z_i (Z_i + 1) B_i(k) per molecule, with
// B = (1 + e^2)(phi1/4 - ln Z / 3) - (2/3) e (phi2/4 - ln Z / 3), e = E'/E the total
// energies after and before, phi1,2 at delta = 136 m k / (Z^(1/3) E E').
// Returns sum_i n_i Z_i (Z_i + 1) B_i, never negative; 0 outside 0 < k < T.
template <typename Real>
Real BremsstrahlungShape(Real T, Real k, const Medium& medium = kWater) {
  if (!(k > 0 && k < T)) return 0;
  const Real m = static_cast<Real>(kRestKeV);
  const Real E = T + m;
  const Real Ep = E - k;
  const Real e = Ep / E;
  return ScreenedAtomSum(136 * m * k / (E * Ep), medium,
                         [e](Real f1, Real f2) { return (1 + e * e) * f1 - Real(2) / 3 * e * f2; });
}

// Pair production by a photon of energy k [keV] in a medium, water by default: Bethe–Heitler
// with the same Thomas–Fermi screening functions, as EGS4 and EGSnrc sample it below 50 MeV,
// no Coulomb correction; the field of the atomic electrons (triplets) is counted as
// Z(Z + 1) with the nuclei's. With e = E+ / k the share of one particle in the total energy,
// d sigma / de is proportional to sum_i n_i Z_i (Z_i + 1) [(e^2 + (1 - e)^2)(phi1/4 - ln Z / 3)
// + (2/3) e (1 - e)(phi2/4 - ln Z / 3)] at delta = 136 m / (Z^(1/3) k e (1 - e)). Screening
// is far from complete at 5-20 MeV in water (delta about 9 at e = 1/2 and 15 MeV for oxygen):
// it makes the sharing nearly even, where complete screening favours one fast particle.
// Returns the bracketed sum, never negative; 0 outside 0 < e < 1.
template <typename Real>
Real PairShape(Real k, Real e, const Medium& medium = kWater) {
  if (!(e > 0 && e < 1)) return 0;
  const Real m = static_cast<Real>(kRestKeV);
  const Real shared = e * (1 - e);
  const Real outer = 1 - 2 * shared;  // e^2 + (1 - e)^2
  return ScreenedAtomSum(136 * m / (k * shared), medium, [outer, shared](Real f1, Real f2) {
    return outer * f1 + Real(2) / 3 * shared * f2;
  });
}

// A bound of PairShape(k, e) over e: the screening functions fall as delta grows, delta is
// least at e = 1/2, and the bracket is at most its first factor's value (phi2 <= phi1), so
// phi1 at e = 1/2 bounds every e.
template <typename Real>
Real PairShapeBound(Real k, const Medium& medium = kWater) {
  const Real m = static_cast<Real>(kRestKeV);
  const Real base = 4 * 136 * m / k;
  Real sum = 0;
  for (int i = 0; i < medium.atom_count; ++i) {
    const MediumAtom& a = medium.atoms[i];
    const Real delta = base / static_cast<Real>(a.cube_root);
    Real phi1, phi2;
    ScreeningFunctions(delta, phi1, phi2);
    sum += static_cast<Real>(a.count * a.z * (a.z + 1)) *
           std::max(Real(0), phi1 / 4 - static_cast<Real>(a.ln_z) / 3);
  }
  return sum;
}

// A bound of BremsstrahlungShape over every k and T: its value at delta = 0, e = 1.
template <typename Real>
Real BremsstrahlungShapeBound() {
  const double lz8 = 2.0794415417 / 3;
  const double b_h = 2 * (20.867 / 4) - 2.0 / 3 * (20.029 / 4);
  const double b_o = 2 * (20.867 / 4 - lz8) - 2.0 / 3 * (20.029 / 4 - lz8);
  return static_cast<Real>(2 * 2 * b_h + 72 * b_o);
}

// 4 alpha r_e^2 N [1/cm]: turns BremsstrahlungShape into k d Sigma/dk per cm.
inline constexpr double kBremsstrahlungScalePerCm =
    4 * kFineStructure * kClassicalRadiusCm * kClassicalRadiusCm * kMoleculesPerCm3;

// Heitler's cross section for two-photon annihilation in flight of a positron of kinetic
// energy T [keV] with the atomic electrons at rest [1/cm] (W. Heitler, The Quantum Theory
// of Radiation, 1954; PENELOPE-2018 manual eq. 3.169).
template <typename Real>
Real AnnihilationCrossSection(Real T, const Medium& medium = kWater) {
  const Real gamma = T / static_cast<Real>(kRestKeV) + 1;
  const Real g2 = gamma * gamma - 1;
  if (!(g2 > 0)) return 0;
  const Real root = std::sqrt(g2);
  const Real pi_re2_n = static_cast<Real>(3.14159265358979 * kClassicalRadiusCm *
                                          kClassicalRadiusCm * medium.electrons_per_cm3);
  return pi_re2_n / (gamma + 1) *
         ((gamma * gamma + 4 * gamma + 1) / g2 * std::log(gamma + root) - (gamma + 3) / root);
}

}  // namespace dosavia::electron_xs
