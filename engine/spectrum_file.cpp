#include "engine/spectrum_file.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/conditions_file.h"
#include "physics/physics_loader.h"
#include "records/file_io.h"
#include "records/fixed_format.h"
#include "records/free_format.h"
#include "records/input_error.h"
#include "records/number_text.h"
#include "records/utf8_text.h"

namespace dosavia {

namespace {

constexpr double kKeVPerMeV = 1000.0;

// Field 3 of the record "(F6.3,2X,E9.3)": the intensity.
ProblemField IntensityField() {
  return ProblemField::Data(3, "E9.3").WithColumns(9, 17).WithName(FieldName::kIntensity);
}

// The intensity as a float. A value beyond the float range cannot be summed; one below it
// is simply tiny.
float IntensityValue(const ReadField& field, const std::string& file, int line) {
  float v = 0;
  if (ParseReal(field.text, v)) return v;
  double d = 0;
  ParseReal(field.text, d);
  if (std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max()))
    throw BadInput(ProblemKind::kIntensityTooLarge, file, line, IntensityField());
  return static_cast<float>(d);
}

// Columns 7-8 separate the energy from the intensity, and no number may follow the
// intensity's 9 columns. A digit, sign or point there means the
// record's columns are shifted (a missing blank, a TAB, four decimals), so that the fixed
// fields would cut a number apart: "3.679E-03" read as 3.679.
void CheckColumnsAligned(const std::string& record, const std::string& file, int line) {
  const auto numeric = [](char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
  };
  for (std::size_t col = 6; col < 8 && col < record.size(); ++col)
    if (numeric(record[col]))
      throw BadInput(ProblemKind::kNumberInSeparator, file, line,
                     ProblemField::Columns(7, 8).WithName(FieldName::kSeparator), Excerpt(record));
  // Without its decimal point the field would read with 3 implied decimals ("07000E+00" as
  // 7.0) here but as written (7000) in the interactive program.
  const std::string_view intensity =
      record.size() > 8 ? std::string_view(record).substr(8, 9) : std::string_view();
  if (intensity.find_first_not_of(' ') != std::string_view::npos &&
      intensity.find('.') == std::string_view::npos)
    throw BadInput(ProblemKind::kIntensityWithoutPoint, file, line, IntensityField(),
                   Excerpt(record));
  // A minus sign makes "-8.322E-03" one column wider than the field, so its last digit spills
  // past column 17; the intensity would be refused as negative anyway, and that is the
  // reason to give.
  const std::size_t sign = intensity.find_first_not_of(' ');
  if (sign != std::string_view::npos && intensity[sign] == '-')
    throw BadInput(ProblemKind::kIntensityNegative, file, line, IntensityField());
  // After column 17: a continued exponent, or any further number, which the free-format
  // reading of the same file would take as the next record's energy.
  const std::size_t after = 17;
  bool continues = record.size() > after &&
                   std::string_view("EeDd").find(record[after]) != std::string_view::npos;
  for (std::size_t col = after; col < record.size(); ++col) continues |= numeric(record[col]);
  if (continues)
    throw BadInput(ProblemKind::kNumberPastIntensity, file, line,
                   ProblemField::Columns(18).WithName(FieldName::kAfterIntensity), Excerpt(record));
}

std::string MeVText(double mev) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", mev);
  return buf;
}

}  // namespace

BeamSpectrum ReadBeamSpectrum(std::string_view content, const std::string& display_name) {
  static const FixedFormat format(kSpectrumRecordFormat);
  RecordReader reader(display_name, content);
  if (reader.line_count() < kSpectrumBins) {
    if (auto layout = reader.LayoutProblem(reader.line_count() + 1)) throw InputError(*layout);
    throw BadInput(ProblemKind::kSpectrumEndsEarly, display_name, reader.line_count() + 1, {},
                   std::to_string(reader.line_count()), std::to_string(kSpectrumBins));
  }
  BeamSpectrum s;
  std::array<float, kSpectrumBins + 1> intensity{};
  float sum = 0.0f;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    const int line = reader.lines_read() + 1;
    const auto fields = reader.Read(format, 3);
    CheckColumnsAligned(reader.Line(line - 1), display_name, line);
    intensity[i] = IntensityValue(fields[2], display_name, line);
    if (intensity[i] < 0.0f)
      throw BadInput(ProblemKind::kIntensityNegative, display_name, line, IntensityField());
    sum += intensity[i];
  }
  if (!(sum > 0.0f)) throw BadInput(ProblemKind::kNoPositiveIntensity, display_name, 0);
  if (!std::isfinite(sum)) throw BadInput(ProblemKind::kIntensitiesTooLarge, display_name, 0);
  s.sum = sum;
  for (int i = 1; i <= kSpectrumBins; ++i) s.weight[i] = intensity[i] / sum;
  s.imax = kSpectrumBins;
  while (s.imax > 1 && !(s.weight[s.imax] > 0.0f)) --s.imax;
  return s;
}

BeamSpectrum ReadBeamSpectrumFile(const std::filesystem::path& path,
                                  const std::string& display_name) {
  return ReadBeamSpectrum(ReadWholeFile(path.string(), display_name), display_name);
}

BeamSpectrum ReadSpectrumNamedInConditions(const std::filesystem::path& path,
                                           const std::string& name) {
  try {
    return ReadBeamSpectrumFile(path, name);
  } catch (const InputError& e) {
    if (e.line() != 0) throw;
    throw InputError(Problem(ProblemKind::kSpectrumUnusable)
                         .In(kConditionsFile, 1)
                         .At(ProblemField::Named(FieldName::kSpectrumFileName))
                         .WithValue(Excerpt(name))
                         .WithCause(e.problem()));
  }
}

void CheckSpectrumWithinTable(const BeamSpectrum& spectrum, float highest_table_energy_kev,
                              const std::string& display_name) {
  if (!(BinEnergy(spectrum.imax) > highest_table_energy_kev)) return;
  const auto mev = [](double kev) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", kev / kKeVPerMeV);
    return std::string(text);
  };
  throw InputError(Problem(ProblemKind::kBinAboveTable)
                       .In(display_name, spectrum.imax)
                       .At(IntensityField())
                       .WithValue(mev(BinEnergy(spectrum.imax)))
                       .WithLimit(mev(highest_table_energy_kev))
                       .WithOther(kWaterDataFile));
}

FreeFormatSpectrum ParseFreeFormatSpectrum(std::string_view content,
                                           const std::string& display_name,
                                           double highest_energy_kev) {
  FreeFormatReader reader(display_name, content);
  FreeFormatSpectrum s;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    const ProblemField record = ProblemField::NthRecord(i);
    double energy_mev = 0;
    double weight = 0;
    if (!reader.Next(energy_mev) || !reader.Next(weight))
      throw BadInput(ProblemKind::kRecordsEndEarly, display_name, reader.line(), record,
                     std::to_string(i - 1), std::to_string(kSpectrumBins));
    if (!(weight >= 0) || !std::isfinite(weight))
      throw BadInput(ProblemKind::kWeightInvalid, display_name, reader.line(), record);
    const double energy = energy_mev * kKeVPerMeV;
    if (!std::isfinite(energy))
      throw BadInput(ProblemKind::kPhotonEnergyFarTooLarge, display_name, reader.line(), record,
                     MeVText(energy_mev));
    // A photon that the run can draw must have an energy the photon table covers.
    if (weight > 0 && energy < 0)
      throw BadInput(ProblemKind::kPhotonEnergyNegative, display_name, reader.line(), record);
    if (weight > 0 && energy > highest_energy_kev)
      throw BadInput(ProblemKind::kPhotonEnergyAboveTable, display_name, reader.line(), record,
                     MeVText(energy_mev), MeVText(highest_energy_kev / kKeVPerMeV));
    s.energy_mev[i] = energy_mev;
    s.energy[i] = energy;
    s.weight[i] = weight;
  }
  double sum = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    sum = s.weight[i] + sum;
    s.cumulative[i] = sum;
  }
  if (!(sum > 0))
    throw BadInput(ProblemKind::kWeightsSumToZero, display_name, 0, {}, {},
                   std::to_string(kSpectrumBins));
  if (!std::isfinite(sum))
    throw BadInput(ProblemKind::kWeightsTooLarge, display_name, 0, {}, {},
                   std::to_string(kSpectrumBins));
  for (int i = 1; i <= kSpectrumBins; ++i) s.cumulative[i] = s.cumulative[i] / sum;
  return s;
}

FreeFormatSpectrum ReadFreeFormatSpectrumFile(const std::string& path,
                                              const std::string& display_name,
                                              double highest_energy_kev) {
  return ParseFreeFormatSpectrum(ReadWholeFile(path, display_name), display_name,
                                 highest_energy_kev);
}

}  // namespace dosavia
