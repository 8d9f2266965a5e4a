// Writes the four X-ray spectrum files 4MV.csv, 6MV.csv, 10MV.csv and 15MV.csv: Schiff's
// bremsstrahlung spectrum of a tungsten target, hardened by the target and the flattening
// filter. The shipped files come from the thin-target form; --thick-target writes the
// thick-target set that the beam-quality validation compares with them, and --copper
// replaces the four copper thicknesses (for studies; never for the shipped files).
//
// Usage: make_spectra <XCOM source folder> <output folder> [--thick-target]
//                     [--copper <4 MV>,<6 MV>,<10 MV>,<15 MV>]

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "records/file_io.h"
#include "records/number_text.h"
#include "tools/bremsstrahlung.h"
#include "tools/xcom_table.h"

namespace {

using namespace dosavia::datagen;

// Tungsten the photons cross on their way out of the target, the same for every beam.
constexpr double kTargetTungstenCm = 0.1;

// One beam: its file, the electron kinetic energy (the nominal MV value) and its filtration,
// the on-axis copper of the flattening filter. Each copper thickness brings the beam to the
// tissue-phantom ratio TPR20,10 of typical clinical machines (0.62, 0.67, 0.73, 0.76), as
// the engine measures it (docs/validation.md).
struct Beam {
  const char* file;
  double electron_mev;
  double copper_cm;
};

// The shipped beams: thin target. Their copper lets about a third of the beam through on
// the axis, as a real flattening filter might.
constexpr Beam kThinTargetBeams[] = {
    {"4MV.csv", 4, 1.6},
    {"6MV.csv", 6, 2.1},
    {"10MV.csv", 10, 2.8},
    {"15MV.csv", 15, 3.0},
};

// The thick-target alternative: its angle-integrated spectrum is soft in the middle, so it
// needs three to four times the copper (on-axis transmission near 5 %, more than any real
// filter) to reach the same TPR20,10; the copper then stands for the forward hardening of
// the real beam as much as for a filter.
constexpr Beam kThickTargetBeams[] = {
    {"4MV.csv", 4, 5.6},
    {"6MV.csv", 6, 6.3},
    {"10MV.csv", 10, 9.0},
    {"15MV.csv", 15, 9.1},
};

// The copper thicknesses of a "--copper a,b,c,d" argument [cm], one per beam in the order of
// the tables; throws on anything else.
std::vector<double> ParseCopper(const std::string& list) {
  std::vector<double> cm;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    double value = 0;
    if (!dosavia::ParseReal(std::string_view(list).substr(start, comma - start), value) ||
        !(value >= 0)) {
      throw std::runtime_error("a copper thickness must be a number of 0 or more: " + list);
    }
    cm.push_back(value);
    start = comma + 1;
  }
  if (cm.size() != std::size(kThinTargetBeams)) {
    throw std::runtime_error("--copper needs one thickness per beam (4, 6, 10, 15 MV)");
  }
  return cm;
}

int Usage(const char* program) {
  std::fprintf(stderr,
               "usage: %s <XCOM source folder> <output folder> [--thick-target] "
               "[--copper <4 MV>,<6 MV>,<10 MV>,<15 MV>]\n",
               program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage(argv[0]);
  bool thick = false;
  std::string copper_list;
  for (int i = 3; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--thick-target") {
      thick = true;
    } else if (arg == "--copper" && i + 1 < argc) {
      copper_list = argv[++i];
    } else {
      return Usage(argv[0]);
    }
  }
  try {
    const std::string sources = argv[1];
    const XcomElement tungsten = ReadXcomElement(sources + "/MDATX3.074");
    const XcomElement copper = ReadXcomElement(sources + "/MDATX3.029");
    const TargetModel model = thick ? TargetModel::kThick : TargetModel::kThin;
    const std::span<const Beam> beams =
        thick ? std::span<const Beam>(kThickTargetBeams) : std::span<const Beam>(kThinTargetBeams);
    const std::vector<double> copper_override =
        copper_list.empty() ? std::vector<double>{} : ParseCopper(copper_list);
    for (std::size_t b = 0; b < beams.size(); ++b) {
      const Beam& beam = beams[b];
      const double copper_cm = copper_override.empty() ? beam.copper_cm : copper_override[b];
      const Filtration filtration{kTargetTungstenCm, copper_cm};
      const std::vector<double> weights =
          SpectrumWeights(beam.electron_mev, model, tungsten, copper, filtration);
      const std::string path = std::string(argv[2]) + "/" + beam.file;
      dosavia::WriteFileAtomically(path, FormatSpectrumFile(weights));
      // How much of the beam the filtration lets through on the axis, at the mean energy.
      const double mean = MeanEnergy(weights);
      const double transmission =
          std::exp(-tungsten.Total(mean) * kTungstenDensity * filtration.tungsten_cm -
                   copper.Total(mean) * kCopperDensity * filtration.copper_cm);
      std::printf(
          "%s: mean energy %.3f MeV, copper %.2f cm, on-axis transmission %.3f at the "
          "mean energy\n",
          path.c_str(), mean, copper_cm, transmission);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_spectra: %s\n", e.what());
    return 1;
  }
  return 0;
}
