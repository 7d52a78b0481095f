#include "test_utils/AllocationCounter.h"
#include "test_utils/Signals.h"

#include <gtest/gtest.h>

#include <mutex>

namespace
{

void* volatile escaped = nullptr; // keeps the compiler from eliding the allocations below

void allocateAndLock (std::mutex& mutex, juce::CriticalSection& section)
{
    auto* p = new int (3);
    escaped = p;
    delete p;
    escaped = std::malloc (10);
    std::free (escaped);
    {
        const std::lock_guard lock (mutex);
    }
    {
        const juce::ScopedLock lock (section);
    }
}

TEST (RealtimeWatch, SeesAllocationsAndLocks)
{
    if (! test::RealtimeWatch::isAvailable())
        GTEST_SKIP() << "allocation counting is not available in this build";

    std::mutex mutex;
    juce::CriticalSection section;
    allocateAndLock (mutex, section); // first calls resolve symbols and statics

    test::RealtimeWatch watch;
    allocateAndLock (mutex, section);
    EXPECT_EQ (watch.allocations(), 4) << "new, delete, malloc, free";
    EXPECT_EQ (watch.locks(), 2);
}

struct Scenario
{
    int numChannels;
    int blockSize;
    bool learn;
    bool bypass;
};

class ProcessBlockIsRealtimeSafe : public ::testing::TestWithParam<Scenario>
{
};

TEST_P (ProcessBlockIsRealtimeSafe, NoAllocationNoLock)
{
    if (! test::RealtimeWatch::isAvailable())
        GTEST_SKIP() << "allocation counting is not available in this build";

    const auto scenario = GetParam();
    auto processor = test::makePrepared (48000.0, scenario.numChannels, scenario.blockSize);
    ASSERT_NE (processor, nullptr);

    const auto noise = test::whiteNoise (scenario.blockSize, 0.3f, 1);
    juce::AudioBuffer<float> buffer (scenario.numChannels, scenario.blockSize);
    juce::MidiBuffer midi;
    midi.ensureSize (64);

    const int totalSamples = 48000 * 2;
    int allocations = 0, locks = 0;

    for (int done = 0, block = 0; done < totalSamples; done += scenario.blockSize, ++block)
    {
        // Requests and parameter changes come from outside the audio callback.
        if (scenario.learn && block == 0)
            processor->requestLearning();

        processor->setParameterValue ("amount", (float) (block % 101));
        processor->setParameterValue ("bypass", scenario.bypass && (block / 20) % 2 == 0 ? 1.0f : 0.0f);

        for (int ch = 0; ch < scenario.numChannels; ++ch)
            buffer.copyFrom (ch, 0, noise.data(), scenario.blockSize);

        test::RealtimeWatch watch;
        processor->processBlock (buffer, midi);
        allocations += watch.allocations();
        locks += watch.locks();
    }

    EXPECT_EQ (allocations, 0);
    EXPECT_EQ (locks, 0);
    if (scenario.learn)
        EXPECT_FALSE (processor->learnRequested.load()) << "a pass was started";
}

INSTANTIATE_TEST_SUITE_P (Scenarios, ProcessBlockIsRealtimeSafe,
                          ::testing::Values (Scenario{ 2, 1, true, false },
                                             Scenario{ 2, 64, false, false },
                                             Scenario{ 2, 500, true, true },
                                             Scenario{ 2, 4096, true, false },
                                             Scenario{ 1, 512, true, true },
                                             Scenario{ 1, 4096, false, true }),
                          [] (const auto& info)
                          {
                              const auto& s = info.param;
                              return std::to_string (s.numChannels) + "ch_block" + std::to_string (s.blockSize)
                                     + (s.learn ? "_learning" : "") + (s.bypass ? "_bypassToggling" : "");
                          });

} // namespace
