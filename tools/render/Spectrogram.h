#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <juce_graphics/juce_graphics.h>

namespace qen::render
{

/** A before/after picture: two spectrogram panels over the same time axis,
    frequency on a logarithmic scale upwards, drawn in the plug-in's colours
    on one shared level scale, so what the denoiser took away shows directly.
*/
struct Spectrogram
{
    static juce::Image render (const juce::AudioBuffer<float>& before, const juce::AudioBuffer<float>& after,
                               double sampleRate, int width = 1000, int panelHeight = 260);

    /** Level of a column's bins in dB relative to a full-scale sine, per row
        from the lowest frequency up. Exposed for tests.
    */
    static std::vector<float> columnLevels (const juce::AudioBuffer<float>& audio, double sampleRate,
                                            int centreSample, int numRows);

    static constexpr float lowestFrequency = 40.0f;
    static constexpr float highestFrequency = 20000.0f;
    static constexpr float floorDecibels = -100.0f;
};

} // namespace qen::render
