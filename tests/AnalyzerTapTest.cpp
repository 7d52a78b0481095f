#include "test_utils/Signals.h"

#include <gtest/gtest.h>

#include <limits>

namespace
{

/** The newest `count` tap samples, oldest first, read the way the display does. */
std::vector<float> newest (const AnalyzerTap& tap, int count)
{
    const auto w = (uint32_t) tap.writeIndex.load (std::memory_order_acquire);
    std::vector<float> out ((size_t) count);
    for (int j = 0; j < count; ++j)
        out[(size_t) j] = tap.samples[(w - (uint32_t) count + (uint32_t) j) & (uint32_t) AnalyzerTap::slotMask].load();
    return out;
}

class Tap : public ::testing::Test
{
protected:
    void SetUp() override { processor->setParameterValue ("bypass", 1.0f); } // tap sees the input

    std::unique_ptr<VazezavProcessor> processor = test::makePrepared();
};

TEST_F (Tap, StartsAsZeros)
{
    VazezavProcessor fresh;
    EXPECT_EQ (fresh.analyzerTap.writeIndex.load(), 0);
    for (float x : newest (fresh.analyzerTap, 2048))
        ASSERT_EQ (x, 0.0f);
}

TEST_F (Tap, HoldsTheMonoMixOfTheOutput)
{
    const std::vector<float> ones (300, 1.0f), minusOnes (300, -1.0f);
    test::process (*processor, { ones, minusOnes }, 300);
    for (float x : newest (processor->analyzerTap, 300))
        ASSERT_EQ (x, 0.0f);

    const auto signal = test::whiteNoise (300, 1.0f, 3);
    test::process (*processor, { signal, signal }, 300);
    EXPECT_EQ (newest (processor->analyzerTap, 300), signal);

    const auto other = test::whiteNoise (300, 1.0f, 4);
    test::process (*processor, { signal, other }, 300);
    const auto tapped = newest (processor->analyzerTap, 300);
    for (size_t i = 0; i < 300; ++i)
        ASSERT_EQ (tapped[i], (signal[i] + other[i]) * 0.5f);
}

TEST_F (Tap, CountsSamplesAndWrapsTheRing)
{
    auto ramp = test::silence (5000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = (float) i;

    test::process (*processor, { ramp, ramp }, 700);
    EXPECT_EQ (processor->analyzerTap.writeIndex.load(), 5000);
    EXPECT_EQ (processor->analyzerTap.samples[903].load(), 4999.0f);
    EXPECT_EQ (processor->analyzerTap.samples[904].load(), 904.0f) << "the oldest sample follows the newest";

    // Wrapping with writeIndex 100: slots 2148..4095 then 0..99.
    const auto frame = newest (processor->analyzerTap, 2048);
    EXPECT_EQ (frame.front(), 5000.0f - 2048.0f);
    EXPECT_EQ (frame.back(), 4999.0f);
}

TEST_F (Tap, SlotsStayRightWhenTheCountPassesInt32Max)
{
    const int32_t start = std::numeric_limits<int32_t>::max() - 9;
    processor->analyzerTap.writeIndex.store (start);

    auto ramp = test::silence (20);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = (float) (i + 1);

    test::process (*processor, { ramp, ramp }, 7);

    EXPECT_EQ (processor->analyzerTap.writeIndex.load(), std::numeric_limits<int32_t>::min() + 10);
    for (int i = 0; i < 20; ++i)
    {
        const auto slot = (uint32_t) ((int64_t) start + i) & 4095u;
        EXPECT_EQ (processor->analyzerTap.samples[slot].load(), (float) (i + 1)) << i;
    }
    EXPECT_EQ (newest (processor->analyzerTap, 20), ramp);
}

TEST_F (Tap, EmptyBlockWritesNothing)
{
    juce::AudioBuffer<float> empty (2, 0);
    juce::MidiBuffer midi;
    processor->processBlock (empty, midi);
    EXPECT_EQ (processor->analyzerTap.writeIndex.load(), 0);
}

TEST_F (Tap, WhileProcessingItHoldsTheDelayedOutput)
{
    processor->setParameterValue ("bypass", 0.0f);
    const auto in = test::whiteNoise (3000, 0.5f, 8);
    const auto out = test::process (*processor, { in, in }, 512);
    EXPECT_EQ (newest (processor->analyzerTap, 3000), out[0]);
}

} // namespace
