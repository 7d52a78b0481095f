#include "test_utils/Signals.h"
#include "ui/SpectrumAnalyzer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{

// Runs the audio thread against a "message thread" that clicks the learn
// button, moves the parameters and reads the tap and the status flag, the way
// the editor and a host do. Built with ThreadSanitizer this fails on any data
// race between them.
TEST (Concurrency, AudioThreadAgainstEditorAndHost)
{
    auto processor = test::makePrepared (48000.0, 2, 256);
    std::atomic<bool> running{ true };

    std::thread audio ([&]
                       {
        juce::AudioBuffer<float> buffer (2, 256);
        juce::MidiBuffer midi;
        const auto noise = test::whiteNoise (256, 0.2f, 4);

        for (int block = 0; block < 1500; ++block)
        {
            buffer.copyFrom (0, 0, noise.data(), 256);
            buffer.copyFrom (1, 0, noise.data(), 256);
            processor->processBlock (buffer, midi);
        }

        running = false; });

    int statusReadsWhileLearning = 0;
    float tapCopy[qen::ui::SpectrumAnalyzer::analyzerFftSize];

    for (int i = 0; running; ++i)
    {
        if (i % 200 == 0)
            processor->requestLearning();

        processor->setParameterValue ("amount", (float) (i % 100));
        processor->setParameterValue ("sensitivity", (float) ((i * 7) % 100));
        processor->setParameterValue ("bypass", (i / 500) % 4 == 3 ? 1.0f : 0.0f);

        qen::ui::SpectrumAnalyzer::copyNewestSamples (processor->analyzerTap, tapCopy);

        if (processor->learning.load())
            ++statusReadsWhileLearning;

        std::this_thread::yield();
    }

    audio.join();

    for (float x : tapCopy)
        ASSERT_TRUE (std::isfinite (x));

    EXPECT_EQ (processor->analyzerTap.writeIndex.load(), 1500 * 256);
    EXPECT_GT (statusReadsWhileLearning, 0);
}

} // namespace
