// The bands of a slab phantom as the page draws them behind the curves and the tracks, packed
// once for both screens' bindings: [{ top, bottom, material, ja, en, shade }], depths in cm
// from the surface down, the shade as 0xRRGGBB.
#pragma once

#include <emscripten/val.h>

#include <span>
#include <string>

#include "models/phantom_bands.h"

namespace dosavia::web {

inline emscripten::val BandList(std::span<const PhantomBand> bands) {
  using emscripten::val;
  val list = val::array();
  for (const PhantomBand& band : bands) {
    val entry = val::object();
    entry.set("top", band.top_cm);
    entry.set("bottom", band.bottom_cm);
    entry.set("material", std::string(band.material));
    entry.set("ja", std::string(band.name_ja));
    entry.set("en", std::string(band.name_en));
    entry.set("shade", static_cast<double>(band.shade));
    list.call<void>("push", entry);
  }
  return list;
}

}  // namespace dosavia::web
