// Small, hand-made data files for tests that must not depend on the shipped physics data.
#pragma once

#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "records/fixed_format.h"

namespace dosavia::testing {

// A photon row as the file holds it: energy [MeV], coherent, incoherent, photoelectric,
// nuclear-field pair, electron-field pair [cm^2/g].
using WaterRow = std::array<double, 6>;

// Rows close to water's XCOM values, 10 keV to 30 MeV.
inline std::vector<WaterRow> TypicalWaterRows() {
  return {{0.010, 6.0e-1, 1.55e-1, 4.94e0, 0, 0},
          {0.100, 2.8e-2, 1.6e-1, 2.76e-3, 0, 0},
          {0.511, 1.4e-3, 9.6e-2, 2.0e-5, 0, 0},
          {1.022, 3.6e-4, 6.9e-2, 4.0e-6, 0, 0},
          {2.000, 9.7e-5, 4.9e-2, 1.1e-6, 3.9e-4, 0},
          {10.00, 3.9e-6, 1.6e-2, 1.4e-7, 5.9e-3, 2.1e-4},
          {30.00, 4.3e-7, 7.3e-3, 4.4e-8, 1.1e-2, 9.6e-4}};
}

inline std::string WaterFile(const std::vector<WaterRow>& rows, double line2 = 0.5) {
  std::string s = FixedFormat("(I3)").WriteRecord({static_cast<int>(rows.size())}) + "\r\n";
  s += FixedFormat("(F9.6)").WriteRecord({line2}) + "\r\n";
  const FixedFormat photon("(E9.3,5E10.3)");
  for (const auto& r : rows) s += photon.WriteRecord({r[0], r[1], r[2], r[3], r[4], r[5]}) + "\r\n";
  const FixedFormat ff("(E10.3,2E12.5)");
  for (int i = 1; i <= 45; ++i) {
    const double x = 0.25 * (i - 1);
    s += ff.WriteRecord({x, x * x, 10.0 * (1.0 - std::exp(-x))}) + "\r\n";
  }
  return s;
}

// ScatterEnergies 30000 keV down by a factor 0.8 per row; the deflection widens with
// falling energy. Entries are cosines times 16384, falling with the quantile index.
inline std::string EldatFile(double last_entry = -16384) {
  std::string s;
  const FixedFormat q("(1X,8I6)");
  for (int i = 1; i <= 24; ++i) {
    std::vector<FieldValue> v;
    for (int j = 1; j <= 65; ++j) {
      const double spread = 0.02 * i * (j - 1) / 64.0;
      v.emplace_back(static_cast<int>(std::lround(16384 * (1 - spread))));
    }
    if (i == 24) v.back() = FieldValue(static_cast<int>(last_entry));
    s += q.WriteRecord(v) + "\r\n";
  }
  std::vector<FieldValue> e;
  for (int i = 1; i <= 24; ++i) e.emplace_back(30000.0 * std::pow(0.8, i - 1));
  s += FixedFormat("(1X,4E15.7)").WriteRecord(e) + "\r\n";
  return s;
}

// A scratch directory removed when the object goes.
class TempDir {
 public:
  // Unique per process and object: CTest runs test cases of one program in parallel.
  explicit TempDir(const std::string& name)
      : path_(std::filesystem::temp_directory_path() /
              ("dosavia_" + name + "_" + std::to_string(::getpid()) + "_" +
               std::to_string(Counter()++))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string Write(const std::string& name, const std::string& content) const {
    const auto p = path_ / name;
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  static int& Counter() {
    static int n = 0;
    return n;
  }
  std::filesystem::path path_;
};

}  // namespace dosavia::testing
