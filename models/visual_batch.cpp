#include "models/visual_batch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "physics/physics_loader.h"

namespace dosavia {

std::array<double, kSpectrumBins + 1> SpectrumEnergy{};
std::array<double, kSpectrumBins + 1> SpectrumCumulative{};
double SourceDistance = kVisualSourceDistanceCm;
double FieldSide = 4.0;
long long TotalPhotonCount = 0;
std::array<long long, kSpectrumBins + 1> SpectrumTally{};

RandomStream<double> SimulationRandom;
PhysicsTables<double> SimulationTables;

void InitSimulation() {
  SimulationRandom.Seed();
  LoadPhysicsTables(SimulationTables, kWaterDataFile, kElectronDataFile);
  SimulationTables.SetPhantomConstants(kVisualHalfWidthCm, kVisualHalfWidthCm, kVisualDepthCm);
}

void SeedSimulation(RunSeed seed) {
  if (seed == kDefaultSeed) {
    SimulationRandom.Seed();
  } else {
    SimulationRandom.SeedFromKey(VisualStreamKey(seed));
  }
}

RunSeed FreshSeriesSeed() {
  std::random_device device;
  std::uniform_int_distribution<RunSeed> pick(1, kMaxSeriesSeed);
  return pick(device);
}

void ClearSpectrumTally() {
  for (int q = 1; q <= kClearedSpectrumBins; ++q) SpectrumTally[q] = 0;
}

void LoadSpectrum(const std::string& path, const std::string& display_name) {
  // Photons above the last row of the photon table would run on extrapolated coefficients;
  // before the tables are loaded there is no limit to hold the energies to.
  const int rows = SimulationTables.photon_rows;
  const double highest = rows >= 2 ? SimulationTables.PhotonTable[rows].energy
                                   : std::numeric_limits<double>::infinity();
  const FreeFormatSpectrum spectrum = ReadFreeFormatSpectrumFile(path, display_name, highest);
  SpectrumEnergy = spectrum.energy;
  SpectrumCumulative = spectrum.cumulative;
}

EnergyRange MonoenergeticRangeMeV() {
  const int rows = SimulationTables.photon_rows;
  return {0.1, rows >= 2 ? 0.001 * SimulationTables.PhotonTable[rows].energy : 20.0};
}

bool SetMonoenergeticSpectrum(double energy_mev) {
  const EnergyRange range = MonoenergeticRangeMeV();
  if (!(energy_mev >= range.lowest && energy_mev <= range.highest)) return false;
  // The spectrum files' bins are 50 keV wide, bin q holding (q - 1) * 50 .. q * 50 keV.
  constexpr double kBinMeV = 0.05;
  const int bin = std::clamp(static_cast<int>(std::ceil(energy_mev / kBinMeV)), 1, kSpectrumBins);
  for (int q = 1; q <= kSpectrumBins; ++q) {
    SpectrumEnergy[q] = 1000.0 * energy_mev;
    SpectrumCumulative[q] = q >= bin ? 1.0 : 0.0;
  }
  return true;
}

long long WholePhotonCount(double count) {
  // Beyond 2^62 photons no batch could ever finish; the cap only keeps the conversion defined.
  constexpr double kMaxPhotons = 4.6e18;
  if (!(count >= 1) || !std::isfinite(count)) return 0;
  return count >= kMaxPhotons ? static_cast<long long>(kMaxPhotons)
                              : static_cast<long long>(std::floor(count));
}

int SampleSpectrumBin(double r) {
  int q = 1;
  while (q < kSpectrumBins && r >= SpectrumCumulative[q]) ++q;
  return q;
}

VisualSourcePhoton SampleVisualSource() {
  VisualSourcePhoton photon;
  const int q = SampleSpectrumBin(SimulationRandom.Uniform());
  photon.energy = SpectrumEnergy[q];
  ++SpectrumTally[q];
  const double slot1 = SimulationRandom.Uniform();
  const double slot2 = SimulationRandom.Uniform();
  photon.entry = {(0.5 - slot1) * FieldSide, (0.5 - slot2) * FieldSide, 0.0};
  const double rho = std::sqrt(photon.entry.x * photon.entry.x + photon.entry.y * photon.entry.y);
  if (rho > 0) {
    const double theta = std::atan(rho / SourceDistance);
    photon.direction = {std::cos(theta), std::sin(theta), photon.entry.x / rho,
                        photon.entry.y / rho};
  }
  return photon;
}

TransportContext<double> VisualTransportContext(const PhysicsSwitches& physics) {
  return {SimulationTables, SimulationRandom,
          PhantomBox<double>{-SimulationTables.HalfWidthX, SimulationTables.HalfWidthX,
                             -SimulationTables.HalfWidthY, SimulationTables.HalfWidthY,
                             SimulationTables.PhantomDepth},
          physics};
}

}  // namespace dosavia
