#pragma once

#include "tools/render/OfflineRenderer.h"

#include <juce_core/juce_core.h>

#include <ostream>

namespace qen::render
{

/** A short noisy example made on the spot: steady noise alone for the first
    1.5 seconds, then a harmonic, speech-like voice over the same noise.
    The random seed is fixed, so every run makes the same audio.
*/
struct DemoSignal
{
    static constexpr double sampleRate = 48000.0;
    static constexpr double noiseOnlySeconds = 1.5;
    static constexpr double totalSeconds = 6.0;

    juce::AudioBuffer<float> clean;
    juce::AudioBuffer<float> noise;
    juce::AudioBuffer<float> noisy;

    static DemoSignal make (uint32_t seed = 20261211);
};

/** What the demo measured. */
struct DemoFigures
{
    double noiseReductionDb = 0.0; // level drop in the noise-only stretch
    double snrBeforeDb = 0.0;      // against the clean voice, where the voice plays
    double snrAfterDb = 0.0;
    double noiseLevelDbfs = 0.0;
};

DemoFigures measureDemo (const DemoSignal&, const juce::AudioBuffer<float>& denoised);

/** Makes the demo signal, learns from its noise-only lead-in, and writes
    noisy.wav, denoised.wav and spectrogram.png into the folder.
*/
DemoFigures runDemo (const juce::File& folder, const RenderSettings&, std::ostream& report);

} // namespace qen::render
