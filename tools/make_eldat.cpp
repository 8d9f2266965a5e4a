// Writes "ELDAT.dat": for 24 electron energies, the 65 quantiles of the cosine of the
// deflection accumulated over one condensed-history step in water (Goudsmit–Saunderson
// theory with screened Rutherford cross sections and Molière's screening angle), times
// 16384, and then the energies.
//
// Usage: make_eldat <output folder>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "records/file_io.h"
#include "tools/multiple_scattering.h"

namespace {

using namespace dosavia::datagen;

constexpr int kRows = 24;
// Row 3 is the highest energy the engine interpolates from (every electron is below
// 20 MeV: the spectra end at 19.975 MeV), row 24 the lowest (at or below it no step is
// deflected; steps that start above 305 keV all lie above it). Rows 3 to 24 form a
// geometric series; rows 1 and 2 continue it upwards and are never read by the lookup.
constexpr double kRow3EnergyKeV = 20000;
constexpr double kRow24EnergyKeV = 300;

// Rounds to three significant digits, as the file's energies are meant to be read.
double ThreeDigits(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2E", v);
  return std::strtod(buf, nullptr);
}

double RowEnergy(int i) {
  const double ratio = std::pow(kRow24EnergyKeV / kRow3EnergyKeV, 1.0 / (kRows - 3));
  return ThreeDigits(kRow3EnergyKeV * std::pow(ratio, i - 3));
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
    for (int i = 1; i <= kRows; ++i) {
      const std::array<int, kQuantileCount> q = DeflectionQuantiles(RowEnergy(i));
      for (int j = 0; j < kQuantileCount; ++j) {
        if (j % 8 == 0) out += ' ';
        std::snprintf(buf, sizeof buf, "%6d", q[static_cast<std::size_t>(j)]);
        out += buf;
        if (j % 8 == 7 || j == kQuantileCount - 1) out += "\r\n";
      }
    }
    for (int i = 1; i <= kRows; ++i) {
      if (i % 4 == 1) out += ' ';
      std::snprintf(buf, sizeof buf, "%15.7E", RowEnergy(i));
      out += buf;
      if (i % 4 == 0) out += "\r\n";
    }
    const std::string path = std::string(argv[1]) + "/ELDAT.dat";
    dosavia::WriteFileAtomically(path, out);
    std::printf("%s: %d energies from %.0f to %.0f keV\n", path.c_str(), kRows, RowEnergy(1),
                RowEnergy(kRows));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_eldat: %s\n", e.what());
    return 1;
  }
  return 0;
}
