#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

namespace test
{

/** Delivers every message waiting on the message queue (button clicks,
    async updates), the way the host's message loop would.
*/
void pumpMessages();

/** Paints a component, children included, into a new image. */
juce::Image render (juce::Component&, juce::Colour background = juce::Colours::transparentBlack);

/** True when each of the three colour channels and alpha differ by at most tolerance. */
bool sameColour (juce::Colour a, juce::Colour b, int tolerance = 2);

/** Writes a PNG into the test's build folder and returns its full path. */
juce::File writePng (const juce::Image&, const juce::String& fileName);

} // namespace test
