#include "dsp/SimpleFFT.h"
#include "test_utils/Signals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using Channels = std::vector<std::vector<float>>;
constexpr int framesAt48k = 187;
constexpr int samplesPerPassAt48k = framesAt48k * hopSize; // 47872

/** Per-bin mean magnitude of the Hann-windowed frames that end at the given
    sample positions (inclusive), computed independently of the engine.
*/
std::vector<float> meanMagnitudes (const std::vector<float>& signal, int firstFrameEnd, int numFrames)
{
    std::vector<double> sums (numBins, 0.0);

    for (int f = 0; f < numFrames; ++f)
    {
        const int end = firstFrameEnd + f * hopSize;
        double re[fftSize], im[fftSize]{};

        for (int k = 0; k < fftSize; ++k)
        {
            const int t = end - (fftSize - 1) + k;
            const float x = t >= 0 ? signal[(size_t) t] : 0.0f;
            const float w = 0.5f - 0.5f * (float) std::cos ((double) k * 6.283185307179586 / 1023.0);
            re[k] = (double) (x * w);
        }

        qen::SimpleFFT::forward (re, im, fftSize);

        for (int b = 0; b < numBins; ++b)
            sums[(size_t) b] += std::sqrt (re[b] * re[b] + im[b] * im[b]);
    }

    std::vector<float> mean (numBins);
    for (int b = 0; b < numBins; ++b)
        mean[(size_t) b] = (float) (sums[(size_t) b] / numFrames);
    return mean;
}

std::vector<float> profileOf (const VazezavProcessor& processor)
{
    const auto profile = processor.getNoiseProfile();
    return { profile.begin(), profile.end() };
}

class Learning : public ::testing::Test
{
protected:
    std::unique_ptr<VazezavProcessor> processor = test::makePrepared();
    const std::vector<float> noise = test::whiteNoise (120000, 0.25f, 77);

    void play (const std::vector<float>& left, const std::vector<float>& right, int from, int count)
    {
        test::process (*processor,
                       { { left.begin() + from, left.begin() + from + count },
                         { right.begin() + from, right.begin() + from + count } },
                       128);
    }
};

TEST_F (Learning, ClickSizesThePassFromTheSampleRate)
{
    const std::pair<double, int> cases[] = { { 44100.0, 172 }, { 48000.0, 187 }, { 96000.0, 375 }, { 192000.0, 750 } };

    for (const auto& [rate, frames] : cases)
    {
        auto p = test::makePrepared (rate);
        p->requestLearning();
        EXPECT_EQ (p->learnTargetFrames.load(), frames) << rate;
        EXPECT_TRUE (p->learnRequested.load());
    }

    VazezavProcessor unprepared;
    unprepared.requestLearning();
    EXPECT_EQ (unprepared.learnTargetFrames.load(), 187) << "before any prepareToPlay the rate is 48 kHz";
}

TEST_F (Learning, A48kPassAverages187FramesIntoTheProfile)
{
    processor->requestLearning();
    EXPECT_FALSE (processor->learning.load()) << "nothing happens before a frame runs";

    // The request is taken at the first frame (the 256th sample) and the pass
    // ends 186 hops later.
    play (noise, noise, 0, 256);
    EXPECT_TRUE (processor->learning.load());
    EXPECT_FALSE (processor->learnRequested.load());

    play (noise, noise, 256, samplesPerPassAt48k - 256 - 1);
    EXPECT_TRUE (processor->learning.load());
    play (noise, noise, samplesPerPassAt48k - 1, 1);
    EXPECT_FALSE (processor->learning.load());

    EXPECT_EQ (profileOf (*processor), meanMagnitudes (noise, 255, framesAt48k));
}

TEST_F (Learning, StereoLearnsFromTheLeftChannelOnly)
{
    const auto loudRight = test::whiteNoise (120000, 0.9f, 78);

    processor->requestLearning();
    play (noise, loudRight, 0, 60000);
    const auto fromStereo = profileOf (*processor);

    auto other = test::makePrepared();
    other->requestLearning();
    test::process (*other, { { noise.begin(), noise.begin() + 60000 }, test::silence (60000) }, 128);

    EXPECT_EQ (fromStereo, profileOf (*other));
    EXPECT_EQ (fromStereo, meanMagnitudes (noise, 255, framesAt48k));
}

TEST_F (Learning, TheProfileServesBothChannels)
{
    processor->setParameterValue ("amount", 100.0f);
    processor->requestLearning();
    play (noise, noise, 0, 60000);

    const auto quiet = test::whiteNoise (30000, 0.0025f, 79);
    const auto out = test::process (*processor, { quiet, quiet }, 512);

    for (size_t ch = 0; ch < 2; ++ch)
    {
        double in = 0.0, kept = 0.0;
        for (size_t t = 4096; t < 30000; ++t)
        {
            in += (double) quiet[t - 1024] * quiet[t - 1024];
            kept += (double) out[ch][t] * out[ch][t];
        }
        EXPECT_LT (10.0 * std::log10 (kept / in), -38.0) << "channel " << ch;
    }
}

TEST_F (Learning, ASecondClickRestartsThePass)
{
    processor->requestLearning();
    play (noise, noise, 0, 256 + 100 * hopSize);
    ASSERT_TRUE (processor->learning.load());

    processor->requestLearning();
    // The next frame (sample 256 + 101 * 256 - 1) takes the new request.
    const int restartFrameEnd = 255 + 101 * hopSize;
    play (noise, noise, 256 + 100 * hopSize, framesAt48k * hopSize - 1);
    EXPECT_TRUE (processor->learning.load()) << "counting starts again from 1";
    play (noise, noise, 256 + 100 * hopSize + framesAt48k * hopSize - 1, 1);
    EXPECT_FALSE (processor->learning.load());

    EXPECT_EQ (profileOf (*processor), meanMagnitudes (noise, restartFrameEnd, framesAt48k));
}

TEST_F (Learning, RequestWaitsWhileBypassed)
{
    processor->setParameterValue ("bypass", 1.0f);
    processor->requestLearning();
    play (noise, noise, 0, 50000);
    EXPECT_TRUE (processor->learnRequested.load());
    EXPECT_FALSE (processor->learning.load());

    processor->setParameterValue ("bypass", 0.0f);
    play (noise, noise, 0, 255);
    EXPECT_TRUE (processor->learnRequested.load());
    play (noise, noise, 255, 1);
    EXPECT_FALSE (processor->learnRequested.load());
    EXPECT_TRUE (processor->learning.load());
}

TEST_F (Learning, BypassFreezesARunningPass)
{
    auto reference = test::makePrepared();
    reference->requestLearning();
    test::process (*reference, { { noise.begin(), noise.begin() + 60000 }, test::silence (60000) }, 128);

    processor->requestLearning();
    play (noise, noise, 0, 20000);
    processor->setParameterValue ("bypass", 1.0f);
    play (test::silence (120000), test::silence (120000), 0, 30000);
    EXPECT_TRUE (processor->learning.load());
    processor->setParameterValue ("bypass", 0.0f);
    play (noise, noise, 20000, 40000);

    EXPECT_EQ (profileOf (*processor), profileOf (*reference));
}

TEST_F (Learning, SilenceLearnsAZeroProfileThatPassesEverything)
{
    processor->requestLearning();
    const auto quiet = test::silence (60000);
    play (quiet, quiet, 0, 60000);
    ASSERT_FALSE (processor->learning.load());

    for (float bin : profileOf (*processor))
        ASSERT_EQ (bin, 0.0f);

    // Every bin meets a zero threshold, so the deepest setting changes nothing.
    processor->setParameterValue ("amount", 100.0f);
    const auto deep = test::process (*processor, { noise, noise }, 512);

    auto unreduced = test::makePrepared();
    unreduced->setParameterValue ("amount", 0.0f);
    test::process (*unreduced, { quiet, quiet }, 512);
    const auto flat = test::process (*unreduced, { noise, noise }, 512);

    EXPECT_EQ (deep, flat);
}

TEST_F (Learning, PrepareDuringAPassRestartsItFromNothing)
{
    const auto loud = test::whiteNoise (30000, 1.0f, 80);
    processor->requestLearning();
    play (loud, loud, 0, 30000);
    ASSERT_TRUE (processor->learning.load());

    processor->prepareToPlay (48000.0, 512);
    EXPECT_TRUE (processor->learning.load()) << "the pass goes on";
    play (noise, noise, 0, 60000);
    EXPECT_FALSE (processor->learning.load());

    EXPECT_EQ (profileOf (*processor), meanMagnitudes (noise, 255, framesAt48k));
}

TEST_F (Learning, ATargetOfZeroEndsThePassAfterOneFrame)
{
    processor->learnTargetFrames.store (0);
    processor->learnRequested.store (true);
    play (noise, noise, 0, 256);

    EXPECT_FALSE (processor->learning.load());
    EXPECT_EQ (profileOf (*processor), meanMagnitudes (noise, 255, 1));
}

} // namespace
