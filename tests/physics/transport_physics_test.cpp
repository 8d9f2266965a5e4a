// Statistical and conservation checks of the whole transport against known physics.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "physics/photon_transport.h"
#include "tests/physics/transport_test_support.h"
#include "tests/physics/water_test_tables.h"

namespace dosavia {
namespace {

using testing::EnergyLedger;

template <typename Real>
const PhysicsTables<Real>& Water() {
  static const PhysicsTables<Real> tables = testing::WaterTestTables<Real>();
  return tables;
}

constexpr PhantomBox<double> kVisualBox{-25, 25, -25, 25, 30};

template <typename Real>
PhantomBox<Real> EngineBox() {
  return {0, 50, 0, 50, 30};
}

double ChiSquare(const std::vector<double>& observed, const std::vector<double>& expected) {
  double chi2 = 0;
  for (size_t i = 0; i < observed.size(); ++i) {
    const double d = observed[i] - expected[i];
    chi2 += d * d / expected[i];
  }
  return chi2;
}

// Simpson's rule with n (even) intervals.
template <typename F>
double Integrate(F f, double a, double b, int n = 64) {
  const double h = (b - a) / n;
  double sum = f(a) + f(b);
  for (int i = 1; i < n; ++i) sum += f(a + i * h) * (i % 2 ? 4 : 2);
  return sum * h / 3;
}

// Every history's energy ends as local absorption, step losses or escaping energy.
class EnergyConservation : public ::testing::TestWithParam<double> {};

TEST_P(EnergyConservation, IncidentEnergyIsAbsorbedSteppedOrEscaped) {
  const double E = GetParam();
  {
    RandomStream<float> random;
    const TransportContext<float> ctx{Water<float>(), random, EngineBox<float>()};
    for (int h = 0; h < 400; ++h) {
      EnergyLedger<float> ledger;
      TrackHistory(ctx, {25, 25, 0}, Direction<float>{}, float(E), ledger);
      ASSERT_NEAR(ledger.Total(), E, 1e-5 * E) << "float history " << h;
    }
  }
  {
    RandomStream<double> random;
    const TransportContext<double> ctx{Water<double>(), random, kVisualBox};
    const Direction<double> slanted{std::cos(0.1), std::sin(0.1), 0.6, 0.8};
    for (int h = 0; h < 400; ++h) {
      EnergyLedger<double> ledger;
      TrackHistory(ctx, {1, -2, 0}, slanted, E, ledger);
      ASSERT_NEAR(ledger.Total(), E, 1e-9 * E) << "double history " << h;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Energies, EnergyConservation,
                         ::testing::Values(7.0, 60.0, 300.0, 1250.0, 6000.0, 15000.0, 19975.0));

// The float engine and the double interactive program run the same physics: started from
// the same generator state, their histories deposit the same energy up to rounding.
TEST(FloatAndDouble, SameHistoriesDepositTheSameEnergy) {
  RandomStream<double> master;
  double total_float = 0, total_double = 0;
  int differing = 0;
  for (int h = 0; h < 200; ++h) {
    for (int k = 0; k < 997; ++k) master.Step();
    RandomStream<float> rf;
    RandomStream<double> rd;
    rf.A = rd.A = master.A;
    rf.J = rd.J = master.J;
    rf.K = rd.K = master.K;
    const double E = h % 2 ? 2000 : 6000;
    EnergyLedger<float> lf;
    EnergyLedger<double> ld;
    TrackHistory(TransportContext<float>{Water<float>(), rf, EngineBox<float>()}, {25, 25, 0},
                 Direction<float>{}, float(E), lf);
    TrackHistory(TransportContext<double>{Water<double>(), rd, EngineBox<double>()}, {25, 25, 0},
                 Direction<double>{}, E, ld);
    total_float += lf.Deposited();
    total_double += ld.Deposited();
    differing += std::abs(lf.Deposited() - ld.Deposited()) > 1e-3 * E;
  }
  // Rounding may rarely flip one decision and send a history elsewhere; the rest agree.
  EXPECT_NEAR(total_float, total_double, 1e-4 * total_double);
  EXPECT_LE(differing, 2);
}

// Compton scattered-photon energies against Klein-Nishina times the incoherent-function
// weight S(x)/S_max (which is 1 almost everywhere at high energy).
struct ComptonCase {
  double E;
  bool single_precision;
};

class ComptonSpectrum : public ::testing::TestWithParam<ComptonCase> {};

template <typename Real>
std::vector<double> SampleEpsilon(double E, int n) {
  RandomStream<Real> random;
  std::vector<double> eps(n);
  for (auto& e : eps) e = SampleComptonAngle(Water<Real>(), random, Real(E)).scattered_energy / E;
  return eps;
}

TEST_P(ComptonSpectrum, MatchesKleinNishinaWithIncoherentFunction) {
  const auto [E, single] = GetParam();
  const int n = 100000, bins = 40;
  const auto eps = single ? SampleEpsilon<float>(E, n) : SampleEpsilon<double>(E, n);
  const double k = E / 511, eps_min = 1 / (1 + 2 * k);
  const auto& t = Water<double>();
  // d(sigma)/d(eps) of Klein-Nishina is proportional to eps + 1/eps - sin^2(theta). E is
  // captured by an initialiser: clang before 16 cannot capture a structured binding.
  auto density = [&, E = E](double e) {
    const double c = 1 - (1 / e - 1) / k;
    const double xm = E * std::sqrt((1 - c) / 2) / 12.4;
    const double s = xm < 10 ? t.IncoherentFunction(xm) / t.IncoherentMax : 1;
    return (e + 1 / e - (1 - c * c)) * s;
  };
  std::vector<double> observed(bins, 0), expected(bins);
  const double width = (1 - eps_min) / bins;
  for (double e : eps) {
    const int b = static_cast<int>((e - eps_min) / width);
    observed[b < 0 ? 0 : b >= bins ? bins - 1 : b] += 1;
  }
  double norm = 0;
  for (int b = 0; b < bins; ++b) {
    expected[b] = Integrate(density, eps_min + b * width, eps_min + (b + 1) * width, 256);
    norm += expected[b];
  }
  for (auto& x : expected) x *= n / norm;
  // 39 degrees of freedom: 72.1 is the 0.999 quantile.
  EXPECT_LT(ChiSquare(observed, expected), 72.1);
}

INSTANTIATE_TEST_SUITE_P(Energies, ComptonSpectrum,
                         ::testing::Values(ComptonCase{6000, false}, ComptonCase{6000, true},
                                           ComptonCase{15000, true}, ComptonCase{100, false},
                                           ComptonCase{30, true}));

// Coherent scattering: the momentum transfer x follows the form-factor integral of the
// table, weighted by the Thomson factor, up to the photon's largest transfer E/12.4.
TEST(CoherentSpectrum, MatchesFormFactorTimesThomson) {
  const auto& t = Water<double>();
  auto cumulative = [&](double x) {
    int i = 2;
    while (i < 45 && !(t.FormFactorTable[i].x > x)) ++i;
    const auto& lo = t.FormFactorTable[i - 1];
    const auto& hi = t.FormFactorTable[i];
    return lo.cumulative + (hi.cumulative - lo.cumulative) * (x - lo.x) / (hi.x - lo.x);
  };
  for (double E : {15.0, 30.0}) {
    SCOPED_TRACE(E);
    const int n = 100000, bins = 24;
    const double x_max = E / 12.4, width = x_max / bins;
    RandomStream<double> random;
    std::vector<double> observed(bins, 0), expected(bins, 0);
    for (int i = 0; i < n; ++i) {
      const double c = SampleCoherentCosine(t, random, E);
      const double x = x_max * std::sqrt((1 - c) / 2);
      const int b = static_cast<int>(x / width);
      observed[b >= bins ? bins - 1 : b] += 1;
    }
    double norm = 0;
    for (int b = 0; b < bins; ++b) {
      const int sub = 200;
      for (int m = 0; m < sub; ++m) {
        const double a = (b + double(m) / sub) * width, z = a + width / sub;
        const double q = 12.4 * (a + z) / 2 / E, c = 1 - 2 * q * q;
        expected[b] += (cumulative(z) - cumulative(a)) * (1 + c * c);
      }
      norm += expected[b];
    }
    for (auto& x : expected) x *= n / norm;
    // 23 degrees of freedom: 49.7 is the 0.999 quantile.
    EXPECT_LT(ChiSquare(observed, expected), 49.7);
  }
}

// Depth of the first interaction of 6 MeV photons entering 30 cm of water, and the fraction
// that crosses without interacting, against exp(-mu z).
struct FirstEvent : NullObserver<float> {
  bool seen = false;
  bool crossed = false;
  double depth = 0;
  void OnInteraction(InteractionKind, const Vec3<float>& p, float, int) {
    if (!seen) depth = p.z;
    seen = true;
  }
  void OnEscape(EscapeKind, const Vec3<float>&, float, int) {
    if (!seen) crossed = true;
    seen = true;
  }
};

TEST(Attenuation, UncollidedFractionAndFirstInteractionDepthFollowExponential) {
  const auto& t = Water<float>();
  RandomStream<float> random;
  const TransportContext<float> ctx{t, random, EngineBox<float>()};
  const double mu = t.PhotonCoefficients(6000).mu;
  const int n = 20000, slabs = 10;
  std::vector<double> observed(slabs + 1, 0), expected(slabs + 1);
  for (int h = 0; h < n; ++h) {
    FirstEvent first;
    TrackHistory(ctx, {25, 25, 0}, Direction<float>{}, 6000.0f, first);
    const int b = first.crossed ? slabs : std::min(slabs - 1, static_cast<int>(first.depth / 3));
    observed[b] += 1;
  }
  for (int b = 0; b < slabs; ++b)
    expected[b] = n * (std::exp(-mu * 3 * b) - std::exp(-mu * 3 * (b + 1)));
  const double p = std::exp(-mu * 30);
  expected[slabs] = n * p;
  // 10 degrees of freedom: 29.6 is the 0.999 quantile.
  EXPECT_LT(ChiSquare(observed, expected), 29.6);
  EXPECT_NEAR(observed[slabs] / n, p, 4 * std::sqrt(p * (1 - p) / n));
}

// Energies at or above the last row of the photon table extrapolate its last interval and
// never read the row after it.
TEST(PhotonTableEnd, EnergiesBeyondTheLastRowUseTheLastInterval) {
  auto t = testing::WaterTestTables<double>(45);  // last row 18 MeV
  t.PhotonTable[46] = {1e30, 1e30, 1e30, 1e30, 1e9};
  t.photon_logs[46] = {20.7, 69.0, 69.0, 69.0, 69.0};
  const auto& lo = t.PhotonTable[44];
  const auto& hi = t.PhotonTable[45];
  auto extrapolate = [&](double a, double b, double E) {
    const double f = std::log(E / lo.energy) / std::log(hi.energy / lo.energy);
    return std::exp(std::log(a) + f * (std::log(b) - std::log(a)));
  };
  for (double E : {18000.0, 19975.0, 25000.0}) {
    SCOPED_TRACE(E);
    const auto att = t.PhotonCoefficients(E);
    const double mu =
        extrapolate(lo.coherent, hi.coherent, E) + extrapolate(lo.incoherent, hi.incoherent, E) +
        extrapolate(lo.photoelectric, hi.photoelectric, E) + extrapolate(lo.pair, hi.pair, E);
    EXPECT_NEAR(att.mu, mu, 1e-9 * mu);
    // A whole history at that energy runs to its end and keeps its energy.
    RandomStream<double> random;
    const TransportContext<double> ctx{t, random, kVisualBox};
    for (int h = 0; h < 50; ++h) {
      EnergyLedger<double> ledger;
      TrackHistory(ctx, {0, 0, 0}, Direction<double>{}, E, ledger);
      ASSERT_NEAR(ledger.Total(), E, 1e-9 * E);
    }
  }
}

}  // namespace
}  // namespace dosavia
