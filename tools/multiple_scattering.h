// Multiple elastic scattering of electrons in water over one condensed-history step: the
// screened Rutherford cross section with Molière's screening angle, the Goudsmit–Saunderson
// angular distribution built from it, and the quantile rows of "ELDAT.dat".
#pragma once

#include <array>
#include <vector>

namespace dosavia::datagen {

inline constexpr double kElectronRestEnergyKeV = 510.99895;
inline constexpr double kFineStructure = 7.2973525693e-3;
inline constexpr double kClassicalElectronRadiusCm = 2.8179403262e-13;
inline constexpr double kAvogadro = 6.02214076e23;        // [1/mol]
inline constexpr double kWaterMolarMass = 18.01528;       // [g/mol], H2O
inline constexpr double kWaterRadiationLengthCm = 36.08;  // density 1
// Fraction of the kinetic energy lost in one step, as the double-precision program holds it.
inline constexpr double kStepLossFraction = 0.0829959568;
// Entries of the deflection table are cosines times this.
inline constexpr int kCosineScale = 16384;
inline constexpr int kQuantileCount = 65;

// Elastic scattering of an electron of kinetic energy T [keV] on water molecules (2 H + O):
// dsigma/dOmega = A / (1 - cos(theta) + 2 eta)^2 per molecule, with
// A = sum_i n_i Z_i (Z_i + 1) (r_e / (beta^2 gamma))^2 (Z(Z+1) counts scattering on the
// atomic electrons) and eta = chi_a^2 / 4, Molière's screening angle
// chi_a^2 = chi_0^2 (1.13 + 3.76 (alpha Z / beta)^2), chi_0 = alpha Z^(1/3) / (0.885 beta gamma),
// combined over the atoms by Molière's rule ln chi_a^2 = sum n Z(Z+1) ln chi_a,i^2 / sum n Z(Z+1).
class ScreenedRutherfordWater {
 public:
  explicit ScreenedRutherfordWater(double kinetic_energy_keV);
  // The same model on another medium: its atoms (count per water molecule's mass, Z) at
  // density 1 g/cm^3, Molière's rule combining their screening angles.
  struct Atom {
    double count;
    double Z;
  };
  ScreenedRutherfordWater(double kinetic_energy_keV, const std::vector<Atom>& atoms);

  double ScreeningParameter() const { return eta_; }  // eta, dimensionless
  // Total elastic inverse mean free path [1/cm].
  double TotalInverseMfp() const;
  // First transport inverse mean free path G_1 = N 2 pi A (ln(1 + 1/eta) - 1/(1 + eta)) [1/cm].
  double FirstTransportInverseMfp() const;
  // G_l = N 2 pi A integral (1 - P_l(mu)) / (1 - mu + 2 eta)^2 dmu for l = 0..lmax [1/cm],
  // by Gauss–Legendre quadrature in the polar angle.
  std::vector<double> TransportCoefficients(int lmax) const;

 private:
  double eta_ = 0;
  double prefactor_ = 0;  // N 2 pi A [1/cm]
};

// Goudsmit–Saunderson distribution of the polar deflection after a path s [cm] with
// constant transport coefficients: F(mu) = sum_l (2l+1)/2 exp(-s G_l) P_l(mu)
// (S. Goudsmit, J. L. Saunderson, Phys. Rev. 57 (1940) 24). The series is carried until
// exp(-s G_l) falls below 1e-17.
class GoudsmitSaunderson {
 public:
  GoudsmitSaunderson(const ScreenedRutherfordWater& model, double path_cm);

  // Probability that the deflection angle is below theta [rad].
  double Cumulative(double theta) const;
  // Deflection angle [rad] below which a fraction p of the electrons lies.
  double QuantileAngle(double p) const;
  double MeanCosine() const { return mean_cosine_; }  // exp(-s G_1)
  int Terms() const { return static_cast<int>(damping_.size()) - 1; }

 private:
  std::vector<double> damping_;  // exp(-s G_l), l = 0..L
  double mean_cosine_ = 1;
};

// Path length [cm] of the step that starts at T [keV]: StepLossFraction T / StoppingPower(T).
double StepPathLength(double kinetic_energy_keV);
// Kinetic energy [keV] half-way along that step.
double MidStepEnergy(double kinetic_energy_keV);
// Mean cosine of the deflection accumulated over the step from T [keV], exp(-s G_1(T_mid)).
double StepMeanCosine(double kinetic_energy_keV);
// Highland's projected-angle width theta_0 [rad] for a path s [cm] of water at the energy
// T [keV]: 13.6 MeV / (beta c p) sqrt(s/X0) (1 + 0.038 ln(s/X0)) (V. L. Highland, Nucl.
// Instrum. Methods 129 (1975) 497), meant for 1e-3 <= s/X0 <= 100.
double HighlandTheta0(double kinetic_energy_keV, double path_cm);

// One row of the deflection table for a step starting at T [keV]: the cosines of the
// Goudsmit–Saunderson quantiles at cumulative probability (j-1)/64, j = 1..64, times 16384
// and rounded, in order of increasing angle. Entry 65 stands for the backscatter tail
// beyond the 63/64 quantile; it is chosen so that the mean cosine of the piecewise-linear
// distribution the program samples, (q1 + 2 (q2 + ... + q64) + q65) / (128 16384), equals
// exp(-s G_1), and is kept within -16384..q64.
std::array<int, kQuantileCount> DeflectionQuantiles(double kinetic_energy_keV);

}  // namespace dosavia::datagen
