#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <functional>
#include <optional>

namespace qen::render
{

/** Where the noise profile comes from. */
struct NoiseSource
{
    enum class Kind
    {
        none,       // keep the placeholder profile
        buffer,     // learn from a noise-only recording first (a stretch of the input or another file)
        learnAtTime // raise the request during processing, as a click in a host would
    };

    Kind kind = Kind::none;
    juce::AudioBuffer<float> noise; // for Kind::buffer
    int64_t learnAtSample = 0;      // for Kind::learnAtTime
};

struct RenderSettings
{
    float amount = 70.0f;
    float sensitivity = 40.0f;
    int blockSize = 512;
    bool keepLatency = false;
};

struct RenderResult
{
    juce::AudioBuffer<float> output;
    bool learned = false;
    /** RMS level of the learned noise in dBFS (a full-scale square wave is 0 dBFS). */
    std::optional<double> noiseLevelDbfs;
    double cpuSeconds = 0.0;
};

/** Runs the plug-in's own processor over a whole recording, the way a host
    would, with the latency compensated unless asked otherwise.

    With a noise buffer it learns first: the buffer is played into the engine
    with a learn request raised once the engine's input ring is full of noise,
    then the rings run empty on silence, and the input is processed from its
    start with the learned profile.
*/
class OfflineRenderer
{
public:
    using Progress = std::function<void (double fraction)>;

    static RenderResult render (const juce::AudioBuffer<float>& input, double sampleRate,
                                const NoiseSource& noise, const RenderSettings& settings,
                                const Progress& progress = {});

    /** Learning frames one pass averages at this rate. */
    static int framesPerPass (double sampleRate) noexcept;

    /** Noise-only samples needed to learn from a buffer: one hop per learning
        frame plus one whole frame.
    */
    static int64_t samplesNeededToLearn (double sampleRate) noexcept;

    /** Samples needed after the learn request when learning during processing. */
    static int64_t samplesNeededAfterLearnRequest (double sampleRate) noexcept;

    /** RMS level estimated from a noise profile of mean FFT magnitudes. */
    static double noiseLevelDbfs (const float* profile) noexcept;
};

} // namespace qen::render
