// Water tables built in memory for transport tests and benchmarks, so that they do not
// depend on the shipped data files: XCOM photon coefficients of water (H 0.111894,
// O 0.888106 by mass; NIST XCOM 3.1), smooth model atomic functions, and a per-step
// deflection table from Highland's multiple-scattering width.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

#include "physics/physics_tables.h"
#include "physics/stopping_power.h"

namespace dosavia::testing {

// Energy [keV], coherent, incoherent, photoelectric, pair (nuclear + electron field) [cm^2/g].
inline constexpr std::array<std::array<double, 5>, 46> kXcomWaterRows = {{
    {1, 1.3723e+00, 1.3193e-02, 4.0756e+03, 0.0000e+00},
    {1.5, 1.2695e+00, 2.6732e-02, 1.3744e+03, 0.0000e+00},
    {2, 1.1495e+00, 4.1839e-02, 6.1615e+02, 0.0000e+00},
    {3, 9.0867e-01, 7.0747e-02, 1.9186e+02, 0.0000e+00},
    {4, 7.0821e-01, 9.4301e-02, 8.1973e+01, 0.0000e+00},
    {5, 5.5785e-01, 1.1233e-01, 4.1922e+01, 0.0000e+00},
    {6, 4.4893e-01, 1.2588e-01, 2.4067e+01, 0.0000e+00},
    {8, 3.1020e-01, 1.4397e-01, 9.9188e+00, 0.0000e+00},
    {10, 2.3053e-01, 1.5503e-01, 4.9443e+00, 0.0000e+00},
    {15, 1.3327e-01, 1.6991e-01, 1.3693e+00, 0.0000e+00},
    {20, 8.8564e-02, 1.7736e-01, 5.4390e-01, 0.0000e+00},
    {30, 4.6937e-02, 1.8288e-01, 1.4575e-01, 0.0000e+00},
    {40, 2.8743e-02, 1.8274e-01, 5.6797e-02, 0.0000e+00},
    {50, 1.9361e-02, 1.8032e-01, 2.7248e-02, 0.0000e+00},
    {60, 1.3918e-02, 1.7703e-01, 1.4926e-02, 0.0000e+00},
    {80, 8.1646e-03, 1.6972e-01, 5.7699e-03, 0.0000e+00},
    {100, 5.3493e-03, 1.6261e-01, 2.7626e-03, 0.0000e+00},
    {150, 2.4420e-03, 1.4735e-01, 7.3077e-04, 0.0000e+00},
    {200, 1.3876e-03, 1.3534e-01, 2.8873e-04, 0.0000e+00},
    {300, 6.2152e-04, 1.1793e-01, 8.1601e-05, 0.0000e+00},
    {400, 3.5059e-04, 1.0575e-01, 3.4934e-05, 0.0000e+00},
    {500, 2.2467e-04, 9.6627e-02, 1.8834e-05, 0.0000e+00},
    {600, 1.5613e-04, 8.9393e-02, 1.1730e-05, 0.0000e+00},
    {800, 8.7898e-05, 7.8563e-02, 5.9203e-06, 0.0000e+00},
    {1000, 5.6268e-05, 7.0660e-02, 3.6806e-06, 0.0000e+00},
    {1022, 5.3881e-05, 6.9911e-02, 3.4298e-06, 0.0000e+00},
    {1250, 3.6033e-05, 6.3179e-02, 2.3287e-06, 1.7767e-05},
    {1500, 2.5015e-05, 5.7416e-02, 1.6895e-06, 9.8202e-05},
    {2000, 1.4074e-05, 4.9012e-02, 1.0627e-06, 3.9083e-04},
    {2044, 1.3472e-05, 4.8390e-02, 1.0280e-06, 4.2116e-04},
    {3000, 6.2553e-06, 3.8549e-02, 5.9371e-07, 1.1306e-03},
    {4000, 3.5193e-06, 3.2158e-02, 4.0750e-07, 1.8669e-03},
    {5000, 2.2517e-06, 2.7771e-02, 3.0895e-07, 2.5404e-03},
    {6000, 1.5637e-06, 2.4545e-02, 2.4838e-07, 3.1553e-03},
    {7000, 1.1489e-06, 2.2063e-02, 2.0750e-07, 3.7091e-03},
    {8000, 8.7965e-07, 2.0078e-02, 1.7805e-07, 4.2110e-03},
    {9000, 6.9511e-07, 1.8457e-02, 1.5588e-07, 4.6725e-03},
    {10000, 5.6301e-07, 1.7102e-02, 1.3860e-07, 5.0902e-03},
    {11000, 4.6520e-07, 1.5950e-02, 1.2476e-07, 5.4742e-03},
    {12000, 3.9092e-07, 1.4959e-02, 1.1339e-07, 5.8279e-03},
    {13000, 3.3314e-07, 1.4091e-02, 1.0393e-07, 6.1585e-03},
    {14000, 2.8722e-07, 1.3330e-02, 9.5909e-08, 6.4663e-03},
    {15000, 2.5021e-07, 1.2657e-02, 8.9056e-08, 6.7544e-03},
    {16000, 2.1989e-07, 1.2055e-02, 8.3106e-08, 7.0275e-03},
    {18000, 1.7374e-07, 1.1015e-02, 7.3311e-08, 7.5264e-03},
    {20000, 1.4074e-07, 1.0158e-02, 6.5555e-08, 7.9743e-03},
}};

// Model form-factor integral cum(x) = 100 (1 - 1/(1 + x^2)) and incoherent function
// S(x) = 10 (1 - exp(-1.6 x)) on 45 rows from x = 0 to 10 [1/angstrom], denser at small x.
inline double ModelCoherentCumulative(double x) { return 100 * (1 - 1 / (1 + x * x)); }
inline double ModelIncoherent(double x) { return 10 * (1 - std::exp(-1.6 * x)); }

// Cosine times 16384 of the deflection of one step at the quantile (j - 1)/64 for an
// electron of kinetic energy T [keV]: a two-dimensional Gaussian with Highland's width for
// the path over which the step loses StepLossFraction of T (radiation length 36.08 cm).
inline int ModelDeflectionEntry(double T, int j) {
  const double path = 0.0829959568 * T / StoppingPower<double>(T);
  const double t = path / 36.08;
  const double pc = std::sqrt(T * (T + 2 * 511.0)) / 1000;  // [MeV]
  const double beta = pc * 1000 / (T + 511.0);
  const double theta0 = 13.6 / (beta * pc) * std::sqrt(t) * (1 + 0.038 * std::log(t));
  const double p = (j - 1) / 64.0;
  const double theta =
      j == 65 ? 3.14159 : std::min(3.14159, theta0 * std::sqrt(-2 * std::log(1 - p)));
  return static_cast<int>(std::lround(16384 * std::cos(theta)));
}

// Tables of water with the given number of photon rows (the first rows of the XCOM set) and
// the engine's phantom constants (50, 50, 30).
template <typename Real>
PhysicsTables<Real> WaterTestTables(int photon_rows = 46) {
  PhysicsTables<Real> t;
  t.photon_rows = photon_rows;
  for (int i = 1; i <= photon_rows; ++i) {
    const auto& r = kXcomWaterRows[i - 1];
    t.PhotonTable[i] = {static_cast<Real>(r[1]), static_cast<Real>(r[2]), static_cast<Real>(r[3]),
                        static_cast<Real>(r[4]), static_cast<Real>(r[0])};
  }
  t.PrepareLookups();
  for (int i = 1; i <= PhysicsTables<Real>::kFormFactorRows; ++i) {
    const double u = (i - 1) / 44.0;
    const double x = 10 * u * u;
    t.FormFactorTable[i] = {static_cast<Real>(x), static_cast<Real>(ModelCoherentCumulative(x)),
                            static_cast<Real>(ModelIncoherent(x))};
  }
  t.CoherentCumMax = t.FormFactorTable[45].cumulative;
  t.IncoherentMax = t.FormFactorTable[45].incoherent;
  for (int i = 1; i <= PhysicsTables<Real>::kScatterRows; ++i) {
    const double T = 20000 * std::pow(0.75, i - 1);
    t.ScatterEnergies[i] = static_cast<Real>(T);
    for (int j = 1; j <= PhysicsTables<Real>::kQuantiles; ++j)
      t.ScatterAngleTable[i][j] = ModelDeflectionEntry(T, j);
  }
  t.SetPhantomConstants(50, 50, 30);
  return t;
}

}  // namespace dosavia::testing
