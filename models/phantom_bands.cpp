#include "models/phantom_bands.h"

namespace dosavia {

namespace {

struct MaterialLook {
  std::string_view material;
  std::string_view name_ja;
  std::string_view name_en;
  std::uint32_t shade;
};

// Lung pink as tissue full of air, bone ivory, air pale blue, a bolus the green of the gel
// sheets laid on the skin.
constexpr MaterialLook kLooks[] = {
    {"lung", "肺", "Lung", 0xf2a6b4},
    {"bone", "骨", "Bone", 0xd9c38c},
    {"air", "空気", "Air", 0xa9d4f5},
    {"bolus", "ボーラス", "Bolus", 0x9fd9a3},
};

const MaterialLook* LookOf(std::string_view material) {
  for (const MaterialLook& look : kLooks)
    if (look.material == material) return &look;
  return nullptr;
}

}  // namespace

std::vector<PhantomBand> PhantomBands(const Phantom& phantom) {
  std::vector<PhantomBand> bands;
  double z = 0;
  for (const PhantomLayer& layer : phantom.layers) {
    const double top = z;
    z += layer.thickness_cm;
    const MaterialLook* look = LookOf(layer.material);
    if (look == nullptr) continue;
    // Two layers of one material written one after the other are one slab.
    if (!bands.empty() && bands.back().material == look->material &&
        bands.back().bottom_cm == top) {
      bands.back().bottom_cm = z;
      continue;
    }
    bands.push_back({top, z, look->material, look->name_ja, look->name_en, look->shade});
  }
  return bands;
}

}  // namespace dosavia
