// Fig.10 to Fig.12 of the interfaces page, drawn from the slab phantoms' curves that the
// engine computed (stored in the program's resources by tools/figures/make_interface_curves):
// each phantom's depth dose against water's for the same beam and field, with the phantom's
// layers shaded and named behind the curves.
#pragma once

#include <optional>

#include "gui/figures/figure_frame.h"
#include "models/interface_curves.h"

namespace dosavia::gui {

// The curves compiled into the program; none when the resource is missing or damaged.
const std::optional<InterfaceCurves>& ShippedInterfaceCurves();

class InterfaceFigureView : public FigureFrame {
  Q_OBJECT

 public:
  explicit InterfaceFigureView(PageFigure figure, QWidget* parent = nullptr);

 protected:
  void Paint(QPainter& p) override;

 private:
  std::optional<InterfaceFigureData> data_;
};

}  // namespace dosavia::gui
