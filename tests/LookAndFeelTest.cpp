#include "test_utils/Gui.h"
#include "ui/Theme.h"
#include "ui/VozOzerEzoVera.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
using qen::ui::VozOzerEzoVera;
constexpr float pi = juce::MathConstants<float>::pi;

TEST (LookAndFeel, ColourTable)
{
    const auto& theme = qen::ui::mutableTheme();
    VozOzerEzoVera lnf;

    const std::pair<int, juce::Colour> table[] = {
        { juce::ResizableWindow::backgroundColourId, theme.background },
        { juce::Slider::textBoxTextColourId, theme.text },
        { juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack },
        { juce::Label::textColourId, theme.text },
        { juce::ComboBox::backgroundColourId, theme.background },
        { juce::ComboBox::textColourId, theme.text },
        { juce::ComboBox::outlineColourId, theme.outline },
        { juce::ComboBox::arrowColourId, theme.accent },
        { juce::PopupMenu::backgroundColourId, theme.panel },
        { juce::PopupMenu::highlightedBackgroundColourId, juce::Colour (0x40e8b24c) },
        { juce::TextButton::buttonColourId, theme.panel },
        { juce::TextButton::buttonOnColourId, theme.accent },
        { juce::TextButton::textColourOffId, theme.textDim },
        { juce::TextButton::textColourOnId, theme.background },
    };

    for (const auto& [id, colour] : table)
        EXPECT_EQ (lnf.findColour (id).getARGB(), colour.getARGB()) << std::hex << id;

    // Everything else keeps LookAndFeel_V4's values.
    juce::LookAndFeel_V4 plain;
    for (int id : { (int) juce::Slider::thumbColourId, (int) juce::Slider::textBoxBackgroundColourId,
                    (int) juce::Label::backgroundColourId, (int) juce::ScrollBar::thumbColourId,
                    (int) juce::TextEditor::backgroundColourId })
        EXPECT_EQ (lnf.findColour (id), plain.findColour (id)) << std::hex << id;
}

TEST (LookAndFeel, KnobGeometryOfTheWorkedExample)
{
    // The editor's knobs: a 237 x 40 rotary area, thickness 0.16.
    const auto g = VozOzerEzoVera::KnobGeometry::forArea ({ 0.0f, 0.0f, 237.0f, 40.0f }, 0.5f, 1.2f * pi, 2.8f * pi, 0.16f);

    EXPECT_EQ (g.bounds, juce::Rectangle<float> (6.0f, 6.0f, 225.0f, 28.0f));
    EXPECT_FLOAT_EQ (g.radius, 14.0f);
    EXPECT_EQ (g.centre, juce::Point<float> (118.5f, 20.0f));
    EXPECT_FLOAT_EQ (g.stroke, 2.24f);
    EXPECT_FLOAT_EQ (g.arcRadius, 12.88f);
    EXPECT_FLOAT_EQ (g.bodyRadius, 10.192f);
    EXPECT_NEAR (g.valueAngle, 2.0f * pi, 1e-5f) << "half way points straight up";

    const auto pointer = g.pointerAtOrigin();
    EXPECT_FLOAT_EQ (pointer.getWidth(), 1.4336f);
    EXPECT_NEAR (-pointer.getY(), 8.969f, 1e-3f) << "tip";
    EXPECT_NEAR (-pointer.getBottom(), 4.036f, 1e-3f) << "inner end";
    EXPECT_FLOAT_EQ (g.pointerCorner(), 0.7168f);
}

TEST (LookAndFeel, KnobGeometryEdgeCases)
{
    const auto tiny = VozOzerEzoVera::KnobGeometry::forArea ({ 0.0f, 0.0f, 12.0f, 30.0f }, 0.3f, 0.0f, 1.0f, 0.16f);
    EXPECT_EQ (tiny.radius, 0.0f);
    EXPECT_EQ (tiny.stroke, 0.0f);
    EXPECT_EQ (tiny.bodyRadius, 0.0f);

    const auto start = VozOzerEzoVera::KnobGeometry::forArea ({ 0.0f, 0.0f, 100.0f, 100.0f }, 0.0f, 1.2f * pi, 2.8f * pi, 0.16f);
    const auto end = VozOzerEzoVera::KnobGeometry::forArea ({ 0.0f, 0.0f, 100.0f, 100.0f }, 1.0f, 1.2f * pi, 2.8f * pi, 0.16f);
    EXPECT_FLOAT_EQ (start.valueAngle, 1.2f * pi);
    EXPECT_FLOAT_EQ (end.valueAngle, 2.8f * pi);

    const auto wide = VozOzerEzoVera::KnobGeometry::forArea ({ 10.0f, 0.0f, 300.0f, 60.0f }, 0.5f, 0.0f, 1.0f, 0.16f);
    EXPECT_FLOAT_EQ (wide.radius, 24.0f) << "the smaller side sets the radius";
    EXPECT_EQ (wide.centre, juce::Point<float> (160.0f, 30.0f));
}

/** Colour at a given distance from the centre in a given direction (JUCE
    angle: 0 up, clockwise).
*/
juce::Colour pixelAt (const juce::Image& image, juce::Point<float> centre, float angle, float distance)
{
    const auto p = centre + juce::Point<float> (std::sin (angle), -std::cos (angle)) * distance;
    return image.getPixelAt ((int) std::floor (p.x), (int) std::floor (p.y));
}

TEST (LookAndFeel, DrawnKnobShowsTrackValueGlowBodyAndPointer)
{
    const auto& theme = qen::ui::mutableTheme();
    VozOzerEzoVera lnf;
    juce::Slider slider;

    constexpr int area = 412, margin = 20; // R = 200, t = 32
    juce::Image image (juce::Image::ARGB, area + 2 * margin, area + 2 * margin, true);
    {
        juce::Graphics g (image);
        g.fillAll (theme.background);
        lnf.drawRotarySlider (g, margin, margin, area, area, 0.5f, 1.2f * pi, 2.8f * pi, slider);
    }
    test::writePng (image, "knob.png");

    const auto c = juce::Point<float> (226.0f, 226.0f);
    const float R = 200.0f, t = 32.0f, b = R - 1.7f * t;
    const float left = 1.5f * pi, right = 0.5f * pi, up = 0.0f, down = pi;

    const auto glowOnly = theme.background.overlaidWith (theme.accent.withAlpha ((juce::uint8) 0x40));

    const struct
    {
        const char* what;
        float angle, distance;
        juce::Colour expected;
    } probes[] = {
        { "track, right of the value", right, R - t / 2.0f, theme.track },
        { "value arc, left", left, R - t / 2.0f, theme.accent },
        { "glow beyond the knob circle", left, R + 0.25f * t, glowOnly },
        { "nothing beyond the track", right, R + 0.25f * t, theme.background },
        { "gap between body and glow", left, R - 1.6f * t, theme.background },
        { "body", down, 0.5f * b, juce::Colour (0xff2e2e32) },
        { "pointer, pointing up", up, 0.6f * b, theme.accentBright },
        { "no pointer near the centre", up, 0.3f * b, juce::Colour (0xff2e2e32) },
    };

    for (const auto& probe : probes)
    {
        const auto actual = pixelAt (image, c, probe.angle, probe.distance);
        EXPECT_TRUE (test::sameColour (actual, probe.expected))
            << probe.what << ": " << actual.toDisplayString (true) << " vs " << probe.expected.toDisplayString (true);
    }
}

} // namespace
