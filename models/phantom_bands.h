// The layers of a slab phantom as the screens shade them behind the tracks and the curves:
// one band a run of layers of one material other than water (water is the background), with
// its name in both languages and its shade, so that both front ends draw lung, bone, air and
// a bolus alike.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/phantom_file.h"

namespace dosavia {

struct PhantomBand {
  double top_cm = 0;  // depth of its upper face
  double bottom_cm = 0;
  std::string_view material;  // the phantom file's name ("lung")
  std::string_view name_ja;   // its label on the screens
  std::string_view name_en;
  std::uint32_t shade = 0;  // 0xRRGGBB, drawn faint over the white of water
};

// A material's names and shade, one table for the bands' labels and the words of the
// screens' sentences: the label starts a band's caption ("Lung"), the word sits inside a
// sentence ("lung 3–13 cm"). Water is the background: no band, its shade unused.
struct MaterialLook {
  std::string_view material;  // the phantom file's name ("lung")
  std::string_view name_ja;
  std::string_view label_en;
  std::string_view word_en;
  std::uint32_t shade;  // 0xRRGGBB
};

// The look of `material`, or none for a name the phantom reader does not know.
const MaterialLook* MaterialLookOf(std::string_view material);

// The bands of `phantom`, from the surface down; none for water alone.
std::vector<PhantomBand> PhantomBands(const Phantom& phantom);

}  // namespace dosavia
