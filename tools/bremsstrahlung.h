// Megavoltage X-ray spectra: Schiff's bremsstrahlung spectrum of a thin or a thick tungsten
// target, hardened by the target and the flattening filter, binned as the spectrum files hold
// it.
#pragma once

#include <string>
#include <vector>

#include "engine/spectrum_file.h"
#include "tools/xcom_table.h"

namespace dosavia::datagen {

inline constexpr double kSpectrumBinWidthMeV = kSpectrumBinWidthKeV / 1000.0;
inline constexpr double kTungstenDensity = 19.3;  // [g/cm^3]
inline constexpr double kCopperDensity = 8.96;    // [g/cm^3]
inline constexpr double kTungstenZ = 74;

// Material between the point of emission and the phantom, on the beam axis.
struct Filtration {
  double tungsten_cm = 0;  // target [cm of tungsten]
  double copper_cm = 0;    // flattening filter [cm of copper]
};

// Schiff's bremsstrahlung cross section integrated over the photon's angles (L. I. Schiff,
// Phys. Rev. 83 (1951) 252; formula 3BS(e) of H. W. Koch, J. W. Motz, Rev. Mod. Phys. 31
// (1959) 920), for an electron of kinetic energy T0 [MeV] emitting a photon of energy
// k [MeV] in the field of a nucleus of charge Z: d sigma / dk in units of
// 2 Z^2 r_0^2 / 137 per MeV (its bracket is twice Bethe and Heitler's, so complete
// screening gives 2 ln(183 Z^(-1/3)) where theirs, with 4 Z^2 r_0^2 / 137, has the single
// logarithm); 0 outside 0 < k < T0.
double SchiffCrossSection(double electron_kinetic_mev, double photon_mev, double Z);

// How the electron beam radiates in the target.
enum class TargetModel {
  // Every photon is emitted by an electron of the beam's full energy T0: dN/dk is
  // proportional to d sigma/dk (T0, k).
  kThin,
  // The electrons slow down in the tungsten until they stop (continuous slowing down, no
  // straggling, no backscatter): dN/dk is proportional to the integral over T from k to T0
  // of d sigma/dk (T, k) / S(T), S the total (collision + radiative) stopping power.
  kThick,
};

// Photons emitted per unit photon energy by one electron of the beam, relative (the
// common factors of either model are left out): the thin-target cross section at T0, or the
// thick-target integral evaluated with an 8-point Gauss–Legendre rule on panels of 50 keV
// aligned with the spectrum bins (the panel that holds k runs from k to its upper edge).
class TargetEmission {
 public:
  TargetEmission(TargetModel model, double electron_kinetic_mev);
  // dN/dk at the photon energy k [MeV], 0 outside 0 < k < T0.
  double operator()(double photon_mev) const;

 private:
  TargetModel model_;
  double t0_;
  // Thick target: the electron energies [MeV] of the full panels' nodes and their
  // quadrature weights divided by the stopping power at that energy [g/cm^2].
  std::vector<double> node_mev_;
  std::vector<double> node_weight_;
};

// Relative numbers of photons in the 400 bins of 50 keV (bin i covers 0.05 (i-1) to 0.05 i
// MeV): the Schiff spectrum of a tungsten target for electrons of T0 [MeV] in the given
// model, times the narrow-beam transmission exp(-sum mu/rho(k) rho t) of the filtration
// (XCOM totals with coherent scattering), integrated over each bin. Bins whose centre lies
// at or above T0 are 0; the weights are normalised to sum 1 and those below 1e-12 are set to
// 0 (at 1e8 photons they would run no history).
std::vector<double> SpectrumWeights(double electron_kinetic_mev, TargetModel model,
                                    const XcomElement& tungsten, const XcomElement& copper,
                                    const Filtration& filtration);

// The spectrum file: 400 records "(F6.3,A2,E9.3)" (bin-centre energy in MeV, ", ", weight),
// CR LF line ends.
std::string FormatSpectrumFile(const std::vector<double>& weights);

// Mean photon energy [MeV] of binned weights at the bin centres.
double MeanEnergy(const std::vector<double>& weights);

}  // namespace dosavia::datagen
