// Stopping power of the X-ray target for the electron beam: the energy an electron of the
// accelerator loses per unit path while it slows down in tungsten, which weights the
// bremsstrahlung that each electron energy contributes to a thick-target spectrum.
#pragma once

namespace dosavia::datagen {

// An element as a stopping medium: Bethe's collision stopping power needs Z/A, the mean
// excitation energy and Sternheimer's density-effect parameters.
struct StoppingMedium {
  double Z = 0;
  double atomic_weight = 0;       // [g/mol]
  double mean_excitation_ev = 0;  // I [eV]
  // Sternheimer's parameterisation of the density effect (R. M. Sternheimer, M. J. Berger,
  // S. M. Seltzer, At. Data Nucl. Data Tables 30 (1984) 261): -C, X0, X1, a, m and delta0
  // (the conductor's value at X0).
  double c_bar = 0;
  double x0 = 0;
  double x1 = 0;
  double a = 0;
  double m = 0;
  double delta0 = 0;
};

// Tungsten: A = 183.84, I = 727 eV (ICRU Report 37) and Sternheimer's table entry.
inline constexpr StoppingMedium kTungstenMedium{74,    183.84,  727,    5.4059, 0.2167,
                                                3.496, 0.15509, 2.8447, 0.14};

// Density-effect correction delta for an electron of kinetic energy T [MeV]:
// X = log10(beta gamma); 0 ... X0: delta0 10^(2 (X - X0)); X0 ... X1:
// 4.6052 X - C + a (X1 - X)^m; above X1: 4.6052 X - C.
double DensityEffect(const StoppingMedium& medium, double kinetic_mev);

// Collision stopping power [MeV cm^2/g] of an electron of kinetic energy T [MeV]: Bethe's
// formula with the Rohrlich–Carlson term F(tau) for electrons and the density effect, as
// in ICRU Report 37 (no shell corrections; meant for T above about 100 keV).
double CollisionStoppingPower(const StoppingMedium& medium, double kinetic_mev);

// Radiative stopping power [MeV cm^2/g] of an electron of kinetic energy T [MeV]:
// (N_A / A) Z (Z + 1) 2 alpha r_0^2 times the integral of k dsigma/dk from 0 to T with
// Schiff's cross section (the same one that gives the spectra's shape); Z (Z + 1) instead of
// Z^2 adds the bremsstrahlung in the field of the atomic electrons.
double RadiativeStoppingPower(const StoppingMedium& medium, double kinetic_mev);

// Collision plus radiative stopping power [MeV cm^2/g].
double TotalStoppingPower(const StoppingMedium& medium, double kinetic_mev);

}  // namespace dosavia::datagen
