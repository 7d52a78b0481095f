#include "dsp/SimpleFFT.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <random>
#include <vector>

namespace
{

/** A plain transcription of the transform's defining loops: bit reversal,
    then stages with a running twiddle product restarted in every block. The
    optimised transform must reproduce it bit for bit.
*/
void referenceForward (double* re, double* im, int n)
{
    for (int i = 1, j = 0; i < n; ++i)
    {
        int bit = n >> 1;
        while (j & bit)
        {
            j &= ~bit;
            bit >>= 1;
        }
        j |= bit;

        if (i < j)
        {
            std::swap (re[i], re[j]);
            std::swap (im[i], im[j]);
        }
    }

    for (int len = 2; len <= n; len <<= 1)
    {
        const double theta = -6.283185307179586 / len;
        const double sinTheta = std::sin (theta);
        const double cosTheta = std::cos (theta);

        for (int i = 0; i < n; i += len)
        {
            double wRe = 1.0, wIm = 0.0;

            for (int k = 0; k < len / 2; ++k)
            {
                const int a = i + k;
                const int b = a + len / 2;
                const double vRe = re[b] * wRe - im[b] * wIm;
                const double vIm = re[b] * wIm + im[b] * wRe;
                const double aRe = re[a], aIm = im[a];
                re[a] = aRe + vRe;
                im[a] = aIm + vIm;
                re[b] = aRe - vRe;
                im[b] = aIm - vIm;
                const double nextRe = wRe * cosTheta - wIm * sinTheta;
                const double nextIm = wRe * sinTheta + wIm * cosTheta;
                wRe = nextRe;
                wIm = nextIm;
            }
        }
    }
}

struct Signal
{
    std::vector<double> re, im;

    explicit Signal (int n)
        : re ((size_t) n)
        , im ((size_t) n)
    {
    }

    static Signal random (int n, uint32_t seed)
    {
        Signal s (n);
        std::mt19937_64 rng (seed);
        std::uniform_real_distribution<double> dist (-1.0, 1.0);
        for (int i = 0; i < n; ++i)
        {
            s.re[(size_t) i] = dist (rng);
            s.im[(size_t) i] = dist (rng);
        }
        return s;
    }

    void forward() { qen::SimpleFFT::forward (re.data(), im.data(), (int) re.size()); }
    int size() const { return (int) re.size(); }
};

TEST (SimpleFFT, IsBitIdenticalToThePlainTranscription)
{
    for (int n : { 2, 4, 8, 64, 1024, 2048, 4096 })
    {
        for (uint32_t seed = 1; seed <= 20; ++seed)
        {
            auto fast = Signal::random (n, seed);
            auto reference = fast;
            fast.forward();
            referenceForward (reference.re.data(), reference.im.data(), n);

            ASSERT_EQ (0, std::memcmp (fast.re.data(), reference.re.data(), sizeof (double) * (size_t) n)) << "n " << n << " seed " << seed;
            ASSERT_EQ (0, std::memcmp (fast.im.data(), reference.im.data(), sizeof (double) * (size_t) n)) << "n " << n << " seed " << seed;
        }
    }
}

TEST (SimpleFFT, UnitImpulseIsFlat)
{
    Signal s (1024);
    s.re[0] = 1.0;
    s.forward();

    for (int k = 0; k < s.size(); ++k)
    {
        ASSERT_EQ (s.re[(size_t) k], 1.0) << k;
        ASSERT_EQ (s.im[(size_t) k], 0.0) << k;
    }
}

TEST (SimpleFFT, ConstantGoesToBinZero)
{
    Signal s (1024);
    std::fill (s.re.begin(), s.re.end(), 1.0);
    s.forward();

    EXPECT_NEAR (s.re[0], 1024.0, 1e-9);
    for (int k = 1; k < s.size(); ++k)
        ASSERT_NEAR (std::abs (std::complex (s.re[(size_t) k], s.im[(size_t) k])), 0.0, 1e-9) << k;
}

TEST (SimpleFFT, ExponentSignIsNegative)
{
    const int n = 1024;
    Signal s (n);
    for (int m = 0; m < n; ++m)
    {
        const double phase = 2.0 * M_PI * 3.0 * m / n;
        s.re[(size_t) m] = std::cos (phase);
        s.im[(size_t) m] = std::sin (phase);
    }
    s.forward();

    EXPECT_NEAR (s.re[3], 1024.0, 1e-9);
    EXPECT_NEAR (s.im[3], 0.0, 1e-9);
    EXPECT_NEAR (std::abs (std::complex (s.re[n - 3], s.im[n - 3])), 0.0, 1e-9);
}

TEST (SimpleFFT, ConjugateTrickInvertsTheTransform)
{
    const auto original = Signal::random (1024, 99);
    auto s = original;
    s.forward();

    for (auto& x : s.im)
        x = -x;
    s.forward();

    for (int i = 0; i < s.size(); ++i)
    {
        ASSERT_NEAR (s.re[(size_t) i] / 1024.0, original.re[(size_t) i], 1e-12) << i;
        ASSERT_NEAR (-s.im[(size_t) i] / 1024.0, original.im[(size_t) i], 1e-12) << i;
    }
}

TEST (SimpleFFT, AgreesWithTheDirectSum)
{
    const int n = 1024;
    const auto input = Signal::random (n, 5);
    auto s = input;
    s.forward();

    double worst = 0.0;
    for (int k = 0; k < n; ++k)
    {
        std::complex<long double> sum = 0;
        for (int m = 0; m < n; ++m)
        {
            const long double angle = -2.0L * M_PI * (long double) ((int64_t) k * m % n) / n;
            sum += std::complex<long double> (input.re[(size_t) m], input.im[(size_t) m]) * std::polar (1.0L, angle);
        }
        worst = std::max (worst, (double) std::abs (sum - std::complex<long double> (s.re[(size_t) k], s.im[(size_t) k])));
    }

    EXPECT_LT (worst, 1e-11);
}

} // namespace
