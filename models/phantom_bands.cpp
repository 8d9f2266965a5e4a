#include "models/phantom_bands.h"

namespace dosavia {

namespace {

// Lung pink as tissue full of air, bone ivory, air pale blue, a bolus the green of the gel
// sheets laid on the skin.
constexpr MaterialLook kLooks[] = {
    {"water", "水", "Water", "water", 0},
    {"lung", "肺", "Lung", "lung", 0xf2a6b4},
    {"bone", "骨", "Bone", "bone", 0xd9c38c},
    {"air", "空気", "Air", "air", 0xa9d4f5},
    {"bolus", "ボーラス", "Bolus", "bolus", 0x9fd9a3},
};

}  // namespace

const MaterialLook* MaterialLookOf(std::string_view material) {
  for (const MaterialLook& look : kLooks)
    if (look.material == material) return &look;
  return nullptr;
}

std::vector<PhantomBand> PhantomBands(const Phantom& phantom) {
  std::vector<PhantomBand> bands;
  double z = 0;
  for (const PhantomLayer& layer : phantom.layers) {
    const double top = z;
    z += layer.thickness_cm;
    const MaterialLook* look = MaterialLookOf(layer.material);
    // Water is the background the bands are drawn on.
    if (look == nullptr || look->material == "water") continue;
    // Two layers of one material written one after the other are one slab.
    if (!bands.empty() && bands.back().material == look->material &&
        bands.back().bottom_cm == top) {
      bands.back().bottom_cm = z;
      continue;
    }
    bands.push_back({top, z, look->material, look->name_ja, look->label_en, look->shade});
  }
  return bands;
}

}  // namespace dosavia
