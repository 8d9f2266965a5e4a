// The tables both front ends open and draw with, for the page: the screens' opening values
// (kVisualOpening with its step speeds, kEngineOpening) and the compared sets' colour
// families (kCurveSetColors), so that the browser opens and colours as Dosavia does.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "engine/beam_geometry.h"
#include "engine/physics_switch_names.h"
#include "models/curve_set_colors.h"
#include "models/engine_session.h"
#include "models/typed_text.h"
#include "models/visual_session.h"

namespace dosavia::web {

using emscripten::val;

namespace {

// The visual screen's opening values, one table for both front ends (kVisualOpening).
val VisualOpeningValues() {
  val out = val::object();
  out.set("energy", std::string(kVisualOpening.energy));
  out.set("field", std::string(kVisualOpening.field));
  out.set("photons", std::string(kVisualOpening.photons));
  out.set("monoMeV", kVisualOpening.mono_mev);
  out.set("stepDisplay", kVisualOpening.step_display);
  out.set("zoomed", kVisualOpening.zoomed);
  out.set("fieldSide", FindFieldChoice(kVisualOpening.field)->side);
  // The physics switched off at the opening, by Kestrun's --without words (none).
  val without = val::array();
  for (const PhysicsSwitchName& name : kPhysicsSwitchNames)
    if (!(kVisualOpening.physics.*name.member))
      without.call<void>("push", std::string(name.option));
  out.set("without", without);
  val speeds = val::array();
  for (const double speed : kStepSpeeds) speeds.call<void>("push", speed);
  out.set("stepSpeeds", speeds);
  return out;
}

// The engine screen's opening values, one table for both front ends (kEngineOpening):
// { energy, fieldSide [cm], photons (the browser's count), ssd (0: the parallel beam) }.
val EngineOpeningValues() {
  val out = val::object();
  out.set("energy", std::string(kEngineOpening.energy));
  out.set("fieldSide", kFieldSideCm[kEngineOpening.field]);
  out.set("photons", std::string(kEngineOpening.browser_photons));
  out.set("ssd", kEngineOpening.ssd_cm);
  return out;
}

// The compared sets' colour families, one rule for both front ends (kCurveSetColors):
// [{ total, primary, scatter, kerma }] as "#rrggbb".
val CurveSetColorList() {
  const auto hex = [](Rgb c) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string out = "#";
    for (const int v : {c.r, c.g, c.b}) {
      out += kDigits[v >> 4];
      out += kDigits[v & 15];
    }
    return out;
  };
  val list = val::array();
  for (const CurveSetColors& c : kCurveSetColors) {
    val family = val::object();
    family.set("total", hex(c.total));
    family.set("primary", hex(c.primary));
    family.set("scatter", hex(c.scatter));
    family.set("kerma", hex(c.kerma));
    list.call<void>("push", family);
  }
  return list;
}

}  // namespace

EMSCRIPTEN_BINDINGS(dosavia_screen_tables) {
  emscripten::function("visualOpening", &VisualOpeningValues);
  emscripten::function("engineOpening", &EngineOpeningValues);
  emscripten::function("curveSetColors", &CurveSetColorList);
}

}  // namespace dosavia::web
