#include "physics/electron_data.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "records/fixed_format.h"
#include "records/input_error.h"

namespace dosavia {

template <typename Real>
void ElectronData<Real>::PrepareLookups() {
  log_first = static_cast<Real>(std::log(static_cast<double>(table[1].energy)));
  const double step = (std::log(static_cast<double>(table[rows].energy)) -
                       std::log(static_cast<double>(table[1].energy))) /
                      (rows - 1);
  inverse_log_step = static_cast<Real>(1 / step);
  // ln(1 / eta) - 1 from the rows' lambda_1: y = beta^4 gamma^2 / lambda_1 = C (ln(1 / eta) - 1)
  // and ln(1 / eta) = ln(p^2) + const, so C is the slope of y against ln(p^2). The fit takes
  // the rows from 200 keV up, where Moliere's Coulomb term in eta (3.76 (alpha Z / beta)^2
  // against 1.13) moves ln(1 / eta) by under 2 % of its slope.
  const double m = 511;  // the electron's rest energy [keV]
  auto y_of = [&](int i) {
    const double tau = table[i].energy / m;
    const double p2 = tau * (tau + 2);
    return static_cast<double>(table[i].inverse_lambda1) * p2 * p2 / ((tau + 1) * (tau + 1));
  };
  auto x_of = [&](int i) {
    const double tau = table[i].energy / m;
    return std::log(tau * (tau + 2));
  };
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (int i = 1; i <= rows; ++i) {
    if (!(table[i].energy >= 200)) continue;
    const double x = x_of(i);
    const double y = y_of(i);
    n += 1, sx += x, sy += y, sxx += x * x, sxy += x * y;
  }
  const double slope = n >= 3 ? (n * sxy - sx * sy) / (n * sxx - sx * sx) : 0;
  for (int i = 1; i <= rows; ++i) {
    // Without a usable slope (data that is not screened Rutherford, as small test tables
    // may be), ln(1 / eta) - 1 = 10, that of water near 1 MeV. Bounded so that lambda_2 stays
    // between lambda_1 / 3 and lambda_1 / 2.
    double log_term = slope > 0 ? y_of(i) / slope : 10;
    log_term = std::fmin(std::fmax(log_term, 3.0), 1e6);
    lambda1_over_lambda2[static_cast<std::size_t>(i)] = static_cast<Real>(3 - 3 / log_term);
  }
}

namespace {

const FixedFormat& HeaderFormat() {
  static const FixedFormat f("(I4,2E12.5)");
  return f;
}
const FixedFormat& RowFormat() {
  static const FixedFormat f("(11E12.5)");
  return f;
}

InputError Bad(ProblemKind kind, const std::string& path, int line, int field,
               const FixedFormat& format, std::string value = {}, std::string limit = {}) {
  int k = 0;
  ProblemField where = ProblemField::Data(field);
  for (const auto& it : format.items()) {
    if (it.IsData() && ++k == field) where = ProblemField::Data(field, it.Describe());
  }
  return InputError(Problem(kind)
                        .In(path, line)
                        .At(std::move(where))
                        .WithValue(std::move(value))
                        .WithLimit(std::move(limit)));
}

template <typename Real>
void ReadRows(ElectronData<Real>& d, RecordReader& in) {
  const std::string& path = in.name();
  double log_ratio = 0;
  for (int i = 1; i <= d.rows; ++i) {
    const int line = in.lines_read() + 1;
    const auto f = in.Read(RowFormat(), 11);
    for (int k = 0; k < 11; ++k) {
      const double v = f[static_cast<std::size_t>(k)].As<double>();
      if (!std::isfinite(v) || v < 0)
        throw Bad(ProblemKind::kMustNotBeNegative, path, line, k + 1, RowFormat());
      if ((k == 0 || k == 1 || k == 2 || k == 8 || k == 9 || k == 10) && !(v > 0))
        throw Bad(ProblemKind::kMustBePositive, path, line, k + 1, RowFormat());
    }
    auto v = [&](int k) { return f[static_cast<std::size_t>(k)].As<Real>(); };
    ElectronRow<Real>& r = d.table[static_cast<std::size_t>(i)];
    r = {v(0) * 1000, v(1) * 1000, v(2) * 1000, v(3) * 1000, v(4), v(5),
         v(6),        v(7),        v(8),        v(9),        v(10)};
    // Lookups find a row from ln T in one step: the energies must be one geometric series.
    if (i == 2) log_ratio = std::log(f[0].As<double>() / (d.table[1].energy / 1000));
    if (i == 2 && !(log_ratio > 0))
      throw Bad(ProblemKind::kPhotonEnergiesMustAscend, path, line, 1, RowFormat());
    if (i > 2) {
      const double expected = std::log(d.table[1].energy / 1000) + (i - 1) * log_ratio;
      if (std::fabs(std::log(f[0].As<double>()) - expected) > 1e-4)
        throw Bad(ProblemKind::kEnergyOffGrid, path, line, 1, RowFormat());
    }
    if (i > 1) {
      const ElectronRow<Real>& p = d.table[static_cast<std::size_t>(i - 1)];
      if (!(r.range_e > p.range_e))
        throw Bad(ProblemKind::kRangesMustAscend, path, line, 10, RowFormat());
      if (!(r.range_p > p.range_p))
        throw Bad(ProblemKind::kRangesMustAscend, path, line, 11, RowFormat());
    }
  }
}

template <typename Real>
void Load(ElectronData<Real>& data, RecordReader in) {
  auto scratch = std::make_unique<ElectronData<Real>>(data);
  const std::string& path = in.name();
  const auto h = in.Read(HeaderFormat(), 3);
  const long long n = h[0].integer;
  if (n < 4 || n > ElectronData<Real>::kMaxRows)
    throw Bad(ProblemKind::kElectronRowCount, path, 1, 1, HeaderFormat(), std::to_string(n),
              "4.." + std::to_string(ElectronData<Real>::kMaxRows));
  for (int k = 1; k <= 2; ++k)
    if (!(h[static_cast<std::size_t>(k)].As<double>() > 0))
      throw Bad(ProblemKind::kMustBePositive, path, 1, k + 1, HeaderFormat());
  scratch->rows = static_cast<int>(n);
  scratch->delta_cut = h[1].As<Real>() * 1000;
  scratch->photon_cut = h[2].As<Real>() * 1000;
  ReadRows(*scratch, in);
  scratch->PrepareLookups();
  data = *scratch;
}

}  // namespace

template <typename Real>
void LoadElectronData(ElectronData<Real>& data, const std::string& path) {
  Load(data, RecordReader::FromFile(path, path));
}

template <typename Real>
void LoadElectronDataFromText(ElectronData<Real>& data, const std::string& name,
                              std::string_view text) {
  Load(data, RecordReader(name, text));
}

template struct ElectronData<float>;
template struct ElectronData<double>;
template void LoadElectronData<float>(ElectronData<float>&, const std::string&);
template void LoadElectronData<double>(ElectronData<double>&, const std::string&);
template void LoadElectronDataFromText<float>(ElectronData<float>&, const std::string&,
                                              std::string_view);
template void LoadElectronDataFromText<double>(ElectronData<double>&, const std::string&,
                                               std::string_view);

}  // namespace dosavia
