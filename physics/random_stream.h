// The one uniform random number generator of each program.
#pragma once

#include <array>
#include <cstdint>

namespace dosavia {

// Additive lagged-Fibonacci generator, lags 24 and 55, over 14-bit integers
// (Knuth, TAOCP vol. 2, 3.2.2, with a small modulus so that float and double programs
// share one integer sequence). The seed is fixed: every Seed() replays the same numbers.
// Tables and pointers are 1-based, like every table of the program; A[0] is unused.
template <typename Real>
class RandomStream {
 public:
  static constexpr std::int32_t kModulus = 16384;
  // Deliberately not the modulus: Uniform() never reaches 1 and never returns exactly 0.5.
  static constexpr Real kDivisor = static_cast<Real>(16384.1);
  static constexpr int kWarmUpSteps = 1000;

  RandomStream() { Seed(); }

  // Puts the generator into its start state, including the warm-up steps (1000 in both
  // programs; fewer only to inspect the freshly filled table).
  void Seed(int warm_up_steps = kWarmUpSteps);

  // Puts the generator into the start state of the stream named by `key`: the 55 lags are
  // the top 14 bits of 55 successive SplitMix64 outputs (Steele, Lea and Flood, OOPSLA
  // 2014) from the state `key`, the first lag made odd if all are even (an additive
  // lagged-Fibonacci stream needs an odd lag to reach its full period), pointers at 24 and
  // 55, then the usual warm-up steps. Different keys give streams that are independent for
  // every practical purpose; the same key always replays the same numbers.
  void SeedFromKey(std::uint64_t key);

  // Advances by one step and returns the new integer value (0..16383).
  std::int32_t Step() {
    // Both entries lie in 0..16383, so the sum modulo 2^14 is its low 14 bits.
    A[K] = (A[J] + A[K]) & (kModulus - 1);
    const std::int32_t value = A[K];
    if (--J == 0) J = 55;
    if (--K == 0) K = 55;
    return value;
  }

  // One number in [0, 0.99993286]; exactly 0 when the step's integer is 0.
  Real Uniform() { return static_cast<Real>(Step()) / kDivisor; }

  std::array<std::int32_t, 56> A{};
  int J = 24;
  int K = 55;
};

extern template class RandomStream<float>;
extern template class RandomStream<double>;

}  // namespace dosavia
