#pragma once

namespace qen
{

/** An in-place radix-2 decimation-in-time FFT on split real and imaginary
    arrays of doubles.

    Stateless: no tables, no set-up, no allocation. The twiddle factors come
    from a running complex product that starts at 1 in every butterfly block,
    so the results are fixed by that arithmetic alone; the noise reducer's
    output is defined in terms of it.
*/
class SimpleFFT
{
public:
    /** Replaces the n complex values by their unnormalised DFT,
        X[k] = sum over m of x[m] * exp(-2 pi i k m / n).
        n must be a power of two, at least 2.
    */
    static void forward (double* re, double* im, int n) noexcept;
};

} // namespace qen
