#pragma once

#include "plugin/PluginProcessor.h"
#include "ui/LabeledKnob.h"
#include "ui/SpectrumAnalyzer.h"
#include "ui/VozOzerEzoVera.h"

/** The plug-in's fixed-size window: title block, live spectrum, the two
    knobs, the learn button, the bypass toggle and the status line.
*/
class VazezavEditor : public juce::AudioProcessorEditor,
                      public juce::Timer
{
public:
    explicit VazezavEditor (VazezavProcessor&);
    ~VazezavEditor() override;

    void paint (juce::Graphics&) override;
    void resized() override;

    static constexpr int editorWidth = 720;
    static constexpr int editorHeight = 460;
    static constexpr int repaintIntervalMs = 83;

    static juce::String statusText (bool learning);

    /** Child access for tests and screenshots. */
    qen::ui::SpectrumAnalyzer& getAnalyzer() noexcept { return analyzer; }
    qen::ui::LabeledKnob& getAmountKnob() noexcept { return *amountKnob; }
    qen::ui::LabeledKnob& getSensitivityKnob() noexcept { return *sensitivityKnob; }
    juce::TextButton& getLearnButton() noexcept { return learnButton; }
    juce::TextButton& getBypassButton() noexcept { return bypassButton; }
    juce::Rectangle<int> getStatusArea() const noexcept { return statusArea; }

private:
    void timerCallback() override;

    VazezavProcessor& vazezavProcessor;
    // Declared before every child, so it outlives all of them.
    qen::ui::VozOzerEzoVera lookAndFeel;
    qen::ui::SpectrumAnalyzer analyzer;
    std::unique_ptr<qen::ui::LabeledKnob> amountKnob;
    std::unique_ptr<qen::ui::LabeledKnob> sensitivityKnob;
    juce::TextButton learnButton{ "LEARN NOISE" };
    juce::TextButton bypassButton{ "BYPASS" };
    // After the button, so the binding is removed before the button goes.
    std::unique_ptr<juce::AudioProcessorValueTreeState::ButtonAttachment> bypassAttachment;
    juce::Rectangle<int> statusArea;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VazezavEditor)
};
