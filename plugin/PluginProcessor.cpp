#include "plugin/PluginProcessor.h"

#include "plugin/PluginEditor.h"

#include "dsp/GainRule.h"
#include "dsp/HannWindow.h"
#include "dsp/SimpleFFT.h"
#include "dsp/VectorClones.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace
{
constexpr int32_t ringMask = fftSize - 1;
constexpr float placeholderProfile = 0.0001f;
constexpr double inverseScale = 1.0 / fftSize;

/** Bit test rather than std::isfinite: stays correct under fast-math flags. */
bool isFinite (float x) noexcept
{
    constexpr uint32_t exponentMask = 0x7f800000u;
    return (std::bit_cast<uint32_t> (x) & exponentMask) != exponentMask;
}

juce::String percentText (float value, int /*maximumStringLength*/)
{
    return juce::String (static_cast<int32_t> (value)) + "%";
}

/** True when a saved parameter value is a plain finite number. */
bool isUsableSavedValue (const juce::var& value)
{
    const auto text = value.toString().trim();
    return text.isNotEmpty()
           && text.containsOnly ("0123456789+-.eE")
           && std::isfinite (text.getDoubleValue());
}
} // namespace

//==============================================================================
juce::AudioProcessorValueTreeState::ParameterLayout Params::createLayout()
{
    const auto percent = [] (float value, int maximumStringLength)
    { return percentText (value, maximumStringLength); };
    const auto percentRange = juce::NormalisableRange<float> (0.0f, 100.0f, 0.1f, 1.0f);

    std::vector<std::unique_ptr<juce::RangedAudioParameter>> parameters;
    parameters.push_back (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID{ amountId, 1 }, "Amount", percentRange, 70.0f,
                                                                       juce::AudioParameterFloatAttributes().withStringFromValueFunction (percent)));
    parameters.push_back (std::make_unique<juce::AudioParameterFloat> (juce::ParameterID{ sensitivityId, 1 }, "Sensitivity", percentRange, 40.0f,
                                                                       juce::AudioParameterFloatAttributes().withStringFromValueFunction (percent)));
    parameters.push_back (std::make_unique<juce::AudioParameterBool> (juce::ParameterID{ bypassId, 1 }, "Bypass", false));

    return { parameters.begin(), parameters.end() };
}

//==============================================================================
VazezavProcessor::VazezavProcessor()
    : AudioProcessor (BusesProperties()
                          .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                          .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
    , apvts (*this, nullptr, "PARAMETERS", Params::createLayout())
{
    amountParam = apvts.getRawParameterValue (Params::amountId);
    sensitivityParam = apvts.getRawParameterValue (Params::sensitivityId);
    bypassParam = apvts.getRawParameterValue (Params::bypassId);
}

VazezavProcessor::~VazezavProcessor() = default;

const juce::String VazezavProcessor::getName() const { return "QEN VAZEZAV"; }

double VazezavProcessor::getTailLengthSeconds() const { return 0.0; }
bool VazezavProcessor::acceptsMidi() const { return false; }
bool VazezavProcessor::producesMidi() const { return false; }
bool VazezavProcessor::isMidiEffect() const { return false; }

juce::AudioProcessorEditor* VazezavProcessor::createEditor() { return new VazezavEditor (*this); }
bool VazezavProcessor::hasEditor() const { return true; }

int VazezavProcessor::getNumPrograms() { return 1; }
int VazezavProcessor::getCurrentProgram() { return 0; }
void VazezavProcessor::setCurrentProgram (int) {}
const juce::String VazezavProcessor::getProgramName (int) { return "Default"; }
void VazezavProcessor::changeProgramName (int, const juce::String&) {}

//==============================================================================
int32_t VazezavProcessor::learningFramesFor (double rate) noexcept
{
    return (int32_t) (rate * (1.0 / hopSize));
}

void VazezavProcessor::requestLearning() noexcept
{
    learnTargetFrames.store (learningFramesFor (sampleRate.load (std::memory_order_relaxed)), std::memory_order_relaxed);
    learnRequested.store (true);
}

bool VazezavProcessor::prepareWithChannels (int channelCount, double newSampleRate, int samplesPerBlock)
{
    const auto set = channelCount == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);

    if ((channelCount != 1 && channelCount != 2) || ! setBusesLayout (layout))
        return false;

    setRateAndBufferSizeDetails (newSampleRate, samplesPerBlock);
    prepareToPlay (newSampleRate, samplesPerBlock);
    return true;
}

void VazezavProcessor::setParameterValue (const juce::String& id, float realValue)
{
    if (auto* parameter = apvts.getParameter (id))
        parameter->setValueNotifyingHost (parameter->convertTo0to1 (realValue));
}

//==============================================================================
void VazezavProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    if (const auto xml = apvts.copyState().createXml())
        copyXmlToBinary (*xml, destData);
}

void VazezavProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    // Empty, truncated or foreign data gives no XML and changes nothing.
    const auto xml = getXmlFromBinary (data, sizeInBytes);

    if (xml == nullptr || ! xml->hasTagName (apvts.state.getType()))
        return;

    // Start from the current values and take over only well-formed entries
    // for our own parameters: anything else leaves that parameter as it is.
    const auto saved = juce::ValueTree::fromXml (*xml);
    auto restored = apvts.copyState();
    bool changed = false;

    for (const auto& entry : saved)
    {
        auto target = restored.getChildWithProperty ("id", entry["id"]);

        if (target.isValid() && isUsableSavedValue (entry["value"]))
        {
            target.setProperty ("value", entry["value"].toString().trim().getFloatValue(), nullptr);
            changed = true;
        }
    }

    if (changed)
        apvts.replaceState (restored);
}

//==============================================================================
bool VazezavProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto out = layouts.getMainOutputChannelSet();

    if (out != juce::AudioChannelSet::mono() && out != juce::AudioChannelSet::stereo())
        return false;

    return layouts.getMainInputChannelSet() == out;
}

//==============================================================================
void VazezavProcessor::prepareToPlay (double newSampleRate, int /*maximumExpectedSamplesPerBlock*/)
{
    sampleRate.store (newSampleRate, std::memory_order_relaxed);
    numChannels = (size_t) std::min (getTotalNumOutputChannels(), maxChannels);

    prepareWindow();
    olaGain = 2.0f / 3.0f;
    std::fill (std::begin (noiseProfile), std::end (noiseProfile), placeholderProfile);

    // A pass that was running when we were re-prepared starts again from
    // nothing: its sums would otherwise cover more frames than it counts.
    learnedFrames = 0;
    std::fill (std::begin (noiseAccum), std::end (noiseAccum), 0.0);

    for (int ch = 0; ch < maxChannels; ++ch)
    {
        std::fill (std::begin (inputRing[ch]), std::end (inputRing[ch]), 0.0f);
        std::fill (std::begin (outputRing[ch]), std::end (outputRing[ch]), 0.0f);
        ringPos[ch] = 0;
        hopCounter[ch] = 0;
    }

    setLatencySamples (fftSize);
}

void VazezavProcessor::releaseResources() {}

void VazezavProcessor::prepareWindow() noexcept
{
    for (int n = 0; n < fftSize; ++n)
        window[n] = qen::symmetricHann (n, fftSize);
}

void VazezavProcessor::updateGainsFromParameters() noexcept
{
    const float amount = amountParam->load();
    const float sensitivity = sensitivityParam->load();

    floorGain = qen::GainRule::floorGainFor (amount);
    thresholdFactor = qen::GainRule::thresholdFactorFor (sensitivity);
}

//==============================================================================
void VazezavProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& /*midiMessages*/)
{
    const juce::ScopedNoDenormals noDenormals;

    const int numSamples = buffer.getNumSamples();
    const int totalIn = getTotalNumInputChannels();
    const int totalOut = std::min (getTotalNumOutputChannels(), buffer.getNumChannels());

    for (int ch = totalIn; ch < totalOut; ++ch)
        buffer.clear (ch, 0, numSamples);

    if (bypassParam->load() < 0.5f)
    {
        updateGainsFromParameters();

        const int channelsToProcess = std::min ((int) numChannels, totalOut);

        if (numSamples > 0 && channelsToProcess > 0)
        {
            auto* const* channels = buffer.getArrayOfWritePointers();

            for (int s = 0; s < numSamples; ++s)
                for (int ch = 0; ch < channelsToProcess; ++ch)
                    processSample (ch, channels[ch][s]);
        }
    }

    writeAnalyzerTap (buffer);
}

void VazezavProcessor::processSample (int ch, float& sample) noexcept
{
    const int32_t p = ringPos[ch];
    const float delayed = outputRing[ch][p];
    outputRing[ch][p] = 0.0f;

    // A NaN or infinity would poison every frame it enters, and through the
    // profile every later output: it enters the ring as silence instead.
    inputRing[ch][p] = isFinite (sample) ? sample : 0.0f;

    const int32_t next = (p + 1) & ringMask;
    ringPos[ch] = next;
    sample = delayed;

    if (++hopCounter[ch] == hopSize)
    {
        hopCounter[ch] = 0;
        processFrame (ch, next);
    }
}

QEN_VECTOR_CLONES
void VazezavProcessor::processFrame (int ch, int32_t start) noexcept
{
    // The frame holds the last fftSize inputs, oldest first, starting at slot
    // `start`: two contiguous stretches of the ring.
    const float* ring = inputRing[ch];
    const int firstPart = fftSize - start;

    for (int k = 0; k < firstPart; ++k)
        fftRe[k] = (double) (ring[start + k] * window[k]);

    for (int k = firstPart; k < fftSize; ++k)
        fftRe[k] = (double) (ring[k - firstPart] * window[k]);

    std::fill (std::begin (fftIm), std::end (fftIm), 0.0);

    qen::SimpleFFT::forward (fftRe, fftIm, fftSize);

    if (ch == 0)
        startLearningIfRequested();

    const bool learningFrame = ch == 0 && learning.load();

    applyGains (learningFrame);

    if (learningFrame)
        finishLearningFrame();

    inverseTransform();
    overlapAdd (ch, start);
}

void VazezavProcessor::startLearningIfRequested() noexcept
{
    if (! learnRequested.exchange (false))
        return;

    std::fill (std::begin (noiseAccum), std::end (noiseAccum), 0.0);
    learnedFrames = 0;
    learning.store (true);
}

void VazezavProcessor::applyGains (bool learningFrame) noexcept
{
    const double floor = floorGain;
    const double factor = thresholdFactor;

    double gains[numBins];
    double magnitudes[numBins];

    for (int b = 0; b < numBins; ++b)
        magnitudes[b] = std::sqrt (fftRe[b] * fftRe[b] + fftIm[b] * fftIm[b]);

    // The sums take this frame's magnitudes, but its gains still use the
    // profile as it stood before the frame.
    if (learningFrame)
        for (int b = 0; b < numBins; ++b)
            noiseAccum[b] += magnitudes[b];

    for (int b = 0; b < numBins; ++b)
        gains[b] = qen::GainRule::gainFor (magnitudes[b], (double) noiseProfile[b] * factor, floor);

    for (int b = 0; b < numBins; ++b)
    {
        fftRe[b] *= gains[b];
        fftIm[b] *= gains[b];
    }

    // Mirror bins get the same gain so the spectrum stays conjugate-symmetric.
    for (int b = 1; b < numBins - 1; ++b)
    {
        fftRe[fftSize - b] *= gains[b];
        fftIm[fftSize - b] *= gains[b];
    }
}

void VazezavProcessor::finishLearningFrame() noexcept
{
    ++learnedFrames;

    if (learnedFrames < learnTargetFrames.load (std::memory_order_relaxed))
        return;

    const auto frames = (double) std::max (learnedFrames, 1);

    for (int b = 0; b < numBins; ++b)
        noiseProfile[b] = (float) (noiseAccum[b] / frames);

    learning.store (false);
}

void VazezavProcessor::inverseTransform() noexcept
{
    for (auto& im : fftIm)
        im = -im;

    qen::SimpleFFT::forward (fftRe, fftIm, fftSize);

    // Only the real part is used from here on; the imaginary part is
    // overwritten by the next frame's analysis, so it is left unscaled.
    for (auto& re : fftRe)
        re *= inverseScale;
}

void VazezavProcessor::overlapAdd (int ch, int32_t start) noexcept
{
    float* ring = outputRing[ch];
    const int firstPart = fftSize - start;

    for (int k = 0; k < firstPart; ++k)
        ring[start + k] = ((float) fftRe[k] * window[k]) * olaGain + ring[start + k];

    for (int k = firstPart; k < fftSize; ++k)
        ring[k - firstPart] = ((float) fftRe[k] * window[k]) * olaGain + ring[k - firstPart];
}

void VazezavProcessor::writeAnalyzerTap (const juce::AudioBuffer<float>& buffer) noexcept
{
    if (buffer.getNumChannels() == 0)
        return;

    const float* left = buffer.getReadPointer (0);
    const float* right = (getTotalNumOutputChannels() >= 2 && buffer.getNumChannels() >= 2) ? buffer.getReadPointer (1) : left;

    // The audio thread is the only writer, so a load and a store advance the
    // count; unsigned arithmetic makes the wrap past 2^31 - 1 well defined.
    auto index = (uint32_t) analyzerTap.writeIndex.load (std::memory_order_relaxed);

    for (int s = 0; s < buffer.getNumSamples(); ++s)
    {
        const float mono = (left[s] + right[s]) * 0.5f;
        analyzerTap.samples[index & (uint32_t) AnalyzerTap::slotMask].store (mono, std::memory_order_relaxed);
        ++index;
        analyzerTap.writeIndex.store ((int32_t) index, std::memory_order_release);
    }
}

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VazezavProcessor();
}
