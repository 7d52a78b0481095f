#include "dsp/SimpleFFT.h"

#include <algorithm>
#include <cmath>
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

    void bitReverse (double* re, double* im, int n) noexcept
    {
        for (int i = 1, j = 0; i < n; ++i)
        {
            int bit = n >> 1;

            for (; (j & bit) != 0; bit >>= 1)
                j &= ~bit;

            j |= bit;

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

    // One block of butterflies. Written as a flat loop over k with no
    // dependency between iterations so that the compiler vectorises it.
    inline void butterflies (double* __restrict aRe, double* __restrict aIm,
                             double* __restrict bRe, double* __restrict bIm,
                             const double* __restrict wRe, const double* __restrict wIm,
                             int count) noexcept
    {
        for (int k = 0; k < count; ++k)
        {
            const double vRe = bRe[k] * wRe[k] - bIm[k] * wIm[k];
            const double vIm = bRe[k] * wIm[k] + bIm[k] * wRe[k];
            const double xRe = aRe[k];
            const double xIm = aIm[k];
            aRe[k] = xRe + vRe;
            aIm[k] = xIm + vIm;
            bRe[k] = xRe - vRe;
            bIm[k] = xIm - vIm;
        }
    }
} // namespace

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
