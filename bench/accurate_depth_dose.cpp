// Central-axis depth dose of the engine's square fields from monoenergetic pencil beams, in
// the exact or the accurate transport, for the validation against the reference code
// (bench/accurate_validation.py compares and tabulates).
//
// Usage: accurate_depth_dose MODE ENERGY_MEV HISTORIES SEED [STEP_SCALE] [OPTION]...
//   MODE exact | accurate; STEP_SCALE multiplies every step limit of the accurate transport
//   (0.5: halved). Each OPTION (accurate only) turns one ingredient back to the exact
//   transport's simplification, for the diagnosis: local-delta (a delta ray's energy stays
//   where it is made, as the exact transport's collision loss stays on the track),
//   local-photons (bremsstrahlung stays on the track), no-hinge (straight steps turning
//   at their end), last-305 (the last straight step from 305 keV on), steps-8.3 (the exact
//   transport's 8.3 % energy-loss steps, no lambda_1 limit).
//   Further options: phantom=FILE runs the slab phantom of FILE (as Kestrun --phantom, its
//   materials' data from the data folder); spectrum=FILE draws each history's energy from a
//   beam spectrum (ENERGY_MEV is then ignored); grid prints, instead of the fields, the
//   energy deposited per ring and slab [MeV per history] in the reference code's layout
//   (rows k,z_lo_cm,z_hi_cm,density_g_cm3,ring1..ring125), for a ring-by-ring comparison.
// Prints "depth_cm,field_cm,dose" rows (keV per history per slab; field 50: all rings, a
// beam as wide as the phantom) and the histories/s on stderr.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/beam_spectrum.h"
#include "engine/field_superposition.h"
#include "engine/pencil_beam.h"
#include "engine/phantom_file.h"
#include "physics/electron_data.h"
#include "physics/physics_loader.h"

int main(int argc, char** argv) {
  using namespace dosavia;
  if (argc < 5) {
    std::fprintf(stderr, "usage: %s exact|accurate ENERGY_MEV HISTORIES SEED [STEP_SCALE]\n",
                 argv[0]);
    return 2;
  }
  const std::string data_dir = DOSAVIA_DATA_DIR;
  const bool accurate = std::string(argv[1]) == "accurate";
  const float energy = static_cast<float>(std::atof(argv[2]) * 1000);
  const long long histories = std::atoll(argv[3]);
  const long long seed = std::atoll(argv[4]);
  const double scale = argc > 5 ? std::atof(argv[5]) : 1.0;
  auto tables = std::make_unique<PhysicsTables<float>>();
  LoadPhysicsTables(*tables, data_dir + "/water20.dat", data_dir + "/ELDAT.dat");
  tables->SetPhantomConstants(kPhantomWidthCm, kPhantomWidthCm, kPhantomDepthCm);
  PhysicsSwitches physics;
  std::unique_ptr<PhantomData> phantom;
  std::vector<double> cumulative;  // of the spectrum's bins 1..400; empty: monoenergetic
  bool grid = false;
  for (int a = 6; a < argc; ++a) {
    const std::string option = argv[a];
    if (option.rfind("phantom=", 0) == 0) {
      phantom = std::make_unique<PhantomData>(
          ReadPhantomFile(option.substr(8), option.substr(8)),
          [&](const std::string& name) { return data_dir + "/" + name; });
    } else if (option.rfind("spectrum=", 0) == 0) {
      const BeamSpectrum spectrum = ReadBeamSpectrumFile(option.substr(9), option.substr(9));
      double sum = 0;
      for (int i = 1; i <= kSpectrumBins; ++i) cumulative.push_back(sum += spectrum.weight[i]);
    } else if (option == "grid") {
      grid = true;
    }
  }
  if (accurate) {
    LoadElectronData(tables->electrons, data_dir + "/" + kAccurateElectronDataFile);
    // Every material's steps scale alike; the layers' tables belong to this program's own
    // PhantomData, loaded above for this run only.
    std::vector<AccurateStepControls*> all{&tables->electrons.controls};
    if (phantom)
      for (int k = 0; k < phantom->layers().count; ++k)
        if (phantom->layers().tables[k] != nullptr)
          all.push_back(
              &const_cast<PhysicsTables<float>*>(phantom->layers().tables[k])->electrons.controls);
    for (AccurateStepControls* c : all) {
      c->loss_fraction *= scale;
      c->deflection_fraction *= scale;
    }
    AccurateStepControls& c = tables->electrons.controls;
    for (int a = 6; a < argc; ++a) {
      const std::string option = argv[a];
      if (option.rfind("phantom=", 0) == 0 || option.rfind("spectrum=", 0) == 0 || option == "grid")
        continue;
      if (option == "local-delta")
        c.delta_rays = false;
      else if (option == "local-photons")
        c.photons_leave = false;
      else if (option == "no-hinge")
        c.random_hinge = false;
      else if (option == "last-305")
        c.last_step_keV = 305;
      else if (option == "steps-8.3")
        c.loss_fraction = 0.083, c.deflection_fraction = 1e30;
      else
        return std::fprintf(stderr, "unknown option %s\n", option.c_str()), 2;
    }
    physics.accurate_transport = true;
  }
  auto tally =
      std::make_unique<DoseTally>(std::span<const float, kSlabs + 1>(tables->DepthBinWidth));
  // Each history starts its own stream (seed, h): runs that differ only in the transport's
  // settings then share every source photon's first flight, so their difference shows the
  // settings with little of the photons' noise.
  RandomStream<float> random;
  // The spectrum's energies from a stream of their own, so that they too are shared.
  std::mt19937_64 spectrum_random(static_cast<std::uint64_t>(seed));
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  const auto t0 = std::chrono::steady_clock::now();
  {
    PencilBeam beam(*tables, random, *tally, physics);
    if (phantom) beam.SetLayers(&phantom->layers());
    for (long long h = 0; h < histories; ++h) {
      float e = energy;
      if (!cumulative.empty()) {
        const double u = uniform(spectrum_random) * cumulative.back();
        int i = 0;
        while (cumulative[static_cast<std::size_t>(i)] <= u && i + 1 < kSpectrumBins) ++i;
        // Uniform within the 50 keV bin, as the reference code draws it.
        e = static_cast<float>(BinEnergy(i + 1) +
                               kSpectrumBinWidthKeV * (uniform(spectrum_random) - 0.5));
      }
      random.SeedFromKey(static_cast<std::uint64_t>(seed) * 1000000007ull +
                         static_cast<std::uint64_t>(h));
      beam.RunHistory(e);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double seconds_run = seconds;
  if (grid) {
    // Energy per cell [MeV per history]: the tally holds energy per density in a phantom.
    std::printf("k,z_lo_cm,z_hi_cm,density_g_cm3");
    for (int j = 1; j <= kRings; ++j) std::printf(",ring%d", j);
    std::printf("\n");
    for (int k = 1; k <= kSlabs; ++k) {
      const float z = 0.1f * static_cast<float>(k) - 0.05f;
      const double rho =
          phantom ? phantom->layers().mass_density[phantom->layers().LayerAt(z)] : 1.0;
      std::printf("%d,%.1f,%.1f,%g", k, 0.1 * (k - 1), 0.1 * k, rho);
      for (int j = 1; j <= kRings; ++j)
        std::printf(",%.6e", rho * (tally->RingDose(1, j, k) + tally->RingDose(2, j, k)) /
                                 (1000.0 * static_cast<double>(histories)));
      std::printf("\n");
    }
    std::fprintf(stderr, "%s: %lld histories in %.2f s, %.0f histories/s\n", argv[1], histories,
                 seconds_run, histories / seconds_run);
    return 0;
  }
  auto field = std::make_unique<FieldDoseTable>();
  Superpose(*tally, *field);
  std::printf("depth_cm,field_cm,dose\n");
  for (int f = 1; f <= kFields; ++f) {
    for (int k = 1; k <= kSlabs; ++k) {
      const double d = (static_cast<double>(field->at(1, f, k)) + field->at(2, f, k)) /
                       static_cast<double>(histories);
      std::printf("%.2f,%g,%.6e\n", 0.1 * k - 0.05, kFieldSideCm[f], d);
    }
  }
  // Field 50: every ring, a beam as wide as the phantom; the least noisy curve of a run.
  for (int k = 1; k <= kSlabs; ++k) {
    double d = 0;
    for (int c = 1; c <= kComponents; ++c)
      for (int j = 1; j <= kRings; ++j) d += tally->RingDose(c, j, k);
    std::printf("%.2f,50,%.6e\n", 0.1 * k - 0.05, d / static_cast<double>(histories));
  }
  std::fprintf(stderr, "%s %.3f MeV: %lld histories in %.2f s, %.0f histories/s\n", argv[1],
               energy / 1000, histories, seconds, histories / seconds);
  return 0;
}
