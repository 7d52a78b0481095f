#include "test_utils/Gui.h"

namespace juce::detail
{
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace test
{

void pumpMessages()
{
    for (int i = 0; i < 1000 && juce::detail::dispatchNextMessageOnSystemQueue (true); ++i)
    {
    }
}

juce::Image render (juce::Component& component, juce::Colour background)
{
    juce::Image image (juce::Image::ARGB, juce::jmax (1, component.getWidth()), juce::jmax (1, component.getHeight()), true);
    juce::Graphics g (image);
    g.fillAll (background);
    component.paintEntireComponent (g, true);
    return image;
}

bool sameColour (juce::Colour a, juce::Colour b, int tolerance)
{
    return std::abs ((int) a.getRed() - (int) b.getRed()) <= tolerance
           && std::abs ((int) a.getGreen() - (int) b.getGreen()) <= tolerance
           && std::abs ((int) a.getBlue() - (int) b.getBlue()) <= tolerance
           && std::abs ((int) a.getAlpha() - (int) b.getAlpha()) <= tolerance;
}

juce::File writePng (const juce::Image& image, const juce::String& fileName)
{
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (fileName);
    file.deleteFile();
    juce::FileOutputStream stream (file);
    juce::PNGImageFormat().writeImageToStream (image, stream);
    return file;
}

} // namespace test
