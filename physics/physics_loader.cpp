#include "physics/physics_loader.h"

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "records/fixed_format.h"
#include "records/input_error.h"

namespace dosavia {

namespace {

const FixedFormat& RowCountFormat() {
  static const FixedFormat f("(I3)");
  return f;
}
const FixedFormat& IgnoredFormat() {
  static const FixedFormat f("(F9.6)");
  return f;
}
const FixedFormat& PhotonFormat() {
  static const FixedFormat f("(E9.3,5E10.3)");
  return f;
}
const FixedFormat& FormFactorFormat() {
  static const FixedFormat f("(E10.3,2E12.5)");
  return f;
}
const FixedFormat& QuantileFormat() {
  static const FixedFormat f("(1X,8I6)");
  return f;
}
const FixedFormat& EnergyFormat() {
  static const FixedFormat f("(1X,4E15.7)");
  return f;
}

ProblemField Column(int n, const FixedFormat& format) {
  int k = 0;
  for (const auto& it : format.items()) {
    if (!it.IsData()) continue;
    if (++k == n) return ProblemField::Data(n, it.Describe());
  }
  return ProblemField::Data(n);
}

InputError Bad(ProblemKind kind, const std::string& path, int line, ProblemField field,
               std::string value = {}, std::string limit = {}) {
  return InputError(Problem(kind)
                        .In(path, line)
                        .At(std::move(field))
                        .WithValue(std::move(value))
                        .WithLimit(std::move(limit)));
}

template <typename Real>
void ReadWater(PhysicsTables<Real>& t, RecordReader in) {
  const std::string& path = in.name();
  const long long n = in.Read(RowCountFormat(), 1)[0].integer;
  if (n < 2 || n > PhysicsTables<Real>::kMaxPhotonRows)
    throw Bad(ProblemKind::kPhotonRowCount, path, 1, Column(1, RowCountFormat()), std::to_string(n),
              "2.." + std::to_string(PhysicsTables<Real>::kMaxPhotonRows));
  t.photon_rows = static_cast<int>(n);
  in.Read(IgnoredFormat(), 1);  // line 2 carries no data the programs use
  for (int i = 1; i <= t.photon_rows; ++i) {
    const int line = in.lines_read() + 1;
    const auto f = in.Read(PhotonFormat(), 6);
    PhotonRow<Real>& row = t.PhotonTable[i];
    row.energy = f[0].As<Real>() * static_cast<Real>(1000);
    row.coherent = f[1].As<Real>();
    row.incoherent = f[2].As<Real>();
    row.photoelectric = f[3].As<Real>();
    row.pair = f[4].As<Real>() + f[5].As<Real>();
    // Log-log interpolation needs positive coefficients; a pair value is 0 below threshold.
    const Real positive[] = {row.energy, row.coherent, row.incoherent, row.photoelectric};
    for (int k = 0; k < 4; ++k)
      if (!(positive[k] > 0) || !std::isfinite(positive[k]))
        throw Bad(ProblemKind::kMustBePositive, path, line, Column(k + 1, PhotonFormat()));
    for (int k = 4; k < 6; ++k)
      if (f[k].As<Real>() < 0)
        throw Bad(ProblemKind::kMustNotBeNegative, path, line, Column(k + 1, PhotonFormat()));
    // The total attenuation coefficient is their sum, in the engine's single precision too.
    if (!(std::fabs(row.coherent + row.incoherent + row.photoelectric + row.pair) <=
          std::numeric_limits<float>::max()))
      throw Bad(ProblemKind::kCoefficientsTooLarge, path, line,
                ProblemField::DataRun(2, 6, "E10.3"));
    if (i > 1 && !(row.energy > t.PhotonTable[i - 1].energy))
      throw Bad(ProblemKind::kPhotonEnergiesMustAscend, path, line, Column(1, PhotonFormat()));
    // Interpolation divides by the difference of the energies' logarithms.
    if (i > 1 && !(std::log(row.energy) > std::log(t.PhotonTable[i - 1].energy)))
      throw Bad(ProblemKind::kPhotonEnergyTooClose, path, line, Column(1, PhotonFormat()));
  }
  for (int i = 1; i <= PhysicsTables<Real>::kFormFactorRows; ++i) {
    const int line = in.lines_read() + 1;
    const auto f = in.Read(FormFactorFormat(), 3);
    FormFactorRow<Real>& row = t.FormFactorTable[i];
    row.x = f[0].As<Real>();
    row.cumulative = f[1].As<Real>();
    row.incoherent = f[2].As<Real>();
    if (row.x < 0)
      throw Bad(ProblemKind::kXMustNotBeNegative, path, line, Column(1, FormFactorFormat()));
    if (row.cumulative < 0)
      throw Bad(ProblemKind::kMustNotBeNegative, path, line, Column(2, FormFactorFormat()));
    if (row.incoherent < 0)
      throw Bad(ProblemKind::kMustNotBeNegative, path, line, Column(3, FormFactorFormat()));
    // Coherent sampling draws x from the integral and accepts it only below the photon's
    // reach, and Compton sampling accepts an angle with weight S(x): a table whose integral
    // does not start at x = 0, or an S of 0 beyond it, would make them reject for ever.
    if (i == 1 && row.x != 0)
      throw Bad(ProblemKind::kFirstXMustBeZero, path, line, Column(1, FormFactorFormat()));
    if (i == 1 && row.cumulative != 0)
      throw Bad(ProblemKind::kIntegralMustStartAtZero, path, line, Column(2, FormFactorFormat()));
    if (i > 1 && !(row.incoherent > 0))
      throw Bad(ProblemKind::kMustBePositiveBeyondZero, path, line, Column(3, FormFactorFormat()));
    if (i > 1) {
      const FormFactorRow<Real>& prev = t.FormFactorTable[i - 1];
      if (!(row.x > prev.x))
        throw Bad(ProblemKind::kXMustAscend, path, line, Column(1, FormFactorFormat()));
      if (row.cumulative < prev.cumulative)
        throw Bad(ProblemKind::kIntegralMustNotDecrease, path, line, Column(2, FormFactorFormat()));
    }
  }
  t.CoherentCumMax = t.FormFactorTable[PhysicsTables<Real>::kFormFactorRows].cumulative;
  t.IncoherentMax = t.FormFactorTable[PhysicsTables<Real>::kFormFactorRows].incoherent;
  if (!(t.CoherentCumMax > 0))
    throw Bad(ProblemKind::kLastIntegralMustBePositive, path, in.lines_read(),
              Column(2, FormFactorFormat()));
  if (!(t.IncoherentMax > 0))
    throw Bad(ProblemKind::kLastIncoherentMustBePositive, path, in.lines_read(),
              Column(3, FormFactorFormat()));
}

template <typename Real>
void ReadElectron(PhysicsTables<Real>& t, RecordReader in) {
  const std::string& path = in.name();
  constexpr int kRows = PhysicsTables<Real>::kScatterRows;
  constexpr int kQ = PhysicsTables<Real>::kQuantiles;
  for (int i = 1; i <= kRows; ++i) {
    const int first_line = in.lines_read() + 1;
    const auto f = in.Read(QuantileFormat(), kQ);
    for (int j = 1; j <= kQ; ++j) {
      const long long v = f[j - 1].integer;
      if (v < -16384 || v > 16384)
        throw Bad(ProblemKind::kCosineOutOfRange, path, first_line + (j - 1) / 8,
                  Column((j - 1) % 8 + 1, QuantileFormat()));
      t.ScatterAngleTable[i][j] = static_cast<std::int32_t>(v);
    }
  }
  const int first_line = in.lines_read() + 1;
  const auto e = in.Read(EnergyFormat(), kRows);
  for (int i = 1; i <= kRows; ++i) {
    t.ScatterEnergies[i] = e[i - 1].As<Real>();
    const int line = first_line + (i - 1) / 4;
    const ProblemField field = Column((i - 1) % 4 + 1, EnergyFormat());
    if (!(t.ScatterEnergies[i] > 0))
      throw Bad(ProblemKind::kEnergyMustBePositive, path, line, field);
    if (i > 1 && !(t.ScatterEnergies[i] < t.ScatterEnergies[i - 1]))
      throw Bad(ProblemKind::kEnergiesMustDescend, path, line, field);
  }
}

template <typename Real>
void Load(PhysicsTables<Real>& tables, RecordReader water, RecordReader electron) {
  // Everything goes into a scratch copy first: a failure leaves the caller's tables whole.
  auto scratch = std::make_unique<PhysicsTables<Real>>(tables);
  ReadWater(*scratch, std::move(water));
  ReadElectron(*scratch, std::move(electron));
  scratch->StepLossFraction = PhysicsTables<Real>::kStepLossFraction;
  scratch->PrepareLookups();
  tables = *scratch;
}

}  // namespace

template <typename Real>
void LoadPhysicsTables(PhysicsTables<Real>& tables, const std::string& water_path,
                       const std::string& electron_path) {
  RecordReader water = RecordReader::FromFile(water_path, water_path);
  RecordReader electron = RecordReader::FromFile(electron_path, electron_path);
  Load(tables, std::move(water), std::move(electron));
}

template <typename Real>
void LoadPhysicsTablesFromText(PhysicsTables<Real>& tables, const std::string& water_name,
                               std::string_view water_text, const std::string& electron_name,
                               std::string_view electron_text) {
  Load(tables, RecordReader(water_name, water_text), RecordReader(electron_name, electron_text));
}

template void LoadPhysicsTablesFromText<float>(PhysicsTables<float>&, const std::string&,
                                               std::string_view, const std::string&,
                                               std::string_view);
template void LoadPhysicsTablesFromText<double>(PhysicsTables<double>&, const std::string&,
                                                std::string_view, const std::string&,
                                                std::string_view);

template void LoadPhysicsTables<float>(PhysicsTables<float>&, const std::string&,
                                       const std::string&);
template void LoadPhysicsTables<double>(PhysicsTables<double>&, const std::string&,
                                        const std::string&);

}  // namespace dosavia
