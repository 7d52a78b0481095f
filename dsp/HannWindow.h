#pragma once

#include <cmath>

namespace qen
{

/** Point n of the symmetric Hann window of the given size, as the noise
    reducer uses it: the cosine is taken in double and rounded to float once,
    then 0.5 - 0.5 u in single precision.
*/
inline float symmetricHann (int n, int size) noexcept
{
    const auto u = (float) std::cos ((double) n * 6.283185307179586 / (double) (size - 1));
    return 0.5f - 0.5f * u;
}

} // namespace qen
