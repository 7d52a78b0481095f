#include "tools/render/Spectrogram.h"

#include "ui/Theme.h"

#include <juce_dsp/juce_dsp.h>

#include <cmath>

namespace qen::render
{
namespace
{
    constexpr int fftOrder = 11;
    constexpr int fftLength = 1 << fftOrder;
    constexpr int margin = 48;
    constexpr int header = 40;
    constexpr int gap = 26;
    constexpr int footer = 28;

    /** Mono mix, so one panel shows what both channels hold. */
    float monoSample (const juce::AudioBuffer<float>& audio, int index)
    {
        float sum = 0.0f;
        for (int ch = 0; ch < audio.getNumChannels(); ++ch)
            sum += audio.getSample (ch, index);
        return sum / (float) juce::jmax (1, audio.getNumChannels());
    }

    float topFrequency (double sampleRate)
    {
        return juce::jmin (Spectrogram::highestFrequency, (float) sampleRate * 0.5f);
    }

    /** Black through ember and amber to near white, from -90 dB to -10 dB; the
        curve keeps quiet residue dark so that loud partials stand out.
    */
    juce::Colour colourForLevel (float decibels)
    {
        const auto& theme = ui::mutableTheme();
        constexpr float darkest = -90.0f, brightest = -10.0f;
        const float x = std::pow (juce::jlimit (0.0f, 1.0f, (decibels - darkest) / (brightest - darkest)), 1.6f);

        const juce::Colour stops[] = { theme.background, theme.ember, theme.accent, theme.accentBright, theme.text };
        const float position = x * 4.0f;
        const int index = juce::jmin (3, (int) position);
        return stops[index].interpolatedWith (stops[index + 1], position - (float) index);
    }
} // namespace

std::vector<float> Spectrogram::columnLevels (const juce::AudioBuffer<float>& audio, double sampleRate,
                                              int centreSample, int numRows)
{
    static const juce::dsp::FFT fft (fftOrder);
    static const juce::dsp::WindowingFunction<float> window ((size_t) fftLength, juce::dsp::WindowingFunction<float>::hann, false);

    std::vector<float> data (2 * fftLength, 0.0f);
    const int first = centreSample - fftLength / 2;

    for (int i = 0; i < fftLength; ++i)
    {
        const int t = first + i;
        data[(size_t) i] = (t >= 0 && t < audio.getNumSamples()) ? monoSample (audio, t) : 0.0f;
    }

    window.multiplyWithWindowingTable (data.data(), (size_t) fftLength);
    fft.performFrequencyOnlyForwardTransform (data.data(), true);

    // A full-scale sine on a bin reads N/4 through a Hann window.
    const float fullScale = (float) fftLength * 0.25f;
    const float low = lowestFrequency, high = topFrequency (sampleRate);
    const float binsPerHertz = (float) fftLength / (float) sampleRate;

    std::vector<float> levels ((size_t) numRows);
    for (int row = 0; row < numRows; ++row)
    {
        const float f0 = low * std::pow (high / low, (float) row / (float) numRows);
        const float f1 = low * std::pow (high / low, (float) (row + 1) / (float) numRows);
        const int b0 = juce::jlimit (0, fftLength / 2, (int) std::floor (f0 * binsPerHertz));
        const int b1 = juce::jlimit (b0, fftLength / 2, (int) std::floor (f1 * binsPerHertz));

        float magnitude = 0.0f;
        for (int b = b0; b <= b1; ++b)
            magnitude = juce::jmax (magnitude, data[(size_t) b]);

        const float relative = magnitude / fullScale;
        levels[(size_t) row] = relative > 0.0f ? juce::jmax (floorDecibels, 20.0f * std::log10 (relative)) : floorDecibels;
    }

    return levels;
}

juce::Image Spectrogram::render (const juce::AudioBuffer<float>& before, const juce::AudioBuffer<float>& after,
                                 double sampleRate, int width, int panelHeight)
{
    const auto& theme = ui::mutableTheme();
    const int plotWidth = juce::jmax (1, width - 2 * margin);
    const int height = header + 2 * panelHeight + gap + footer;
    juce::Image image (juce::Image::RGB, width, height, true);
    juce::Graphics g (image);
    g.fillAll (theme.background);

    g.setColour (theme.accent);
    g.setFont (ui::monoFont (theme.smallSize + 1.0f));
    g.drawText ("QEN VAZEZAV", margin, 10, 200, 16, juce::Justification::left);
    g.setColour (theme.textFaint);
    g.setFont (ui::sansFont (theme.smallSize + 1.0f, false));
    g.drawText ("Spectrogram before and after noise reduction", margin + 110, 10, 400, 16, juce::Justification::left);

    const int length = juce::jmax (before.getNumSamples(), after.getNumSamples());
    const float low = lowestFrequency, high = topFrequency (sampleRate);

    const auto drawPanel = [&] (const juce::AudioBuffer<float>& audio, int top, const char* caption)
    {
        juce::Image plot (juce::Image::RGB, plotWidth, panelHeight, false);
        {
            const juce::Image::BitmapData pixels (plot, juce::Image::BitmapData::writeOnly);
            for (int x = 0; x < plotWidth; ++x)
            {
                const int centre = (int) (((int64_t) x * length + length / 2) / plotWidth);
                const auto levels = columnLevels (audio, sampleRate, centre, panelHeight);
                for (int row = 0; row < panelHeight; ++row)
                    pixels.setPixelColour (x, panelHeight - 1 - row, colourForLevel (levels[(size_t) row]));
            }
        }

        g.drawImageAt (plot, margin, top);
        g.setColour (theme.outline);
        g.drawRect (margin - 1, top - 1, plotWidth + 2, panelHeight + 2);

        g.setColour (theme.text);
        g.setFont (ui::monoFont (theme.bodySize));
        g.drawText (caption, margin + 8, top + 6, 120, 14, juce::Justification::left);

        g.setFont (ui::monoFont (theme.smallSize));
        g.setColour (theme.textFaint);
        for (float f : { 100.0f, 1000.0f, 10000.0f })
        {
            if (f > high)
                continue;
            const int y = top + panelHeight - 1 - (int) std::round (std::log (f / low) / std::log (high / low) * (float) panelHeight);
            g.drawText (f >= 1000.0f ? juce::String ((int) (f / 1000.0f)) + "k" : juce::String ((int) f),
                        0, y - 6, margin - 6, 12, juce::Justification::right);
            g.fillRect (margin - 4, y, 3, 1);
        }
    };

    drawPanel (before, header, "BEFORE");
    drawPanel (after, header + panelHeight + gap, "AFTER");

    // Time axis in seconds under the second panel.
    const double seconds = (double) length / sampleRate;
    const double step = seconds > 30.0 ? 10.0 : (seconds > 8.0 ? 2.0 : 1.0);
    const int axisTop = header + 2 * panelHeight + gap + 4;
    g.setColour (theme.textFaint);
    g.setFont (ui::monoFont (theme.smallSize));
    for (double t = 0.0; t <= seconds; t += step)
    {
        const int x = margin + (int) std::round (t / seconds * plotWidth);
        g.fillRect (x, axisTop - 3, 1, 3);
        g.drawText (juce::String (t, 0) + "s", x - 20, axisTop, 40, 12, juce::Justification::centred);
    }

    return image;
}

} // namespace qen::render
