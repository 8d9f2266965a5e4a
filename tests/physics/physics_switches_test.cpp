// The parts of the physics that a lesson switches off: in every combination each history's
// energy is still all accounted for, and the part switched off leaves no trace in the events.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "physics/photon_transport.h"
#include "tests/physics/transport_test_support.h"
#include "tests/physics/water_test_tables.h"

namespace dosavia {
namespace {

using testing::Event;
using testing::EventLog;
using testing::EventType;

template <typename Real>
const PhysicsTables<Real>& Water() {
  static const PhysicsTables<Real> tables = testing::WaterTestTables<Real>();
  return tables;
}

PhysicsSwitches SwitchesOfBits(int bits) {
  PhysicsSwitches s;
  s.electron_transport = !(bits & 1);
  s.multiple_scattering = !(bits & 2);
  s.photon_scatter = !(bits & 4);
  s.coherent = !(bits & 8);
  s.pair = !(bits & 16);
  return s;
}

std::string Describe(const PhysicsSwitches& s) {
  std::string d;
  if (!s.electron_transport) d += " electron-transport";
  if (!s.multiple_scattering) d += " multiple-scattering";
  if (!s.photon_scatter) d += " photon-scatter";
  if (!s.coherent) d += " coherent";
  if (!s.pair) d += " pair";
  return d.empty() ? "full physics" : "without" + d;
}

// Where one history's energy went, from its event log.
template <typename Real>
double AccountedEnergy(const std::vector<Event<Real>>& events) {
  double sum = 0;
  for (const Event<Real>& e : events)
    if (e.type == EventType::kAbsorption || e.type == EventType::kStep ||
        e.type == EventType::kEscape)
      sum += e.energy;
  return sum;
}

// What one combination must never show, however many histories run.
template <typename Real>
void ExpectNoTraceOfSwitchedParts(const PhysicsSwitches& s, const std::vector<Event<Real>>& events,
                                  const std::string& where) {
  const Event<Real>* previous_step = nullptr;
  for (const Event<Real>& e : events) {
    if (e.type == EventType::kInteraction) {
      if (!s.coherent) {
        EXPECT_NE(e.interaction, InteractionKind::kCoherent) << where;
      }
      if (!s.pair) {
        EXPECT_NE(e.interaction, InteractionKind::kPair) << where;
      }
    }
    if (!s.electron_transport) {
      EXPECT_NE(e.type, EventType::kStep) << where;
    }
    if (!s.photon_scatter) {
      // Nothing is deposited once the source photon has scattered: no scatter dose.
      if (e.type == EventType::kAbsorption || e.type == EventType::kStep)
        EXPECT_EQ(e.component, 1) << where;
      EXPECT_NE(e.type, EventType::kAnnihilation) << where;
    }
    if (!s.multiple_scattering && e.type == EventType::kStep && previous_step != nullptr) {
      const ChargedStep<Real>& a = previous_step->step;
      const ChargedStep<Real>& b = e.step;
      const bool same_track = a.end.x == b.start.x && a.end.y == b.start.y && a.end.z == b.start.z;
      if (same_track) {
        const double ax = a.end.x - a.start.x, ay = a.end.y - a.start.y, az = a.end.z - a.start.z;
        const double bx = b.end.x - b.start.x, by = b.end.y - b.start.y, bz = b.end.z - b.start.z;
        const double la = std::sqrt(ax * ax + ay * ay + az * az);
        const double lb = std::sqrt(bx * bx + by * by + bz * bz);
        if (la > 1e-3 && lb > 1e-3)
          EXPECT_NEAR((ax * bx + ay * by + az * bz) / (la * lb), 1.0, 1e-4) << where;
      }
    }
    if (e.type == EventType::kStep) previous_step = &e;
  }
}

template <typename Real>
class PhysicsSwitchCombinations : public ::testing::Test {};
using Precisions = ::testing::Types<float, double>;
TYPED_TEST_SUITE(PhysicsSwitchCombinations, Precisions);

// All 32 combinations, in float (the engine) and double (the visual run), at energies from
// below the pair threshold to the top of the 15 MV spectrum.
TYPED_TEST(PhysicsSwitchCombinations, EnergyIsAccountedForAndSwitchedPartsLeaveNoTrace) {
  using Real = TypeParam;
  const double tolerance = std::is_same_v<Real, float> ? 1e-5 : 1e-9;
  for (int bits = 0; bits < 32; ++bits) {
    const PhysicsSwitches s = SwitchesOfBits(bits);
    RandomStream<Real> random;
    const TransportContext<Real> ctx{Water<Real>(), random, PhantomBox<Real>{0, 50, 0, 50, 30}, s};
    for (const double E : {600.0, 6000.0, 15000.0}) {
      for (int h = 0; h < 60; ++h) {
        EventLog<Real> log;
        TrackHistory(ctx, {25, 25, 0}, Direction<Real>{}, static_cast<Real>(E), log);
        const std::string where =
            Describe(s) + ", " + std::to_string(E) + " keV, history " + std::to_string(h);
        ASSERT_NEAR(AccountedEnergy(log.events), E, tolerance * E) << where;
        ExpectNoTraceOfSwitchedParts(s, log.events, where);
      }
    }
  }
}

// The checks above can fail: with the physics on, coherent and pair events, annihilation
// photons, scatter deposits and bent electron tracks all happen in so many histories.
TEST(PhysicsSwitches, FullPhysicsShowsWhatTheSwitchesRemove) {
  RandomStream<double> random;
  const TransportContext<double> ctx{Water<double>(), random, PhantomBox<double>{0, 50, 0, 50, 30}};
  int coherent = 0, pair = 0, scatter_deposits = 0, annihilations = 0, bends = 0;
  for (int h = 0; h < 3000; ++h) {
    EventLog<double> log;
    TrackHistory(ctx, {25, 25, 0}, Direction<double>{}, h % 2 ? 15000.0 : 300.0, log);
    const ChargedStep<double>* previous = nullptr;
    for (const Event<double>& e : log.events) {
      coherent += e.type == EventType::kInteraction && e.interaction == InteractionKind::kCoherent;
      pair += e.type == EventType::kInteraction && e.interaction == InteractionKind::kPair;
      annihilations += e.type == EventType::kAnnihilation;
      scatter_deposits +=
          (e.type == EventType::kAbsorption || e.type == EventType::kStep) && e.component == 2;
      if (e.type == EventType::kStep) {
        if (previous && previous->end.z == e.step.start.z && previous->end.x == e.step.start.x) {
          const double a =
              (previous->end.z - previous->start.z) /
              std::hypot(previous->end.x - previous->start.x, previous->end.y - previous->start.y,
                         previous->end.z - previous->start.z);
          const double b = (e.step.end.z - e.step.start.z) /
                           std::hypot(e.step.end.x - e.step.start.x, e.step.end.y - e.step.start.y,
                                      e.step.end.z - e.step.start.z);
          bends += std::abs(a - b) > 1e-3;
        }
        previous = &e.step;
      }
    }
  }
  EXPECT_GT(coherent, 0);
  EXPECT_GT(pair, 0);
  EXPECT_GT(annihilations, 0);
  EXPECT_GT(scatter_deposits, 0);
  EXPECT_GT(bends, 0);
}

// Switching coherent scattering or pair production off leaves the photon flying on from the
// drawn point: the free path of the remaining interactions is longer by the ratio of the
// coefficients, which the mean depth of the first Compton event shows.
TEST(PhysicsSwitches, RemovedInteractionLengthensTheFreePath) {
  const double E = 12000;  // [keV]; pair production is some 8 % of the attenuation here
  const Attenuation<double> att = Water<double>().PhotonCoefficients(E);
  const double mu_pair = att.mu * (1 - att.P3);
  struct FirstCompton : NullObserver<double> {
    double depth = -1;
    void OnInteraction(InteractionKind kind, const Vec3<double>& p, double, int) {
      if (depth < 0 && kind == InteractionKind::kCompton) depth = p.z;
    }
  };
  PhysicsSwitches s;
  s.pair = false;
  s.coherent = false;
  s.electron_transport = false;  // the electrons play no part in where the photon goes
  RandomStream<double> random;
  // A deep box, so that almost every photon interacts.
  const TransportContext<double> ctx{Water<double>(), random,
                                     PhantomBox<double>{-1e4, 1e4, -1e4, 1e4, 1e4}, s};
  double sum = 0;
  int n = 0;
  for (int h = 0; h < 20000; ++h) {
    FirstCompton obs;
    TrackHistory(ctx, {0, 0, 0}, Direction<double>{}, E, obs);
    // Photoelectric absorption is negligible here; a history without Compton is a pair-free,
    // coherent-free photon absorbed otherwise.
    if (obs.depth >= 0) sum += obs.depth, ++n;
  }
  const double mu_compton = att.mu * (att.P2 - att.P1);
  const double expected = 1 / (mu_compton + att.mu * (att.P3 - att.P2));
  const double mean = sum / n;
  EXPECT_NEAR(mean, expected, 4 * expected / std::sqrt(n)) << "mu_pair " << mu_pair;
}

}  // namespace
}  // namespace dosavia
