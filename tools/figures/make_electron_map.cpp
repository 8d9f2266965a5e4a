// make_electron_map: computes the Compton-electron kernels of the 4, 6 and 10 MV spectra with
// the program's own transport and writes the explanation page's picture of them.
//
//   make_electron_map <data dir> <output.png> [electrons per spectrum]
//
// The data directory holds water20.dat, ELDAT.dat and the spectrum files. The run is
// deterministic: the generator starts from its fixed seed for each spectrum.
#include <QGuiApplication>
#include <QString>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/beam_spectrum.h"
#include "physics/physics_loader.h"
#include "tools/figures/electron_kernel.h"
#include "tools/figures/electron_map_image.h"

namespace {

constexpr long long kDefaultElectrons = 4000000;
constexpr const char* kEnergies[] = {"4", "6", "10"};

}  // namespace

int main(int argc, char* argv[]) {
  using namespace dosavia;
  using namespace dosavia::figures;
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_electron_map <data dir> <output.png> [electrons]\n");
    return 2;
  }
  // Text needs a font database; no window is ever shown.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const std::filesystem::path data_dir = argv[1];
  const long long electrons = argc > 3 ? std::atoll(argv[3]) : kDefaultElectrons;
  try {
    PhysicsTables<double> tables;
    LoadPhysicsTables(tables, (data_dir / kWaterDataFile).string(),
                      (data_dir / kElectronDataFile).string());
    std::array<ElectronKernel, 3> kernels;
    std::array<KernelPanel, 3> panels;
    for (std::size_t k = 0; k < kernels.size(); ++k) {
      const std::string file = std::string(kEnergies[k]) + "MV.csv";
      const BeamSpectrum spectrum = ReadBeamSpectrumFile(data_dir / file, file);
      std::vector<double> photons(spectrum.weight.begin(), spectrum.weight.end());
      RandomStream<double> random;
      kernels[k] = ComputeElectronKernel(tables, random, ComptonInteractionWeights(tables, photons),
                                         electrons);
      const KernelReach faint = Reach(kernels[k], kLegendLevels.front());
      const KernelReach strong = Reach(kernels[k], 0.01);
      std::printf(
          "%s MV: %lld electrons, mean kinetic energy %.0f keV, %.2f %% outside the map;"
          " reach at 0.0001: %.2f cm forward, %.2f cm sideways;"
          " at 0.01: %.2f cm forward, %.2f cm sideways\n",
          kEnergies[k], static_cast<long long>(kernels[k].electrons),
          kernels[k].released_keV / static_cast<double>(kernels[k].electrons),
          100 * kernels[k].outside_keV / kernels[k].released_keV, faint.forward_cm,
          faint.lateral_cm, strong.forward_cm, strong.lateral_cm);
      std::printf(
          "   share of the energy within Z < 3 cm and R < 1.5 cm: %.1f %%;"
          " within Z < 2 cm and R < 1 cm: %.1f %%\n",
          100 * EnergyFractionWithin(kernels[k], 3.0, 1.5),
          100 * EnergyFractionWithin(kernels[k], 2.0, 1.0));
      panels[k] = {QString::fromLatin1(kEnergies[k]) + QStringLiteral(" MV"), &kernels[k]};
    }
    const QImage image = RenderElectronMaps(panels);
    if (!image.save(QString::fromStdString(argv[2]), "PNG")) {
      std::fprintf(stderr, "make_electron_map: cannot write %s\n", argv[2]);
      return 1;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "make_electron_map: %s\n", error.what());
    return 1;
  }
  return 0;
}
