// Fuzz target: the loader of "water20.dat" and "ELDAT.dat". Input: the water file, a line
// "====", then the deflection file. A load either yields tables that keep the loader's
// guarantees, on which a few histories run to their end with finite numbers, or fails
// naming a file, and then leaves the earlier tables untouched.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "physics/photon_transport.h"
#include "physics/physics_loader.h"
#include "physics/random_stream.h"
#include "physics/transport_context.h"
#include "records/input_error.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

template <typename Real>
void CheckGuarantees(const dosavia::PhysicsTables<Real>& t) {
  FUZZ_CHECK(t.photon_rows >= 2 && t.photon_rows <= 46);
  for (int i = 1; i <= t.photon_rows; ++i) {
    const auto& r = t.PhotonTable[i];
    FUZZ_CHECK(std::isfinite(r.energy) && r.energy > 0);
    FUZZ_CHECK(r.coherent > 0 && r.incoherent > 0 && r.photoelectric > 0 && r.pair >= 0);
    FUZZ_CHECK(std::isfinite(r.coherent + r.incoherent + r.photoelectric + r.pair));
    if (i > 1) FUZZ_CHECK(r.energy > t.PhotonTable[i - 1].energy);
  }
  FUZZ_CHECK(t.FormFactorTable[1].x == 0 && t.FormFactorTable[1].cumulative == 0);
  for (int i = 2; i <= 45; ++i) {
    FUZZ_CHECK(t.FormFactorTable[i].x > t.FormFactorTable[i - 1].x);
    FUZZ_CHECK(t.FormFactorTable[i].cumulative >= t.FormFactorTable[i - 1].cumulative);
    FUZZ_CHECK(t.FormFactorTable[i].incoherent > 0);
  }
  FUZZ_CHECK(t.CoherentCumMax > 0 && t.IncoherentMax > 0);
  for (int i = 1; i <= 24; ++i) {
    FUZZ_CHECK(t.ScatterEnergies[i] > 0);
    if (i > 1) FUZZ_CHECK(t.ScatterEnergies[i] < t.ScatterEnergies[i - 1]);
    for (int j = 1; j <= 65; ++j) FUZZ_CHECK(std::abs(t.ScatterAngleTable[i][j]) <= 16384);
  }
  // Lookups inside the table's range give usable numbers.
  const Real lo = t.PhotonTable[1].energy, hi = t.PhotonTable[t.photon_rows].energy;
  const Real slack = static_cast<Real>(1.0001);
  for (int k = 0; k <= 8; ++k) {
    const Real e = lo + (hi - lo) * static_cast<Real>(k) / 8;
    const auto a = t.PhotonCoefficients(e);
    FUZZ_CHECK(std::isfinite(a.mu) && a.mu > 0);
    FUZZ_CHECK(a.P1 >= 0 && a.P1 <= a.P2 * slack && a.P2 <= a.P3 * slack && a.P3 <= slack);
  }
  for (int k = 0; k < 8; ++k) {
    const Real u = t.CoherentCumMax * static_cast<Real>(k) / 8;
    const Real x = t.CoherentInverse(u);
    FUZZ_CHECK(std::isfinite(x) && x >= 0 && x <= t.FormFactorTable[45].x * slack);
    const Real s = t.IncoherentFunction(t.FormFactorTable[45].x * static_cast<Real>(k) / 8);
    FUZZ_CHECK(std::isfinite(s) && s >= 0);
  }
  for (Real r : {Real(0), Real(0.5), Real(0.99993)}) {
    const Real c = t.DeflectionCosine(t.ScatterEnergies[10], r);
    FUZZ_CHECK(c >= -1 && c <= 1);
  }
}

// Every event of a history has finite numbers, and a history ends: a sampling loop that
// the data can never satisfy would otherwise spin for ever.
template <typename Real>
struct CheckingObserver : dosavia::NullObserver<Real> {
  long events = 0;
  void Count() { FUZZ_CHECK(++events < 1000000); }
  static void Point(const dosavia::Vec3<Real>& p) {
    FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
  }
  void OnLocalAbsorption(const dosavia::Vec3<Real>& p, Real e, dosavia::AbsorptionCause, int) {
    Point(p);
    FUZZ_CHECK(std::isfinite(e) && e >= 0);
    Count();
  }
  void OnInteraction(dosavia::InteractionKind, const dosavia::Vec3<Real>& p, Real e, int) {
    Point(p);
    FUZZ_CHECK(std::isfinite(e));
    Count();
  }
  void OnChargedStep(const dosavia::ChargedStep<Real>& s, int) {
    Point(s.start);
    Point(s.end);
    Count();
  }
  void OnEscape(dosavia::EscapeKind, const dosavia::Vec3<Real>&, Real, int) { Count(); }
  void OnAnnihilationPhoton(const dosavia::Vec3<Real>& p, const dosavia::Direction<Real>&, int) {
    Point(p);
  }
};

// A few histories from the cutoff to the top of the table, as the visual run starts them.
template <typename Real>
void RunHistories(const dosavia::PhysicsTables<Real>& loaded) {
  using namespace dosavia;
  auto tables = std::make_unique<PhysicsTables<Real>>(loaded);
  tables->SetPhantomConstants(25, 25, 30);
  RandomStream<Real> random;
  random.Seed();
  const TransportContext<Real> context{*tables, random, PhantomBox<Real>{-25, 25, -25, 25, 30}};
  const Real top = tables->PhotonTable[tables->photon_rows].energy;
  for (Real e : {Real(6), Real(30), Real(300), Real(3000), top}) {
    if (e > top) continue;
    CheckingObserver<Real> observer;
    TrackHistory(context, Vec3<Real>{}, Direction<Real>{}, e, observer);
  }
}

template <typename Real>
void LoadOnce(std::string_view water, std::string_view electron) {
  using dosavia::PhysicsTables;
  auto tables = std::make_unique<PhysicsTables<Real>>();
  tables->photon_rows = 2;
  tables->PhotonTable[1].energy = 7;  // a sentinel that a failed load must keep
  tables->ScatterEnergies[5] = 11;
  try {
    dosavia::LoadPhysicsTablesFromText(*tables, "water20.dat", water, "ELDAT.dat", electron);
    CheckGuarantees(*tables);
    RunHistories(*tables);
  } catch (const dosavia::InputError& e) {
    FUZZ_CHECK(e.file() == "water20.dat" || e.file() == "ELDAT.dat");
    FUZZ_CHECK(tables->photon_rows == 2 && tables->PhotonTable[1].energy == 7);
    FUZZ_CHECK(tables->ScatterEnergies[5] == 11);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find("\n====\n");
  const std::string_view water = input.substr(0, cut);
  const std::string_view electron =
      cut == std::string_view::npos ? std::string_view() : input.substr(cut + 6);
  LoadOnce<float>(water, electron);
  LoadOnce<double>(water, electron);
  return 0;
}
