// The colours and line patterns of the engine screen's compared curve sets, one rule for
// Dosavia and the browser: set n (counted from 0 in the order added) takes family n, the
// families repeating after kCurveSetFamilies. Family 0 is the graph's own blue, red and green
// on a black kerma; the next ones keep "total bluish, primary reddish, scatter greenish"
// where they can, in shades readable on white and apart from each other and from the black
// kerma: no dark navy, maroon or forest green, which a projector shows as black. The later
// families are taken from the Okabe-Ito colours, which stay apart for the colour-blind. A
// family's kerma is its total's hue, darker, so that the kermas of compared files (4 MV
// beside 10 MV) are told apart by colour as well as by their pattern.
#pragma once

#include <cstdint>

namespace dosavia {

struct Rgb {
  std::uint8_t r, g, b;
};

// Colours of one set's three dose curves and of its own file's kerma.
struct CurveSetColors {
  Rgb total;
  Rgb primary;
  Rgb scatter;
  Rgb kerma;
};

// The line pattern of a family's curves, so that sets differ by more than colour (for the
// colour-blind, and on a washed-out projector): `on` bins drawn, then `off` bins left out;
// off 0 is a solid line. Family 0 is solid.
struct CurveSetPattern {
  int on = 1;
  int off = 0;
};

inline constexpr int kCurveSetFamilies = 6;

inline constexpr CurveSetColors kCurveSetColors[kCurveSetFamilies] = {
    {{0, 0, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 0}},
    {{86, 180, 233}, {230, 159, 0}, {0, 158, 115}, {40, 105, 140}},
    {{150, 60, 200}, {213, 94, 0}, {140, 190, 0}, {90, 35, 120}},
    {{0, 114, 178}, {204, 121, 167}, {0, 190, 190}, {0, 70, 110}},
    {{120, 140, 255}, {255, 90, 90}, {170, 150, 0}, {70, 80, 150}},
    {{0, 200, 255}, {255, 60, 200}, {90, 200, 60}, {0, 115, 150}},
};
// Dashes of about 10 and dots of about 3 px at the graph's design width, of 2 px per bin.
inline constexpr CurveSetPattern kCurveSetPatterns[kCurveSetFamilies] = {{1, 0},  {6, 4}, {2, 3},
                                                                         {12, 3}, {3, 6}, {9, 6}};

// The family of set `family` (any integer, repeating after kCurveSetFamilies).
constexpr int FamilyIndex(int family) {
  return ((family % kCurveSetFamilies) + kCurveSetFamilies) % kCurveSetFamilies;
}
constexpr const CurveSetColors& CurveSetColorsOf(int family) {
  return kCurveSetColors[FamilyIndex(family)];
}
constexpr const CurveSetPattern& CurveSetPatternOf(int family) {
  return kCurveSetPatterns[FamilyIndex(family)];
}

}  // namespace dosavia
