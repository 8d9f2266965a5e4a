#include "tools/xcom_table.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace dosavia::datagen {

namespace {

class TokenStream {
 public:
  explicit TokenStream(const std::string& path) : path_(path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot open the XCOM file");
    std::ostringstream text;
    text << in.rdbuf();
    content_.str(text.str());
  }
  std::string Word() {
    std::string w;
    if (!(content_ >> w)) throw std::runtime_error(path_ + ": XCOM file ends too early");
    return w;
  }
  double Number() {
    const std::string w = Word();
    std::size_t used = 0;
    double v = 0;
    try {
      v = std::stod(w, &used);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used != w.size()) throw std::runtime_error(path_ + ": '" + w + "' is not a number");
    return v;
  }
  std::vector<double> Numbers(std::size_t n) {
    std::vector<double> v(n);
    for (double& x : v) x = Number();
    return v;
  }

 private:
  std::string path_;
  std::istringstream content_;
};

}  // namespace

double XcomElement::TotalAt(std::size_t k) const {
  return MassCoefficient(coherent[k] + incoherent[k] + photoelectric[k] + pair_nuclear[k] +
                         pair_electron[k]);
}

double XcomElement::Total(double energy_mev) const {
  if (energy_mev <= energy.front()) return TotalAt(0);
  if (energy_mev >= energy.back()) return TotalAt(energy.size() - 1);
  const auto upper = std::upper_bound(energy.begin(), energy.end(), energy_mev);
  const std::size_t hi = static_cast<std::size_t>(upper - energy.begin());
  const std::size_t lo = hi - 1;
  const double f = std::log(energy_mev / energy[lo]) / std::log(energy[hi] / energy[lo]);
  return std::exp(std::log(TotalAt(lo)) + f * std::log(TotalAt(hi) / TotalAt(lo)));
}

XcomElement ReadXcomElement(const std::string& path) {
  TokenStream in(path);
  XcomElement e;
  e.Z = static_cast<int>(in.Number());
  e.atomic_weight = in.Number();
  const int edges = static_cast<int>(in.Number());
  const int n = static_cast<int>(in.Number());
  if (edges < 0 || n < 2) throw std::runtime_error(path + ": bad edge or energy count");
  if (edges > 0) {
    in.Numbers(static_cast<std::size_t>(edges));  // grid index of each edge
    for (int i = 0; i < edges; ++i) in.Word();    // edge labels
    in.Numbers(static_cast<std::size_t>(edges));  // edge energies [eV]
  }
  e.energy = in.Numbers(static_cast<std::size_t>(n));
  for (double& v : e.energy) v *= 1e-6;  // eV to MeV
  e.coherent = in.Numbers(static_cast<std::size_t>(n));
  e.incoherent = in.Numbers(static_cast<std::size_t>(n));
  e.photoelectric = in.Numbers(static_cast<std::size_t>(n));
  e.pair_nuclear = in.Numbers(static_cast<std::size_t>(n));
  e.pair_electron = in.Numbers(static_cast<std::size_t>(n));
  for (int k = 1; k < n; ++k)
    if (!(e.energy[k] > e.energy[k - 1]))
      throw std::runtime_error(path + ": energies do not ascend");
  return e;
}

WaterCoefficients MixWater(const XcomElement& hydrogen, const XcomElement& oxygen) {
  if (hydrogen.energy != oxygen.energy)
    throw std::runtime_error("the hydrogen and oxygen XCOM grids differ");
  WaterCoefficients w;
  w.energy = hydrogen.energy;
  auto mix = [&](const std::vector<double>& h, const std::vector<double>& o) {
    std::vector<double> v(h.size());
    for (std::size_t k = 0; k < h.size(); ++k)
      v[k] = kWaterHydrogenFraction * hydrogen.MassCoefficient(h[k]) +
             kWaterOxygenFraction * oxygen.MassCoefficient(o[k]);
    return v;
  };
  w.coherent = mix(hydrogen.coherent, oxygen.coherent);
  w.incoherent = mix(hydrogen.incoherent, oxygen.incoherent);
  w.photoelectric = mix(hydrogen.photoelectric, oxygen.photoelectric);
  w.pair_nuclear = mix(hydrogen.pair_nuclear, oxygen.pair_nuclear);
  w.pair_electron = mix(hydrogen.pair_electron, oxygen.pair_electron);
  return w;
}

}  // namespace dosavia::datagen
