#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <span>

/** Sizes of the noise reducer, counted in samples or bins. */
inline constexpr int fftSize = 1024;
inline constexpr int hopSize = 256;
inline constexpr int numBins = fftSize / 2 + 1;
inline constexpr int maxChannels = 2;
inline constexpr int analyzerSize = 4096;

/** The plug-in's three automatable parameters. */
struct Params
{
    static constexpr const char* amountId = "amount";
    static constexpr const char* sensitivityId = "sensitivity";
    static constexpr const char* bypassId = "bypass";

    static juce::AudioProcessorValueTreeState::ParameterLayout createLayout();
};

/** A mono copy of the plug-in's output for the spectrum display.

    The audio thread is the only writer. writeIndex counts samples written
    (wrapping); sample i lives in slot i & (analyzerSize - 1). The slots are
    relaxed atomics so that the display may copy them while they are written.
*/
struct AnalyzerTap
{
    std::array<std::atomic<float>, analyzerSize> samples{};
    std::atomic<int32_t> writeIndex{ 0 };

    static constexpr int32_t slotMask = analyzerSize - 1;
};

class VazezavProcessor : public juce::AudioProcessor
{
public:
    VazezavProcessor();
    ~VazezavProcessor() override;

    const juce::String getName() const override;

    void prepareToPlay (double newSampleRate, int maximumExpectedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midiMessages) override;
    using AudioProcessor::processBlock;

    double getTailLengthSeconds() const override;
    bool acceptsMidi() const override;
    bool producesMidi() const override;
    bool isMidiEffect() const override;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    int getNumPrograms() override;
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int index, const juce::String& newName) override;

    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    /** The current noise profile, one magnitude per bin, for read-only use by
        whoever prepares and drives the processor (never while it processes on
        another thread).
    */
    std::span<const float, numBins> getNoiseProfile() const noexcept { return noiseProfile; }

    /** Starts a learning pass of one second at the current rate: the target
        first, then the request that publishes it. The LEARN NOISE button and
        offline hosts both start a pass this way.
    */
    void requestLearning() noexcept;

    /** Frames one pass averages at a rate: the hops in one second, truncated. */
    static int32_t learningFramesFor (double rate) noexcept;

    /** Sets the mono (1) or stereo (2) layout and prepares, as a host does
        before it plays. Returns false for a layout the plug-in refuses.
    */
    bool prepareWithChannels (int channelCount, double newSampleRate, int samplesPerBlock);

    /** Sets a parameter from its real value, telling the host. */
    void setParameterValue (const juce::String& id, float realValue);

    //==============================================================================
    // Shared with the editor side.
    juce::AudioProcessorValueTreeState apvts;

private:
    std::atomic<float>* amountParam = nullptr;
    std::atomic<float>* sensitivityParam = nullptr;
    std::atomic<float>* bypassParam = nullptr;

public:
    /** Written by prepareToPlay, read by the learn button to size a pass. */
    std::atomic<double> sampleRate{ 48000.0 };

private:
    size_t numChannels = maxChannels;
    float window[fftSize]{};
    float olaGain = 0.6667f;
    float floorGain = 0.1f;
    float thresholdFactor = 2.0f;
    float inputRing[maxChannels][fftSize]{};
    float outputRing[maxChannels][fftSize]{};
    int32_t ringPos[maxChannels]{};
    int32_t hopCounter[maxChannels]{};
    double fftRe[fftSize]{};
    double fftIm[fftSize]{};
    float noiseProfile[numBins]{};
    double noiseAccum[numBins]{};

public:
    /** True while a learning pass runs; written by the audio thread only. */
    std::atomic<bool> learning{ false };
    /** Raised by the editor; taken by the audio thread at channel 0's next frame. */
    std::atomic<bool> learnRequested{ false };

private:
    int32_t learnedFrames = 0;

public:
    /** Frames one pass averages; written by the editor just before it raises learnRequested. */
    std::atomic<int32_t> learnTargetFrames{ 180 };

    AnalyzerTap analyzerTap;

private:
    void prepareWindow() noexcept;
    void updateGainsFromParameters() noexcept;
    void processSample (int channel, float& sample) noexcept;
    void processFrame (int channel, int32_t start) noexcept;
    void startLearningIfRequested() noexcept;
    void applyGains (bool learningFrame) noexcept;
    void finishLearningFrame() noexcept;
    void inverseTransform() noexcept;
    void overlapAdd (int channel, int32_t start) noexcept;
    void writeAnalyzerTap (const juce::AudioBuffer<float>& buffer) noexcept;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VazezavProcessor)
};
