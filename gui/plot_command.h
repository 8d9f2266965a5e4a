// Dosavia's one command-line mode: `Dosavia --plot RESULT.data [--field N] --out FILE.png`
// draws the non-visual screen's graph of a result file (the kerma curve and the total,
// primary and scatter dose of field column N, default 8: 10 x 10 cm) into a PNG picture
// without opening a window, so that a run on a machine without a display leaves a picture
// of its curves. Without "--plot" the program starts its menu as usual.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace dosavia {
struct ResultTables;
}  // namespace dosavia

namespace dosavia::gui {

// Field column that --plot draws when --field is not given (10 x 10 cm).
inline constexpr int kDefaultPlotField = 8;

// The graph of `tables` with the dose curves of field column `field` (1..10), under a title
// line naming `source_name` and the field size, as one picture [px at 96 dpi].
QImage RenderDepthDosePicture(const ResultTables& tables, int field, const QString& source_name);

// Runs the --plot mode when argv holds "--plot", before any window exists: creates an
// application object of its own when there is none (on the offscreen platform unless
// QT_QPA_PLATFORM chooses another), writes the picture and returns the exit status (0
// written; 1 the result file could not be read or the picture not written; 2 bad
// arguments, with a usage line on stderr). Returns nothing without "--plot".
std::optional<int> RunPlotCommand(int argc, char** argv);

}  // namespace dosavia::gui
