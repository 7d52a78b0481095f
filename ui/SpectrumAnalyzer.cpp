#include "ui/SpectrumAnalyzer.h"

#include "ui/Theme.h"

#include <cmath>

namespace qen::ui
{
namespace
{
    constexpr float lowestFrequency = 20.0f;
    constexpr float decadesShown = 3.0f;
    constexpr float floorDecibels = -100.0f;
    constexpr float gridInset = 6.0f;
} // namespace

SpectrumAnalyzer::SpectrumAnalyzer (const AnalyzerTap& tapToRead)
    : tap (tapToRead)
{
    startTimer (timerIntervalMs);
}

SpectrumAnalyzer::~SpectrumAnalyzer()
{
    stopTimer();
}

void SpectrumAnalyzer::timerCallback()
{
    analyse();
    repaint();
}

void SpectrumAnalyzer::copyNewestSamples (const AnalyzerTap& source, float* destination) noexcept
{
    // Only the low bits of the count select a slot, so this stays right after
    // the count has wrapped. Slots the audio thread overwrites meanwhile just
    // make one slightly inconsistent picture.
    const auto written = (uint32_t) source.writeIndex.load (std::memory_order_acquire);

    for (uint32_t i = 0; i < (uint32_t) analyzerFftSize; ++i)
        destination[i] = source.samples[(written - (uint32_t) analyzerFftSize + i) & (uint32_t) AnalyzerTap::slotMask].load (std::memory_order_relaxed);
}

void SpectrumAnalyzer::analyse() noexcept
{
    copyNewestSamples (tap, fftData);
    windowing.multiplyWithWindowingTable (fftData, (size_t) analyzerFftSize);
    fft.performFrequencyOnlyForwardTransform (fftData);

    for (int k = 0; k < numLevels; ++k)
    {
        const float magnitude = fftData[k] * (1.0f / (float) analyzerFftSize);
        const float decibels = magnitude > 0.0f ? juce::jmax (floorDecibels, 20.0f * std::log10 (magnitude)) : floorDecibels;
        const float level = juce::jlimit (0.0f, 1.0f, (decibels + rangeDecibels) / rangeDecibels);
        levels[k] = levels[k] + (level - levels[k]) * smoothing;
    }
}

float SpectrumAnalyzer::normalisedPositionOfBin (int bin) noexcept
{
    const auto frequency = (float) bin * (float) displaySampleRate / (float) analyzerFftSize;
    const auto position = (std::log10 (juce::jmax (frequency, lowestFrequency)) - std::log10 (lowestFrequency)) / decadesShown;
    return juce::jlimit (0.0f, 1.0f, position);
}

juce::Path SpectrumAnalyzer::curvePath (float width, float height) const
{
    const auto pointOf = [&] (int bin)
    {
        return juce::Point<float> (plotInset + normalisedPositionOfBin (bin) * (width - 2.0f * plotInset),
                                   (height - plotInset) - levels[bin] * (height - 2.0f * plotInset));
    };

    juce::Path curve;
    curve.startNewSubPath (pointOf (1));

    for (int k = 2; k < numLevels; ++k)
        curve.lineTo (pointOf (k));

    return curve;
}

void SpectrumAnalyzer::paint (juce::Graphics& g)
{
    const auto& theme = mutableTheme();
    const auto w = (float) getWidth();
    const auto h = (float) getHeight();

    g.setColour (theme.panel);
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, theme.cornerRadius);

    if (w - gridInset > gridInset)
    {
        g.setColour (theme.track.withAlpha (0.6f));
        for (int k = 1; k <= 3; ++k)
            g.drawHorizontalLine ((int) (h * (float) k / 4.0f), gridInset, w - gridInset);
    }

    const auto curve = curvePath (w, h);

    auto fill = curve;
    fill.lineTo (w - plotInset, h - plotInset);
    fill.lineTo (plotInset, h - plotInset);
    fill.closeSubPath();
    g.setGradientFill (juce::ColourGradient (theme.accent.withAlpha (0.35f), 0.0f, plotInset,
                                             theme.ember.withAlpha (0.05f), 0.0f, h - plotInset, false));
    g.fillPath (fill);

    g.setColour (theme.accentBright);
    g.strokePath (curve, juce::PathStrokeType (1.5f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));

    g.setColour (theme.textFaint);
    g.setFont (monoFont (theme.smallSize));
    g.drawText ("SPECTRUM", juce::Rectangle<float> (10.0f, 6.0f, juce::jmax (0.0f, w - 20.0f), juce::jmax (0.0f, h - 12.0f)),
                juce::Justification::topLeft, true);
}

} // namespace qen::ui
