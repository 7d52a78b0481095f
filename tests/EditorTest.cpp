#include "plugin/PluginEditor.h"
#include "test_utils/Gui.h"
#include "test_utils/Signals.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

namespace
{

class Editor : public ::testing::Test
{
protected:
    VazezavProcessor processor;
    std::unique_ptr<VazezavEditor> editor{ static_cast<VazezavEditor*> (processor.createEditor()) };

    void TearDown() override { editor.reset(); }

    /** Clicks a button the way a user does: the click arrives as a message. */
    static void click (juce::Button& button)
    {
        button.triggerClick();
        test::pumpMessages();
    }
};

TEST_F (Editor, IsAFixedSizeWindow)
{
    EXPECT_EQ (editor->getWidth(), 720);
    EXPECT_EQ (editor->getHeight(), 460);
    EXPECT_FALSE (editor->isResizable());
}

TEST_F (Editor, ComponentBoundsAtTheFixedSize)
{
    using R = juce::Rectangle<int>;
    EXPECT_EQ (editor->getBypassButton().getBounds(), R (614, 30, 84, 32));
    EXPECT_EQ (editor->getAnalyzer().getBounds(), R (18, 80, 684, 210));
    EXPECT_EQ (editor->getLearnButton().getBounds(), R (26, 322, 154, 48));
    EXPECT_EQ (editor->getAmountKnob().getBounds(), R (198, 310, 237, 72));
    EXPECT_EQ (editor->getSensitivityKnob().getBounds(), R (455, 310, 237, 72));
    EXPECT_EQ (editor->getStatusArea(), R (18, 402, 684, 40));

    // Children bottom to top, none overlapping.
    const juce::Component* order[] = { &editor->getAnalyzer(), &editor->getAmountKnob(), &editor->getSensitivityKnob(),
                                       &editor->getLearnButton(), &editor->getBypassButton() };
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ (editor->getChildComponent (i), order[i]) << i;
}

TEST_F (Editor, SmallSizesNeverGoNegative)
{
    for (auto [w, h] : { std::pair{ 300, 200 }, std::pair{ 100, 80 }, std::pair{ 10, 10 }, std::pair{ 0, 0 } })
    {
        editor->setSize (w, h);
        for (auto* child : editor->getChildren())
        {
            EXPECT_GE (child->getWidth(), 0) << w << "x" << h;
            EXPECT_GE (child->getHeight(), 0) << w << "x" << h;
        }
        EXPECT_GE (editor->getStatusArea().getWidth(), 0);
        EXPECT_GE (editor->getStatusArea().getHeight(), 0);
        test::render (*editor);
    }
}

TEST_F (Editor, LearnClickRequestsAOneSecondPass)
{
    EXPECT_EQ (editor->getLearnButton().getButtonText(), "LEARN NOISE");
    EXPECT_EQ (editor->getBypassButton().getButtonText(), "BYPASS");

    // Before any prepareToPlay the rate is 48 kHz.
    click (editor->getLearnButton());
    EXPECT_EQ (processor.learnTargetFrames.load(), 187);
    EXPECT_TRUE (processor.learnRequested.load());

    const std::pair<double, int> rates[] = { { 44100.0, 172 }, { 96000.0, 375 }, { 192000.0, 750 } };
    for (const auto& [rate, frames] : rates)
    {
        processor.prepareToPlay (rate, 512);
        processor.learnRequested.store (false);
        click (editor->getLearnButton());
        EXPECT_EQ (processor.learnTargetFrames.load(), frames) << rate;
        EXPECT_TRUE (processor.learnRequested.load());
    }

    EXPECT_TRUE (editor->getLearnButton().isEnabled());
    EXPECT_EQ (editor->getLearnButton().getButtonText(), "LEARN NOISE");
}

TEST_F (Editor, StatusLineFollowsLearning)
{
    EXPECT_EQ (VazezavEditor::statusText (false), "Play a noise-only section, then press LEARN NOISE");
    EXPECT_EQ (VazezavEditor::statusText (true), juce::String (juce::CharPointer_UTF8 ("LEARNING NOISE PROFILE\xe2\x80\xa6")));
    EXPECT_EQ (VazezavEditor::statusText (true).getLastCharacter(), (juce::juce_wchar) 0x2026);

    const auto& theme = qen::ui::mutableTheme();
    const auto statusColourShown = [&]
    {
        const auto image = test::render (*editor);
        int faint = 0, bright = 0;
        for (int y = 402; y < 442; ++y)
            for (int x = 30; x < 300; ++x)
            {
                const auto pixel = image.getPixelAt (x, y);
                faint += test::sameColour (pixel, theme.textFaint, 4) ? 1 : 0;
                bright += test::sameColour (pixel, theme.accentBright, 4) ? 1 : 0;
            }
        return std::pair{ faint, bright };
    };

    const auto [idleFaint, idleBright] = statusColourShown();
    EXPECT_GT (idleFaint, 20);
    EXPECT_EQ (idleBright, 0);

    processor.learning.store (true);
    const auto [learningFaint, learningBright] = statusColourShown();
    EXPECT_EQ (learningFaint, 0);
    EXPECT_GT (learningBright, 20);
    processor.learning.store (false);
}

TEST_F (Editor, BypassButtonAndParameterMoveTogether)
{
    auto& button = editor->getBypassButton();
    auto* raw = processor.apvts.getRawParameterValue ("bypass");
    EXPECT_TRUE (button.getClickingTogglesState());
    EXPECT_FALSE (button.getToggleState());

    click (button);
    EXPECT_TRUE (button.getToggleState());
    EXPECT_EQ (raw->load(), 1.0f);

    click (button);
    EXPECT_EQ (raw->load(), 0.0f);

    processor.setParameterValue ("bypass", 1.0f);
    test::pumpMessages();
    EXPECT_TRUE (button.getToggleState()) << "automation moves the button";
}

TEST_F (Editor, KnobsAreBoundToTheirParameters)
{
    EXPECT_EQ (editor->getAmountKnob().label.getText(), "AMOUNT");
    EXPECT_EQ (editor->getSensitivityKnob().label.getText(), "SENS");

    editor->getSensitivityKnob().slider.setValue (12.0, juce::sendNotificationSync);
    EXPECT_NEAR (processor.apvts.getRawParameterValue ("sensitivity")->load(), 12.0f, 1e-4f);

    processor.setParameterValue ("amount", 33.0f);
    test::pumpMessages();
    EXPECT_EQ (editor->getAmountKnob().slider.getValue(), 33.0);
}

TEST_F (Editor, ClosingAndReopeningKeepsTheProcessorRunning)
{
    processor.requestLearning();
    editor.reset();
    editor.reset (static_cast<VazezavEditor*> (processor.createEditor()));
    EXPECT_TRUE (processor.learnRequested.load());
    EXPECT_EQ (editor->getWidth(), 720);
}

TEST_F (Editor, PictureWithASteadyToneWhileLearning)
{
    // A steady tone with some noise in the tap, as if the plug-in were playing.
    auto prepared = test::makePrepared();
    editor.reset();
    editor.reset (static_cast<VazezavEditor*> (prepared->createEditor()));

    const auto tone = test::sine (48000, 1000.0 / 48000.0, 0.4f);
    const auto hiss = test::whiteNoise (48000, 0.02f, 5);
    std::vector<float> mix (tone.size());
    for (size_t i = 0; i < mix.size(); ++i)
        mix[i] = tone[i] + hiss[i];

    prepared->requestLearning();
    test::process (*prepared, { mix, mix }, 512);
    prepared->learning.store (true);

    for (int i = 0; i < 40; ++i)
        editor->getAnalyzer().analyse();

    const auto image = test::render (*editor);
    const auto file = test::writePng (image, "editor.png");
    std::cout << "editor picture: " << file.getFullPathName() << std::endl;

    const auto& theme = qen::ui::mutableTheme();
    EXPECT_TRUE (test::sameColour (image.getPixelAt (5, 5), theme.background, 0));
    int brandPixels = 0;
    for (int y = 16; y < 30; ++y)
        for (int x = 20; x < 80; ++x)
            brandPixels += test::sameColour (image.getPixelAt (x, y), theme.accent, 16) ? 1 : 0;
    EXPECT_GT (brandPixels, 10) << "the QEN mark in accent";
    EXPECT_TRUE (test::sameColour (image.getPixelAt (400, 420), theme.panel, 0)) << "status card";

    editor.reset();
}

} // namespace
