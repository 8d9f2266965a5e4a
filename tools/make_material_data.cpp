// Writes the photon data of the slab phantoms' materials, "lung20.dat", "bone20.dat" and
// "air20.dat", in the layout of water20.dat: on water20.dat's energy rows, the mass
// coefficients of coherent and incoherent scattering, the photoelectric effect and pair
// production in the nuclear and the electron field, each the mass-fraction sum of the
// elements' NIST XCOM cross sections. The element tables are read in the layout in which
// the EGSnrc distribution carries XCOM (HEN_HOUSE/data/xcom_{rayleigh,compton,photo,pair,
// triplet}.data: for Z = 1 ... 100 in turn a point count, then pairs of ln E [MeV] and
// ln sigma [barn/atom]), interpolated straight in ln E and ln sigma as those tables are
// meant to be. Water made the same way from H and O is printed beside water20.dat (which
// comes from XCOM's own element files) as a check of the tables and the interpolation.
//
// The atomic functions of coherent and incoherent scattering (rows 45-89) are water's, read
// from water20.dat: they only shape the angles of the rare coherent events and of
// incoherent scattering at the lowest energies, where the materials' light elements behave
// as water's do.
//
// Usage: make_material_data <EGSnrc XCOM folder> <folder with water20.dat> <output folder>

#include <cmath>
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "records/file_io.h"
#include "tools/phantom_materials.h"

namespace {

using dosavia::datagen::MaterialComposition;

constexpr int kProcesses = 5;  // coherent, incoherent, photoelectric, pair nuclear, electron
const char* const kProcessFiles[kProcesses] = {"xcom_rayleigh.data", "xcom_compton.data",
                                               "xcom_photo.data", "xcom_pair.data",
                                               "xcom_triplet.data"};

struct LogTable {
  std::vector<double> log_e, log_sigma;
  // sigma [barn] at E [MeV]; 0 below the first point (a threshold), straight in logs. At a
  // repeated energy (an edge) the upper branch is taken for E at or above it.
  double At(double e) const {
    const double x = std::log(e);
    if (x < log_e.front()) return 0;
    std::size_t i = 0;
    while (i + 2 < log_e.size() && !(x < log_e[i + 1])) ++i;
    if (log_e[i + 1] == log_e[i]) return std::exp(log_sigma[i + 1]);
    const double f = (x - log_e[i]) / (log_e[i + 1] - log_e[i]);
    return std::exp(log_sigma[i] + f * (log_sigma[i + 1] - log_sigma[i]));
  }
};

// The tables of one process for Z = 1 ... zmax.
std::vector<LogTable> ReadProcess(const std::string& path, int zmax) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::vector<LogTable> tables(static_cast<std::size_t>(zmax) + 1);
  for (int z = 1; z <= zmax; ++z) {
    int n = 0;
    if (!(in >> n) || n < 2)
      throw std::runtime_error(path + ": no point count for Z " + std::to_string(z));
    LogTable& t = tables[static_cast<std::size_t>(z)];
    for (int k = 0; k < n; ++k) {
      double a = 0, b = 0;
      if (!(in >> a >> b))
        throw std::runtime_error(path + ": short table for Z " + std::to_string(z));
      t.log_e.push_back(a);
      t.log_sigma.push_back(b);
    }
  }
  return tables;
}

struct WaterFile {
  std::vector<std::vector<double>> rows;  // energy and the five coefficients
  std::vector<std::string> atomic_function_lines;
};

WaterFile ReadWater(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::string line;
  std::getline(in, line);
  const int n = std::stoi(line);
  std::getline(in, line);  // density
  WaterFile w;
  for (int k = 0; k < n; ++k) {
    std::getline(in, line);
    std::istringstream s(line);
    std::vector<double> v(6);
    for (double& x : v) s >> x;
    w.rows.push_back(v);
  }
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) w.atomic_function_lines.push_back(line);
  }
  return w;
}

std::string Format(const char* pattern, double a) {
  char buf[64];
  std::snprintf(buf, sizeof buf, pattern, a);
  return buf;
}

// The five mass coefficients [cm^2/g] of a composition at E [MeV].
std::vector<double> Coefficients(const std::vector<std::vector<LogTable>>& xcom,
                                 const MaterialComposition& m, double e) {
  std::vector<double> c(kProcesses, 0.0);
  for (const auto& part : m.elements) {
    for (int p = 0; p < kProcesses; ++p)
      c[static_cast<std::size_t>(p)] +=
          part.mass_fraction * 0.60221367 / part.atomic_weight *
          xcom[static_cast<std::size_t>(p)][static_cast<std::size_t>(part.z)].At(e);
  }
  return c;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr,
                 "usage: %s <EGSnrc XCOM folder> <folder with water20.dat> <output folder>\n",
                 argv[0]);
    return 2;
  }
  try {
    std::vector<std::vector<LogTable>> xcom;
    for (const char* f : kProcessFiles)
      xcom.push_back(ReadProcess(std::string(argv[1]) + "/" + f, 20));
    const WaterFile water = ReadWater(std::string(argv[2]) + "/water20.dat");
    // The check: water from the same tables against water20.dat, column by column.
    double worst[kProcesses + 1] = {};
    for (const auto& row : water.rows) {
      const std::vector<double> c = Coefficients(xcom, dosavia::datagen::kWaterComposition, row[0]);
      double total = 0, total_file = 0;
      for (int p = 0; p < kProcesses; ++p) {
        const double file = row[static_cast<std::size_t>(p) + 1];
        total += c[static_cast<std::size_t>(p)];
        total_file += file;
        if (file > 1e-5)
          worst[p] = std::fmax(worst[p], std::fabs(c[static_cast<std::size_t>(p)] / file - 1));
      }
      worst[kProcesses] = std::fmax(worst[kProcesses], std::fabs(total / total_file - 1));
    }
    std::printf(
        "water from these tables vs water20.dat, largest deviation (coefficients above 1e-5 "
        "cm2/g):\n"
        "  coherent %.2f %%, incoherent %.2f %%, photoelectric %.2f %%, pair %.2f %% / %.2f %%, "
        "total %.3f %%\n",
        100 * worst[0], 100 * worst[1], 100 * worst[2], 100 * worst[3], 100 * worst[4],
        100 * worst[5]);
    for (const MaterialComposition* m : dosavia::datagen::kPhantomCompositions) {
      std::string rows;
      for (const auto& row : water.rows) {
        const std::vector<double> c = Coefficients(xcom, *m, row[0]);
        rows += Format("%9.3E", row[0]);
        for (double v : c) rows += Format("%10.3E", v);
        rows += "\r\n";
      }
      char count[8];
      std::snprintf(count, sizeof count, "%3d", static_cast<int>(water.rows.size()));
      std::string out = std::string(count) + "\r\n" + Format("%9.6f", m->density) + "\r\n" + rows;
      for (const std::string& line : water.atomic_function_lines) out += line + "\r\n";
      const std::string path = std::string(argv[3]) + "/" + std::string(m->name) + "20.dat";
      dosavia::WriteFileAtomically(path, out);
      std::printf("%s:", path.c_str());
      for (double e : {0.1, 1.0, 10.0}) {
        const std::vector<double> c = Coefficients(xcom, *m, e);
        std::printf(" mu/rho(%g MeV) %.4e", e, c[0] + c[1] + c[2] + c[3] + c[4]);
      }
      std::printf(" cm2/g\n");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_material_data: %s\n", e.what());
    return 1;
  }
  return 0;
}
