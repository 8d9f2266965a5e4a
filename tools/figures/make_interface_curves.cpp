// make_interface_curves: runs the engine for the slab phantoms of the interfaces page and
// stores the central-axis curves its figures draw (Fig.10 to Fig.12).
//
//   make_interface_curves <data dir> <output.txt> [photons] [seeds]
//
// Each beam the figures need (models/interface_curves: a phantom at one energy, water beside
// it) is run as the engine screen starts it: Joken.dat in a temporary directory holding copies
// of the data files, the phantom's layers in a file beside it, the accurate transport, the
// block streams on two threads with the seeds 1..seeds (the result does not depend on the
// thread count). The seeds' curves are averaged, and every curve is stored in per cent of the
// maximum of water's curve for the same beam and field: the result files of all phantoms share
// one normalisation, the largest primary kerma of the first 5 cm, which lies in the water at
// the surface for every preset.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iomanip>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/beam_geometry.h"
#include "engine/conditions_file.h"
#include "engine/phantom_file.h"
#include "models/figure_models.h"
#include "models/interface_curves.h"
#include "models/phantom_presets.h"
#include "physics/physics_loader.h"
#include "records/file_io.h"
#include "tools/figures/figure_run.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultPhotons = "5.00E+05";
constexpr int kDefaultSeeds = 4;
constexpr int kThreads = 2;
constexpr const char* kPhantomFile = "Phantom.dat";

// The column of a field side [cm] in the result file.
std::size_t ColumnOf(int side_cm) {
  const auto& sides = dosavia::kCurveFieldSideCm;
  const auto at = std::find(sides.begin(), sides.end(), side_cm);
  if (at == sides.end()) throw std::runtime_error("no field of " + std::to_string(side_cm) + " cm");
  return static_cast<std::size_t>(at - sides.begin());
}

// The mean over the seeds of one phantom's run at one energy: total dose by field column
// (0-based) and depth bin (0-based).
std::vector<std::vector<double>> RunBeam(const fs::path& run_dir, const std::string& phantom,
                                         int energy, const std::string& photons, int seeds) {
  using namespace dosavia;
  const std::string spectrum = SpectrumFileName(std::to_string(energy));
  const std::string result = phantom + "-" + std::to_string(energy) + ".data";
  KestrunOptions options;
  options.threads = kThreads;
  options.physics.accurate_transport = true;
  // Water alone is the plain accurate run (a phantom of water gives its file byte for byte).
  if (phantom != "water") {
    const std::optional<std::string> layers = PhantomTextOfLink(phantom);
    if (!layers) throw std::runtime_error("no phantom " + phantom);
    WriteFileAtomically((run_dir / kPhantomFile).string(), *layers);
    options.phantom_file = (run_dir / kPhantomFile).string();
  }
  std::vector<std::vector<double>> mean(kFields, std::vector<double>(kSlabs, 0.0));
  for (int seed = 1; seed <= seeds; ++seed) {
    options.seed = static_cast<RunSeed>(seed);
    std::fprintf(stderr, "%s %d MV, seed %d\n", phantom.c_str(), energy, seed);
    const auto tables = figures::RunEngine(run_dir, spectrum, result, photons, options);
    const auto& total = tables->DoseTable[kTotalDose];
    for (std::size_t f = 0; f < mean.size(); ++f)
      for (std::size_t j = 0; j < mean[f].size(); ++j) mean[f][j] += total[f + 1][j + 1] / seeds;
  }
  return mean;
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace dosavia;
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: make_interface_curves <data dir> <output.txt> [photons] [seeds]\n");
    return 2;
  }
  const fs::path data_dir = argv[1];
  const std::string photons = argc > 3 ? argv[3] : kDefaultPhotons;
  const int seeds = argc > 4 ? std::max(1, std::atoi(argv[4])) : kDefaultSeeds;
  try {
    const figures::ScratchFolder scratch("dosavia_interfaces_");
    const fs::path& run_dir = scratch.path();
    for (const auto& entry : fs::directory_iterator(data_dir)) {
      const std::string name = entry.path().filename().string();
      if (name.ends_with(".dat") || name.ends_with(".csv"))
        fs::copy_file(entry.path(), run_dir / name, fs::copy_options::overwrite_existing);
    }
    // Each beam once: its phantom and energy, from the names of the curves the figures need.
    const std::vector<std::string> names = InterfaceCurveNames();
    std::map<std::string, std::vector<std::vector<double>>> runs;
    std::vector<std::vector<double>> columns;
    for (const std::string& name : names) {
      const std::size_t a = name.find('/');
      const std::size_t b = name.find('/', a + 1);
      const std::string phantom = name.substr(0, a);
      const int energy = std::stoi(name.substr(a + 1, b - a - 1));
      const int side = std::stoi(name.substr(b + 1));
      for (const std::string& key : {phantom, std::string("water")}) {
        const std::string beam = key + "/" + std::to_string(energy);
        if (!runs.contains(beam)) runs[beam] = RunBeam(run_dir, key, energy, photons, seeds);
      }
      const auto& dose = runs[phantom + "/" + std::to_string(energy)][ColumnOf(side)];
      const auto& water = runs["water/" + std::to_string(energy)][ColumnOf(side)];
      const double maximum = CurveMaximum(water).dose;
      if (!(maximum > 0)) throw std::runtime_error("water's curve has no maximum: " + name);
      std::vector<double> percent;
      for (double d : dose) percent.push_back(100 * d / maximum);
      columns.push_back(std::move(percent));
    }

    std::ostringstream text;
    text << "# Central-axis depth doses of the slab phantoms and of water, computed by the\n"
         << "# engine's accurate transport with " << PhotonTotalText(photons)
         << " photons for each of the seeds 1-" << seeds << " (averaged)\n"
         << "# (tools/figures/make_interface_curves). A column is phantom/MV/field side [cm]; its\n"
         << "# values are the total absorbed dose per mass of the slab's own material, in per\n"
         << "# cent of the maximum of water's curve for the same beam and field.\n"
         << "columns depth";
    for (const std::string& name : names) text << ' ' << name;
    text << '\n' << std::fixed;
    const int depths = static_cast<int>(kInterfaceDepthCm / 0.1 + 0.5);
    for (int j = 0; j < depths; ++j) {
      text << std::setprecision(2) << DepthBinCentreCm(j + 1) << std::setprecision(1);
      for (const auto& column : columns) text << ' ' << column[static_cast<std::size_t>(j)];
      text << '\n';
    }
    WriteFileAtomically(argv[2], text.str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_interface_curves: %s\n", error.what());
    return 1;
  }
  return 0;
}
