#include "plugin/PluginEditor.h"

#include "ui/Theme.h"

VazezavEditor::VazezavEditor (VazezavProcessor& p)
    : AudioProcessorEditor (p)
    , vazezavProcessor (p)
    , analyzer (p.analyzerTap)
{
    setLookAndFeel (&lookAndFeel);
    addAndMakeVisible (analyzer);

    amountKnob = std::make_unique<qen::ui::LabeledKnob> (p.apvts, Params::amountId, "AMOUNT");
    sensitivityKnob = std::make_unique<qen::ui::LabeledKnob> (p.apvts, Params::sensitivityId, "SENS");
    addAndMakeVisible (*amountKnob);
    addAndMakeVisible (*sensitivityKnob);

    learnButton.onClick = [this]
    { vazezavProcessor.requestLearning(); };
    addAndMakeVisible (learnButton);

    bypassButton.setClickingTogglesState (true);
    addAndMakeVisible (bypassButton);
    bypassAttachment = std::make_unique<juce::AudioProcessorValueTreeState::ButtonAttachment> (p.apvts, Params::bypassId, bypassButton);

    startTimer (repaintIntervalMs);
    setSize (editorWidth, editorHeight);
}

VazezavEditor::~VazezavEditor()
{
    stopTimer();
    setLookAndFeel (nullptr);
}

void VazezavEditor::timerCallback()
{
    repaint();
}

juce::String VazezavEditor::statusText (bool learning)
{
    return learning ? juce::String (juce::CharPointer_UTF8 ("LEARNING NOISE PROFILE\xe2\x80\xa6"))
                    : juce::String ("Play a noise-only section, then press LEARN NOISE");
}

void VazezavEditor::paint (juce::Graphics& g)
{
    const auto& theme = qen::ui::mutableTheme();
    using R = juce::Rectangle<float>;

    g.fillAll (theme.background);

    g.setColour (theme.accent);
    g.setFont (qen::ui::monoFont (theme.smallSize + 1.0f));
    g.drawText ("QEN", R (20, 16, 60, 14), juce::Justification::left, true);

    g.setColour (theme.text);
    g.setFont (qen::ui::sansFont (theme.titleSize, true));
    g.drawText ("VAZEZAV", R (20, 28, 360, 30), juce::Justification::left, true);

    g.setColour (theme.textFaint);
    g.setFont (qen::ui::sansFont (theme.smallSize + 1.0f, false));
    g.drawText ("Spectral noise reduction", R (20, 58, 360, 16), juce::Justification::left, true);

    g.setColour (theme.panel);
    g.fillRoundedRectangle (statusArea.toFloat(), theme.cornerRadius);

    const bool learning = vazezavProcessor.learning.load();
    g.setColour (learning ? theme.accentBright : theme.textFaint);
    g.setFont (qen::ui::monoFont (theme.bodySize));
    const auto text = statusArea.toFloat().withTrimmedLeft (12.0f).withWidth (juce::jmax (0.0f, (float) statusArea.getWidth() - 24.0f));
    g.drawText (statusText (learning), text, juce::Justification::centredLeft, true);
}

void VazezavEditor::resized()
{
    auto area = getLocalBounds().reduced (18);

    auto header = area.removeFromTop (56);
    area.removeFromTop (6);
    header.removeFromLeft (220);
    bypassButton.setBounds (header.removeFromRight (92).reduced (4, 12));

    analyzer.setBounds (area.removeFromTop (210));
    area.removeFromTop (10);

    statusArea = area.removeFromBottom (40);
    area.removeFromBottom (10);

    learnButton.setBounds (area.removeFromLeft (170).reduced (8, 22));

    const int half = area.getWidth() / 2;
    amountKnob->setBounds (area.removeFromLeft (half).reduced (10));
    sensitivityKnob->setBounds (area.removeFromLeft (half).reduced (10));
}
