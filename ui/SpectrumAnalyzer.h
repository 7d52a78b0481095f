#pragma once

#include "plugin/PluginProcessor.h"

#include <juce_dsp/juce_dsp.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace qen::ui
{

/** Live spectrum of the plug-in's output. Thirty times a second it copies the
    newest samples from the processor's tap, windows and transforms them,
    smooths each bin's level and repaints a filled curve over a logarithmic
    frequency axis from 20 Hz to 20 kHz.
*/
class SpectrumAnalyzer : public juce::Component,
                         public juce::Timer
{
public:
    static constexpr int analyzerFftOrder = 11;
    static constexpr int analyzerFftSize = 1 << analyzerFftOrder;
    static constexpr int numLevels = analyzerFftSize / 2;
    static constexpr double displaySampleRate = 48000.0;
    static constexpr int timerIntervalMs = 33;
    static constexpr float smoothing = 0.35f;
    static constexpr float rangeDecibels = 90.0f;
    static constexpr float plotInset = 8.0f;

    explicit SpectrumAnalyzer (const AnalyzerTap& tapToRead);
    ~SpectrumAnalyzer() override;

    void paint (juce::Graphics&) override;

    /** One analysis step: copy, window, transform, smooth. Runs on the timer. */
    void analyse() noexcept;

    const float* getLevels() const noexcept { return levels; }

    /** Copies the analyzerFftSize newest tap samples, oldest first. */
    static void copyNewestSamples (const AnalyzerTap& source, float* destination) noexcept;

    /** Horizontal position of a bin, 0 at 20 Hz to 1 at 20 kHz. */
    static float normalisedPositionOfBin (int bin) noexcept;

    /** The curve through bins 1 to numLevels - 1 in a component of this size. */
    juce::Path curvePath (float width, float height) const;

private:
    void timerCallback() override;

    const AnalyzerTap& tap;
    juce::dsp::FFT fft{ analyzerFftOrder };
    juce::dsp::WindowingFunction<float> windowing{ (size_t) analyzerFftSize, juce::dsp::WindowingFunction<float>::hann, true };
    float fftData[2 * analyzerFftSize]{};
    float levels[numLevels]{};

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (SpectrumAnalyzer)
};

} // namespace qen::ui
