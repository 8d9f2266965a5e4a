// The engine's fixed geometry: the water box, the pencil beam's axis, the cylindrical scoring
// grid around it, and the square fields that the ring doses are folded into.
#pragma once

#include <array>

namespace dosavia {

// The water box spans 0..50 cm laterally and 0..30 cm in depth; the beam axis is x = y = 25.
inline constexpr float kPhantomWidthCm = 50.0f;
inline constexpr float kPhantomDepthCm = 30.0f;
inline constexpr float kAxisCm = 25.0f;

// Rings of 0.2 cm around the axis; rings 1..125 (radius below 25 cm) are scored.
inline constexpr int kRings = 125;
inline constexpr float kRingsPerCm = 5.0f;
inline constexpr float kRingWidthCm = 0.2f;
inline constexpr float kScoredRadiusCm = 25.0f;

// 300 depth slabs of 0.1 cm, the same grid as the 300 kerma bins.
inline constexpr int kSlabs = 300;
inline constexpr int kKermaBins = 300;
inline constexpr float kKermaBinsPerCm = 10.0f;

// Dose components: 1 energy from the unscattered source photon, 2 everything after a scatter.
inline constexpr int kPrimary = 1;
inline constexpr int kScatter = 2;
inline constexpr int kComponents = 2;

// The square fields [cm side] of the superposition, index 1..10 (element 0 unused).
inline constexpr int kFields = 10;
inline constexpr std::array<float, kFields + 1> kFieldSideCm = {0, 1, 2, 3, 4, 5, 6, 8, 10, 15, 20};

}  // namespace dosavia
