// The electron and positron data of the accurate transport (ELACC.dat) held in memory,
// with the lookups its steps make: everything on one logarithmic energy grid, linear in
// ln T between rows.
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <string_view>

namespace dosavia {

inline constexpr const char* kAccurateElectronDataFile = "ELACC.dat";

// One energy row [keV, keV/cm, 1/cm, cm].
template <typename Real>
struct ElectronRow {
  Real energy = 0;              // kinetic energy T [keV]
  Real stopping_e = 0;          // collision stopping power below the delta cut, electron
  Real stopping_p = 0;          // the same for a positron
  Real stopping_rad = 0;        // radiative stopping power below the photon cut
  Real sigma_moller = 0;        // delta rays above the cut from an electron
  Real sigma_bhabha = 0;        // delta rays above the cut from a positron
  Real sigma_brems = 0;         // bremsstrahlung photons above the photon cut
  Real sigma_annihilation = 0;  // two-photon annihilation in flight
  Real inverse_lambda1 = 0;     // first transport inverse mean free path of elastic scattering
  Real range_e = 0;             // path to come to rest through the restricted losses, electron
  Real range_p = 0;             // the same for a positron
};

// Everything one step needs at its energy, interpolated once.
template <typename Real>
struct ElectronStepData {
  Real stopping;            // restricted collision + radiative [keV/cm]
  Real sigma_delta;         // [1/cm]
  Real sigma_brems;         // [1/cm]
  Real sigma_annihilation;  // [1/cm], 0 for an electron
  Real inverse_lambda1;     // [1/cm]
  Real range;               // residual range [cm]
};

// The energy at the end of a path and its place on the grid.
template <typename Real>
struct RangeEnd {
  Real energy;  // [keV]
  int row;      // below row 1: 1
  Real fraction;
};

// Step-size controls of the accurate transport. The answer does not depend on them (halving
// both changes no 1 cm mean of a 10x10 curve by more than statistics); they trade time.
struct AccurateStepControls {
  double loss_fraction = 0.06;        // soft energy loss per step, as a fraction of T
  double deflection_fraction = 0.15;  // path per step, as a fraction of lambda_1
  double last_step_keV = 100;         // below it the rest of the range is one straight step
  // Ingredients that the diagnosis of the exact transport (docs/validation.md) turns back,
  // one at a time, to the exact transport's simplification; all on in every run.
  bool delta_rays = true;     // off: a hard collision's energy stays where it happens
  bool photons_leave = true;  // off: a bremsstrahlung photon's energy stays on the track
  bool random_hinge = true;   // off: each step goes straight and turns at its end
};

template <typename Real>
struct ElectronData {
  static constexpr int kMaxRows = 160;

  int rows = 0;
  Real delta_cut = 0;   // [keV] hard collisions above it make delta rays
  Real photon_cut = 0;  // [keV] bremsstrahlung above it makes photons
  std::array<ElectronRow<Real>, kMaxRows + 1> table{};  // 1-based like every table
  Real log_first = 0;                                   // ln T of row 1
  Real inverse_log_step = 0;
  AccurateStepControls controls;
  // lambda_1 / lambda_2 of each row's elastic scattering, G2 / G1 of the screened Rutherford
  // cross section, 3 - 3 / (ln(1 / eta) - 1) for the small screening angles eta of these
  // energies. It is not read: ln(1 / eta) rises with ln (p^2) at slope one, while
  // beta^4 gamma^2 / lambda_1 is a constant of the material times (ln(1 / eta) - 1), so a
  // straight line through the rows' beta^4 gamma^2 / lambda_1 against ln (p^2) gives that
  // constant and with it ln(1 / eta) at every row (PrepareLookups).
  std::array<Real, kMaxRows + 1> lambda1_over_lambda2{};
  // A step whose mean of (1 - cos) / 2 reaches this is deflected isotropically.
  static constexpr double kIsotropicMeanMu = 0.49;

  // Fills the grid constants and lambda1_over_lambda2 from the rows; the loader calls it.
  void PrepareLookups();

  // Row i and the fraction f of the way in ln T to row i + 1, for T within the table.
  void Locate(Real T, int& i, Real& f) const {
    Real u = (std::log(T) - log_first) * inverse_log_step;
    if (u < 0) u = 0;
    int k = static_cast<int>(u);
    if (k > rows - 2) k = rows - 2;
    i = k + 1;
    f = u - static_cast<Real>(k);
    if (f > 1) f = 1;
  }

  ElectronStepData<Real> StepData(Real T, bool positron) const {
    int i;
    Real f;
    Locate(T, i, f);
    return StepDataAt(i, f, positron);
  }

  // StepData at row i and fraction f (from Locate).
  ElectronStepData<Real> StepDataAt(int i, Real f, bool positron) const {
    const ElectronRow<Real>& a = table[i];
    const ElectronRow<Real>& b = table[i + 1];
    auto lerp = [f](Real x, Real y) { return x + f * (y - x); };
    ElectronStepData<Real> d;
    d.stopping =
        lerp(positron ? a.stopping_p : a.stopping_e, positron ? b.stopping_p : b.stopping_e) +
        lerp(a.stopping_rad, b.stopping_rad);
    d.sigma_delta =
        positron ? lerp(a.sigma_bhabha, b.sigma_bhabha) : lerp(a.sigma_moller, b.sigma_moller);
    d.sigma_brems = lerp(a.sigma_brems, b.sigma_brems);
    d.sigma_annihilation = positron ? lerp(a.sigma_annihilation, b.sigma_annihilation) : Real(0);
    d.inverse_lambda1 = lerp(a.inverse_lambda1, b.inverse_lambda1);
    d.range = lerp(positron ? a.range_p : a.range_e, positron ? b.range_p : b.range_e);
    return d;
  }

  Real Lambda1OverLambda2At(int i, Real f) const {
    return lambda1_over_lambda2[i] + f * (lambda1_over_lambda2[i + 1] - lambda1_over_lambda2[i]);
  }

  Real InverseLambda1At(int i, Real f) const {
    return table[i].inverse_lambda1 + f * (table[i + 1].inverse_lambda1 - table[i].inverse_lambda1);
  }

  // Residual range [cm] through the restricted losses; below row 1 as T^1.75.
  Real Range(Real T, bool positron) const {
    const Real first = table[1].energy;
    const Real r1 = positron ? table[1].range_p : table[1].range_e;
    if (T < first) return r1 * std::pow(T / first, static_cast<Real>(1.75));
    int i;
    Real f;
    Locate(T, i, f);
    const Real a = positron ? table[i].range_p : table[i].range_e;
    const Real b = positron ? table[i + 1].range_p : table[i + 1].range_e;
    return a + f * (b - a);
  }

  // The energy [keV] whose residual range is r [cm]: the inverse of Range, searching down
  // from row `from` (a track's energy only falls).
  RangeEnd<Real> EnergyAtRange(Real r, bool positron, int from) const {
    auto range_of = [&](int k) { return positron ? table[k].range_p : table[k].range_e; };
    const Real first = table[1].energy;
    if (r < range_of(1)) {
      if (!(r > 0)) return {0, 1, 0};
      return {first * std::pow(r / range_of(1), static_cast<Real>(1 / 1.75)), 1, 0};
    }
    int i = from < rows ? from : rows - 1;
    while (i > 1 && range_of(i) > r) --i;
    while (i < rows - 1 && range_of(i + 1) <= r) ++i;
    Real f = (r - range_of(i)) / (range_of(i + 1) - range_of(i));
    if (f > 1) f = 1;
    return {std::exp(log_first + (static_cast<Real>(i - 1) + f) / inverse_log_step), i, f};
  }
};

// Reads ELACC.dat. Throws InputError naming the file, line and field for a missing or short
// file, a field that is not a number, a row count outside 4..160, cuts that are not
// positive, energies that are not the file's logarithmic grid, a negative or non-finite
// value, or ranges that do not ascend. The data is replaced only when all of it is sound.
template <typename Real>
void LoadElectronData(ElectronData<Real>& data,
                      const std::string& path = kAccurateElectronDataFile);
template <typename Real>
void LoadElectronDataFromText(ElectronData<Real>& data, const std::string& name,
                              std::string_view text);

extern template struct ElectronData<float>;
extern template struct ElectronData<double>;
extern template void LoadElectronData<float>(ElectronData<float>&, const std::string&);
extern template void LoadElectronData<double>(ElectronData<double>&, const std::string&);
extern template void LoadElectronDataFromText<float>(ElectronData<float>&, const std::string&,
                                                     std::string_view);
extern template void LoadElectronDataFromText<double>(ElectronData<double>&, const std::string&,
                                                      std::string_view);

}  // namespace dosavia
