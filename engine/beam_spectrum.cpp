#include "engine/beam_spectrum.h"

#include "engine/conditions_file.h"

namespace dosavia {

std::int32_t HistoriesInBin(float w, float n) {
  const double product = static_cast<double>(w) * static_cast<double>(n);
  if (!(product >= 1.0)) return 0;
  if (product > static_cast<double>(kMaxPhotonTotal))
    return static_cast<std::int32_t>(kMaxPhotonTotal);
  return static_cast<std::int32_t>(product);
}

}  // namespace dosavia
