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

template class RandomStream<float>;
template class RandomStream<double>;

}  // namespace dosavia
