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
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iomanip>
#include <sstream>
#include <string>

#include "engine/beam_geometry.h"
#include "engine/conditions_file.h"
#include "physics/physics_loader.h"
#include "records/file_io.h"
#include "tools/figures/figure_run.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultPhotons = "30000000";
constexpr const char* kEnergy = "10";
constexpr double kBinCm = 0.1;

}  // namespace

int main(int argc, char* argv[]) {
  using namespace dosavia;
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_depth_dose_curves <data dir> <output.txt> [photons]\n");
    return 2;
  }
  const fs::path data_dir = argv[1];
  const std::string photons = argc > 3 ? argv[3] : kDefaultPhotons;
  try {
    const figures::ScratchFolder run_dir("dosavia_depth_dose_");
    const std::string spectrum = SpectrumFileName(kEnergy);
    for (const std::string& name :
         {std::string(kWaterDataFile), std::string(kElectronDataFile), spectrum})
      fs::copy_file(data_dir / name, run_dir.path() / name, fs::copy_options::overwrite_existing);
    const auto tables =
        figures::RunEngine(run_dir.path(), spectrum, ResultFileName(kEnergy, photons), photons);

    std::ostringstream text;
    text << "# Central-axis curves of " << kEnergy
         << " MV X-rays in water, computed by the engine\n"
         << "# from " << spectrum << " with " << PhotonTotalText(photons)
         << " photons (tools/figures/make_depth_dose_curves).\n"
         << "# Columns: depth of the bin centre [cm], primary water kerma, total absorbed dose\n"
         << "# (primary + scatter) of the square fields 1 2 3 4 5 6 8 10 15 20 cm;\n"
         << "# all relative to the largest primary kerma of the first 5 cm.\n";
    text << std::fixed;
    for (int i = 1; i <= kDepthBins; ++i) {
      text << std::setprecision(2) << (i - 0.5) * kBinCm << std::setprecision(4) << ' '
           << tables->Kerma[static_cast<std::size_t>(i)];
      for (int f = 1; f <= kFieldColumns; ++f)
        text << ' '
             << tables->DoseTable[kTotalDose][static_cast<std::size_t>(f)]
                                 [static_cast<std::size_t>(i)];
      text << '\n';
    }
    WriteFileAtomically(argv[2], text.str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_depth_dose_curves: %s\n", error.what());
    return 1;
  }
  return 0;
}
