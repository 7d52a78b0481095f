#include "ui/VozOzerEzoVera.h"

#include "ui/Theme.h"

namespace qen::ui
{
namespace
{
    constexpr juce::uint8 translucent = 0x40;
    constexpr float rotaryInset = 6.0f;
} // namespace

VozOzerEzoVera::VozOzerEzoVera()
{
    const auto& theme = mutableTheme();

    setColour (juce::ResizableWindow::backgroundColourId, theme.background);
    setColour (juce::Slider::textBoxTextColourId, theme.text);
    setColour (juce::Slider::textBoxOutlineColourId, juce::Colours::transparentBlack);
    setColour (juce::Label::textColourId, theme.text);
    setColour (juce::ComboBox::backgroundColourId, theme.background);
    setColour (juce::ComboBox::textColourId, theme.text);
    setColour (juce::ComboBox::outlineColourId, theme.outline);
    setColour (juce::ComboBox::arrowColourId, theme.accent);
    setColour (juce::PopupMenu::backgroundColourId, theme.panel);
    setColour (juce::PopupMenu::highlightedBackgroundColourId, theme.accent.withAlpha (translucent));
    setColour (juce::TextButton::buttonColourId, theme.panel);
    setColour (juce::TextButton::buttonOnColourId, theme.accent);
    setColour (juce::TextButton::textColourOffId, theme.textDim);
    setColour (juce::TextButton::textColourOnId, theme.background);
}

VozOzerEzoVera::KnobGeometry VozOzerEzoVera::KnobGeometry::forArea (juce::Rectangle<float> area, float position,
                                                                    float startAngle, float endAngle, float thickness) noexcept
{
    KnobGeometry g;
    g.bounds = area.reduced (rotaryInset);
    g.bounds.setSize (juce::jmax (0.0f, g.bounds.getWidth()), juce::jmax (0.0f, g.bounds.getHeight()));
    g.radius = juce::jmin (g.bounds.getWidth(), g.bounds.getHeight()) / 2.0f;
    g.centre = g.bounds.getCentre();
    g.stroke = g.radius * thickness;
    g.arcRadius = g.radius - g.stroke / 2.0f;
    g.bodyRadius = g.radius - 1.7f * g.stroke;
    g.valueAngle = startAngle + position * (endAngle - startAngle);
    return g;
}

juce::Rectangle<float> VozOzerEzoVera::KnobGeometry::pointerAtOrigin() const noexcept
{
    return { -0.32f * stroke, -0.88f * bodyRadius, 0.64f * stroke, 0.88f * bodyRadius * 0.55f };
}

float VozOzerEzoVera::KnobGeometry::pointerCorner() const noexcept { return 0.32f * stroke; }

void VozOzerEzoVera::drawRotarySlider (juce::Graphics& g, int x, int y, int width, int height,
                                       float position, float startAngle, float endAngle, juce::Slider&)
{
    const auto& theme = mutableTheme();
    const auto knob = KnobGeometry::forArea (juce::Rectangle<int> (x, y, width, height).toFloat(),
                                             position, startAngle, endAngle, theme.knobThickness);

    const auto strokeOfWidth = [] (float w)
    { return juce::PathStrokeType (w, juce::PathStrokeType::curved, juce::PathStrokeType::rounded); };

    juce::Path track;
    track.addCentredArc (knob.centre.x, knob.centre.y, knob.arcRadius, knob.arcRadius, 0.0f, startAngle, endAngle, true);
    g.setColour (theme.track);
    g.strokePath (track, strokeOfWidth (knob.stroke));

    juce::Path value;
    value.addCentredArc (knob.centre.x, knob.centre.y, knob.arcRadius, knob.arcRadius, 0.0f, startAngle, knob.valueAngle, true);
    g.setColour (theme.accent.withAlpha (translucent));
    g.strokePath (value, strokeOfWidth (2.0f * knob.stroke));
    g.setColour (theme.accent);
    g.strokePath (value, strokeOfWidth (knob.stroke));

    const auto body = juce::Rectangle<float> (knob.centre.x - knob.bodyRadius, knob.centre.y - knob.bodyRadius,
                                              2.0f * knob.bodyRadius, 2.0f * knob.bodyRadius);
    g.setColour (theme.panelRaised.brighter (0.1f));
    g.fillEllipse (body);
    g.setColour (theme.outline);
    g.drawEllipse (body, 1.0f);

    juce::Path pointer;
    pointer.addRoundedRectangle (knob.pointerAtOrigin(), knob.pointerCorner());
    pointer.applyTransform (juce::AffineTransform::rotation (knob.valueAngle).translated (knob.centre));
    g.setColour (theme.accentBright);
    g.fillPath (pointer);
}

} // namespace qen::ui
