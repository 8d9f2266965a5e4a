// The layer editor of the engine screen: a slab phantom's layers from the surface down, a
// material and a thickness a row, checked by the engine's own reader before the dialog
// closes, so that a row the engine would refuse is named (row and field) while it can still
// be put right.
#pragma once

#include <vector>

#include "models/phantom_session.h"

class QWidget;

namespace dosavia::gui {

// Asks for the layers, starting from `rows`, and takes them into `session`
// (PhantomSession::EditLayers); returns the rows as accepted, or `rows` unchanged when the
// user cancels.
std::vector<EditedLayer> EditPhantomLayers(QWidget* parent, PhantomSession& session,
                                           std::vector<EditedLayer> rows);

}  // namespace dosavia::gui
