#include "gui/visual_spectrum.h"

#include <cmath>
#include <cstdio>

#include "records/free_format.h"
#include "records/input_error.h"

namespace dosavia::gui {

namespace {

constexpr double kKeVPerMeV = 1000.0;

std::string MeVText(double mev) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", mev);
  return buf;
}

}  // namespace

VisualSpectrum ParseVisualSpectrum(std::string_view content, const std::string& display_name,
                                   double highest_energy_kev) {
  FreeFormatReader reader(display_name, content);
  VisualSpectrum s;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    const std::string record = "record " + std::to_string(i);
    double energy_mev = 0;
    double weight = 0;
    if (!reader.Next(energy_mev) || !reader.Next(weight))
      throw InputError(display_name, reader.line(), record,
                       "the file ends after " + std::to_string(i - 1) + " of " +
                           std::to_string(kSpectrumBins) + " records");
    if (!(weight >= 0) || !std::isfinite(weight))
      throw InputError(display_name, reader.line(), record,
                       "the weight must be a finite number, not negative");
    const double energy = energy_mev * kKeVPerMeV;
    if (!std::isfinite(energy))
      throw InputError(display_name, reader.line(), record,
                       "the photon energy " + MeVText(energy_mev) + " MeV is far too large");
    // A photon that the run can draw must have an energy the photon table covers.
    if (weight > 0 && energy < 0)
      throw InputError(display_name, reader.line(), record,
                       "the photon energy must not be negative where the weight is not 0");
    if (weight > 0 && energy > highest_energy_kev)
      throw InputError(display_name, reader.line(), record,
                       "the photon energy " + MeVText(energy_mev) +
                           " MeV has weight but lies above the photon table, which ends at " +
                           MeVText(highest_energy_kev / kKeVPerMeV) + " MeV");
    s.energy[i] = energy;
    s.cumulative[i] = weight;
  }
  double sum = 0;
  for (int i = 1; i <= kSpectrumBins; ++i) {
    sum = s.cumulative[i] + sum;
    s.cumulative[i] = sum;
  }
  if (!(sum > 0))
    throw InputError(display_name, 0, "", "the weights of the 400 records sum to 0");
  if (!std::isfinite(sum))
    throw InputError(display_name, 0, "", "the weights of the 400 records are too large to add up");
  for (int i = 1; i <= kSpectrumBins; ++i) s.cumulative[i] = s.cumulative[i] / sum;
  return s;
}

}  // namespace dosavia::gui
