#pragma once

#include <juce_graphics/juce_graphics.h>

namespace qen::ui
{

/** Every colour and size the editor paints with. Colours are opaque; views
    derive translucent variants with withAlpha.
*/
struct Theme
{
    juce::Colour background;
    juce::Colour panel;
    juce::Colour panelRaised;
    juce::Colour track;
    juce::Colour outline;
    juce::Colour accent;
    juce::Colour accentBright;
    juce::Colour accentDeep;
    juce::Colour ember;
    juce::Colour teal;
    juce::Colour tealBright;
    juce::Colour text;
    juce::Colour textDim;
    juce::Colour textFaint;
    juce::Colour red;
    juce::Colour green;

    float cornerRadius;
    float knobThickness;
    float spacing;
    float titleSize;
    float headingSize;
    float bodySize;
    float labelSize;
    float smallSize;
};

/** The plug-in's one palette. */
Theme obsidianTheme();

/** The process-wide theme that views read while painting; created from
    obsidianTheme() on first use.
*/
Theme& mutableTheme();

/** The bold face of JUCE's default monospaced typeface; `bold` is accepted
    for symmetry with sansFont, and the face is bold either way.
*/
juce::Font monoFont (float height, bool bold = true);

/** JUCE's default sans-serif typeface. */
juce::Font sansFont (float height, bool bold = false);

} // namespace qen::ui
