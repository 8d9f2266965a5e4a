// The engine screen's slab phantom for the browser edition: the phantom chosen by a preset's
// key or a link's layers, read by the models' PhantomSession as Dosavia's screen reads it
// (its phantom file's text, the mark of its result's name, its link), and the bands a
// result's layers are shaded as behind the curves, by the same rule as the visual screen's.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>
#include <vector>

#include "models/phantom_bands.h"
#include "models/phantom_session.h"
#include "records/problem_text.h"
#include "web/bindings/report_language.h"

namespace dosavia::web {

using emscripten::val;

namespace {

// [{ top, bottom, material, ja, en, shade }], depths in cm, from the surface down.
val BandList(const std::vector<PhantomBand>& bands) {
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

// The engine screen's phantom by a link's value or a preset's key: { error: '' or why the
// layers cannot run, in the report language, link, mark (of the result's name; '' for
// water), text (the phantom file's; '' for water), bands }.
val EnginePhantom(const std::string& value) {
  PhantomSession session;
  val out = val::object();
  const auto problem = session.FollowLink(value);
  out.set("error", problem ? ProblemLine(*problem, report_language) : std::string());
  if (problem) session = PhantomSession();
  out.set("link", session.Link());
  out.set("mark", session.ResultMark());
  out.set("text", session.FileText());
  out.set("bands", BandList(session.Layers() ? PhantomBands(*session.Layers())
                                             : std::vector<PhantomBand>()));
  return out;
}

// The bands of the layers a result's statistics record ("water 3 lung 10 water 17"; empty:
// water, no band).
val ResultPhantomBands(const std::string& description) {
  const auto phantom = PhantomOfDescription(description);
  return BandList(phantom ? PhantomBands(*phantom) : std::vector<PhantomBand>());
}

// The water result a phantom result `file` is read against, among `listed` ('' for none).
std::string WaterResultOf(const std::string& file, val listed) {
  const std::vector<std::string> names = emscripten::vecFromJSArray<std::string>(listed);
  return WaterResultFor(file, names);
}

}  // namespace

EMSCRIPTEN_BINDINGS(dosavia_phantom) {
  emscripten::function("waterResultFor", &WaterResultOf);
  emscripten::function("enginePhantom", &EnginePhantom);
  emscripten::function("resultPhantomBands", &ResultPhantomBands);
}

}  // namespace dosavia::web
