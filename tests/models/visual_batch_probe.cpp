// The native visual run as the browser edition's tests compare it: `visual_batch_probe
// DATA_DIR SPECTRUM FIELD PHOTONS` runs the batch in the data folder and prints, as JSON,
// the raw depth-dose tally (group-major, dose then kerma), the spectrum counts, and the
// incident, deposited and escaped energy [keV].
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>

#include "models/visual_batch.h"
#include "models/visual_depth_dose.h"
#include "models/visual_tracks.h"
#include "physics/composed_observer.h"

int main(int argc, char** argv) {
  using namespace dosavia;
  if (argc != 5) {
    std::fprintf(stderr, "usage: visual_batch_probe DATA_DIR SPECTRUM FIELD PHOTONS\n");
    return 2;
  }
  try {
    std::filesystem::current_path(argv[1]);
    auto simulation = std::make_unique<VisualSimulation>();
    simulation->Init();
    simulation->LoadSpectrum(argv[2], argv[2]);
    simulation->SetField(std::atof(argv[3]));
    const long long photons = std::atoll(argv[4]);
    VisualDepthDose tally;
    tally.Clear(simulation->FieldSide());
    TrackSegmentCollector tracks;
    ComposedObserver<TrackSegmentCollector, VisualDepthDose> both(tracks, tally);
    const TransportContext<double> context = simulation->Context();
    double incident = 0;
    for (long long n = 0; n < photons; ++n) {
      tally.StartHistory();
      incident += simulation->SimulatePhoton(context, both);
      tracks.ClearDrawing();
    }
    std::printf("{\"incident\":%.17g,\"deposited\":%.17g,\"escaped\":%.17g,\"tally\":[", incident,
                tracks.Deposited(), tracks.Escaped());
    const char* sep = "";
    for (int kind = 0; kind < 2; ++kind)
      for (int g = 0; g < kDepthDoseGroups; ++g)
        for (int k = 0; k < kDepthDoseBins; ++k) {
          std::printf("%s%.17g", sep, kind == 0 ? tally.GroupDose(g, k) : tally.GroupKerma(g, k));
          sep = ",";
        }
    std::printf("],\"spectrum\":[");
    for (int q = 1; q <= kSpectrumBins; ++q)
      std::printf("%s%lld", q == 1 ? "" : ",", simulation->SpectrumTally()[q]);
    std::printf("]}\n");
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
