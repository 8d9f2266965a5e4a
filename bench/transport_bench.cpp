// Throughput of the photon and electron transport: histories per second of a 6 MeV photon
// entering the engine's water box on the beam axis, with an observer that does nothing, so
// the figure is the cost of the physics alone.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <utility>
#include <string>

#include "physics/physics_loader.h"
#include "physics/photon_transport.h"
#include "tests/physics/water_test_tables.h"

namespace dosavia {
namespace {

// The shipped data files when they are in the source tree, otherwise the in-memory water
// tables of the tests (XCOM coefficients, model deflections).
template <typename Real>
const PhysicsTables<Real>& BenchTables(std::string* source) {
  static const auto tables = [] {
    PhysicsTables<Real> t = testing::WaterTestTables<Real>();
    const std::string dir = DOSAVIA_DATA_DIR;
    const std::string water = dir + "/" + kWaterDataFile;
    const std::string electron = dir + "/" + kElectronDataFile;
    std::string from = "in-memory test tables";
    if (std::filesystem::exists(water) && std::filesystem::exists(electron)) {
      LoadPhysicsTables(t, water, electron);
      from = "data files";
    }
    return std::pair{t, from};
  }();
  *source = tables.second;
  return tables.first;
}

template <typename Real>
void SixMeVPencilPhoton(benchmark::State& state) {
  std::string source;
  const PhysicsTables<Real>& tables = BenchTables<Real>(&source);
  RandomStream<Real> random;
  const TransportContext<Real> ctx{tables, random, PhantomBox<Real>{0, 50, 0, 50, 30}};
  NullObserver<Real> observer;
  const Vec3<Real> start{25, 25, 0};
  for (auto _ : state) {
    TrackHistory(ctx, start, Direction<Real>{}, Real(6000), observer);
    benchmark::DoNotOptimize(random.K);
  }
  state.counters["histories/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetLabel(source);
}

BENCHMARK(SixMeVPencilPhoton<float>)->Name("SixMeVPencilPhoton/float");
BENCHMARK(SixMeVPencilPhoton<double>)->Name("SixMeVPencilPhoton/double");

}  // namespace
}  // namespace dosavia

BENCHMARK_MAIN();
