// Writes "ELACC.dat", the electron and positron data of the accurate transport in water: on
// a logarithmic grid of kinetic energies, the collision stopping powers restricted to
// transfers below the delta-ray cut (Møller, Bhabha; ICRU Report 37 with Sternheimer's
// density effect), the radiative stopping power below the photon cut and the cross sections
// above the cuts (Bethe–Heitler with Thomas–Fermi screening), Heitler's annihilation in
// flight, the first transport inverse mean free path of screened Rutherford elastic
// scattering with Molière's screening, and the residual ranges through the restricted
// losses. It prints the unrestricted values beside NIST ESTAR's for a check.
//
// Usage: make_elacc <output folder>

#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

#include "physics/electron_cross_sections.h"
#include "records/file_io.h"
#include "tools/multiple_scattering.h"
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
double RadiativeStoppingBelow(double T, double upper) {
  const double top = std::min(upper, T);
  return xs::kBremsstrahlungScalePerCm *
         Rule().Integrate([&](double k) { return xs::BremsstrahlungShape(T, k); }, 0.0, top);
}

// Bremsstrahlung photons above the cut [1/cm]: the integral of Shape / k, taken in ln k.
double BremsstrahlungAbove(double T, double cut) {
  if (!(T > cut)) return 0;
  return xs::kBremsstrahlungScalePerCm *
         Rule().Integrate([&](double u) { return xs::BremsstrahlungShape(T, std::exp(u)); },
                          std::log(cut), std::log(T));
}

double SoftStopping(double T, bool positron) {
  return xs::RestrictedCollisionStoppingPower(T, kDeltaCutKeV, positron) +
         RadiativeStoppingBelow(T, kPhotonCutKeV);
}

// Residual range at each row: T / (1.75 S) at the first row (S rising as T^-0.75 there),
// then the integral of dT / S in ln T between rows.
std::vector<double> Ranges(bool positron) {
  std::vector<double> r(kRows + 1, 0.0);
  r[1] = RowEnergy(1) / (1.75 * SoftStopping(RowEnergy(1), positron));
  const GaussLegendreRule rule(16);
  for (int i = 2; i <= kRows; ++i) {
    r[i] =
        r[i - 1] +
        rule.Integrate([&](double u) { return std::exp(u) / SoftStopping(std::exp(u), positron); },
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  try {
    std::string out;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%4d", kRows);
    out += buf;
    Field(out, kDeltaCutKeV / 1000);
    Field(out, kPhotonCutKeV / 1000);
    out += "\r\n";
    const std::vector<double> range_e = Ranges(false);
    const std::vector<double> range_p = Ranges(true);
    for (int i = 1; i <= kRows; ++i) {
      const double T = RowEnergy(i);
      const dosavia::datagen::ScreenedRutherfordWater elastic(T);
      const double values[] = {T / 1000,
                               xs::RestrictedCollisionStoppingPower(T, kDeltaCutKeV, false) / 1000,
                               xs::RestrictedCollisionStoppingPower(T, kDeltaCutKeV, true) / 1000,
                               RadiativeStoppingBelow(T, kPhotonCutKeV) / 1000,
                               xs::HardCollisionCrossSection(T, kDeltaCutKeV, false),
                               xs::HardCollisionCrossSection(T, kDeltaCutKeV, true),
                               BremsstrahlungAbove(T, kPhotonCutKeV),
                               xs::AnnihilationCrossSection(T),
                               elastic.FirstTransportInverseMfp(),
                               range_e[static_cast<std::size_t>(i)],
                               range_p[static_cast<std::size_t>(i)]};
      for (double v : values) Field(out, v);
      out += "\r\n";
    }
    const std::string path = std::string(argv[1]) + "/ELACC.dat";
    dosavia::WriteFileAtomically(path, out);
    std::printf("%s: %d energies from %.0f keV to %.1f MeV\n", path.c_str(), kRows, RowEnergy(1),
                RowEnergy(kRows) / 1000);
    PrintChecks();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_elacc: %s\n", e.what());
    return 1;
  }
  return 0;
}
