// Dosavia's one command-line mode: `Dosavia --plot RESULT.data [--field N[,M...]]
// [--out FILE.png] [--csv FILE.csv]` draws the non-visual screen's graph of a result file
// (the kerma curve and the total, primary and scatter dose of each field column given,
// default 8: 10 x 10 cm) into a PNG picture and/or writes those curves as CSV, without
// opening a window, so that a run on a machine without a display leaves its curves. Without
// "--plot" the program starts its menu as usual.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>
#include <span>
#include <string>

#include <QRect>
#include <vector>

#include "gui/engine_screen/result_curve_sets.h"
#include "gui/engine_screen/result_graph_key.h"

namespace dosavia {
struct ResultTables;
}  // namespace dosavia

namespace dosavia::gui {

// Field column that --plot draws when --field is not given (10 x 10 cm).
inline constexpr int kDefaultPlotField = 8;

// The graph of `tables` with the dose curves of field column `field` (1..10), under a title
// line naming `source_name` and the field size, as one picture [px at 96 dpi].
QImage RenderDepthDosePicture(const ResultTables& tables, int field, const QString& source_name);

// Where a saved picture put its parts [px of the picture], and what its key names.
struct CurvePictureLayout {
  QRect graph;
  std::vector<GraphKeyEntry> key;
  QRect table;  // empty without sets
  int table_rows = 0;
  double zoom = 1;  // of text and lines against the screen's graph
};

// The graph with the kerma curve of `kerma` (none when null) and the dose curves of `sets`
// in their colour families and patterns, its drawing area `graph_size` pixels (the screen's
// size when empty), under the graph's title and `source_name`; inside it the key of the
// curve kinds and of each set, under it the value table of the sets. Text and lines are
// scaled with the picture. `layout`, when given, receives where the parts lie.
QImage RenderCurveSetsPicture(const ResultTables* kerma, const QString& source_name,
                              std::span<const CurveSet> sets, QSize graph_size = {},
                              CurvePictureLayout* layout = nullptr);

// Which geometry drawn curves show, for a picture's title: "平行ビーム" for the parallel beam
// (`ssd_cm` 0), else "点線源 SSD 100 cm（近似）", in the interface language.
QString GeometryCaption(double ssd_cm);

// Encodes `picture` as PNG and writes it through a temporary file; throws
// WriteError naming `path` when it cannot, or when `path` reaches a file the programs read
// or run (see WriteExportFile).
void WritePngFile(const QImage& picture, const std::string& path);

// Handles the program's own options before any window exists: "--help" prints the usage
// (status 0); a "--" option it does not know, or a plot option without "--plot", is a
// usage error (status 2). With "--plot" it creates an application object of its own when
// there is none (on the offscreen platform unless QT_QPA_PLATFORM chooses another), writes
// the picture and returns 0, or 1 when the result file could not be read or the picture
// not written, or 2 for bad arguments (an --out that is not .png, an output that is the
// result file itself). Returns nothing when the menu should start.
std::optional<int> RunPlotCommand(int argc, char** argv);

}  // namespace dosavia::gui
