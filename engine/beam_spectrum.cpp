#include "engine/beam_spectrum.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "engine/conditions_file.h"
#include "physics/physics_loader.h"
#include "records/file_io.h"
#include "records/fixed_format.h"
#include "records/input_error.h"
#include "records/number_text.h"

namespace dosavia {

namespace {

// The intensity as a float. A value beyond the float range cannot be summed; one below it
// is simply tiny.
float IntensityValue(const ReadField& field, const std::string& file, int line,
                     const std::string& where) {
  float v = 0;
  if (ParseReal(field.text, v)) return v;
  double d = 0;
  ParseReal(field.text, d);
  if (std::fabs(d) > static_cast<double>(std::numeric_limits<float>::max()))
    throw InputError(file, line, where, "the intensity is too large for single precision");
  return static_cast<float>(d);
}

}  // namespace

BeamSpectrum ReadBeamSpectrum(std::string_view content, const std::string& display_name) {
  static const FixedFormat format(kSpectrumRecordFormat);
  static const std::string intensity_field = "field 3 (columns 9-17, E9.3), intensity";
  RecordReader reader(display_name, content);
  if (reader.line_count() < kSpectrumBins)
    throw InputError(display_name, reader.line_count() + 1, "",
                     "the spectrum ends after " + std::to_string(reader.line_count()) +
                         " records; it needs " + std::to_string(kSpectrumBins));
  BeamSpectrum s;
  std::array<float, kSpectrumBins + 1> intensity{};
  float sum = 0.0f;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    const int line = reader.lines_read() + 1;
    const auto fields = reader.Read(format, 3);
    intensity[i] = IntensityValue(fields[2], display_name, line, intensity_field);
    if (intensity[i] < 0.0f)
      throw InputError(display_name, line, intensity_field, "the intensity must not be negative");
    sum += intensity[i];
  }
  if (!(sum > 0.0f))
    throw InputError(display_name, 0, "",
                     "no bin has a positive intensity, so there is nothing to simulate");
  if (!std::isfinite(sum))
    throw InputError(display_name, 0, "", "the intensities are too large to add up in single precision");
  s.sum = sum;
  for (int i = 1; i <= kSpectrumBins; ++i) s.weight[i] = intensity[i] / sum;
  s.imax = kSpectrumBins;
  while (s.imax > 1 && !(s.weight[s.imax] > 0.0f)) --s.imax;
  return s;
}

void CheckSpectrumWithinTable(const BeamSpectrum& spectrum, float highest_table_energy_kev,
                              const std::string& display_name) {
  if (!(BinEnergy(spectrum.imax) > highest_table_energy_kev)) return;
  char text[160];
  std::snprintf(text, sizeof text,
                "bin %d (%.3f MeV) has weight, but the photon table of %s ends at %.3f MeV",
                spectrum.imax, BinEnergy(spectrum.imax) / 1000.0, kWaterDataFile,
                highest_table_energy_kev / 1000.0);
  throw InputError(display_name, spectrum.imax, "field 3 (columns 9-17, E9.3), intensity", text);
}

BeamSpectrum ReadBeamSpectrumFile(const std::filesystem::path& path, const std::string& display_name) {
  return ReadBeamSpectrum(ReadWholeFile(path.string(), display_name), display_name);
}

std::int32_t HistoriesInBin(float w, float n) {
  const double product = static_cast<double>(w) * static_cast<double>(n);
  if (!(product >= 1.0)) return 0;
  if (product > static_cast<double>(kMaxPhotonTotal)) return static_cast<std::int32_t>(kMaxPhotonTotal);
  return static_cast<std::int32_t>(product);
}

}  // namespace dosavia
