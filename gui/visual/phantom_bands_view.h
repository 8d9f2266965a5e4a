// The slab phantom's layers as the visual screen shows them: pale, labelled bands under the
// tracks of both side views and under the depth-dose panel's curve, so that the class sees
// where lung, bone or air begins and how much further the electrons run in it. The bands,
// their names and shades are the models' (PhantomBands), the same as the browser draws.
#pragma once

#include <QPointF>

#include <functional>
#include <vector>

#include "models/phantom_bands.h"

class QPainter;
class QRectF;

namespace dosavia::gui {

class PictureBox;

// Tints `picture` (depth across, in its user units) with `bands`, each labelled at its top
// in the language of the screen; none clears the tint.
void TintSideView(PictureBox& picture, const std::vector<PhantomBand>& bands);

// Paints `bands` in multiply mode over `area`, between the depths that `x_of` maps to
// pixels, each named at `label_top`: the depth-dose panel's ground, and the side views'.
void PaintPhantomBands(QPainter& painter, const std::vector<PhantomBand>& bands, const QRectF& area,
                       const std::function<double(double)>& x_of, double label_top);

}  // namespace dosavia::gui
