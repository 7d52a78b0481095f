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

    // Swaps each pair (i, reversed i) once. j runs as the bit-reversed
    // counterpart of i: adding one to a reversed number carries from the top.
    void bitReverse (double* re, double* im, int n) noexcept
    {
        for (int i = 1, j = 0; i < n; ++i)
        {
            int bit = n >> 1;

            for (; (j & bit) != 0; bit >>= 1)
                j ^= bit;

            j ^= bit;

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

    /** Two consecutive stages in one pass over memory: for each k, the
        butterflies of the first stage on (a, b) and (c, d), then those of the
        second on (a, c) and (b, d). Every value sees the same operations in
        the same order as when the stages run one after the other.
    */
    inline void stagePair (double* __restrict aRe, double* __restrict aIm, double* __restrict bRe, double* __restrict bIm,
                           double* __restrict cRe, double* __restrict cIm, double* __restrict dRe, double* __restrict dIm,
                           const double* __restrict w1Re, const double* __restrict w1Im,
                           const double* __restrict w2Re, const double* __restrict w2Im,
                           int count) noexcept
    {
        for (int k = 0; k < count; ++k)
        {
            double ar = aRe[k], ai = aIm[k], br = bRe[k], bi = bIm[k];
            double cr = cRe[k], ci = cIm[k], dr = dRe[k], di = dIm[k];

            butterfly (ar, ai, br, bi, w1Re[k], w1Im[k]);
            butterfly (cr, ci, dr, di, w1Re[k], w1Im[k]);
            butterfly (ar, ai, cr, ci, w2Re[k], w2Im[k]);
            butterfly (br, bi, dr, di, w2Re[k + count], w2Im[k + count]);

            aRe[k] = ar, aIm[k] = ai, bRe[k] = br, bIm[k] = bi;
            cRe[k] = cr, cIm[k] = ci, dRe[k] = dr, dIm[k] = di;
        }
    }

    // One pass of a stage pair over the whole array. The first pairs have
    // runs too short for a vector loop; called with a constant `half`, the
    // inlined copy unrolls them instead.
    inline void stagePairPass (double* re, double* im, int n, int half,
                               const double* w1Re, const double* w1Im,
                               const double* w2Re, const double* w2Im) noexcept
    {
        for (int g = 0; g < n; g += 4 * half)
            stagePair (re + g, im + g, re + g + half, im + g + half, re + g + 2 * half, im + g + 2 * half,
                       re + g + 3 * half, im + g + 3 * half, w1Re, w1Im, w2Re, w2Im, half);
    }
} // namespace

QEN_VECTOR_CLONES
void SimpleFFT::forward (double* re, double* im, int n) noexcept
{
    bitReverse (re, im, n);

    constexpr int chunk = 512;
    alignas (64) double w1Re[chunk / 2], w1Im[chunk / 2];
    alignas (64) double w2Re[chunk], w2Im[chunk];

    int length = 2;

    // Stages two at a time while both twiddle runs fit in the buffers.
    for (; 2 * length <= n && length <= chunk; length *= 4)
    {
        const int half = length / 2;
        TwiddleSequence (length).next (w1Re, w1Im, half);
        TwiddleSequence (2 * length).next (w2Re, w2Im, length);

        if (half == 1)
            stagePairPass (re, im, n, 1, w1Re, w1Im, w2Re, w2Im);
        else if (half == 4)
            stagePairPass (re, im, n, 4, w1Re, w1Im, w2Re, w2Im);
        else
            stagePairPass (re, im, n, half, w1Re, w1Im, w2Re, w2Im);
    }

    // Whatever is left, one stage at a time.
    for (; length <= n; length *= 2)
    {
        const int half = length / 2;
        TwiddleSequence twiddles (length);

        for (int first = 0; first < half; first += chunk)
        {
            const int count = std::min (chunk, half - first);
            twiddles.next (w2Re, w2Im, count);

            for (int start = first; start < n; start += length)
                butterflies (re + start, im + start, re + start + half, im + start + half, w2Re, w2Im, count);
        }
    }
}

} // namespace qen
