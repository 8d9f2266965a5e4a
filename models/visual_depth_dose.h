// The depth dose of the visual run, scored from the same transport events that draw the
// tracks: the energy deposited per depth bin inside a central cylinder of the field, its
// primary part (deposited by the electrons that unscattered source photons set in motion),
// and the collision kerma of the unscattered photons in the same bins. No Qt here.
//
// Primary dose against primary kerma shows the build-up and, beyond d_max, transient
// equilibrium (the primary dose a few per cent above the kerma, falling with it); the total
// dose exceeds both by the dose of the scattered photons, an excess that grows with depth.
//
// The histories are dealt round-robin into groups with separate tallies; the scatter of the
// group sums gives the noise of any bin and of any coarser binning made from the fine one.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

#include "physics/slab_layers.h"
#include "physics/transport_events.h"

namespace dosavia {

// Fine scoring grid along the depth: 0.1 cm slabs over the visual phantom's 30 cm.
inline constexpr int kDepthDoseBinsPerCm = 10;
inline constexpr int kDepthDoseBins = 300;
inline constexpr int kDepthDoseGroups = 16;

// Radius of the scoring cylinder for a square field of side [cm]: a quarter of the side.
// The disc then keeps to the central half of the field, where the lateral profile is flat
// (or, for fields narrower than the electrons' lateral range, near its smooth peak), so
// its mean follows the central-axis dose; and it always takes the same share, pi/16, of the
// photons, so the noise at a given photon count is the same for every field.
double ScoringRadius(double field_side);

class VisualDepthDose : public NullObserver<double> {
 public:
  // Empties the tallies and scores from now on for a field of side [cm], inside the
  // cylinder of radius ScoringRadius(field_side) around the beam axis x = y = 0.
  void Clear(double field_side);

  // Scores from now on per mass of each bin's own material: the energy of a bin is divided
  // by its mean mass density over the layers it holds (1 in water), so that a bin in lung
  // tells the dose to lung, as an ion chamber's cavity theory would convert it. None: water.
  void SetLayers(const SlabLayers<double>* layers);

  // Called before the history of each source photon.
  void StartHistory() {
    group_ = static_cast<int>(histories_ % kDepthDoseGroups);
    ++histories_;
  }

  void OnLocalAbsorption(const Vec3<double>& p, double e, AbsorptionCause, int component) {
    if (!Inside(p.x, p.y)) return;
    Deposit(BinOf(p.z), e, component);
  }

  // Kerma: the energy that the still unscattered photon hands to charged particles.
  void OnInteraction(InteractionKind kind, const Vec3<double>& p, double e, int component) {
    if (component == 1 && kind != InteractionKind::kCoherent && Inside(p.x, p.y)) {
      const int k = BinOf(p.z);
      kerma_[group_][k] += e * per_mass_[k];
    }
  }

  // The step's energy loss is spread evenly along the straight step; each slab takes the
  // share of the step's length that lies in it and in the cylinder. Steps whose end left
  // the phantom carry their energy out, as in the engine's tally.
  void OnChargedStep(const ChargedStep<double>& step, int component) {
    if (step.left_phantom) return;
    const Vec3<double>& a = step.start;
    const Vec3<double>& b = step.end;
    // The part t_in..t_out of the step (t from 0 at the start to 1 at the end) inside the
    // cylinder: where x(t)^2 + y(t)^2 - r^2 = q2 t^2 + q1 t + q0 is not positive.
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double q2 = dx * dx + dy * dy;
    const double q1 = 2 * (a.x * dx + a.y * dy);
    const double q0 = a.x * a.x + a.y * a.y - radius2_;
    double t_in = 0;
    double t_out = 1;
    if (q2 > 0) {
      const double disc = q1 * q1 - 4 * q2 * q0;
      if (disc < 0) return;
      const double root = std::sqrt(disc);
      t_in = std::max(0.0, (-q1 - root) / (2 * q2));
      t_out = std::min(1.0, (-q1 + root) / (2 * q2));
    } else if (q0 > 0) {
      return;
    }
    if (!(t_out > t_in)) return;
    const int first = BinOf(a.z);
    const int last = BinOf(b.z);
    if (first == last) {
      Deposit(first, (t_out - t_in) * step.energy_lost, component);
      return;
    }
    const int dir = last > first ? 1 : -1;
    const double dz = b.z - a.z;
    double t0 = 0;
    for (int k = first;; k += dir) {
      const double boundary = static_cast<double>(dir > 0 ? k + 1 : k) / kDepthDoseBinsPerCm;
      const double t1 = k == last ? 1.0 : (boundary - a.z) / dz;
      const double inside = std::min(t1, t_out) - std::max(t0, t_in);
      if (inside > 0) Deposit(k, inside * step.energy_lost, component);
      if (k == last) break;
      t0 = t1;
    }
  }

  long long Histories() const { return histories_; }
  double FieldSide() const { return field_side_; }
  double Radius() const { return radius_; }
  // Energy deposited [keV], its primary part [keV] and kerma [keV] of fine bin k (0..299) in
  // history group g.
  double GroupDose(int g, int k) const { return dose_[g][k]; }
  double GroupPrimaryDose(int g, int k) const { return primary_[g][k]; }
  double GroupKerma(int g, int k) const { return kerma_[g][k]; }

 private:
  using Tally = std::array<std::array<double, kDepthDoseBins>, kDepthDoseGroups>;

  bool Inside(double x, double y) const { return x * x + y * y <= radius2_; }
  void Deposit(int k, double e, int component) {
    e *= per_mass_[k];
    dose_[group_][k] += e;
    if (component == 1) primary_[group_][k] += e;
  }
  // Depths on the faces (0 and 30 cm) fall into the first and last slab.
  static int BinOf(double z) {
    const double t = z * kDepthDoseBinsPerCm;
    if (!(t >= 0)) return 0;
    return t >= kDepthDoseBins ? kDepthDoseBins - 1 : static_cast<int>(t);
  }

  double field_side_ = 0;
  double radius_ = 0;
  double radius2_ = 0;
  long long histories_ = 0;
  int group_ = 0;
  Tally dose_{};
  Tally primary_{};
  Tally kerma_{};
  std::array<double, kDepthDoseBins> per_mass_ = WaterBins();  // 1 / mass density [cm^3/g]

  static constexpr std::array<double, kDepthDoseBins> WaterBins() {
    std::array<double, kDepthDoseBins> ones{};
    ones.fill(1.0);
    return ones;
  }
};

static_assert(TransportObserver<VisualDepthDose, double>);

// The curves that the panel draws, made from the tallies.
struct DepthDoseCurve {
  double bin_cm = 0.5;          // width of the shown bins [cm]
  std::vector<double> dose;     // per bin, in per cent of the fitted maximum
  std::vector<double> primary;  // the primary part of the dose per bin, same scale
  std::vector<double> kerma;    // per bin, same scale
  long long photons = 0;
  bool has_maximum = false;  // false until some dose is scored
  double d_max_cm = 0;       // depth of the fitted maximum [cm]
  double d_max_dose = 0;     // dose there per unit photon fluence [pGy cm^2]
  double noise_at_max = -1;  // relative standard deviation of the bin at d_max; -1 unknown
  // Smooth curves through the bins, in the same per cent.
  std::function<double(double)> dose_fit;
  std::function<double(double)> kerma_fit;
};

// Dose per unit fluence [pGy cm^2] of `kev` deposited in `volume_cm3` of water by
// `photons` spread over `field_area_cm2`.
double DosePerFluence(double kev, double volume_cm3, double photons, double field_area_cm2);

// Relative standard deviation of the sum over fine bins [first, first + count) of the
// dose tally, from the scatter of its history groups; -1 with fewer than two histories per
// group or nothing scored.
double RelativeNoise(const VisualDepthDose& tally, int first, int count);

// The shown bin width: 0.5 cm, or the finest of 0.3, 0.2 and 0.1 cm whose bin at the
// maximum would still be known to 3 %.
double ChooseBinWidth(const VisualDepthDose& tally);

// Depth [cm] down to which the bins take part in the dose fit: the build-up and enough of
// the fall-off.
inline constexpr double kDoseFitDepthCm = 12.0;

// Width of the bins the maximum is fitted to [cm], whatever width the bars are shown at.
// A fit to the shown bars would move with their width, which narrows as photons come in
// (the model and the bars' averages over the steep build-up part ways differently at each
// width): pressing Go again would move d_max as well as shrink its uncertainty.
inline constexpr double kMaximumFitBinCm = 0.1;

// Fine slabs in a bin of `bin_cm` (at least one), and the fit's bins down to kDoseFitDepthCm.
inline int SlabsPerBin(double bin_cm) {
  return std::max(1, static_cast<int>(std::lround(bin_cm * kDepthDoseBinsPerCm)));
}
inline int FitBinCount() {
  return static_cast<int>(std::lround(kDoseFitDepthCm / kMaximumFitBinCm));
}

// Depth and height of the maximum of binned values at the bin centres (spacing bin_cm),
// from the least-squares fit of D(z) = A e^(-mu z) - B e^(-(mu + beta) z) to the bins of
// the first 12 cm: the build-up and the fall-off both fix the maximum, which a broad, noisy
// peak alone would not. Zero height when nothing can be fitted. The engine's curves take
// their maximum from the same fit (FitDoseMaximum in models/curve_metrics.h), so both
// screens find one beam's maximum alike. A log grid over mu and beta, then Newton's method
// within its best cell, so that the maximum is a smooth function of the bins.
struct FittedMaximum {
  double depth_cm = 0;
  double value = 0;
  double a = 0, b = 0, mu = 0, beta = 0;  // the fitted model [1/cm for mu and beta]

  double At(double z) const { return a * std::exp(-mu * z) - b * std::exp(-(mu + beta) * z); }
};
FittedMaximum FitMaximum(const std::vector<double>& values, double bin_cm);

// Attenuation of the kerma [1/cm] and its value at the surface, from the least-squares line
// through the logarithms of the bins with kerma, each weighted by its kerma (about its
// number of interactions).
struct FittedKerma {
  double surface = 0;
  double mu = 0;

  double At(double z) const { return surface * std::exp(-mu * z); }
};
FittedKerma FitKerma(const std::vector<double>& values, double bin_cm);

// Rebins the tallies at ChooseBinWidth (or `bin_cm` when positive), fits the maximum of the
// total dose at kMaximumFitBinCm and scales the three curves to it.
DepthDoseCurve MakeDepthDoseCurve(const VisualDepthDose& tally, double bin_cm = 0);

}  // namespace dosavia
