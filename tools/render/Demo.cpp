#include "tools/render/Demo.h"

#include "tools/render/AudioFileIO.h"
#include "tools/render/RenderError.h"
#include "tools/render/Spectrogram.h"

#include <juce_graphics/juce_graphics.h>

#include <cmath>
#include <iomanip>
#include <random>

namespace qen::render
{
namespace
{
    constexpr double twoPi = juce::MathConstants<double>::twoPi;

    /** Smooth syllable-like bursts: on for about 0.2 s, with short and long pauses. */
    double syllableEnvelope (double t)
    {
        const double syllable = 0.27;
        const double phase = std::fmod (t, syllable) / syllable;
        const int index = (int) (t / syllable);
        const bool pause = index % 7 == 6 || index % 11 == 10;
        if (pause || phase > 0.8)
            return 0.0;
        return std::pow (std::sin (juce::MathConstants<double>::pi * phase / 0.8), 2.0);
    }

    /** Two formant-like resonances that drift, shaping the harmonics. */
    double formantGain (double frequency, double t)
    {
        const double f1 = 500.0 + 250.0 * std::sin (twoPi * 1.3 * t);
        const double f2 = 1500.0 + 600.0 * std::sin (twoPi * 0.7 * t + 1.0);
        const auto peak = [] (double f, double centre, double width)
        { return 1.0 / (1.0 + std::pow ((f - centre) / width, 2.0)); };
        return 0.15 + peak (frequency, f1, 120.0) + 0.6 * peak (frequency, f2, 200.0);
    }

    double rms (const juce::AudioBuffer<float>& audio, int from, int to)
    {
        double sum = 0.0;
        for (int ch = 0; ch < audio.getNumChannels(); ++ch)
            for (int i = from; i < to; ++i)
                sum += (double) audio.getSample (ch, i) * audio.getSample (ch, i);
        return std::sqrt (sum / ((double) (to - from) * audio.getNumChannels()));
    }

    double snrDb (const juce::AudioBuffer<float>& clean, const juce::AudioBuffer<float>& test, int from, int to)
    {
        double signal = 0.0, error = 0.0;
        for (int ch = 0; ch < clean.getNumChannels(); ++ch)
            for (int i = from; i < to; ++i)
            {
                const double c = clean.getSample (ch, i);
                const double e = (double) test.getSample (ch, i) - c;
                signal += c * c;
                error += e * e;
            }
        return 10.0 * std::log10 (signal / error);
    }
} // namespace

DemoSignal DemoSignal::make (uint32_t seed)
{
    const int length = (int) (totalSeconds * sampleRate);
    const int voiceStart = (int) (noiseOnlySeconds * sampleRate);

    DemoSignal demo;
    demo.clean.setSize (1, length);
    demo.noise.setSize (1, length);
    demo.noisy.setSize (1, length);
    demo.clean.clear();

    // The voice: a gliding, slightly vibrating fundamental with harmonics up
    // to 8 kHz, shaped by drifting formants and cut into syllables.
    double phase = 0.0;
    for (int i = voiceStart; i < length; ++i)
    {
        const double t = (double) (i - voiceStart) / sampleRate;
        const double f0 = 120.0 + 35.0 * std::sin (twoPi * 0.35 * t) + 3.0 * std::sin (twoPi * 5.5 * t);
        phase += twoPi * f0 / sampleRate;

        double value = 0.0;
        for (int h = 1; h * f0 < 8000.0; ++h)
            value += formantGain (h * f0, t) / std::sqrt ((double) h) * std::sin (h * phase);

        demo.clean.setSample (0, i, (float) (0.12 * syllableEnvelope (t) * value));
    }

    // Steady white noise at about -36 dBFS RMS.
    std::mt19937 rng (seed);
    std::uniform_real_distribution<float> uniform (-1.0f, 1.0f);
    for (int i = 0; i < length; ++i)
        demo.noise.setSample (0, i, 0.027f * uniform (rng));

    for (int i = 0; i < length; ++i)
        demo.noisy.setSample (0, i, demo.clean.getSample (0, i) + demo.noise.getSample (0, i));

    return demo;
}

DemoFigures measureDemo (const DemoSignal& demo, const juce::AudioBuffer<float>& denoised)
{
    const int voiceStart = (int) (DemoSignal::noiseOnlySeconds * DemoSignal::sampleRate);
    const int length = demo.noisy.getNumSamples();

    // Skip the first tenth of a second, where the first frames are still filling.
    const int quietFrom = (int) (0.1 * DemoSignal::sampleRate);
    const int quietTo = voiceStart - (int) (0.05 * DemoSignal::sampleRate);

    DemoFigures figures;
    figures.noiseReductionDb = 20.0 * std::log10 (rms (demo.noisy, quietFrom, quietTo) / rms (denoised, quietFrom, quietTo));
    figures.snrBeforeDb = snrDb (demo.clean, demo.noisy, voiceStart, length);
    figures.snrAfterDb = snrDb (demo.clean, denoised, voiceStart, length);
    return figures;
}

DemoFigures runDemo (const juce::File& folder, const RenderSettings& settings, std::ostream& report)
{
    if (! folder.isDirectory() && ! folder.createDirectory())
        throw RenderError ("cannot create the folder '" + folder.getFullPathName().toStdString() + "'");

    const auto demo = DemoSignal::make();
    const int voiceStart = (int) (DemoSignal::noiseOnlySeconds * DemoSignal::sampleRate);

    NoiseSource source;
    source.kind = NoiseSource::Kind::buffer;
    source.noise.setSize (1, voiceStart);
    source.noise.copyFrom (0, 0, demo.noisy, 0, 0, voiceStart);

    const auto result = OfflineRenderer::render (demo.noisy, DemoSignal::sampleRate, source, settings);
    auto figures = measureDemo (demo, result.output);
    figures.noiseLevelDbfs = result.noiseLevelDbfs.value_or (0.0);

    const auto noisyFile = folder.getChildFile ("noisy.wav");
    const auto denoisedFile = folder.getChildFile ("denoised.wav");
    const auto pictureFile = folder.getChildFile ("spectrogram.png");
    writeAudioFileAtomically (noisyFile, demo.noisy, DemoSignal::sampleRate, 24, false);
    writeAudioFileAtomically (denoisedFile, result.output, DemoSignal::sampleRate, 24, false);

    const auto picture = Spectrogram::render (demo.noisy, result.output, DemoSignal::sampleRate);
    writeStreamAtomically (pictureFile, [&] (juce::OutputStream& out)
                           { juce::PNGImageFormat().writeImageToStream (picture, out); });

    report << std::fixed << std::setprecision (1)
           << "demo: " << DemoSignal::totalSeconds << " s at 48 kHz, voice after " << DemoSignal::noiseOnlySeconds
           << " s of noise only; amount " << settings.amount << " %, sensitivity " << settings.sensitivity << " %\n"
           << "learned noise level: " << figures.noiseLevelDbfs << " dBFS\n"
           << "noise reduction in the noise-only stretch: " << figures.noiseReductionDb << " dB\n"
           << "signal-to-noise ratio against the clean voice: " << figures.snrBeforeDb << " dB before, "
           << figures.snrAfterDb << " dB after\n"
           << "wrote " << noisyFile.getFullPathName() << "\n"
           << "wrote " << denoisedFile.getFullPathName() << "\n"
           << "wrote " << pictureFile.getFullPathName() << "\n";

    return figures;
}

} // namespace qen::render
