#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>

namespace qen::ui
{

/** A caption over a rotary knob with an editable value box, bound to one
    parameter of an AudioProcessorValueTreeState by ID.
*/
class LabeledKnob : public juce::Component
{
public:
    LabeledKnob (juce::AudioProcessorValueTreeState& state, const juce::String& paramId, const juce::String& caption);

    void lookAndFeelChanged() override;
    void parentHierarchyChanged() override;
    void resized() override;

    static constexpr int captionHeight = 16;
    static constexpr int valueBoxWidth = 72;
    static constexpr int valueBoxHeight = 16;

    juce::Slider slider;
    juce::Label label;

private:
    // Declared last: it must stop listening before the slider goes away.
    std::unique_ptr<juce::AudioProcessorValueTreeState::SliderAttachment> attachment;

    void applyCaptionStyle();

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (LabeledKnob)
};

} // namespace qen::ui
