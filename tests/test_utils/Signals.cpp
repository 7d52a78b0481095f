#include "test_utils/Signals.h"

#include <cmath>
#include <random>

namespace test
{

std::vector<float> sine (int numSamples, double cyclesPerSample, float amplitude, double phase)
{
    std::vector<float> out ((size_t) numSamples);

    for (int i = 0; i < numSamples; ++i)
        out[(size_t) i] = amplitude * (float) std::sin (2.0 * M_PI * cyclesPerSample * i + phase);

    return out;
}

std::vector<float> whiteNoise (int numSamples, float amplitude, uint32_t seed)
{
    std::mt19937 rng (seed);
    std::uniform_real_distribution<float> dist (-amplitude, amplitude);
    std::vector<float> out ((size_t) numSamples);

    for (auto& x : out)
        x = dist (rng);

    return out;
}

std::vector<float> silence (int numSamples) { return std::vector<float> ((size_t) numSamples, 0.0f); }

std::unique_ptr<VazezavProcessor> makePrepared (double sampleRate, int numChannels, int blockSize)
{
    auto processor = std::make_unique<VazezavProcessor>();
    return processor->prepareWithChannels (numChannels, sampleRate, blockSize) ? std::move (processor) : nullptr;
}

std::vector<std::vector<float>> process (VazezavProcessor& processor, const std::vector<std::vector<float>>& input, int blockSize)
{
    const int numChannels = (int) input.size();
    const int length = (int) input.front().size();
    std::vector<std::vector<float>> output (input.size(), std::vector<float> ((size_t) length));

    juce::AudioBuffer<float> buffer (numChannels, blockSize);
    juce::MidiBuffer midi;

    for (int start = 0; start < length; start += blockSize)
    {
        const int n = std::min (blockSize, length - start);
        buffer.setSize (numChannels, n, false, false, true);

        for (int ch = 0; ch < numChannels; ++ch)
            buffer.copyFrom (ch, 0, input[(size_t) ch].data() + start, n);

        processor.processBlock (buffer, midi);

        for (int ch = 0; ch < numChannels; ++ch)
            std::copy_n (buffer.getReadPointer (ch), n, output[(size_t) ch].begin() + start);
    }

    return output;
}

} // namespace test
