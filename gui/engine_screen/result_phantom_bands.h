// The slab phantom behind the depth-dose curves: each slab of a material other than water
// shaded over its depths and named at the top of the graph, so that a class reads the fall
// and the re-build-up of the dose against the layers that cause them, on the screen and in
// the saved picture alike.
#pragma once

#include <optional>
#include <span>

#include "engine/phantom_file.h"
#include "gui/engine_screen/result_curve_sets.h"

class QPainter;
class QTransform;

namespace dosavia::gui {

// The phantom whose layers the graph shows: that of the first set run in one (its
// statistics' layers, else its name's preset); none when every set is of water.
std::optional<Phantom> ShownPhantom(std::span<const CurveSet> sets);

// Shades the slabs of ShownPhantom into the run-time layer, under everything drawn after.
void DrawPhantomBands(PictureBox& picture, std::span<const CurveSet> sets);

// The slabs' names at the top of their bands, in the interface language, painted with the
// graph's key.
void PaintPhantomBandLabels(QPainter& painter, const QTransform& to_pixels, double zoom,
                            std::span<const CurveSet> sets);

}  // namespace dosavia::gui
