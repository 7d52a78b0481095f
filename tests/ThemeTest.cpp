#include "ui/Theme.h"

#include <gtest/gtest.h>

namespace
{
using qen::ui::Theme;

TEST (Theme, ObsidianValues)
{
    const auto theme = qen::ui::obsidianTheme();

    const std::pair<juce::Colour Theme::*, juce::uint32> colours[] = {
        { &Theme::background, 0xff0c0c0e },
        { &Theme::panel, 0xff141417 },
        { &Theme::panelRaised, 0xff1a1a1e },
        { &Theme::track, 0xff26262b },
        { &Theme::outline, 0xff34343b },
        { &Theme::accent, 0xffe8b24c },
        { &Theme::accentBright, 0xfff3d38a },
        { &Theme::accentDeep, 0xffc9922f },
        { &Theme::ember, 0xff8a2f1c },
        { &Theme::teal, 0xff37b9a8 },
        { &Theme::tealBright, 0xff7fe6d6 },
        { &Theme::text, 0xffeceae6 },
        { &Theme::textDim, 0xffa6988a },
        { &Theme::textFaint, 0xff6f6357 },
        { &Theme::red, 0xffff5c4d },
        { &Theme::green, 0xff8fcb6e },
    };

    for (const auto& [field, argb] : colours)
        EXPECT_EQ ((theme.*field).getARGB(), argb) << std::hex << argb;

    const std::pair<float Theme::*, float> metrics[] = {
        { &Theme::cornerRadius, 12.0f },
        { &Theme::knobThickness, 0.16f },
        { &Theme::spacing, 6.0f },
        { &Theme::titleSize, 22.0f },
        { &Theme::headingSize, 15.0f },
        { &Theme::bodySize, 12.0f },
        { &Theme::labelSize, 11.0f },
        { &Theme::smallSize, 10.0f },
    };

    for (const auto& [field, value] : metrics)
        EXPECT_EQ (theme.*field, value) << value;
}

TEST (Theme, MutableThemeIsOneSharedCopyOfObsidian)
{
    auto& first = qen::ui::mutableTheme();
    auto& second = qen::ui::mutableTheme();
    EXPECT_EQ (&first, &second);
    EXPECT_EQ (first.accent, qen::ui::obsidianTheme().accent);

    const auto saved = first.accent;
    first.accent = juce::Colours::red;
    EXPECT_EQ (qen::ui::obsidianTheme().accent.getARGB(), 0xffe8b24cu) << "a fresh record is unaffected";
    EXPECT_EQ (qen::ui::mutableTheme().accent, juce::Colours::red);
    first.accent = saved;
}

TEST (Theme, Fonts)
{
    for (float height : { 10.0f, 12.0f, 22.0f })
    {
        const auto bold = qen::ui::sansFont (height, true);
        const auto regular = qen::ui::sansFont (height, false);
        EXPECT_TRUE (bold.isBold());
        EXPECT_FALSE (regular.isBold());
        EXPECT_FLOAT_EQ (bold.getHeight(), height);
        EXPECT_FLOAT_EQ (regular.getHeight(), height);
        EXPECT_EQ (regular.getTypefaceName(), juce::Font::getDefaultSansSerifFontName());

        const auto mono = qen::ui::monoFont (height, true);
        EXPECT_TRUE (mono.isBold());
        EXPECT_FLOAT_EQ (mono.getHeight(), height);
        EXPECT_EQ (mono.getTypefaceName(), juce::Font::getDefaultMonospacedFontName());
    }
}

TEST (Theme, FontsResolveToRealFaces)
{
    // Text must render on a machine without a desktop: both default names
    // resolve to installed faces with glyphs.
    for (const auto& font : { qen::ui::monoFont (12.0f), qen::ui::sansFont (12.0f, false) })
    {
        const auto typeface = font.getTypefacePtr();
        ASSERT_NE (typeface, nullptr);
        EXPECT_GT (juce::GlyphArrangement::getStringWidth (font, "LEARN NOISE"), 30.0f);
    }

    const auto mono = qen::ui::monoFont (12.0f);
    EXPECT_FLOAT_EQ (juce::GlyphArrangement::getStringWidth (mono, "iiii"), juce::GlyphArrangement::getStringWidth (mono, "WWWW")) << "monospaced";
}

} // namespace
