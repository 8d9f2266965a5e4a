// The compositions of the slab phantoms' materials, from which their photon and electron
// data are made: fractions by mass (ICRU Report 44 for inflated lung and cortical bone; dry
// air near sea level and liquid water as NIST's ESTAR and XCOM define them), densities, and
// the mean excitation energies NIST's ESTAR uses for each.
#pragma once

#include <cmath>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "physics/electron_cross_sections.h"

namespace dosavia::datagen {

struct ElementShare {
  int z;
  double atomic_weight;  // [g/mol]
  double mass_fraction;
};

struct MaterialComposition {
  std::string_view name;  // as a phantom file names it
  double density;         // [g/cm^3]
  double excitation_eV;   // mean excitation energy I
  double x0, x1, m;       // the shape of its density effect (see DensityEffectOf)
  std::vector<ElementShare> elements;

  // Electrons per gram [1/g] (sum of w Z / A times Avogadro's number).
  double ElectronsPerGram() const {
    double s = 0;
    for (const ElementShare& e : elements) s += e.mass_fraction * e.z / e.atomic_weight;
    return s * 6.02214076e23;
  }
};

inline const MaterialComposition kWaterComposition{
    "water", 1.0, 75.0, 0.24, 2.8004, 3.4773, {{1, 1.00794, 0.111894}, {8, 15.9994, 0.888106}}};

inline const MaterialComposition kLungComposition{"lung",
                                                  0.26,
                                                  75.166,
                                                  0.62,
                                                  3.65,
                                                  4.0,
                                                  {{1, 1.00794, 0.103},
                                                   {6, 12.0107, 0.105},
                                                   {7, 14.0067, 0.031},
                                                   {8, 15.9994, 0.749},
                                                   {11, 22.98977, 0.002},
                                                   {15, 30.973762, 0.002},
                                                   {16, 32.065, 0.003},
                                                   {17, 35.453, 0.003},
                                                   {19, 39.0983, 0.002}}};

inline const MaterialComposition kBoneComposition{"bone",
                                                  1.92,
                                                  111.972,
                                                  0.16,
                                                  3.25,
                                                  3.7,
                                                  {{1, 1.00794, 0.034},
                                                   {6, 12.0107, 0.155},
                                                   {7, 14.0067, 0.042},
                                                   {8, 15.9994, 0.435},
                                                   {11, 22.98977, 0.001},
                                                   {12, 24.305, 0.002},
                                                   {15, 30.973762, 0.103},
                                                   {16, 32.065, 0.003},
                                                   {20, 40.078, 0.225}}};

inline const MaterialComposition kAirComposition{"air",
                                                 0.001205,
                                                 85.666,
                                                 1.76,
                                                 4.15,
                                                 4.0,
                                                 {{6, 12.0107, 0.000124},
                                                  {7, 14.0067, 0.755267},
                                                  {8, 15.9994, 0.231781},
                                                  {18, 39.948, 0.012827}}};

// Sternheimer's density-effect parameters of a material at its own density: -C = 2 ln(I /
// h nu_p) + 1 from I and the plasma energy h nu_p = 28.816 eV sqrt(density Z/A), which fixes
// delta at high energies; x0, x1, a and m as fitted (for this program, to 0.04 in delta from
// 10 keV to 30 MeV) to the density effect that NIST's ESTAR computes for the material from
// its oscillator model (Sternheimer, Berger, Seltzer, At. Data Nucl. Data Tables 30 (1984)
// 261, whose general rules of Sternheimer and Peierls miss lung at 0.26 g/cm^3 by 2 % in the
// collision stopping power at 10 MeV).
struct SternheimerParameters {
  double neg_c, x0, x1, a, m;
};
inline SternheimerParameters DensityEffectOf(const MaterialComposition& c) {
  const double z_over_a = c.ElectronsPerGram() / 6.02214076e23;
  const double plasma_eV = 28.816 * std::sqrt(c.density * z_over_a);
  const double neg_c = 2 * std::log(c.excitation_eV / plasma_eV) + 1;
  return {neg_c, c.x0, c.x1, (neg_c - 4.605170186 * c.x0) / std::pow(c.x1 - c.x0, c.m), c.m};
}

// A material as the electron formulas take it (electron_xs::Medium at density 1 g/cm^3;
// its atoms counted per water molecule's mass, 18.01528 g / N_A, as water's are). `atoms`
// receives the atom list the medium points to and must outlive it.
inline electron_xs::Medium MediumOf(const MaterialComposition& c,
                                    std::vector<electron_xs::MediumAtom>& atoms) {
  atoms.clear();
  for (const ElementShare& e : c.elements)
    atoms.push_back({e.mass_fraction * 18.01528 / e.atomic_weight, static_cast<double>(e.z),
                     std::cbrt(static_cast<double>(e.z)), std::log(static_cast<double>(e.z))});
  const SternheimerParameters s = DensityEffectOf(c);
  const double i_over_m = c.excitation_eV / 1000 / electron_xs::kRestKeV;
  return {c.ElectronsPerGram(), i_over_m * i_over_m,           s.neg_c, s.x0, s.x1, s.a, s.m,
          atoms.data(),         static_cast<int>(atoms.size())};
}

// The materials besides water, in the order their files are written.
inline const MaterialComposition* const kPhantomCompositions[] = {
    &kLungComposition, &kBoneComposition, &kAirComposition};

}  // namespace dosavia::datagen
