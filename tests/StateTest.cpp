#include "test_utils/Signals.h"

#include <gtest/gtest.h>

namespace
{

struct Settings
{
    float amount, sensitivity, bypass;
};

Settings settingsOf (VazezavProcessor& processor)
{
    return { processor.apvts.getRawParameterValue ("amount")->load(),
             processor.apvts.getRawParameterValue ("sensitivity")->load(),
             processor.apvts.getRawParameterValue ("bypass")->load() };
}

void expectSettings (VazezavProcessor& processor, Settings expected)
{
    const auto actual = settingsOf (processor);
    EXPECT_NEAR (actual.amount, expected.amount, 1e-4f);
    EXPECT_NEAR (actual.sensitivity, expected.sensitivity, 1e-4f);
    EXPECT_EQ (actual.bypass, expected.bypass);
}

juce::MemoryBlock stateWith (const char* xml)
{
    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (*juce::parseXML (juce::String (xml)), block);
    return block;
}

class SavedState : public ::testing::Test
{
protected:
    void SetUp() override
    {
        edited.setParameterValue ("amount", 12.3f);
        edited.setParameterValue ("sensitivity", 87.6f);
        edited.setParameterValue ("bypass", 1.0f);
    }

    VazezavProcessor edited;
    const Settings editedSettings{ 12.3f, 87.6f, 1.0f };
    const Settings defaults{ 70.0f, 40.0f, 0.0f };
};

TEST_F (SavedState, RoundTripRestoresAllThreeParameters)
{
    juce::MemoryBlock saved;
    edited.getStateInformation (saved);
    ASSERT_GT (saved.getSize(), 0u);

    VazezavProcessor reopened;
    reopened.setStateInformation (saved.getData(), (int) saved.getSize());
    expectSettings (reopened, editedSettings);
}

TEST_F (SavedState, StateOfAFreshInstanceRestoresTheDefaults)
{
    juce::MemoryBlock saved;
    VazezavProcessor().getStateInformation (saved);

    edited.setStateInformation (saved.getData(), (int) saved.getSize());
    expectSettings (edited, defaults);
}

TEST_F (SavedState, UnusableDataChangesNothing)
{
    juce::MemoryBlock saved;
    edited.getStateInformation (saved);

    juce::Random random (1234);
    juce::MemoryBlock garbage (999);
    random.fillBitsRandomly (garbage.getData(), garbage.getSize());

    const auto otherTag = stateWith (R"(<OTHER><PARAM id="amount" value="1"/></OTHER>)");

    const std::pair<const char*, juce::MemoryBlock> cases[] = {
        { "garbage", garbage },
        { "truncated", juce::MemoryBlock (saved.getData(), saved.getSize() / 2) },
        { "header only", juce::MemoryBlock (saved.getData(), 8) },
        { "other root tag", otherTag },
    };

    for (const auto& [name, data] : cases)
    {
        VazezavProcessor processor;
        processor.setParameterValue ("amount", 55.5f);
        processor.setStateInformation (data.getData(), (int) data.getSize());
        expectSettings (processor, { 55.5f, 40.0f, 0.0f });
        SCOPED_TRACE (name);
    }

    VazezavProcessor processor;
    processor.setStateInformation (nullptr, 0);
    processor.setStateInformation (garbage.getData(), 0);
    expectSettings (processor, defaults);
}

TEST_F (SavedState, BadEntriesAreSkippedAndGoodOnesRestored)
{
    const auto mixed = stateWith (R"(<PARAMETERS>
        <PARAM id="amount" value="nan"/>
        <PARAM id="sensitivity" value="25"/>
        <PARAM id="bypass"/>
        <PARAM id="unknown" value="3"/>
    </PARAMETERS>)");

    edited.setStateInformation (mixed.getData(), (int) mixed.getSize());
    expectSettings (edited, { 12.3f, 25.0f, 1.0f });

    const auto outOfRange = stateWith (R"(<PARAMETERS><PARAM id="amount" value="1e9"/></PARAMETERS>)");
    edited.setStateInformation (outOfRange.getData(), (int) outOfRange.getSize());
    expectSettings (edited, { 100.0f, 25.0f, 1.0f });
}

TEST_F (SavedState, LearnedProfileIsNotPartOfTheState)
{
    auto processor = test::makePrepared();
    processor->requestLearning();
    const auto noise = test::whiteNoise (60000, 0.5f, 7);
    test::process (*processor, { noise, noise }, 512);
    ASSERT_FALSE (processor->learning.load());
    ASSERT_NE (processor->getNoiseProfile()[10], 0.0001f);

    juce::MemoryBlock saved;
    processor->getStateInformation (saved);

    auto reopened = test::makePrepared();
    reopened->setStateInformation (saved.getData(), (int) saved.getSize());

    for (float bin : reopened->getNoiseProfile())
        ASSERT_EQ (bin, 0.0001f);
}

} // namespace
