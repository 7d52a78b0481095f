#include "test_utils/Signals.h"

#include <gtest/gtest.h>

namespace
{
using Set = juce::AudioChannelSet;

juce::AudioProcessor::BusesLayout layoutOf (const Set& in, const Set& out)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (in);
    layout.outputBuses.add (out);
    return layout;
}

struct LayoutCase
{
    const char* name;
    juce::AudioProcessor::BusesLayout layout;
    bool supported;
};

TEST (ProcessorLayouts, AcceptsOnlyMonoToMonoAndStereoToStereo)
{
    juce::AudioProcessor::BusesLayout noBuses;
    juce::AudioProcessor::BusesLayout outputOnly;
    outputOnly.outputBuses.add (Set::stereo());

    const LayoutCase cases[] = {
        { "mono -> mono", layoutOf (Set::mono(), Set::mono()), true },
        { "stereo -> stereo", layoutOf (Set::stereo(), Set::stereo()), true },
        { "mono -> stereo", layoutOf (Set::mono(), Set::stereo()), false },
        { "stereo -> mono", layoutOf (Set::stereo(), Set::mono()), false },
        { "disabled -> stereo", layoutOf (Set::disabled(), Set::stereo()), false },
        { "stereo -> disabled", layoutOf (Set::stereo(), Set::disabled()), false },
        { "5.1 -> 5.1", layoutOf (Set::create5point1(), Set::create5point1()), false },
        { "2 discrete -> 2 discrete", layoutOf (Set::discreteChannels (2), Set::discreteChannels (2)), false },
        { "1 discrete -> 1 discrete", layoutOf (Set::discreteChannels (1), Set::discreteChannels (1)), false },
        { "no buses", noBuses, false },
        { "no input bus, stereo out", outputOnly, false },
    };

    VazezavProcessor processor;

    for (const auto& c : cases)
        EXPECT_EQ (processor.isBusesLayoutSupported (c.layout), c.supported) << c.name;
}

TEST (ProcessorIdentity, ReportsWhatTheHostSees)
{
    VazezavProcessor processor;

    EXPECT_EQ (processor.getName(), "QEN VAZEZAV");
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_FALSE (processor.supportsMPE());
    EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());
    EXPECT_EQ (processor.getBypassParameter(), nullptr);
    EXPECT_EQ (processor.getTailLengthSeconds(), 0.0);
    EXPECT_TRUE (processor.hasEditor());

    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);
    EXPECT_EQ (processor.getBus (true, 0)->getName(), "Input");
    EXPECT_EQ (processor.getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor.getMainBusNumInputChannels(), 2);
    EXPECT_EQ (processor.getMainBusNumOutputChannels(), 2);
    EXPECT_FALSE (processor.canAddBus (true));
    EXPECT_FALSE (processor.canRemoveBus (false));
}

TEST (ProcessorIdentity, LatencyIsZeroUntilPreparedThen1024)
{
    VazezavProcessor processor;
    EXPECT_EQ (processor.getLatencySamples(), 0);

    processor.prepareToPlay (44100.0, 256);
    EXPECT_EQ (processor.getLatencySamples(), 1024);

    processor.releaseResources();
    EXPECT_EQ (processor.getLatencySamples(), 1024);
}

TEST (ProcessorIdentity, HasOneProgramCalledDefault)
{
    VazezavProcessor processor;

    EXPECT_EQ (processor.getNumPrograms(), 1);
    EXPECT_EQ (processor.getCurrentProgram(), 0);

    for (int index : { 0, 1, -1 })
        EXPECT_EQ (processor.getProgramName (index), "Default") << index;

    processor.setCurrentProgram (-3);
    processor.changeProgramName (0, "Other");
    EXPECT_EQ (processor.getCurrentProgram(), 0);
    EXPECT_EQ (processor.getProgramName (0), "Default");
}

TEST (ProcessorIdentity, CreatePluginFilterMakesAnEditorOnRequest)
{
    std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());
    ASSERT_NE (dynamic_cast<VazezavProcessor*> (processor.get()), nullptr);

    std::unique_ptr<juce::AudioProcessorEditor> editor (processor->createEditor());
    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (&editor->processor, processor.get());
    editor.reset();
}

} // namespace
