#include "ui/LabeledKnob.h"

#include "ui/Theme.h"

namespace qen::ui
{

LabeledKnob::LabeledKnob (juce::AudioProcessorValueTreeState& state, const juce::String& paramId, const juce::String& caption)
{
    slider.setSliderStyle (juce::Slider::RotaryHorizontalVerticalDrag);
    slider.setTextBoxStyle (juce::Slider::TextBoxBelow, false, valueBoxWidth, valueBoxHeight);
    addAndMakeVisible (slider);

    label.setText (caption, juce::dontSendNotification);
    label.setJustificationType (juce::Justification::centred);
    applyCaptionStyle();
    addAndMakeVisible (label);

    attachment = std::make_unique<juce::AudioProcessorValueTreeState::SliderAttachment> (state, paramId, slider);
}

void LabeledKnob::applyCaptionStyle()
{
    const auto& theme = mutableTheme();
    label.setFont (monoFont (theme.bodySize));
    label.setColour (juce::Label::textColourId, theme.textDim);
}

void LabeledKnob::lookAndFeelChanged()
{
    applyCaptionStyle();
}

void LabeledKnob::parentHierarchyChanged()
{
    // The slider builds its value box from the look-and-feel it can reach
    // when its style is set, which is before the knob has a parent. Once the
    // knob joins a window, rebuild it so it wears that window's colours.
    slider.sendLookAndFeelChange();
}

void LabeledKnob::resized()
{
    auto area = getLocalBounds();
    label.setBounds (area.removeFromTop (juce::jmin (area.getHeight(), captionHeight)));
    slider.setBounds (area);
}

} // namespace qen::ui
