// The seed of a run. Seed 0 is the fixed random sequence the programs always had, so that a
// run without a seed gives the same file as ever; seeds 1..kMaxRunSeed name independent
// sequences, so that a class can run the same conditions many times and see how far one
// run's numbers are from another's.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

namespace dosavia {

using RunSeed = std::uint32_t;
inline constexpr RunSeed kDefaultSeed = 0;
inline constexpr RunSeed kMaxRunSeed = 2147483647;

// The stream keys (RandomStream::SeedFromKey) of a seeded run lie apart from the default
// run's block keys (0, 1, 2, ...): bit 32 set, the seed above it, the block number or the
// stream's own tag below. A run has far fewer than 2^32 - 2 blocks, so the tags that end
// the range never meet a block number.
inline constexpr std::uint64_t SeededKey(RunSeed seed, std::uint64_t low) {
  return (static_cast<std::uint64_t>(seed) << 33) | (1ull << 32) | (low & 0xFFFFFFFFull);
}

// Key of block b's stream: b itself for the default seed, as the block files always were.
inline constexpr std::uint64_t BlockStreamKey(RunSeed seed, std::uint64_t block) {
  return seed == kDefaultSeed ? block : SeededKey(seed, block);
}

// Keys of the single stream of a seeded engine run and of a seeded visual batch series
// (seed 0 uses the generator's fixed Seed() in both).
inline constexpr std::uint64_t SingleStreamKey(RunSeed seed) {
  return SeededKey(seed, 0xFFFFFFFFu);
}
inline constexpr std::uint64_t VisualStreamKey(RunSeed seed) {
  return SeededKey(seed, 0xFFFFFFFEu);
}

// A seed as typed: decimal digits only, 0..kMaxRunSeed; empty for anything else.
inline std::optional<RunSeed> ParseRunSeed(std::string_view text) {
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > kMaxRunSeed)
    return std::nullopt;
  return static_cast<RunSeed>(value);
}

}  // namespace dosavia
