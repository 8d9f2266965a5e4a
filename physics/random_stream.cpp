#include "physics/random_stream.h"

namespace dosavia {

template <typename Real>
void RandomStream<Real>::Seed(int warm_up_steps) {
  A[0] = 0;
  A[1] = 3783;
  for (int j = 2; j <= 55; ++j) A[j] = (2 * A[j - 1] + j) % kModulus;
  J = 24;
  K = 55;
  for (int n = 0; n < warm_up_steps; ++n) Step();
}

namespace {

std::uint64_t SplitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

}  // namespace

template <typename Real>
void RandomStream<Real>::SeedFromKey(std::uint64_t key) {
  std::uint64_t state = key;
  bool any_odd = false;
  A[0] = 0;
  for (int j = 1; j <= 55; ++j) {
    A[j] = static_cast<std::int32_t>(SplitMix64(state) >> 50);
    any_odd = any_odd || (A[j] & 1) != 0;
  }
  if (!any_odd) A[1] |= 1;
  J = 24;
  K = 55;
  for (int n = 0; n < kWarmUpSteps; ++n) Step();
}

template class RandomStream<float>;
template class RandomStream<double>;

}  // namespace dosavia
