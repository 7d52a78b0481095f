#include "dsp/GainRule.h"
#include "test_utils/Signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
using Channels = std::vector<std::vector<float>>;

/** The symmetric Hann window exactly as the engine builds it. */
std::vector<float> hannWindow()
{
    std::vector<float> w (fftSize);
    for (int n = 0; n < fftSize; ++n)
        w[(size_t) n] = 0.5f - 0.5f * (float) std::cos ((double) n * 6.283185307179586 / 1023.0);
    return w;
}

/** Range of the overlap-add factor, (2/3) times the sum of the squared window
    over the four frames that meet in an output sample.
*/
std::pair<double, double> overlapAddFactorRange()
{
    const auto w = hannWindow();
    double lo = 10.0, hi = 0.0;

    for (int k = 0; k < hopSize; ++k)
    {
        double sum = 0.0;
        for (int j = 0; j < 4; ++j)
            sum += (double) w[(size_t) (k + j * hopSize)] * w[(size_t) (k + j * hopSize)];
        lo = std::min (lo, sum * (double) (2.0f / 3.0f));
        hi = std::max (hi, sum * (double) (2.0f / 3.0f));
    }

    return { lo, hi };
}

bool identical (const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp (a.data(), b.data(), a.size() * sizeof (float)) == 0;
}

double rms (const std::vector<float>& x, size_t from, size_t to)
{
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += (double) x[i] * x[i];
    return std::sqrt (sum / (double) (to - from));
}

//==============================================================================
TEST (GainRule, ParameterMappings)
{
    EXPECT_EQ (qen::GainRule::floorGainFor (0.0f), 1.0f);
    EXPECT_FLOAT_EQ (qen::GainRule::floorGainFor (50.0f), 0.1f);
    EXPECT_FLOAT_EQ (qen::GainRule::floorGainFor (100.0f), 0.01f);
    EXPECT_NEAR (qen::GainRule::floorGainFor (70.0f), std::pow (10.0, -1.4), 1e-8);

    EXPECT_EQ (qen::GainRule::thresholdFactorFor (0.0f), 1.0f);
    EXPECT_EQ (qen::GainRule::thresholdFactorFor (40.0f), 3.0f);
    EXPECT_EQ (qen::GainRule::thresholdFactorFor (100.0f), 6.0f);
}

TEST (GainRule, BinGains)
{
    const double floor = 0.01;

    EXPECT_EQ (qen::GainRule::gainFor (5.0, 5.0, floor), 1.0) << "a bin exactly at its threshold passes";
    EXPECT_EQ (qen::GainRule::gainFor (7.0, 5.0, floor), 1.0);
    EXPECT_EQ (qen::GainRule::gainFor (0.0, 5.0, floor), floor);
    EXPECT_NEAR (qen::GainRule::gainFor (1e-6, 5.0, floor), floor, 1e-12) << "far below: almost exactly the floor";
    EXPECT_NEAR (qen::GainRule::gainFor (2.5, 5.0, floor), floor + (1.0 - floor) * 0.25, 1e-12);
    EXPECT_EQ (qen::GainRule::gainFor (0.0, 0.0, floor), 1.0) << "a zero profile passes everything";
    EXPECT_TRUE (std::isnan (qen::GainRule::gainFor (std::nan (""), 5.0, floor)));
}

//==============================================================================
TEST (NoiseReducer, SilenceGivesExactSilence)
{
    auto processor = test::makePrepared();
    const auto out = test::process (*processor, { test::silence (20000), test::silence (20000) }, 512);

    for (const auto& channel : out)
        for (float x : channel)
            ASSERT_EQ (x, 0.0f);
}

TEST (NoiseReducer, OverlapAddFactorRangeIsTheDerivedOne)
{
    const auto [lo, hi] = overlapAddFactorRange();
    // 0.9989771 and 0.9990653 to seven places; these are the exact figures.
    EXPECT_NEAR (lo, 0.99897715, 1e-8);
    EXPECT_NEAR (hi, 0.99906531, 1e-8);
}

TEST (NoiseReducer, AtAmountZeroOutputIsInputDelayedBy1024AndScaledByTheOverlapAddFactor)
{
    auto processor = test::makePrepared();
    processor->setParameterValue ("amount", 0.0f);

    const int length = 20000;
    const auto left = test::whiteNoise (length, 1.0f, 11);
    const auto right = test::sine (length, 0.0123, 0.8f);
    const auto out = test::process (*processor, { left, right }, 333);

    const auto [lo, hi] = overlapAddFactorRange();
    const double tolerance = 2e-6; // single-precision rounding of the overlap-add
    double seenLo = 10.0, seenHi = 0.0;

    for (size_t ch = 0; ch < 2; ++ch)
    {
        const auto& in = ch == 0 ? left : right;

        for (size_t t = 0; t < 1024; ++t)
            ASSERT_LT (std::abs (out[ch][t]), 1e-6f) << "nothing before the latency, t " << t;

        for (size_t t = 0; t + 1024 < (size_t) length; ++t)
        {
            if (std::abs (in[t]) < 0.05f)
                continue;

            const double ratio = (double) out[ch][t + 1024] / (double) in[t];
            ASSERT_GE (ratio, lo - tolerance) << "ch " << ch << " t " << t;
            ASSERT_LE (ratio, hi + tolerance) << "ch " << ch << " t " << t;
            seenLo = std::min (seenLo, ratio);
            seenHi = std::max (seenHi, ratio);
        }
    }

    EXPECT_NEAR (seenLo, lo, tolerance);
    EXPECT_NEAR (seenHi, hi, tolerance);
}

TEST (NoiseReducer, AnImpulseComesOutExactly1024SamplesLater)
{
    auto processor = test::makePrepared();
    auto in = test::silence (8000);
    in[3000] = 1.0f;

    const auto out = test::process (*processor, { in, in }, 64);
    const auto peak = std::max_element (out[0].begin(), out[0].end(), [] (float a, float b)
                                        { return std::abs (a) < std::abs (b); });

    EXPECT_EQ (peak - out[0].begin(), 4024);
    EXPECT_NEAR (*peak, 1.0f, 1e-3f);
}

TEST (NoiseReducer, OutputDoesNotDependOnBlockSize)
{
    const int length = 100000;
    const Channels input{ test::whiteNoise (length, 0.3f, 1), test::whiteNoise (length, 0.3f, 2) };

    // A learned profile makes the gains matter.
    auto run = [&] (int blockSize)
    {
        auto processor = test::makePrepared (48000.0, 2, blockSize);
        processor->requestLearning();
        return test::process (*processor, input, blockSize);
    };

    const auto reference = run (4096);

    for (int blockSize : { 1, 64, 500 })
    {
        const auto out = run (blockSize);
        EXPECT_TRUE (identical (out[0], reference[0])) << "block " << blockSize;
        EXPECT_TRUE (identical (out[1], reference[1])) << "block " << blockSize;
    }
}

TEST (NoiseReducer, BypassPassesAudioUndelayedAndFreezesTheEngine)
{
    const int part = 5000;
    const auto x1 = test::whiteNoise (part, 0.5f, 21);
    const auto x2 = test::whiteNoise (part, 0.5f, 22);
    const auto x3 = test::whiteNoise (part, 0.5f, 23);

    auto bypassed = test::makePrepared();
    test::process (*bypassed, { x1, x1 }, 256);
    const int32_t tapBefore = bypassed->analyzerTap.writeIndex.load();

    bypassed->setParameterValue ("bypass", 1.0f);
    const auto during = test::process (*bypassed, { x2, x3 }, 256);
    EXPECT_TRUE (identical (during[0], x2));
    EXPECT_TRUE (identical (during[1], x3));

    // The tap still gets the (untouched) block.
    EXPECT_EQ (bypassed->analyzerTap.writeIndex.load(), tapBefore + part);
    const int32_t newest = bypassed->analyzerTap.writeIndex.load() - 1;
    EXPECT_EQ (bypassed->analyzerTap.samples[(size_t) (newest & 4095)].load(), (x2.back() + x3.back()) * 0.5f);

    // Resuming continues from the frozen state, in-flight audio included, as
    // if the bypassed stretch had never been played.
    bypassed->setParameterValue ("bypass", 0.0f);
    const auto after = test::process (*bypassed, { x3, x3 }, 256);

    auto uninterrupted = test::makePrepared();
    test::process (*uninterrupted, { x1, x1 }, 256);
    const auto expected = test::process (*uninterrupted, { x3, x3 }, 256);

    EXPECT_TRUE (identical (after[0], expected[0]));
    EXPECT_TRUE (identical (after[1], expected[1]));
}

TEST (NoiseReducer, AnyRawBypassValueFromHalfUpBypasses)
{
    auto processor = test::makePrepared();
    const auto in = test::whiteNoise (600, 0.5f, 3);

    processor->apvts.getRawParameterValue ("bypass")->store (0.5f);
    EXPECT_TRUE (identical (test::process (*processor, { in, in }, 600)[0], in));

    processor->apvts.getRawParameterValue ("bypass")->store (0.49f);
    EXPECT_FALSE (identical (test::process (*processor, { in, in }, 600)[0], in));
}

TEST (NoiseReducer, MonoLayoutRunsChannelZeroLikeStereo)
{
    auto mono = test::makePrepared (48000.0, 1);
    ASSERT_NE (mono, nullptr);
    EXPECT_EQ (mono->getTotalNumOutputChannels(), 1);

    const auto in = test::whiteNoise (30000, 0.4f, 5);
    mono->requestLearning();
    const auto monoOut = test::process (*mono, { in }, 512);

    auto stereo = test::makePrepared();
    stereo->requestLearning();
    const auto stereoOut = test::process (*stereo, { in, test::silence (30000) }, 512);

    EXPECT_TRUE (identical (monoOut[0], stereoOut[0]));
    const auto newest = (size_t) ((mono->analyzerTap.writeIndex.load() - 1) & AnalyzerTap::slotMask);
    EXPECT_EQ (mono->analyzerTap.samples[newest].load(), monoOut[0].back()) << "the mono tap is channel 0 unchanged";
}

TEST (NoiseReducer, FarBelowThresholdBinsGetTheFloorGainAtAmountHundred)
{
    auto processor = test::makePrepared();
    processor->setParameterValue ("amount", 100.0f);

    // Learn loud noise, then play the same kind of noise 60 dB quieter: every
    // bin is then far below its threshold and gets almost exactly 0.01.
    const int learnLength = 60000, quietLength = 40000;
    const auto loud = test::whiteNoise (learnLength, 1.0f, 31);
    processor->requestLearning();
    test::process (*processor, { loud, loud }, 512);
    ASSERT_FALSE (processor->learning.load());

    const auto quiet = test::whiteNoise (quietLength, 0.001f, 32);
    const auto out = test::process (*processor, { quiet, quiet }, 512);

    const double ratio = rms (out[0], 4096, (size_t) quietLength) / rms (quiet, 4096 - 1024, (size_t) quietLength - 1024);
    EXPECT_NEAR (ratio, 0.01 * 0.999, 0.01 * 0.002);
}

TEST (NoiseReducer, ParameterChangesActFromTheNextBlock)
{
    const auto noise = test::whiteNoise (60000, 0.5f, 9);
    const auto block = test::whiteNoise (4096, 0.5f, 10);

    auto reference = test::makePrepared();
    auto changed = test::makePrepared();
    for (auto* p : { reference.get(), changed.get() })
    {
        p->requestLearning();
        test::process (*p, { noise, noise }, 4096);
    }

    // A change made between blocks leaves everything before the block's first
    // frame alone and acts from that frame on.
    changed->setParameterValue ("sensitivity", 100.0f);
    const auto a = test::process (*reference, { block, block }, 4096)[0];
    const auto b = test::process (*changed, { block, block }, 4096)[0];

    const int firstFrame = hopSize - 60000 % hopSize - 1; // the sample on which the block's first frame runs
    const auto firstDifference = std::mismatch (a.begin(), a.end(), b.begin()).first - a.begin();
    EXPECT_GT (firstDifference, firstFrame);
    EXPECT_LT (firstDifference, firstFrame + hopSize);
}

TEST (NoiseReducer, SecondPrepareResetsProfileAndSilencesAudioInFlight)
{
    auto processor = test::makePrepared();
    const auto noise = test::whiteNoise (60000, 0.5f, 41);
    processor->requestLearning();
    test::process (*processor, { noise, noise }, 512);
    ASSERT_NE (processor->getNoiseProfile()[100], 0.0001f);

    processor->prepareToPlay (48000.0, 512);

    for (float bin : processor->getNoiseProfile())
        ASSERT_EQ (bin, 0.0001f);

    const auto out = test::process (*processor, { test::silence (3000), test::silence (3000) }, 512);
    for (const auto& channel : out)
        for (float x : channel)
            ASSERT_EQ (x, 0.0f);
}

TEST (NoiseReducer, NonFiniteInputEntersAsSilence)
{
    const int length = 12000;
    auto clean = test::whiteNoise (length, 0.5f, 51);
    auto dirty = clean;
    dirty[2000] = std::numeric_limits<float>::quiet_NaN();
    dirty[2001] = std::numeric_limits<float>::infinity();
    dirty[2002] = -std::numeric_limits<float>::infinity();
    clean[2000] = clean[2001] = clean[2002] = 0.0f;

    auto withNaN = test::makePrepared();
    auto withZeros = test::makePrepared();
    const auto a = test::process (*withNaN, { dirty, dirty }, 512);
    const auto b = test::process (*withZeros, { clean, clean }, 512);

    EXPECT_TRUE (identical (a[0], b[0]));
    EXPECT_TRUE (identical (a[1], b[1]));
}

TEST (NoiseReducer, NonFiniteInputDuringLearningLeavesAFiniteProfile)
{
    auto processor = test::makePrepared();
    auto noise = test::whiteNoise (60000, 0.5f, 61);
    noise[10000] = std::numeric_limits<float>::quiet_NaN();
    noise[20000] = std::numeric_limits<float>::infinity();

    processor->requestLearning();
    test::process (*processor, { noise, noise }, 512);
    ASSERT_FALSE (processor->learning.load());

    for (float bin : processor->getNoiseProfile())
        ASSERT_TRUE (std::isfinite (bin));

    const auto out = test::process (*processor, { test::whiteNoise (20000, 0.5f, 62), noise }, 512);
    for (const auto& channel : out)
        for (float x : channel)
            ASSERT_TRUE (std::isfinite (x));
}

} // namespace
