// The picture of the Compton-electron kernels of the X-ray spectra: one colour map of
// 2 pi R P(R, Z) per spectrum side by side, R across and Z (the photons' direction) down,
// with a ten-step logarithmic colour legend underneath.
#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <QString>

#include <array>
#include <vector>

#include "tools/figures/electron_kernel.h"

namespace dosavia::figures {

// Size of the picture [px].
inline constexpr int kMapImageWidth = 628;
inline constexpr int kMapImageHeight = 472;

// Lower bounds of the ten colour steps [1/cm^2]; the last step holds everything from 0.1 up,
// values below 0.0001 stay white.
inline constexpr std::array<double, 10> kLegendLevels = {1e-4, 2e-4, 5e-4, 1e-3, 2e-3,
                                                         5e-3, 1e-2, 2e-2, 5e-2, 1e-1};

// Colours of the ten steps, from the faint fringe (blue) to the core (dark red).
const std::array<QRgb, 10>& LegendColours();

// Step of a value: 0..9, or -1 below the first level (drawn white).
int ColourStep(double value);

// Where the maps and the legend boxes lie in the picture [px].
QRect PanelRect(int panel);  // panel 0..2
QRect LegendBox(int step);   // step 0..9

// One map of the picture: its title ("4 MV") and its kernel.
struct KernelPanel {
  QString title;
  const ElectronKernel* kernel = nullptr;
};

// Draws the three maps, their axes and the legend. Between bin centres the map is
// interpolated in the logarithm of the value, so that the step boundaries are smooth
// contours rather than the 0.05 cm bins.
QImage RenderElectronMaps(const std::array<KernelPanel, 3>& panels);

}  // namespace dosavia::figures
