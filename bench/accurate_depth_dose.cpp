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
// Prints "depth_cm,field_cm,dose" rows (keV per history per slab; field 50: all rings, a
// beam as wide as the phantom) and the histories/s on stderr.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/field_superposition.h"
#include "engine/pencil_beam.h"
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
  if (accurate) {
    LoadElectronData(tables->electrons, data_dir + "/" + kAccurateElectronDataFile);
    tables->electrons.controls.loss_fraction *= scale;
    tables->electrons.controls.deflection_fraction *= scale;
    AccurateStepControls& c = tables->electrons.controls;
    for (int a = 6; a < argc; ++a) {
      const std::string option = argv[a];
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
  const auto t0 = std::chrono::steady_clock::now();
  {
    PencilBeam beam(*tables, random, *tally, physics);
    for (long long h = 0; h < histories; ++h) {
      random.SeedFromKey(static_cast<std::uint64_t>(seed) * 1000000007ull +
                         static_cast<std::uint64_t>(h));
      beam.RunHistory(energy);
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
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
