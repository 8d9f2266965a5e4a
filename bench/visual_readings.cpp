// What the visual screen tells a class over many seeds: runs the visual batch series of
// seeds FIRST..FIRST+SEEDS-1 for one beam and photon count, reads each curve as the screens
// read it (ReadVisualCurve), and prints one row per seed (verdict, d_max, its uncertainty)
// and a summary: how often each verdict was given, the mean d_max with its standard error,
// the spread of d_max over the seeds and the SD of the pulls (d_max - mean) / u.
//   visual_readings DATA_DIR ENERGY_MV FIELD_CM PHOTONS SEEDS [FIRST_SEED] [no-electrons]
// bench/visual_bias.sh runs it for the bias table of docs/uncertainties.md.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "models/dmax_uncertainty.h"
#include "models/visual_batch.h"
#include "models/visual_depth_dose.h"

int main(int argc, char** argv) {
  using namespace dosavia;
  if (argc < 6) {
    std::fprintf(stderr,
                 "usage: visual_readings DATA_DIR ENERGY_MV FIELD_CM PHOTONS SEEDS [FIRST_SEED] "
                 "[no-electrons]\n");
    return 2;
  }
  const std::string spectrum = std::string(argv[2]) + "MV.csv";
  const double field = std::atof(argv[3]);
  const long long photons = std::atoll(argv[4]);
  const int seeds = std::atoi(argv[5]);
  const int first = argc > 6 ? std::atoi(argv[6]) : 1;
  PhysicsSwitches physics;
  if (argc > 7 && std::string(argv[7]) == "no-electrons") physics.electron_transport = false;
  try {
    std::filesystem::current_path(argv[1]);
    auto simulation = std::make_unique<VisualSimulation>();
    simulation->Init();
    simulation->LoadSpectrum(spectrum, spectrum);
    simulation->SetField(field);
    auto tally = std::make_unique<VisualDepthDose>();
    int verdicts[3] = {0, 0, 0};  // build-up, none, too few to tell
    std::vector<double> dmax, sigma;
    std::printf("seed\tverdict\td_max_cm\tu_cm\tsurface_pct\n");
    for (int s = first; s < first + seeds; ++s) {
      simulation->Seed(static_cast<RunSeed>(s));
      tally->Clear(field);
      const TransportContext<double> context = simulation->Context(physics);
      for (long long n = 0; n < photons; ++n) {
        tally->StartHistory();
        simulation->SimulatePhoton(context, *tally);
      }
      const DepthDoseCurve curve = MakeDepthDoseCurve(*tally);
      const VisualCurveReading reading = ReadVisualCurve(*tally, curve);
      const char* verdict = reading.too_few                      ? "too-few"
                            : reading.build_up == BuildUp::kNone ? "none"
                                                                 : "build-up";
      ++verdicts[reading.too_few ? 2 : reading.build_up == BuildUp::kNone ? 1 : 0];
      std::printf("%d\t%s\t%.3f\t%.3f\t%.1f\n", s, verdict, curve.d_max_cm, reading.dmax_sigma_cm,
                  curve.dose.empty() ? 0.0 : curve.dose[0]);
      if (reading.dmax_shown) {
        dmax.push_back(curve.d_max_cm);
        sigma.push_back(reading.dmax_sigma_cm);
      }
    }
    const double n = static_cast<double>(dmax.size());
    double mean = 0, spread = 0, pulls = 0, mean_u = 0;
    for (double d : dmax) mean += d / n;
    for (std::size_t i = 0; i < dmax.size(); ++i) {
      spread += (dmax[i] - mean) * (dmax[i] - mean) / (n - 1);
      pulls += std::pow((dmax[i] - mean) / sigma[i], 2) / (n - 1);
      mean_u += sigma[i] / n;
    }
    std::printf(
        "# %s MV %g cm %lld photons%s: build-up %d, no build-up %d, too few %d of %d;"
        " d_max mean %.3f +- %.3f cm, spread %.3f, mean u %.3f, pull SD %.2f\n",
        argv[2], field, photons, physics.electron_transport ? "" : " (no electrons)", verdicts[0],
        verdicts[1], verdicts[2], seeds, mean, std::sqrt(spread / n), std::sqrt(spread), mean_u,
        std::sqrt(pulls));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
