#include "dsp/SimpleFFT.h"

#include "dsp/VectorClones.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>


namespace qen
{
namespace
{
    constexpr double twoPi = 6.283185307179586;

    void sineAndCosine (double angle, double& sine, double& cosine) noexcept
    {
       #if defined(__GLIBC__)
        ::sincos (angle, &sine, &cosine);
       #else
        sine = std::sin (angle);
        cosine = std::cos (angle);
       #endif
    }

    uint32_t reverseBits (uint32_t x, int numBits) noexcept
    {
        x = ((x >> 1) & 0x55555555u) | ((x & 0x55555555u) << 1);
        x = ((x >> 2) & 0x33333333u) | ((x & 0x33333333u) << 2);
        x = ((x >> 4) & 0x0f0f0f0fu) | ((x & 0x0f0f0f0fu) << 4);
        x = ((x >> 8) & 0x00ff00ffu) | ((x & 0x00ff00ffu) << 8);
        x = (x >> 16) | (x << 16);
        return x >> (32 - numBits);
    }

    // Swaps each pair (i, reversed i) once.
    void bitReverse (double* re, double* im, int n) noexcept
    {
        int numBits = 0;
        while ((1 << numBits) < n)
            ++numBits;

        for (int i = 1; i < n; ++i)
        {
            const auto j = (int) reverseBits ((uint32_t) i, numBits);

            if (i < j)
            {
                std::swap (re[i], re[j]);
                std::swap (im[i], im[j]);
            }
        }
    }

    /** Twiddles of one stage. The running product restarts at 1 in every
        block, so every block of a stage sees the same sequence: it is computed
        once per stage, in chunks that continue the product exactly, and each
        chunk is applied to all blocks.
    */
    class TwiddleSequence
    {
    public:
        explicit TwiddleSequence (int blockLength) noexcept
        {
            const double theta = -twoPi / (double) blockLength;
            sineAndCosine (theta, sinTheta, cosTheta);
        }

        void next (double* wRe, double* wIm, int count) noexcept
        {
            for (int k = 0; k < count; ++k)
            {
                wRe[k] = re;
                wIm[k] = im;
                const double nextRe = re * cosTheta - im * sinTheta;
                const double nextIm = re * sinTheta + im * cosTheta;
                re = nextRe;
                im = nextIm;
            }
        }

    private:
        double sinTheta = 0.0, cosTheta = 1.0;
        double re = 1.0, im = 0.0;
    };

    // One butterfly: x_b times w, then x_a + v and x_a - v.
    inline void butterfly (double& aRe, double& aIm, double& bRe, double& bIm, double wRe, double wIm) noexcept
    {
        const double vRe = bRe * wRe - bIm * wIm;
        const double vIm = bRe * wIm + bIm * wRe;
        const double xRe = aRe;
        const double xIm = aIm;
        aRe = xRe + vRe;
        aIm = xIm + vIm;
        bRe = xRe - vRe;
        bIm = xIm - vIm;
    }

    // A run of butterflies with no dependency between iterations, so that
    // the compiler vectorises it.
    inline void butterflies (double* __restrict aRe, double* __restrict aIm,
                             double* __restrict bRe, double* __restrict bIm,
                             const double* __restrict wRe, const double* __restrict wIm,
                             int count) noexcept
    {
        for (int k = 0; k < count; ++k)
            butterfly (aRe[k], aIm[k], bRe[k], bIm[k], wRe[k], wIm[k]);
    }

    // Stages with blocks of 2, 4 and 8 are too short for the loop above:
    // unroll over the block instead.
    template <int half>
    inline void shortStage (double* re, double* im, int n, const double* wRe, const double* wIm) noexcept
    {
        for (int start = 0; start < n; start += 2 * half)
            for (int k = 0; k < half; ++k)
                butterfly (re[start + k], im[start + k], re[start + k + half], im[start + k + half], wRe[k], wIm[k]);
    }
} // namespace

QEN_VECTOR_CLONES
void SimpleFFT::forward (double* re, double* im, int n) noexcept
{
    bitReverse (re, im, n);

    constexpr int chunk = 512;
    alignas (64) double wRe[chunk];
    alignas (64) double wIm[chunk];

    for (int length = 2; length <= n; length <<= 1)
    {
        const int half = length >> 1;
        TwiddleSequence twiddles (length);

        if (half <= 4)
        {
            twiddles.next (wRe, wIm, half);

            if (half == 1)
                shortStage<1> (re, im, n, wRe, wIm);
            else if (half == 2)
                shortStage<2> (re, im, n, wRe, wIm);
            else
                shortStage<4> (re, im, n, wRe, wIm);

            continue;
        }

        for (int first = 0; first < half; first += chunk)
        {
            const int count = std::min (chunk, half - first);
            twiddles.next (wRe, wIm, count);

            for (int start = first; start < n; start += length)
                butterflies (re + start, im + start, re + start + half, im + start + half, wRe, wIm, count);
        }
    }
}

} // namespace qen
