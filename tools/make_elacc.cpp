// Writes "ELACC.dat", the electron and positron data of the accurate transport in water: on
// a logarithmic grid of kinetic energies, the collision stopping powers restricted to
// transfers below the delta-ray cut (Møller, Bhabha; ICRU Report 37 with Sternheimer's
// density effect), the radiative stopping power below the photon cut and the cross sections
// above the cuts (Bethe–Heitler with Thomas–Fermi screening), Heitler's annihilation in
// flight, the first transport inverse mean free path of screened Rutherford elastic
// scattering with Molière's screening, and the residual ranges through the restricted
// losses. It prints the unrestricted values beside NIST ESTAR's for a check.
//
// The same for the slab phantoms' materials, ELACC-lung.dat, ELACC-bone.dat and
// ELACC-air.dat, per unit mass as water's: each material's electrons per gram, mean
// excitation energy and density effect at its own density (Sternheimer–Peierls), its
// elements' bremsstrahlung and elastic scattering (tools/phantom_materials.h).
//
// Usage: make_elacc <output folder>

#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "physics/electron_cross_sections.h"
#include "records/file_io.h"
#include "tools/multiple_scattering.h"
#include "tools/phantom_materials.h"
#include "tools/quadrature.h"

namespace {

namespace xs = dosavia::electron_xs;
using dosavia::datagen::GaussLegendreRule;

constexpr int kRows = 100;
constexpr double kFirstKeV = 5;  // 8 rows per doubling up to 26.6 MeV
constexpr double kRowsPerDoubling = 8;
constexpr double kDeltaCutKeV = 100;  // delta rays above it are followed
constexpr double kPhotonCutKeV = 10;  // bremsstrahlung photons above it are followed

double RowEnergy(int i) { return kFirstKeV * std::exp2((i - 1) / kRowsPerDoubling); }

const GaussLegendreRule& Rule() {
  static const GaussLegendreRule rule(64);
  return rule;
}

// Radiative stopping power from photons below `upper` [keV/cm].
double RadiativeStoppingBelow(double T, double upper, const xs::Medium& md = xs::kWater) {
  const double top = std::min(upper, T);
  return xs::kBremsstrahlungScalePerCm *
         Rule().Integrate([&](double k) { return xs::BremsstrahlungShape(T, k, md); }, 0.0, top);
}

// Bremsstrahlung photons above the cut [1/cm]: the integral of Shape / k, taken in ln k.
double BremsstrahlungAbove(double T, double cut, const xs::Medium& md) {
  if (!(T > cut)) return 0;
  return xs::kBremsstrahlungScalePerCm *
         Rule().Integrate([&](double u) { return xs::BremsstrahlungShape(T, std::exp(u), md); },
                          std::log(cut), std::log(T));
}

double SoftStopping(double T, bool positron, const xs::Medium& md) {
  return xs::RestrictedCollisionStoppingPower(T, kDeltaCutKeV, positron, md) +
         RadiativeStoppingBelow(T, kPhotonCutKeV, md);
}

// Residual range at each row: T / (1.75 S) at the first row (S rising as T^-0.75 there),
// then the integral of dT / S in ln T between rows.
std::vector<double> Ranges(bool positron, const xs::Medium& md) {
  std::vector<double> r(kRows + 1, 0.0);
  r[1] = RowEnergy(1) / (1.75 * SoftStopping(RowEnergy(1), positron, md));
  const GaussLegendreRule rule(16);
  for (int i = 2; i <= kRows; ++i) {
    r[i] = r[i - 1] +
           rule.Integrate(
               [&](double u) { return std::exp(u) / SoftStopping(std::exp(u), positron, md); },
               std::log(RowEnergy(i - 1)), std::log(RowEnergy(i)));
  }
  return r;
}

void Field(std::string& out, double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%12.5E", v);
  out += buf;
}

void PrintChecks() {
  // NIST ESTAR, liquid water: collision and radiative stopping powers [MeV cm2/g].
  const double energies[] = {100, 1000, 10000};
  const double estar_col[] = {4.115, 1.849, 1.968};
  const double estar_rad[] = {0.00644, 0.01293, 0.1832};
  for (int k = 0; k < 3; ++k) {
    const double T = energies[k];
    std::printf("T %6.0f keV: collision %.4f (ESTAR %.4f), radiative %.5f (ESTAR %.5f) MeV cm2/g\n",
                T, xs::RestrictedCollisionStoppingPower(T, T, false) / 1000, estar_col[k],
                RadiativeStoppingBelow(T, T) / 1000, estar_rad[k]);
  }
}

// The file of one medium; `elastic` names its atoms for the elastic scattering (empty:
// water's own model).
std::string ElaccText(const xs::Medium& md,
                      const std::vector<dosavia::datagen::ScreenedRutherfordWater::Atom>& elastic) {
  std::string out;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%4d", kRows);
  out += buf;
  Field(out, kDeltaCutKeV / 1000);
  Field(out, kPhotonCutKeV / 1000);
  out += "\r\n";
  const std::vector<double> range_e = Ranges(false, md);
  const std::vector<double> range_p = Ranges(true, md);
  for (int i = 1; i <= kRows; ++i) {
    const double T = RowEnergy(i);
    const dosavia::datagen::ScreenedRutherfordWater elastic_model =
        elastic.empty() ? dosavia::datagen::ScreenedRutherfordWater(T)
                        : dosavia::datagen::ScreenedRutherfordWater(T, elastic);
    const double values[] = {
        T / 1000,
        xs::RestrictedCollisionStoppingPower(T, kDeltaCutKeV, false, md) / 1000,
        xs::RestrictedCollisionStoppingPower(T, kDeltaCutKeV, true, md) / 1000,
        RadiativeStoppingBelow(T, kPhotonCutKeV, md) / 1000,
        xs::HardCollisionCrossSection(T, kDeltaCutKeV, false, md),
        xs::HardCollisionCrossSection(T, kDeltaCutKeV, true, md),
        BremsstrahlungAbove(T, kPhotonCutKeV, md),
        xs::AnnihilationCrossSection(T, md),
        elastic_model.FirstTransportInverseMfp(),
        range_e[static_cast<std::size_t>(i)],
        range_p[static_cast<std::size_t>(i)]};
    for (double v : values) Field(out, v);
    out += "\r\n";
  }
  return out;
}

// Unrestricted collision stopping power [MeV cm2/g] and CSDA range [g/cm2] through the
// collision and radiative stopping powers, from 1 keV (T / (1.75 S) below it).
double Collision(double T, const xs::Medium& md) {
  return xs::RestrictedCollisionStoppingPower(T, T, false, md) / 1000;
}
double CsdaRange(double T, const xs::Medium& md) {
  const auto total = [&](double t) {
    return xs::RestrictedCollisionStoppingPower(t, t, false, md) + RadiativeStoppingBelow(t, t, md);
  };
  const GaussLegendreRule rule(16);
  double r = 1 / (1.75 * total(1.0));
  const int panels = 64;
  for (int k = 0; k < panels; ++k) {
    const double a = std::log(T) * k / panels, b = std::log(T) * (k + 1) / panels;
    r += rule.Integrate([&](double u) { return std::exp(u) / total(std::exp(u)); }, a, b);
  }
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  try {
    const std::string path = std::string(argv[1]) + "/ELACC.dat";
    dosavia::WriteFileAtomically(path, ElaccText(xs::kWater, {}));
    std::printf("%s: %d energies from %.0f keV to %.1f MeV\n", path.c_str(), kRows, RowEnergy(1),
                RowEnergy(kRows) / 1000);
    PrintChecks();
    for (double T : {10.0, 100.0, 1000.0, 10000.0})
      std::printf("  water T %6.0f keV: CSDA range %.5g g/cm2\n", T, CsdaRange(T, xs::kWater));
    for (const dosavia::datagen::MaterialComposition* m : dosavia::datagen::kPhantomCompositions) {
      std::vector<xs::MediumAtom> atoms;
      const xs::Medium md = dosavia::datagen::MediumOf(*m, atoms);
      std::vector<dosavia::datagen::ScreenedRutherfordWater::Atom> elastic;
      for (const xs::MediumAtom& a : atoms) elastic.push_back({a.count, a.z});
      const std::string file = std::string(argv[1]) + "/ELACC-" + std::string(m->name) + ".dat";
      dosavia::WriteFileAtomically(file, ElaccText(md, elastic));
      std::printf("%s: I %.3f eV, density %.6f g/cm3, -C %.4f x0 %.4f x1 %.4f a %.5f m %.1f\n",
                  file.c_str(), m->excitation_eV, m->density, md.neg_c, md.x0, md.x1, md.a, md.m);
      for (double T : {10.0, 100.0, 1000.0, 10000.0})
        std::printf("  T %6.0f keV: collision %.4f MeV cm2/g, CSDA range %.5g g/cm2\n", T,
                    Collision(T, md), CsdaRange(T, md));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_elacc: %s\n", e.what());
    return 1;
  }
  return 0;
}
