#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace qen::ui
{

/** The editor's look-and-feel: the theme's colours on top of LookAndFeel_V4,
    and rotary sliders drawn as a thick arc track with an amber value arc and
    glow around a dark body carrying a pill-shaped pointer.
*/
class VozOzerEzoVera : public juce::LookAndFeel_V4
{
public:
    VozOzerEzoVera();

    void drawRotarySlider (juce::Graphics&, int x, int y, int width, int height,
                           float position, float startAngle, float endAngle, juce::Slider&) override;

    /** The shapes of one knob, worked out from the rotary area alone. */
    struct KnobGeometry
    {
        juce::Rectangle<float> bounds;
        juce::Point<float> centre;
        float radius;     // R: outer edge of the arcs
        float stroke;     // t: width of the track and value arcs
        float arcRadius;  // a: centre line of the arcs
        float bodyRadius; // b
        float valueAngle; // theta

        static KnobGeometry forArea (juce::Rectangle<float> area, float position,
                                     float startAngle, float endAngle, float thickness) noexcept;

        /** The pointer as a rounded rectangle pointing straight up from the
            origin, before rotation to valueAngle and translation to the centre.
        */
        juce::Rectangle<float> pointerAtOrigin() const noexcept;
        float pointerCorner() const noexcept;
    };
};

} // namespace qen::ui
