#include "ui/LabeledKnob.h"
#include "test_utils/Gui.h"
#include "test_utils/Signals.h"
#include "ui/Theme.h"
#include "ui/VozOzerEzoVera.h"

#include <gtest/gtest.h>

namespace
{
using qen::ui::LabeledKnob;

/** Records the rotary area the slider hands to the look-and-feel. */
struct RecordingLookAndFeel : qen::ui::VozOzerEzoVera
{
    void drawRotarySlider (juce::Graphics& g, int x, int y, int w, int h, float pos, float start, float end, juce::Slider& s) override
    {
        rotaryArea = { x, y, w, h };
        startAngle = start;
        endAngle = end;
        VozOzerEzoVera::drawRotarySlider (g, x, y, w, h, pos, start, end, s);
    }

    juce::Rectangle<int> rotaryArea;
    float startAngle = 0.0f, endAngle = 0.0f;
};

juce::Label* valueBoxOf (juce::Slider& slider)
{
    for (auto* child : slider.getChildren())
        if (auto* label = dynamic_cast<juce::Label*> (child))
            return label;
    return nullptr;
}

class Knob : public ::testing::Test
{
protected:
    VazezavProcessor processor;
    LabeledKnob knob{ processor.apvts, "amount", "AMOUNT" };
};

TEST_F (Knob, CaptionStyle)
{
    EXPECT_EQ (knob.label.getText(), "AMOUNT");
    EXPECT_EQ (knob.label.getJustificationType(), juce::Justification::centred);
    EXPECT_EQ (knob.label.findColour (juce::Label::textColourId).getARGB(), 0xffa6988au);
    EXPECT_TRUE (knob.label.getFont().isBold());
    EXPECT_FLOAT_EQ (knob.label.getFont().getHeight(), 12.0f);
    EXPECT_EQ (knob.label.getFont().getTypefaceName(), juce::Font::getDefaultMonospacedFontName());

    // A parent's look-and-feel change leaves the caption as it was.
    juce::Component parent;
    juce::LookAndFeel_V2 other;
    parent.addAndMakeVisible (knob);
    parent.setLookAndFeel (&other);
    EXPECT_EQ (knob.label.findColour (juce::Label::textColourId).getARGB(), 0xffa6988au);
    EXPECT_FLOAT_EQ (knob.label.getFont().getHeight(), 12.0f);
    parent.setLookAndFeel (nullptr);
}

TEST_F (Knob, SliderSettings)
{
    EXPECT_EQ (knob.slider.getSliderStyle(), juce::Slider::RotaryHorizontalVerticalDrag);
    EXPECT_EQ (knob.slider.getTextBoxPosition(), juce::Slider::TextBoxBelow);
    EXPECT_FALSE (knob.slider.isTextBoxEditable() == false);
    EXPECT_EQ (knob.slider.getTextBoxWidth(), 72);
    EXPECT_EQ (knob.slider.getTextBoxHeight(), 16);
    EXPECT_EQ (knob.slider.getMinimum(), 0.0);
    EXPECT_EQ (knob.slider.getMaximum(), 100.0);
    EXPECT_EQ (knob.slider.getValue(), 70.0);
    EXPECT_EQ (knob.slider.getTextFromValue (69.9), "69%");
}

TEST_F (Knob, LayoutAtThreeHeights)
{
    const struct
    {
        int height;
        juce::Rectangle<int> label, slider;
    } cases[] = {
        { 72, { 0, 0, 237, 16 }, { 0, 16, 237, 56 } },
        { 100, { 0, 0, 237, 16 }, { 0, 16, 237, 84 } },
        { 16, { 0, 0, 237, 16 }, { 0, 16, 237, 0 } },
        { 10, { 0, 0, 237, 10 }, { 0, 10, 237, 0 } },
    };

    for (const auto& c : cases)
    {
        knob.setSize (237, c.height);
        EXPECT_EQ (knob.label.getBounds(), c.label) << c.height;
        EXPECT_EQ (knob.slider.getBounds(), c.slider) << c.height;
    }
}

TEST_F (Knob, ValueBoxAndRotaryAreaInsideTheEditorSizedKnob)
{
    RecordingLookAndFeel lnf;
    juce::Component window;
    window.setLookAndFeel (&lnf);
    window.setSize (300, 100);
    window.addAndMakeVisible (knob);
    knob.setBounds (0, 0, 237, 72);

    auto* valueBox = valueBoxOf (knob.slider);
    ASSERT_NE (valueBox, nullptr);
    EXPECT_EQ (valueBox->getBounds(), juce::Rectangle<int> (82, 40, 72, 16));
    EXPECT_EQ (valueBox->getText(), "70%");

    test::render (knob);
    EXPECT_EQ (lnf.rotaryArea, juce::Rectangle<int> (0, 0, 237, 40));
    EXPECT_FLOAT_EQ (lnf.startAngle, 1.2f * juce::MathConstants<float>::pi);
    EXPECT_FLOAT_EQ (lnf.endAngle, 2.8f * juce::MathConstants<float>::pi);

    // The value box wears the window's theme colours once the knob is in it.
    const auto& theme = qen::ui::mutableTheme();
    EXPECT_EQ (valueBoxOf (knob.slider)->findColour (juce::Label::textColourId), theme.text);
    EXPECT_EQ (valueBoxOf (knob.slider)->findColour (juce::Label::outlineColourId), juce::Colours::transparentBlack);

    window.removeChildComponent (&knob);
    window.setLookAndFeel (nullptr);
}

TEST_F (Knob, TypingAndDoubleClickSetTheParameter)
{
    auto* raw = processor.apvts.getRawParameterValue ("amount");

    knob.slider.setValue (knob.slider.getValueFromText ("25%"), juce::sendNotificationSync);
    EXPECT_NEAR (raw->load(), 25.0f, 1e-4f);
    EXPECT_EQ (knob.slider.getTextFromValue (knob.slider.getValue()), "25%");

    EXPECT_TRUE (knob.slider.isDoubleClickReturnEnabled());
    EXPECT_EQ (knob.slider.getDoubleClickReturnValue(), 70.0);

    processor.setParameterValue ("amount", 40.0f);
    test::pumpMessages();
    EXPECT_EQ (knob.slider.getValue(), 40.0);
}

} // namespace
