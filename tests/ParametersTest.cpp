#include "test_utils/Signals.h"

#include <gtest/gtest.h>

namespace
{

struct ParameterRow
{
    const char* id;
    const char* name;
    float defaultValue;
    float defaultNormalised;
    const char* defaultText;
};

constexpr ParameterRow parameterTable[] = {
    { "amount", "Amount", 70.0f, 0.7f, "70%" },
    { "sensitivity", "Sensitivity", 40.0f, 0.4f, "40%" },
    { "bypass", "Bypass", 0.0f, 0.0f, "Off" },
};

TEST (Parameters, MatchTheTableInOrder)
{
    VazezavProcessor processor;
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (parameters.size(), 3);

    for (int i = 0; i < 3; ++i)
    {
        const auto& row = parameterTable[i];
        auto* parameter = dynamic_cast<juce::RangedAudioParameter*> (parameters[i]);
        ASSERT_NE (parameter, nullptr) << row.id;

        EXPECT_EQ (parameter->getParameterIndex(), i);
        EXPECT_EQ (parameter->paramID, row.id);
        EXPECT_EQ (parameter->getVersionHint(), 1) << row.id;
        EXPECT_EQ (parameter->getName (100), row.name);
        EXPECT_EQ (parameter->getLabel(), "") << row.id;
        EXPECT_TRUE (parameter->isAutomatable()) << row.id;
        EXPECT_FALSE (parameter->isMetaParameter()) << row.id;
        EXPECT_FALSE (parameter->isOrientationInverted()) << row.id;
        EXPECT_EQ (parameter->getCategory(), juce::AudioProcessorParameter::genericParameter) << row.id;
        EXPECT_FLOAT_EQ (parameter->getDefaultValue(), row.defaultNormalised) << row.id;
        EXPECT_FLOAT_EQ (parameter->getValue(), row.defaultNormalised) << row.id;
        EXPECT_EQ (parameter->getCurrentValueAsText(), row.defaultText) << row.id;
        EXPECT_EQ (processor.apvts.getRawParameterValue (row.id)->load(), row.defaultValue) << row.id;
    }

    EXPECT_NE (dynamic_cast<juce::AudioParameterBool*> (parameters[2]), nullptr);
}

TEST (Parameters, FloatRangesAreZeroToHundredInTenths)
{
    VazezavProcessor processor;

    for (const char* id : { "amount", "sensitivity" })
    {
        auto* parameter = dynamic_cast<juce::AudioParameterFloat*> (processor.apvts.getParameter (id));
        ASSERT_NE (parameter, nullptr) << id;
        const auto& range = parameter->range;
        EXPECT_EQ (range.start, 0.0f) << id;
        EXPECT_EQ (range.end, 100.0f) << id;
        EXPECT_EQ (range.interval, 0.1f) << id;
        EXPECT_EQ (range.skew, 1.0f) << id;
        EXPECT_FALSE (range.symmetricSkew) << id;
        EXPECT_FLOAT_EQ (range.convertTo0to1 (25.0f), 0.25f) << id;
    }
}

TEST (Parameters, PercentTextTruncatesTowardZero)
{
    VazezavProcessor processor;
    auto* amount = processor.apvts.getParameter ("amount");

    const std::pair<float, const char*> cases[] = {
        { 70.0f, "70%" },
        { 69.9f, "69%" },
        { 99.9f, "99%" },
        { 100.0f, "100%" },
        { 0.0f, "0%" },
        { 0.9f, "0%" },
        { 0.05f, "0%" },
    };

    for (const auto& [value, text] : cases)
    {
        EXPECT_EQ (amount->getText (amount->convertTo0to1 (value), 100), text) << value;
        EXPECT_EQ (amount->getText (amount->convertTo0to1 (value), 2), text) << "never shortened: " << value;
    }

    // 0.05 snaps to one of the neighbouring tenths.
    processor.setParameterValue ("amount", 0.05f);
    const float snapped = processor.apvts.getRawParameterValue ("amount")->load();
    EXPECT_TRUE (snapped == 0.0f || std::abs (snapped - 0.1f) < 1e-6f) << snapped;
}

TEST (Parameters, TextToValueTakesTheLeadingNumberThenLimitsAndSnaps)
{
    VazezavProcessor processor;
    auto* sensitivity = processor.apvts.getParameter ("sensitivity");
    auto* raw = processor.apvts.getRawParameterValue ("sensitivity");

    const std::pair<const char*, float> cases[] = {
        { "25%", 25.0f },
        { "45", 45.0f },
        { "250", 100.0f },
        { "x", 0.0f },
        { "-5", 0.0f },
        { "33.33", 33.3f },
    };

    for (const auto& [text, expected] : cases)
    {
        sensitivity->setValueNotifyingHost (sensitivity->getValueForText (text));
        EXPECT_NEAR (raw->load(), expected, 1e-4f) << text;
    }
}

TEST (Parameters, BoolTextsAndRawValues)
{
    VazezavProcessor processor;
    auto* bypass = processor.apvts.getParameter ("bypass");

    EXPECT_EQ (bypass->getText (0.0f, 10), "Off");
    EXPECT_EQ (bypass->getText (1.0f, 10), "On");

    processor.setParameterValue ("bypass", 1.0f);
    EXPECT_EQ (processor.apvts.getRawParameterValue ("bypass")->load(), 1.0f);
}

TEST (Parameters, RawValuePointersSeeChangesAtOnceAndUnknownIdsAreNull)
{
    VazezavProcessor processor;
    auto* amount = processor.apvts.getRawParameterValue ("amount");

    processor.setParameterValue ("amount", 12.3f);
    EXPECT_NEAR (amount->load(), 12.3f, 1e-5f);

    EXPECT_EQ (processor.apvts.getRawParameterValue ("gain"), nullptr);
    EXPECT_EQ (processor.apvts.getRawParameterValue ("Amount"), nullptr);
}

} // namespace
