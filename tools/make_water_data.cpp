// Writes "water20.dat": the photon interaction coefficients of water from the NIST XCOM
// element tables of hydrogen and oxygen, and the coherent and incoherent atomic functions
// of water from Hubbell's tables through xraylib.
//
// Usage: make_water_data <XCOM source folder> <output folder>

#include <cmath>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "records/file_io.h"
#include "tools/form_factor_table.h"
#include "tools/xcom_table.h"

namespace {

using namespace dosavia::datagen;

// The XCOM grid rows kept: from the lowest energy followed (5 keV) to just above the
// highest the programs meet (19.975 MeV spectrum bin), so no lookup extrapolates.
constexpr double kLowestEnergyMeV = 0.005;
constexpr double kHighestEnergyMeV = 22.0;
constexpr int kMaxPhotonRows = 46;
// Line 2 of the file: the density of water [g/cm^3] for which the mass coefficients
// [cm^2/g] are the linear coefficients [1/cm]. The programs read it and ignore it.
constexpr double kWaterDensity = 1.0;

std::string Format(const char* pattern, double a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, pattern, a);
  return buf;
}

std::string WaterFile(const WaterCoefficients& water, const FormFactorTable& form_factors) {
  std::string rows;
  int n = 0;
  for (std::size_t k = 0; k < water.energy.size(); ++k) {
    const double e = water.energy[k];
    if (e < kLowestEnergyMeV * (1 - 1e-9) || e > kHighestEnergyMeV * (1 + 1e-9)) continue;
    rows += Format("%9.3E", e) + Format("%10.3E", water.coherent[k]) +
            Format("%10.3E", water.incoherent[k]) + Format("%10.3E", water.photoelectric[k]) +
            Format("%10.3E", water.pair_nuclear[k]) + Format("%10.3E", water.pair_electron[k]) +
            "\r\n";
    ++n;
  }
  if (n > kMaxPhotonRows) throw std::runtime_error("more than 46 photon rows");
  char count[8];
  std::snprintf(count, sizeof count, "%3d", n);
  std::string out = std::string(count) + "\r\n" + Format("%9.6f", kWaterDensity) + "\r\n" + rows;
  for (const FormFactorRecord& r : form_factors.rows)
    out += Format("%10.3E", r.x) + Format("%12.5E", r.cumulative) + Format("%12.5E", r.incoherent) +
           "\r\n";
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <XCOM source folder> <output folder>\n", argv[0]);
    return 2;
  }
  try {
    const std::string sources = argv[1];
    const XcomElement hydrogen = ReadXcomElement(sources + "/MDATX3.001");
    const XcomElement oxygen = ReadXcomElement(sources + "/MDATX3.008");
    const WaterCoefficients water = MixWater(hydrogen, oxygen);
    const FormFactorTable form_factors = BuildWaterFormFactorTable();
    const std::string path = std::string(argv[2]) + "/water20.dat";
    dosavia::WriteFileAtomically(path, WaterFile(water, form_factors));
    std::printf(
        "%s: form-factor rows reproduce the cumulative integral within %.2e and S(x) "
        "within %.2e (relative)\n",
        path.c_str(), form_factors.cumulative_error, form_factors.incoherent_error);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_water_data: %s\n", e.what());
    return 1;
  }
  return 0;
}
