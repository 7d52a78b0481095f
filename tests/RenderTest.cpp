#include "test_utils/Signals.h"
#include "tools/render/OfflineRenderer.h"
#include "tools/render/RenderError.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using namespace qen::render;

juce::AudioBuffer<float> bufferOf (const std::vector<std::vector<float>>& channels)
{
    juce::AudioBuffer<float> buffer ((int) channels.size(), (int) channels.front().size());
    for (size_t ch = 0; ch < channels.size(); ++ch)
        buffer.copyFrom ((int) ch, 0, channels[ch].data(), (int) channels[ch].size());
    return buffer;
}

std::vector<float> channelOf (const juce::AudioBuffer<float>& buffer, int ch)
{
    return { buffer.getReadPointer (ch), buffer.getReadPointer (ch) + buffer.getNumSamples() };
}

NoiseSource noiseBuffer (const juce::AudioBuffer<float>& audio, int from, int count)
{
    NoiseSource source;
    source.kind = NoiseSource::Kind::buffer;
    source.noise.setSize (audio.getNumChannels(), count);
    for (int ch = 0; ch < audio.getNumChannels(); ++ch)
        source.noise.copyFrom (ch, 0, audio, ch, from, count);
    return source;
}

double rmsDb (const juce::AudioBuffer<float>& audio, int from, int to)
{
    double sum = 0.0;
    for (int i = from; i < to; ++i)
        sum += (double) audio.getSample (0, i) * audio.getSample (0, i);
    return 10.0 * std::log10 (sum / (to - from));
}

TEST (OfflineRenderer, PassSizes)
{
    EXPECT_EQ (OfflineRenderer::framesPerPass (48000.0), 187);
    EXPECT_EQ (OfflineRenderer::framesPerPass (44100.0), 172);
    EXPECT_EQ (OfflineRenderer::samplesNeededToLearn (48000.0), 187 * 256 + 1024);
    EXPECT_EQ (OfflineRenderer::samplesNeededAfterLearnRequest (48000.0), 187 * 256 + 256);
}

TEST (OfflineRenderer, AfterLearningTheInputMeetsTheEngineAsAFreshInstanceWould)
{
    // At amount 0 the profile makes no difference, so a learned run must give
    // exactly what a fresh instance gives: the rings ran empty and the frame
    // alignment is the same.
    const auto noise = test::whiteNoise (60000, 0.3f, 1);
    const auto input = bufferOf ({ test::whiteNoise (30000, 0.5f, 2), test::sine (30000, 0.01, 0.5f) });

    RenderSettings settings;
    settings.amount = 0.0f;
    settings.keepLatency = true;
    const auto learned = OfflineRenderer::render (input, 48000.0, noiseBuffer (bufferOf ({ noise, noise }), 0, 60000), settings);
    EXPECT_TRUE (learned.learned);

    auto fresh = test::makePrepared();
    fresh->setParameterValue ("amount", 0.0f);
    const auto expected = test::process (*fresh, { channelOf (input, 0), channelOf (input, 1) }, 512);

    EXPECT_EQ (channelOf (learned.output, 0), expected[0]);
    EXPECT_EQ (channelOf (learned.output, 1), expected[1]);
}

TEST (OfflineRenderer, CompensatesTheLatencyByDefault)
{
    const auto input = bufferOf ({ test::whiteNoise (20000, 0.5f, 3) });
    RenderSettings settings;
    settings.amount = 0.0f;

    const auto aligned = OfflineRenderer::render (input, 48000.0, {}, settings);
    settings.keepLatency = true;
    const auto raw = OfflineRenderer::render (input, 48000.0, {}, settings);

    ASSERT_EQ (aligned.output.getNumSamples(), 20000);
    ASSERT_EQ (raw.output.getNumSamples(), 20000);
    for (int t = 0; t + 1024 < 20000; ++t)
        ASSERT_EQ (aligned.output.getSample (0, t), raw.output.getSample (0, t + 1024)) << t;

    // The tail comes from the silence fed after the end.
    EXPECT_NEAR (aligned.output.getSample (0, 19999) / input.getSample (0, 19999), 0.999, 1e-3);
    EXPECT_FALSE (aligned.learned);
    EXPECT_FALSE (aligned.noiseLevelDbfs.has_value());
}

TEST (OfflineRenderer, BlockSizeDoesNotChangeTheOutput)
{
    const auto noisy = bufferOf ({ test::whiteNoise (80000, 0.2f, 4) });
    const auto source = noiseBuffer (noisy, 0, 50000);

    RenderSettings settings;
    settings.blockSize = 4096;
    const auto big = OfflineRenderer::render (noisy, 48000.0, source, settings);
    settings.blockSize = 1;
    const auto small = OfflineRenderer::render (noisy, 48000.0, source, settings);

    EXPECT_EQ (channelOf (big.output, 0), channelOf (small.output, 0));
}

TEST (OfflineRenderer, ReducesSteadyNoiseByTheDesignedAmount)
{
    const auto noisy = bufferOf ({ test::whiteNoise (120000, 0.1f, 5) });
    const auto source = noiseBuffer (noisy, 0, 50000);

    const struct
    {
        float amount, sensitivity, lowDb, highDb;
    } cases[] = {
        { 70.0f, 40.0f, 8.0f, 11.0f },
        { 100.0f, 100.0f, 18.0f, 30.0f },
        { 0.0f, 40.0f, -0.01f, 0.01f },
    };

    for (const auto& c : cases)
    {
        RenderSettings settings;
        settings.amount = c.amount;
        settings.sensitivity = c.sensitivity;
        const auto result = OfflineRenderer::render (noisy, 48000.0, source, settings);
        const double reduction = rmsDb (noisy, 60000, 119000) - rmsDb (result.output, 60000, 119000);
        EXPECT_GE (reduction, c.lowDb) << c.amount << "/" << c.sensitivity;
        EXPECT_LE (reduction, c.highDb) << c.amount << "/" << c.sensitivity;

        // Uniform noise of amplitude 0.1 has an RMS of 0.1 / sqrt 3: -24.8 dBFS.
        ASSERT_TRUE (result.noiseLevelDbfs.has_value());
        EXPECT_NEAR (*result.noiseLevelDbfs, 20.0 * std::log10 (0.1 / std::sqrt (3.0)), 0.5);
    }
}

TEST (OfflineRenderer, LearnAtMatchesAClickInAHost)
{
    const int length = 100000, blockSize = 500, clickSample = 12345;
    const auto input = bufferOf ({ test::whiteNoise (length, 0.2f, 6) });

    NoiseSource source;
    source.kind = NoiseSource::Kind::learnAtTime;
    source.learnAtSample = clickSample;
    RenderSettings settings;
    settings.blockSize = blockSize;
    settings.keepLatency = true;
    const auto rendered = OfflineRenderer::render (input, 48000.0, source, settings);
    EXPECT_TRUE (rendered.learned);

    // The host: blocks of 500, the click lands just before the block holding sample 12345.
    auto host = test::makePrepared (48000.0, 1, blockSize);
    const auto signal = channelOf (input, 0);
    const int clickBlock = clickSample / blockSize * blockSize;
    const auto before = test::process (*host, { { signal.begin(), signal.begin() + clickBlock } }, blockSize);
    host->requestLearning();
    const auto after = test::process (*host, { { signal.begin() + clickBlock, signal.end() } }, blockSize);

    auto expected = before[0];
    expected.insert (expected.end(), after[0].begin(), after[0].end());
    EXPECT_EQ (channelOf (rendered.output, 0), expected);
}

TEST (OfflineRenderer, RefusesWhatItCannotDo)
{
    const auto input = bufferOf ({ test::whiteNoise (60000, 0.2f, 7) });

    EXPECT_THROW (OfflineRenderer::render (input, 48000.0, noiseBuffer (input, 0, 48000), {}), RenderError) << "noise too short";

    NoiseSource late;
    late.kind = NoiseSource::Kind::learnAtTime;
    late.learnAtSample = 30000;
    EXPECT_THROW (OfflineRenderer::render (input, 48000.0, late, {}), RenderError) << "pass cannot finish";

    juce::AudioBuffer<float> threeChannels (3, 1000);
    threeChannels.clear();
    EXPECT_THROW (OfflineRenderer::render (threeChannels, 48000.0, {}, {}), RenderError);
}

TEST (OfflineRenderer, NoiseLevelOfAZeroProfileIsMinusInfinity)
{
    const std::vector<float> zeros (numBins, 0.0f);
    EXPECT_TRUE (std::isinf (OfflineRenderer::noiseLevelDbfs (zeros.data())));
}

} // namespace
