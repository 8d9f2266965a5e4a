// Writes the four X-ray spectrum files 4MV.csv, 6MV.csv, 10MV.csv and 15MV.csv: Schiff's
// thin-target bremsstrahlung spectrum of a tungsten target, hardened by the target and the
// flattening filter.
//
// Usage: make_spectra <XCOM source folder> <output folder>

#include <cstdio>
#include <exception>
#include <string>

#include "physics/text_records.h"
#include "tools/bremsstrahlung.h"
#include "tools/xcom_table.h"

namespace {

using namespace dosavia::datagen;

// Tungsten the photons cross on their way out of the target, the same for every beam.
constexpr double kTargetTungstenCm = 0.1;

// One beam: its file, the electron kinetic energy (the nominal MV value) and its filtration,
// the on-axis copper of the flattening filter. The copper thicknesses were chosen so that
// the beams reach the tissue-phantom ratios TPR20,10 of typical clinical machines (0.62,
// 0.67, 0.73, 0.76); the beam-quality checks against measured data may retune them.
struct Beam {
  const char* file;
  double electron_mev;
  double copper_cm;
};
constexpr Beam kBeams[] = {
    {"4MV.csv", 4, 1.6},
    {"6MV.csv", 6, 2.1},
    {"10MV.csv", 10, 3.2},
    {"15MV.csv", 15, 3.0},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <XCOM source folder> <output folder>\n", argv[0]);
    return 2;
  }
  try {
    const std::string sources = argv[1];
    const XcomElement tungsten = ReadXcomElement(sources + "/MDATX3.074");
    const XcomElement copper = ReadXcomElement(sources + "/MDATX3.029");
    for (const Beam& beam : kBeams) {
      const std::vector<double> weights = SpectrumWeights(
          beam.electron_mev, TargetModel::kThin, tungsten, copper, Filtration{kTargetTungstenCm, beam.copper_cm});
      const std::string path = std::string(argv[2]) + "/" + beam.file;
      dosavia::WriteFileAtomically(path, FormatSpectrumFile(weights));
      std::printf("%s: mean energy %.3f MeV\n", path.c_str(), MeanEnergy(weights));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_spectra: %s\n", e.what());
    return 1;
  }
  return 0;
}
