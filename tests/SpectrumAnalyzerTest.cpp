#include "ui/SpectrumAnalyzer.h"
#include "test_utils/Gui.h"
#include "ui/Theme.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using qen::ui::SpectrumAnalyzer;

/** Fills the whole tap ring so that the newest 2048 samples hold `signal`
    repeated (the count ends at a multiple of 2048).
*/
void fillTap (AnalyzerTap& tap, const std::function<float (int)>& signal, int32_t endCount = 8192)
{
    for (int32_t i = endCount - analyzerSize; i < endCount; ++i)
        tap.samples[(size_t) (i & AnalyzerTap::slotMask)].store (signal (i));
    tap.writeIndex.store (endCount);
}

float levelOfDecibels (float decibels) { return juce::jlimit (0.0f, 1.0f, (decibels + 90.0f) / 90.0f); }

class Analyzer : public ::testing::Test
{
protected:
    AnalyzerTap tap;
    SpectrumAnalyzer analyzer{ tap };

    void tick (int times)
    {
        for (int i = 0; i < times; ++i)
            analyzer.analyse();
    }
};

TEST_F (Analyzer, SilenceLiesOnTheBottomEdge)
{
    tick (10);
    for (int k = 0; k < SpectrumAnalyzer::numLevels; ++k)
        ASSERT_EQ (analyzer.getLevels()[k], 0.0f) << k;

    const float h = 210.0f;
    const auto curve = analyzer.curvePath (684.0f, h);
    EXPECT_EQ (curve.getBounds().getY(), h - 8.0f);
    EXPECT_EQ (curve.getBounds().getHeight(), 0.0f);
}

TEST_F (Analyzer, SineReadsItsLevelOnceSmoothingSettles)
{
    // A full-scale sine centred on bin 64 (1500 Hz at 48 kHz). A real sine
    // puts half its amplitude in the positive-frequency bin, so with the
    // 1/2048 scaling it reads 20 log10 (0.5) = -6.02 dB.
    fillTap (tap, [] (int i)
             { return (float) std::sin (2.0 * M_PI * 64.0 * i / 2048.0); });
    tick (60);

    EXPECT_NEAR (analyzer.getLevels()[64], levelOfDecibels (-6.0206f), 1e-4f);
    EXPECT_LT (analyzer.getLevels()[200], 0.05f) << "far from the tone";

    // A constant 1.0 fills bin 0 with exactly 0 dB: the top of the plot.
    fillTap (tap, [] (int)
             { return 1.0f; });
    tick (60);
    EXPECT_NEAR (analyzer.getLevels()[0], 1.0f, 1e-4f);
}

TEST_F (Analyzer, StepResponseOfTheSmoothing)
{
    // 1 - 0.65^n after n ticks: 0.35, 0.5775, 0.725375 (often quoted as 0.725).
    fillTap (tap, [] (int)
             { return 1.0f; });

    for (int n = 1; n <= 3; ++n)
    {
        tick (1);
        EXPECT_NEAR (analyzer.getLevels()[0], 1.0 - std::pow (0.65, n), 1e-5) << n;
    }
    EXPECT_NEAR (analyzer.getLevels()[0], 0.725375f, 1e-5f);

    tick (60);
    fillTap (tap, [] (int)
             { return 0.0f; });
    for (int n = 1; n <= 3; ++n)
    {
        tick (1);
        EXPECT_NEAR (analyzer.getLevels()[0], std::pow (0.65, n), 1e-5) << "falls at the same rate, tick " << n;
    }
}

TEST_F (Analyzer, CopyWrapsAroundTheRing)
{
    for (int slot = 0; slot < analyzerSize; ++slot)
        tap.samples[(size_t) slot].store ((float) slot);

    float copy[SpectrumAnalyzer::analyzerFftSize];

    tap.writeIndex.store (100);
    SpectrumAnalyzer::copyNewestSamples (tap, copy);
    for (int i = 0; i < 1948; ++i)
        ASSERT_EQ (copy[i], (float) (2148 + i)) << i;
    for (int i = 1948; i < 2048; ++i)
        ASSERT_EQ (copy[i], (float) (i - 1948)) << i;

    // Past the int32 wrap only the low bits matter.
    tap.writeIndex.store (std::numeric_limits<int32_t>::min() + 100);
    SpectrumAnalyzer::copyNewestSamples (tap, copy);
    EXPECT_EQ (copy[0], 2148.0f);
    EXPECT_EQ (copy[2047], 99.0f);
}

TEST_F (Analyzer, FrequencyAxis)
{
    const std::pair<int, float> cases[] = {
        { 0, 0.0f },       // below 20 Hz
        { 1, 0.0229604f }, // 23.4375 Hz
        { 64, (float) ((std::log10 (1500.0) - std::log10 (20.0)) / 3.0) },
        { 853, (float) ((std::log10 (853 * 23.4375) - std::log10 (20.0)) / 3.0) },
        { 854, 1.0f }, // above 20 kHz
        { 1023, 1.0f },
    };

    for (const auto& [bin, position] : cases)
        EXPECT_NEAR (SpectrumAnalyzer::normalisedPositionOfBin (bin), position, 1e-6f) << bin;

    EXPECT_LT (SpectrumAnalyzer::normalisedPositionOfBin (853), 1.0f);

    // The axis assumes 48 kHz: a 1 kHz tone played at 96 kHz lands where 500 Hz belongs.
    const float binOf1kAt96k = 1000.0f * 2048.0f / 96000.0f;
    const float at500Hz = (float) ((std::log10 (500.0) - std::log10 (20.0)) / 3.0);
    const float drawnAt = juce::jmap (binOf1kAt96k - 21.0f, SpectrumAnalyzer::normalisedPositionOfBin (21), SpectrumAnalyzer::normalisedPositionOfBin (22));
    EXPECT_NEAR (drawnAt, at500Hz, 2e-3f);
}

TEST_F (Analyzer, PaintsPanelGridCurveAndCaption)
{
    const auto& theme = qen::ui::mutableTheme();
    fillTap (tap, [] (int i)
             { return 0.5f * (float) std::sin (2.0 * M_PI * 64.0 * i / 2048.0); });
    tick (30);

    analyzer.setSize (684, 210);
    const auto image = test::render (analyzer);
    const auto file = test::writePng (image, "spectrum.png");
    std::cout << "spectrum picture: " << file.getFullPathName() << std::endl;

    EXPECT_EQ (image.getPixelAt (0, 0).getAlpha(), 0) << "rounded corner";
    EXPECT_TRUE (test::sameColour (image.getPixelAt (600, 30), theme.panel)) << "empty panel above the curve";
    EXPECT_TRUE (test::sameColour (image.getPixelAt (600, 105), theme.panel.overlaidWith (theme.track.withAlpha (0.6f))))
        << "grid line at h / 2";

    // The tone's peak reaches near the top at x = 8 + xn * 668.
    const int peakX = 8 + (int) std::round (SpectrumAnalyzer::normalisedPositionOfBin (64) * 668.0f);
    int topOfCurve = 210;
    for (int x = peakX - 1; x <= peakX + 1; ++x)
        for (int y = 20; y < topOfCurve; ++y)
            if (! test::sameColour (image.getPixelAt (x, y), theme.panel, 6))
            {
                topOfCurve = y;
                break;
            }
    const float expectedY = 202.0f - analyzer.getLevels()[64] * 194.0f;
    EXPECT_NEAR ((float) topOfCurve, expectedY, 3.0f);

    // Caption in the top-left corner.
    bool captionPixels = false;
    for (int y = 6; y < 18; ++y)
        for (int x = 10; x < 70; ++x)
            captionPixels |= test::sameColour (image.getPixelAt (x, y), theme.textFaint, 30);
    EXPECT_TRUE (captionPixels);
}

TEST_F (Analyzer, NarrowComponentDrawsNoGrid)
{
    const auto& theme = qen::ui::mutableTheme();
    analyzer.setSize (12, 100);
    const auto image = test::render (analyzer);
    for (int x = 0; x < 12; ++x)
        EXPECT_FALSE (test::sameColour (image.getPixelAt (x, 50), theme.panel.overlaidWith (theme.track.withAlpha (0.6f)), 0)) << x;
}

} // namespace
