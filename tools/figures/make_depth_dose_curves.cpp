// make_depth_dose_curves: runs the engine once for 10 MV X-rays and stores its central-axis
// curves, from which the explanation pages draw the tissue-maximum ratio (Fig.1) and the
// narrow-field depth doses (Fig.7).
//
//   make_depth_dose_curves <data dir> <output.txt> [photons]
//
// The run takes place in a temporary directory holding copies of the data files, exactly as
// the program starts the engine: "Joken.dat" names the spectrum, the result file and the
// photon total. The engine's beam is parallel, so each field's depth dose divided by its own
// maximum is the field's tissue-maximum ratio.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "engine/beam_geometry.h"
#include "engine/conditions_file.h"
#include "engine/kestrun_run.h"
#include "physics/physics_loader.h"
#include "records/file_io.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultPhotons = "30000000";
constexpr const char* kEnergy = "10";
constexpr double kBinCm = 0.1;

// The numbers of the result file: 600 records of index, kerma and ten field doses.
std::vector<std::vector<double>> ReadRecords(const fs::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("no result file " + path.string());
  std::vector<std::vector<double>> records;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::vector<double> numbers;
    double value = 0;
    while (fields >> value) numbers.push_back(value);
    if (numbers.size() == 2 + dosavia::kFields) records.push_back(numbers);
  }
  if (records.size() != 2 * dosavia::kSlabs)
    throw std::runtime_error("the result file " + path.string() + " has " +
                             std::to_string(records.size()) + " records, not 600");
  return records;
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace dosavia;
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_depth_dose_curves <data dir> <output.txt> [photons]\n");
    return 2;
  }
  const fs::path data_dir = argv[1];
  const std::string photons = argc > 3 ? argv[3] : kDefaultPhotons;
  const fs::path run_dir =
      fs::temp_directory_path() /
      ("dosavia_depth_dose_" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  try {
    fs::create_directories(run_dir);
    const std::string spectrum = SpectrumFileName(kEnergy);
    for (const std::string& name :
         {std::string(kWaterDataFile), std::string(kElectronDataFile), spectrum})
      fs::copy_file(data_dir / name, run_dir / name, fs::copy_options::overwrite_existing);
    const std::string result = ResultFileName(kEnergy, photons);
    WriteConditionsFile(run_dir / kConditionsFile,
                        ConditionsFileText(spectrum, result, PhotonTotalText(photons)));

    std::istringstream enter("\n");
    std::ostringstream dialogue;
    if (RunKestrun(enter, dialogue, run_dir) != 0)
      throw std::runtime_error("the engine failed:\n" + dialogue.str());
    const auto records = ReadRecords(run_dir / result);

    std::ostringstream text;
    text << "# Central-axis curves of " << kEnergy
         << " MV X-rays in water, computed by the engine\n"
         << "# from " << spectrum << " with " << PhotonTotalText(photons)
         << " photons (tools/figures/make_depth_dose_curves).\n"
         << "# Columns: depth of the bin centre [cm], primary water kerma, total absorbed dose\n"
         << "# (primary + scatter) of the square fields 1 2 3 4 5 6 8 10 15 20 cm;\n"
         << "# all relative to the largest primary kerma of the first 5 cm.\n";
    text << std::fixed;
    for (int j = 0; j < kSlabs; ++j) {
      const auto& primary = records[static_cast<std::size_t>(j)];
      const auto& scatter = records[static_cast<std::size_t>(kSlabs + j)];
      text << std::setprecision(2) << (j + 0.5) * kBinCm << std::setprecision(4) << ' '
           << primary[1];
      for (int f = 0; f < kFields; ++f)
        text << ' '
             << primary[static_cast<std::size_t>(2 + f)] + scatter[static_cast<std::size_t>(2 + f)];
      text << '\n';
    }
    WriteFileAtomically(argv[2], text.str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_depth_dose_curves: %s\n", error.what());
    std::error_code ignored;
    fs::remove_all(run_dir, ignored);
    return 1;
  }
  std::error_code ignored;
  fs::remove_all(run_dir, ignored);
  return 0;
}
