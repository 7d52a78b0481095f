#include "tools/render/OfflineRenderer.h"

#include "dsp/HannWindow.h"
#include "plugin/PluginProcessor.h"
#include "tools/render/RenderError.h"

#include <cmath>
#include <ctime>

namespace qen::render
{
namespace
{
    using Processor = VazezavProcessor;

    std::unique_ptr<Processor> createProcessor (int numChannels, double sampleRate, int blockSize)
    {
        std::unique_ptr<juce::AudioProcessor> created (createPluginFilter());
        std::unique_ptr<Processor> processor (dynamic_cast<Processor*> (created.get()));
        if (processor == nullptr)
            throw RenderError ("internal error: the plug-in factory made an unexpected processor");
        created.release();

        processor->setNonRealtime (true);
        if (! processor->prepareWithChannels (numChannels, sampleRate, blockSize))
            throw RenderError ("the plug-in does not accept " + std::to_string (numChannels) + " channels");

        return processor;
    }

    /** Feeds audio through the processor block by block, counting samples. */
    class BlockFeeder
    {
    public:
        BlockFeeder (Processor& p, int numChannels, int blockSize)
            : processor (p)
            , block (numChannels, blockSize)
            , blockSize (blockSize)
        {
        }

        /** Plays `count` samples of `source` from `start` (silence where source is
            null or shorter) and hands each processed block to `sink`.
        */
        template <typename Sink, typename BeforeBlock>
        void play (const juce::AudioBuffer<float>* source, int64_t start, int64_t count, Sink&& sink, BeforeBlock&& beforeBlock)
        {
            for (int64_t done = 0; done < count;)
            {
                const int n = (int) std::min<int64_t> (blockSize, count - done);
                block.setSize (block.getNumChannels(), n, false, false, true);

                for (int ch = 0; ch < block.getNumChannels(); ++ch)
                {
                    block.clear (ch, 0, n);

                    if (source != nullptr && source->getNumChannels() > 0)
                    {
                        const int sourceChannel = std::min (ch, source->getNumChannels() - 1);
                        const int64_t from = start + done;
                        const int available = (int) juce::jlimit<int64_t> (0, n, source->getNumSamples() - from);

                        if (available > 0)
                            block.copyFrom (ch, 0, *source, sourceChannel, (int) from, available);
                    }
                }

                if (! beforeBlock (samplesPlayed, n))
                    return;

                processor.processBlock (block, midi);
                sink (block, samplesPlayed);
                samplesPlayed += n;
                done += n;
            }
        }

        int64_t played() const noexcept { return samplesPlayed; }

    private:
        Processor& processor;
        juce::AudioBuffer<float> block;
        juce::MidiBuffer midi;
        int blockSize;
        int64_t samplesPlayed = 0;
    };

    constexpr auto ignoreOutput = [] (const juce::AudioBuffer<float>&, int64_t) {};
    constexpr auto always = [] (int64_t, int)
    { return true; };

    double processCpuSeconds() { return (double) std::clock() / CLOCKS_PER_SEC; }
} // namespace

int OfflineRenderer::framesPerPass (double sampleRate) noexcept
{
    return VazezavProcessor::learningFramesFor (sampleRate);
}

int64_t OfflineRenderer::samplesNeededToLearn (double sampleRate) noexcept
{
    return (int64_t) framesPerPass (sampleRate) * hopSize + fftSize;
}

int64_t OfflineRenderer::samplesNeededAfterLearnRequest (double sampleRate) noexcept
{
    // The request waits for the next frame (up to one hop), then the pass runs.
    return (int64_t) framesPerPass (sampleRate) * hopSize + hopSize;
}

double OfflineRenderer::noiseLevelDbfs (const float* profile) noexcept
{
    // The profile holds mean magnitudes; for noise the mean square of a bin
    // is 4/pi times its squared mean (Rayleigh). Parseval then gives the
    // mean square of the windowed frame, and the window's energy the signal's.
    double windowEnergy = 0.0;
    for (int n = 0; n < fftSize; ++n)
        windowEnergy += (double) qen::symmetricHann (n, fftSize) * qen::symmetricHann (n, fftSize);

    double spectrumEnergy = 0.0;
    for (int b = 0; b < numBins; ++b)
    {
        const double meanSquare = 4.0 / juce::MathConstants<double>::pi * (double) profile[b] * profile[b];
        spectrumEnergy += (b == 0 || b == numBins - 1) ? meanSquare : 2.0 * meanSquare;
    }

    const double meanSquare = spectrumEnergy / ((double) fftSize * windowEnergy);
    return meanSquare > 0.0 ? 10.0 * std::log10 (meanSquare) : -std::numeric_limits<double>::infinity();
}

RenderResult OfflineRenderer::render (const juce::AudioBuffer<float>& input, double sampleRate,
                                      const NoiseSource& noise, const RenderSettings& settings,
                                      const Progress& progress)
{
    const int numChannels = input.getNumChannels();
    const int64_t length = input.getNumSamples();

    if (numChannels < 1 || numChannels > 2)
        throw RenderError ("only mono and stereo audio can be processed (this has " + std::to_string (numChannels) + " channels)");
    if (settings.blockSize < 1)
        throw RenderError ("the block size must be at least 1");

    const double cpuStart = processCpuSeconds();
    auto processor = createProcessor (numChannels, sampleRate, settings.blockSize);
    processor->setParameterValue (Params::amountId, settings.amount);
    processor->setParameterValue (Params::sensitivityId, settings.sensitivity);

    BlockFeeder feeder (*processor, numChannels, settings.blockSize);
    const auto passDone = [&]
    { return ! processor->learnRequested.load() && ! processor->learning.load(); };

    if (noise.kind == NoiseSource::Kind::buffer)
    {
        if (noise.noise.getNumSamples() < samplesNeededToLearn (sampleRate))
            throw RenderError ("the noise stretch is too short to learn from");

        // Fill the input ring with noise first, so that every frame of the
        // pass is noise only; then request the pass and play until it ends.
        constexpr int64_t ringFill = fftSize - hopSize;
        feeder.play (&noise.noise, 0, ringFill, ignoreOutput, always);
        processor->requestLearning();
        feeder.play (&noise.noise, ringFill, noise.noise.getNumSamples() - ringFill, ignoreOutput,
                     [&] (int64_t, int)
                     { return ! passDone(); });

        if (! passDone())
            throw RenderError ("the noise stretch ended before the learning pass did");

        // Let the rings run empty, ending on a multiple of the frame length so
        // that the input meets the same frame alignment as in a fresh instance.
        const int64_t minimum = feeder.played() + 2 * fftSize + hopSize;
        const int64_t flushEnd = (minimum + fftSize - 1) / fftSize * fftSize;
        feeder.play (nullptr, 0, flushEnd - feeder.played(), ignoreOutput, always);
    }

    RenderResult result;
    result.output.setSize (numChannels, (int) length);
    result.output.clear();

    const int64_t latency = settings.keepLatency ? 0 : fftSize;
    const int64_t start = feeder.played();
    const int64_t learnAt = noise.kind == NoiseSource::Kind::learnAtTime ? noise.learnAtSample : -1;
    bool learnRequestRaised = false;

    const auto beforeBlock = [&] (int64_t played, int n)
    {
        const int64_t position = played - start;

        if (learnAt >= 0 && ! learnRequestRaised && learnAt < position + n)
        {
            processor->requestLearning();
            learnRequestRaised = true;
        }

        return true;
    };

    const auto collect = [&] (const juce::AudioBuffer<float>& block, int64_t played)
    {
        const int64_t position = played - start;

        // The part of this block that lands inside the output.
        const int64_t first = std::max<int64_t> (0, latency - position);
        const int64_t last = std::min<int64_t> (block.getNumSamples(), length + latency - position);

        if (last > first)
            for (int ch = 0; ch < numChannels; ++ch)
                result.output.copyFrom (ch, (int) (position + first - latency), block, ch, (int) first, (int) (last - first));

        if (progress)
            progress ((double) (position + block.getNumSamples()) / (double) (length + latency));
    };

    feeder.play (&input, 0, length + latency, collect, beforeBlock);

    // A buffer pass is complete by now (checked above); a pass started
    // during play must have finished before the input ran out.
    if (noise.kind == NoiseSource::Kind::learnAtTime && ! (learnRequestRaised && passDone()))
        throw RenderError ("the input ended before the learning pass did");

    result.learned = noise.kind != NoiseSource::Kind::none;

    if (result.learned)
        result.noiseLevelDbfs = noiseLevelDbfs (processor->getNoiseProfile().data());

    result.cpuSeconds = processCpuSeconds() - cpuStart;
    return result;
}

} // namespace qen::render
