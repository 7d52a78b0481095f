#include "tools/render/RenderJob.h"

#include "tools/render/AudioFileIO.h"
#include "tools/render/RenderError.h"
#include "tools/render/Spectrogram.h"

#include <juce_graphics/juce_graphics.h>

#include <cmath>
#include <iomanip>
#include <sstream>

namespace qen::render
{
namespace
{
    std::string seconds (double value, int decimals = 3)
    {
        std::ostringstream text;
        text << std::fixed << std::setprecision (decimals) << value << " s";
        return text.str();
    }

    std::string learningNeed (double sampleRate, int64_t samples)
    {
        return seconds ((double) samples / sampleRate) + " (" + std::to_string (samples) + " samples at "
               + std::to_string ((int) std::lround (sampleRate)) + " Hz)";
    }

    NoiseSource noiseFromRange (const AudioFile& input, double start, double end)
    {
        const double duration = input.samples.getNumSamples() / input.sampleRate;

        if (! (start >= 0.0 && end > start && end <= duration + 1e-9))
            throw RenderError ("the noise range " + seconds (start, 2) + " to " + seconds (end, 2)
                               + " does not lie inside the input, which is " + seconds (duration, 2) + " long");

        const auto first = (int) std::llround (start * input.sampleRate);
        const auto last = (int) std::min<int64_t> (input.samples.getNumSamples(), std::llround (end * input.sampleRate));
        const auto needed = OfflineRenderer::samplesNeededToLearn (input.sampleRate);

        if (last - first < needed)
            throw RenderError ("the noise range is " + seconds ((last - first) / input.sampleRate) + " long; learning needs at least "
                               + learningNeed (input.sampleRate, needed));

        NoiseSource source;
        source.kind = NoiseSource::Kind::buffer;
        source.noise.setSize (input.samples.getNumChannels(), last - first);
        for (int ch = 0; ch < input.samples.getNumChannels(); ++ch)
            source.noise.copyFrom (ch, 0, input.samples, ch, first, last - first);
        return source;
    }

    NoiseSource noiseFromFile (const AudioFile& input, const juce::File& file)
    {
        auto noise = readAudioFile (file);

        if (std::abs (noise.sampleRate - input.sampleRate) > 1e-6)
            throw RenderError ("the noise file is at " + std::to_string ((int) std::lround (noise.sampleRate)) + " Hz but the input is at "
                               + std::to_string ((int) std::lround (input.sampleRate)) + " Hz");

        const auto needed = OfflineRenderer::samplesNeededToLearn (input.sampleRate);
        if (noise.samples.getNumSamples() < needed)
            throw RenderError ("the noise file is " + seconds (noise.samples.getNumSamples() / noise.sampleRate)
                               + " long; learning needs at least " + learningNeed (input.sampleRate, needed));

        NoiseSource source;
        source.kind = NoiseSource::Kind::buffer;
        source.noise = std::move (noise.samples);
        return source;
    }

    NoiseSource noiseFromLearnTime (const AudioFile& input, double at, int blockSize)
    {
        const double duration = input.samples.getNumSamples() / input.sampleRate;
        if (! (at >= 0.0 && at < duration))
            throw RenderError ("--learn-at " + seconds (at, 2) + " lies outside the input, which is " + seconds (duration, 2) + " long");

        NoiseSource source;
        source.kind = NoiseSource::Kind::learnAtTime;
        source.learnAtSample = (int64_t) std::floor (at * input.sampleRate);

        const int64_t blockStart = source.learnAtSample / blockSize * blockSize;
        const int64_t remaining = input.samples.getNumSamples() - blockStart;
        const auto needed = OfflineRenderer::samplesNeededAfterLearnRequest (input.sampleRate);

        if (remaining < needed)
            throw RenderError ("--learn-at " + seconds (at, 2) + " leaves " + seconds (remaining / input.sampleRate)
                               + " of input; the learning pass needs " + learningNeed (input.sampleRate, needed));

        return source;
    }

    void checkPicturePath (const juce::File& picture, const RenderOptions& options)
    {
        if (picture.getFileExtension().toLowerCase() != ".png")
            throw RenderError ("the spectrogram must be a .png file");
        if (isSameFile (picture, options.output))
            throw RenderError ("the spectrogram and the output are the same file");
        checkOutputPath (picture, options.input);
    }

    void drawProgress (std::ostream& out, double fraction)
    {
        constexpr int width = 40;
        const int filled = (int) (fraction * width);
        out << "\r[" << std::string ((size_t) filled, '#') << std::string ((size_t) (width - filled), ' ') << "] "
            << std::setw (3) << (int) (fraction * 100.0) << "%" << std::flush;
    }
} // namespace

RenderSummary RenderJob::run (const RenderOptions& options, std::ostream& messages)
{
    const auto input = readAudioFile (options.input);
    checkOutputPath (options.output, options.input);
    checkAudioOutputFormat (options.output, options.floatOutput);
    if (options.spectrogram)
        checkPicturePath (*options.spectrogram, options);

    NoiseSource noise;
    if (options.noiseRange)
        noise = noiseFromRange (input, options.noiseRange->first, options.noiseRange->second);
    else if (options.noiseFile)
        noise = noiseFromFile (input, *options.noiseFile);
    else if (options.learnAtSeconds)
        noise = noiseFromLearnTime (input, *options.learnAtSeconds, options.settings.blockSize);
    else
        messages << "vazezav-render: no noise given (--noise, --noise-file or --learn-at): the placeholder profile "
                    "passes the audio almost unchanged\n";

    const double duration = input.samples.getNumSamples() / input.sampleRate;
    OfflineRenderer::Progress progress;
    int lastPercent = -1;
    if (options.showProgress && duration > 5.0)
        progress = [&] (double fraction)
        {
            if (const int percent = (int) (fraction * 100.0); percent != lastPercent)
            {
                lastPercent = percent;
                drawProgress (messages, fraction);
            }
        };

    const auto result = OfflineRenderer::render (input.samples, input.sampleRate, noise, options.settings, progress);
    if (progress)
        messages << "\n";

    writeAudioFileAtomically (options.output, result.output, input.sampleRate, input.bitsPerSample,
                              options.floatOutput || (input.isFloatingPoint && options.output.hasFileExtension ("wav")));

    if (options.spectrogram)
    {
        const auto picture = Spectrogram::render (input.samples, result.output, input.sampleRate);
        writeStreamAtomically (*options.spectrogram, [&] (juce::OutputStream& out)
                               { juce::PNGImageFormat().writeImageToStream (picture, out); });
    }

    RenderSummary summary;
    summary.seconds = duration;
    summary.cpuSeconds = result.cpuSeconds;
    summary.noiseLevelDbfs = result.noiseLevelDbfs;
    messages << describe (summary, input.samples.getNumChannels(), input.sampleRate) << "\n";
    return summary;
}

std::string RenderJob::describe (const RenderSummary& summary, int numChannels, double sampleRate)
{
    std::ostringstream text;
    text << std::fixed << std::setprecision (2) << summary.seconds << " s of " << (numChannels == 1 ? "mono" : "stereo")
         << " audio at " << (int) std::lround (sampleRate) << " Hz in " << std::setprecision (3) << summary.cpuSeconds
         << " s of CPU (" << std::setprecision (0)
         << (summary.cpuSeconds > 0.0 ? summary.seconds / summary.cpuSeconds : 0.0) << "x real time); ";

    if (summary.noiseLevelDbfs)
        text << "learned noise " << std::setprecision (1) << *summary.noiseLevelDbfs << " dBFS";
    else
        text << "no noise learned";

    return text.str();
}

} // namespace qen::render
