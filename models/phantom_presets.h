// The slab phantoms a class picks by name on every screen and in links: one list for Dosavia's
// two simulation screens, the browser edition and the lesson's links, so that "lung slab" is
// the same layers wherever it is chosen. A preset is the text of a phantom file (the layers
// from the surface down, water below the last one), read by the engine's own phantom reader.
//
// In a link a phantom is a preset's key ("phantom=lung") or its layers written out, a
// material and a thickness in cm joined by ':' and the layers by ',' ("phantom=water:2,air:3").
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/phantom_file.h"

namespace dosavia {

struct PhantomPreset {
  std::string_view key;      // in links and in result names
  std::string_view name_ja;  // on the screens
  std::string_view name_en;
  std::string_view layers;  // the phantom file's text; empty: water alone (no phantom file)
};

// Water, then the four interfaces a class meets in the clinic: lung after 3 cm of chest wall
// (electrons reach about four times as far at a quarter of water's density), bone of a rib's
// or a skull's thickness, an air cavity as in the sinuses or the trachea, and a bolus of
// tissue-like material on the skin, which moves the build-up out of the patient.
inline constexpr PhantomPreset kPhantomPresets[] = {
    {"water", "水", "Water", ""},
    {"lung", "肺スラブ (水 3 cm, 肺 10 cm)", "Lung slab (water 3 cm, lung 10 cm)",
     "water 3\nlung 10\n"},
    {"bone", "骨スラブ (水 2 cm, 骨 2 cm)", "Bone slab (water 2 cm, bone 2 cm)",
     "water 2\nbone 2\n"},
    {"air", "空気層 (水 3 cm, 空気 2 cm)", "Air gap (water 3 cm, air 2 cm)", "water 3\nair 2\n"},
    {"bolus", "ボーラス 1 cm", "Bolus 1 cm", "bolus 1\n"},
};

// The preset of `key`, or none.
const PhantomPreset* FindPhantomPreset(std::string_view key);

// The phantom file's text that a link's `phantom=` value stands for: a preset's layers, or
// the written-out layers turned into lines ("water:2,air:3" -> "water 2\nair 3\n"). The text
// is then read by ParsePhantom, which names anything unsound; a value that is neither a key
// nor layers of the form material:cm gives none.
std::optional<std::string> PhantomTextOfLink(std::string_view value);

// The link's value for a phantom: the preset's key where its layers are a preset's, else the
// layers written out (the water below the last layer left out). Water alone gives "water".
std::string PhantomLinkOf(const Phantom& phantom);

}  // namespace dosavia
