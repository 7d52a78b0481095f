#include "ui/Theme.h"

namespace qen::ui
{

Theme obsidianTheme()
{
    Theme theme;
    theme.background = juce::Colour (0xff0c0c0e);
    theme.panel = juce::Colour (0xff141417);
    theme.panelRaised = juce::Colour (0xff1a1a1e);
    theme.track = juce::Colour (0xff26262b);
    theme.outline = juce::Colour (0xff34343b);
    theme.accent = juce::Colour (0xffe8b24c);
    theme.accentBright = juce::Colour (0xfff3d38a);
    theme.accentDeep = juce::Colour (0xffc9922f);
    theme.ember = juce::Colour (0xff8a2f1c);
    theme.teal = juce::Colour (0xff37b9a8);
    theme.tealBright = juce::Colour (0xff7fe6d6);
    theme.text = juce::Colour (0xffeceae6);
    theme.textDim = juce::Colour (0xffa6988a);
    theme.textFaint = juce::Colour (0xff6f6357);
    theme.red = juce::Colour (0xffff5c4d);
    theme.green = juce::Colour (0xff8fcb6e);

    theme.cornerRadius = 12.0f;
    theme.knobThickness = 0.16f;
    theme.spacing = 6.0f;
    theme.titleSize = 22.0f;
    theme.headingSize = 15.0f;
    theme.bodySize = 12.0f;
    theme.labelSize = 11.0f;
    theme.smallSize = 10.0f;
    return theme;
}

Theme& mutableTheme()
{
    static Theme theme = obsidianTheme();
    return theme;
}

juce::Font monoFont (float height, bool /*bold*/)
{
    return juce::Font (juce::FontOptions()
                           .withName (juce::Font::getDefaultMonospacedFontName())
                           .withHeight (height)
                           .withStyle ("Bold"));
}

juce::Font sansFont (float height, bool bold)
{
    return juce::Font (juce::FontOptions (height, bold ? juce::Font::bold : juce::Font::plain));
}

} // namespace qen::ui
