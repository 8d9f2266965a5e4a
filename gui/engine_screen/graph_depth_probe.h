// The engine graph's depth probe on the desktop: the pointer over the graph (or a click on it)
// shows the depth under it and each drawn curve's dose there with its ± where the run
// measured one (models/depth_probe.h), in a tip beside the pointer.
#pragma once

#include <QString>
#include <functional>
#include <span>

namespace dosavia {
struct ResultTables;
}  // namespace dosavia

namespace dosavia::gui {

class PictureBox;
struct CurveSet;

// The probe's text at `depth_cm`: its heading, then one line per set (its legend name, total,
// primary and scatter); with no set drawn, the kerma of `loaded`; empty off the depth axis or
// with nothing drawn.
QString DepthProbeText(double depth_cm, std::span<const CurveSet> sets, const ResultTables* loaded);

// The depth [cm] under the widget point `x` [px] of the graph `plot` (its frame spans 0 to 30
// cm); any value, the probe says nothing off the axis.
double DepthUnderPointer(const PictureBox& plot, double x);

// Shows the probe on `plot` while the pointer moves over it or clicks it.
void AttachDepthProbe(PictureBox& plot, std::function<std::span<const CurveSet>()> sets,
                      std::function<const ResultTables*()> loaded);

}  // namespace dosavia::gui
