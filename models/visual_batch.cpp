#include "models/visual_batch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "physics/electron_data.h"
#include "physics/physics_loader.h"

namespace dosavia {

void VisualSimulation::Init() {
  random_.Seed();
  LoadPhysicsTables(tables_, kWaterDataFile, kElectronDataFile);
  tables_.SetPhantomConstants(kVisualHalfWidthCm, kVisualHalfWidthCm, kVisualDepthCm);
}

void VisualSimulation::LoadAccurateData() {
  if (!HasAccurateData()) LoadElectronData(tables_.electrons, kAccurateElectronDataFile);
}

void VisualSimulation::SetPhantom(const Phantom& phantom) {
  LoadAccurateData();
  phantom_ = std::make_shared<const BasicPhantomData<double>>(
      phantom, [](const std::string& name) { return name; });
}

void VisualSimulation::Seed(RunSeed seed) {
  if (seed == kDefaultSeed) {
    random_.Seed();
  } else {
    random_.SeedFromKey(VisualStreamKey(seed));
  }
}

RunSeed FreshSeriesSeed() {
  std::random_device device;
  std::uniform_int_distribution<RunSeed> pick(1, kMaxSeriesSeed);
  return pick(device);
}

void VisualSimulation::LoadSpectrum(const std::string& path, const std::string& display_name) {
  // Photons above the last row of the photon table would run on extrapolated coefficients;
  // before the tables are loaded there is no limit to hold the energies to.
  const int rows = tables_.photon_rows;
  const double highest =
      rows >= 2 ? tables_.PhotonTable[rows].energy : std::numeric_limits<double>::infinity();
  const FreeFormatSpectrum spectrum = ReadFreeFormatSpectrumFile(path, display_name, highest);
  spectrum_energy_ = spectrum.energy;
  spectrum_cumulative_ = spectrum.cumulative;
}

EnergyRange VisualSimulation::MonoenergeticRangeMeV() const {
  const int rows = tables_.photon_rows;
  return {0.1, rows >= 2 ? 0.001 * tables_.PhotonTable[rows].energy : 20.0};
}

bool VisualSimulation::SetMonoenergeticSpectrum(double energy_mev) {
  const EnergyRange range = MonoenergeticRangeMeV();
  if (!(energy_mev >= range.lowest && energy_mev <= range.highest)) return false;
  // The spectrum files' bins are 50 keV wide, bin q holding (q - 1) * 50 .. q * 50 keV.
  constexpr double kBinMeV = 0.05;
  const int bin = std::clamp(static_cast<int>(std::ceil(energy_mev / kBinMeV)), 1, kSpectrumBins);
  for (int q = 1; q <= kSpectrumBins; ++q) {
    spectrum_energy_[q] = 1000.0 * energy_mev;
    spectrum_cumulative_[q] = q >= bin ? 1.0 : 0.0;
  }
  return true;
}

long long WholePhotonCount(double count) {
  // Beyond 2^62 photons no batch could ever finish; the cap only keeps the conversion defined.
  constexpr double kMaxPhotons = 4.6e18;
  if (!(count >= 1) || !std::isfinite(count) || count != std::floor(count)) return 0;
  return count >= kMaxPhotons ? static_cast<long long>(kMaxPhotons)
                              : static_cast<long long>(std::floor(count));
}

int VisualSimulation::SampleSpectrumBin(double r) const {
  int q = 1;
  while (q < kSpectrumBins && r >= spectrum_cumulative_[q]) ++q;
  return q;
}

VisualSourcePhoton VisualSimulation::SampleSource() {
  VisualSourcePhoton photon;
  const int q = SampleSpectrumBin(random_.Uniform());
  photon.energy = spectrum_energy_[q];
  ++spectrum_tally_[q];
  const double slot1 = random_.Uniform();
  const double slot2 = random_.Uniform();
  photon.entry = {(0.5 - slot1) * field_side_, (0.5 - slot2) * field_side_, 0.0};
  const double rho = std::sqrt(photon.entry.x * photon.entry.x + photon.entry.y * photon.entry.y);
  if (rho > 0) {
    const double theta = std::atan(rho / source_distance_);
    photon.direction = {std::cos(theta), std::sin(theta), photon.entry.x / rho,
                        photon.entry.y / rho};
  }
  return photon;
}

TransportContext<double> VisualSimulation::Context(const PhysicsSwitches& physics) {
  return {tables_, random_,
          PhantomBox<double>{-tables_.HalfWidthX, tables_.HalfWidthX, -tables_.HalfWidthY,
                             tables_.HalfWidthY, tables_.PhantomDepth},
          physics, Layers()};
}

}  // namespace dosavia
