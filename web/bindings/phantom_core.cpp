// The engine screen's slab phantom for the browser edition: the phantom chosen by a preset's
// key or a link's layers, read by the models' PhantomSession as Dosavia's screen reads it
// (its phantom file's text, the mark of its result's name, its link), the layer editor's rows
// read by the same session as Dosavia's editor, and the bands a result's layers are shaded as
// behind the curves, by the same rule as the visual screen's.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <string>
#include <vector>

#include "models/phantom_bands.h"
#include "models/phantom_session.h"
#include "records/problem_text.h"
#include "web/bindings/phantom_band_list.h"
#include "web/bindings/report_language.h"

namespace dosavia::web {

using emscripten::val;

namespace {

// The session's phantom as the engine screen keeps it: { error: '' or why the layers cannot
// run, in the report language, link, mark (of the result's name; '' for water), text (the
// phantom file's; '' for water), bands, rows (the layer editor's, from the surface down:
// [{ material, thickness }]) }.
val Answer(const PhantomSession& session, const std::optional<Problem>& problem) {
  val out = val::object();
  out.set("error", problem ? ProblemLine(*problem, report_language) : std::string());
  out.set("link", session.Link());
  out.set("mark", session.ResultMark());
  out.set("text", session.FileText());
  out.set("bands", BandList(session.Layers() ? PhantomBands(*session.Layers())
                                             : std::vector<PhantomBand>()));
  val rows = val::array();
  for (const EditedLayer& row : EditorRowsOf(session.Layers())) {
    val entry = val::object();
    entry.set("material", row.material);
    entry.set("thickness", row.thickness);
    rows.call<void>("push", entry);
  }
  out.set("rows", rows);
  return out;
}

// The engine screen's phantom by a link's value or a preset's key; water where it cannot run.
val EnginePhantom(const std::string& value) {
  PhantomSession session;
  const auto problem = session.FollowLink(value);
  if (problem) session = PhantomSession();
  return Answer(session, problem);
}

// The layer editor's rows ([{ material, thickness }] as typed, from the surface down) read
// as the engine reads a phantom file, over the phantom in force `before` (its link value):
// where the engine would refuse them, the error names the row and the field and `before`
// stays the phantom.
val EditEnginePhantom(const std::string& before, val typed) {
  PhantomSession session;
  if (session.FollowLink(before)) session = PhantomSession();
  std::vector<EditedLayer> rows;
  const int count = typed["length"].as<int>();
  // A cell that is no text (a number a script put there, nothing) is read as empty, which the
  // reader names by its row, rather than taking the module down.
  const auto text = [](const val& cell) {
    return cell.isString() ? cell.as<std::string>() : std::string();
  };
  for (int i = 0; i < count; ++i) {
    const val row = typed[i];
    rows.push_back({text(row["material"]), text(row["thickness"])});
  }
  const auto problem = session.EditLayers(rows);
  return Answer(session, problem);
}

// The materials a layer may be of, in the phantom file's words and the page's language:
// [{ material, name }].
val PhantomMaterials(bool english) {
  val list = val::array();
  for (const PhantomMaterial& m : kPhantomMaterials) {
    val entry = val::object();
    entry.set("material", std::string(m.name));
    entry.set("name", MaterialName(m.name, english));
    list.call<void>("push", entry);
  }
  return list;
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
  emscripten::function("editEnginePhantom", &EditEnginePhantom);
  emscripten::function("phantomMaterials", &PhantomMaterials);
  emscripten::function("resultPhantomBands", &ResultPhantomBands);
}

}  // namespace dosavia::web
