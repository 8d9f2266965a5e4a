// The curves behind the interfaces page's figures: central-axis depth doses of the slab
// phantoms (lung, an air gap, bone, a bolus) beside water's, computed by the engine's accurate
// transport and stored in the program's resources by tools/figures/make_interface_curves. One
// table says what each figure draws, so that the generator runs exactly the beams the figures
// need and both front ends draw the same curves, bands and names.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "models/page_texts.h"

namespace dosavia {

// A curve of a figure: a phantom (a key of kPhantomPresets) in a square field [cm side].
struct InterfaceCurveKey {
  std::string_view phantom;
  int side_cm;
};

// One figure of the interfaces page: its beam and the phantoms' curves, in drawing order. Each
// field's water curve is drawn beside them (dashed), so that the loss or gain at an interface
// is read against the dose the same beam gives without it.
struct InterfaceFigure {
  PageFigure figure;
  int energy_mv;  // of a shipped spectrum
  std::span<const InterfaceCurveKey> curves;
};

// How deep the stored curves and the figures reach [cm]: the lung slab's far interface at 13 cm
// and the re-build-up beyond it, without the last centimetres that lack deeper water's
// backscatter.
inline constexpr double kInterfaceDepthCm = 20;

// The figures of the interfaces page, in page order.
std::span<const InterfaceFigure> InterfaceFigures();

// The figure's entry, or none for a figure of another page.
const InterfaceFigure* FindInterfaceFigure(PageFigure figure);

// A stored curve's name: "lung/15/1" (phantom, MV, field side in cm).
std::string InterfaceCurveName(std::string_view phantom, int energy_mv, int side_cm);

// Every curve the figures need, each once: their phantoms' and their fields' water curves.
std::vector<std::string> InterfaceCurveNames();

// The stored curves: on the engine's 0.1 cm bins from the surface (element i at 0.1 i + 0.05
// cm), each in per cent of the maximum of water's curve for the same beam and field.
struct InterfaceCurves {
  std::vector<double> depth_cm;
  std::vector<std::string> names;
  std::vector<std::vector<double>> values;  // by the order of names

  // The curve of `name`, or none.
  const std::vector<double>* Find(std::string_view name) const;
};

// Reads the stored curves: a line "columns depth NAME ..." and then lines of as many numbers;
// lines starting with '#' are comments. Nothing when a line is malformed, a depth is not the
// next 0.1 cm bin's centre, the curves stop short of kInterfaceDepthCm, or a curve the figures
// need is missing.
std::optional<InterfaceCurves> ParseInterfaceCurves(std::string_view text);

// A layer of a phantom other than water, as the figures shade it [cm from the surface].
struct FigureBand {
  std::string material;
  double from_cm = 0;
  double to_cm = 0;
};

// The shaded layers of a preset: the screens' bands (models/phantom_bands.h) of its layers.
std::vector<FigureBand> FigureBands(std::string_view phantom_key);

// What a figure draws: the phantoms' layers and the curves, each phantom's solid and each
// field's water curve dashed. A curve's colour is its place among the phantoms' curves; a
// water curve takes the colour of its field's phantom curve, or -1 (black) where several
// phantoms share the field.
struct InterfaceFigureCurve {
  std::string phantom;  // key
  int side_cm = 0;
  bool water = false;
  int colour = -1;
  std::vector<double> values;  // [% of water's maximum], depth by depth
};
struct InterfaceFigureData {
  int energy_mv = 0;
  std::vector<double> depth_cm;
  std::vector<FigureBand> bands;
  std::vector<InterfaceFigureCurve> curves;
};

// The data of `figure` from the stored curves; none for a figure of another page.
std::optional<InterfaceFigureData> InterfaceFigureOf(const InterfaceCurves& curves,
                                                     PageFigure figure);

}  // namespace dosavia
