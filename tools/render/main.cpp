// vazezav-render: the plug-in's noise reducer for recordings on disk.

#include "tools/render/Demo.h"
#include "tools/render/RenderError.h"
#include "tools/render/RenderJob.h"

#include <juce_events/juce_events.h>

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <unistd.h>

namespace
{
using namespace qen::render;

constexpr const char* usage =
    "usage: vazezav-render INPUT OUTPUT [options]\n"
    "       vazezav-render --demo DIR [--amount N] [--sensitivity N] [--block N]\n"
    "\n"
    "Removes steady background noise from a mono or stereo WAV or AIFF file.\n"
    "\n"
    "noise profile (one of):\n"
    "  --noise START:END     learn from this noise-only stretch of the input (seconds)\n"
    "  --noise-file FILE     learn from a noise-only recording at the input's sample rate\n"
    "  --learn-at SECONDS    learn while processing, as a click on LEARN NOISE at that moment would\n"
    "options:\n"
    "  --amount N            depth of the cut, 0-100 % of 40 dB (default 70)\n"
    "  --sensitivity N       how far above the noise a bin must rise to pass, 0-100 (default 40)\n"
    "  --block N             block size fed to the processor (default 512)\n"
    "  --keep-latency        keep the plug-in's 1024-sample delay instead of compensating it\n"
    "  --float               write 32-bit floating-point WAV\n"
    "  --spectrogram FILE    also write a before/after spectrogram (PNG)\n"
    "  --quiet               no progress bar\n";

struct UsageError : RenderError
{
    using RenderError::RenderError;
};

double parseNumber (const std::string& option, const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod (text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || ! std::isfinite (value))
        throw UsageError (option + " needs a number, not '" + text + "'");
    return value;
}

float parsePercent (const std::string& option, const std::string& text)
{
    const double value = parseNumber (option, text);
    if (value < 0.0 || value > 100.0)
        throw UsageError (option + " must lie between 0 and 100");
    return (float) value;
}

juce::File fileArgument (const std::string& text)
{
    return juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (text));
}

struct Arguments
{
    RenderOptions options;
    std::optional<juce::File> demoFolder;
    bool quiet = false;
};

Arguments parse (int argc, char** argv)
{
    Arguments args;
    auto& o = args.options;
    std::vector<std::string> positional;
    int noiseOptions = 0;

    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string
        {
            if (i + 1 >= argc)
                throw UsageError (arg + " needs a value");
            return argv[++i];
        };

        if (arg == "-h" || arg == "--help")
        {
            std::cout << usage;
            std::exit (0);
        }
        else if (arg == "--noise")
        {
            const auto range = value();
            const auto colon = range.find (':');
            if (colon == std::string::npos)
                throw UsageError ("--noise takes START:END in seconds, not '" + range + "'");
            o.noiseRange = std::pair{ parseNumber ("--noise", range.substr (0, colon)), parseNumber ("--noise", range.substr (colon + 1)) };
            ++noiseOptions;
        }
        else if (arg == "--noise-file")
        {
            o.noiseFile = fileArgument (value());
            ++noiseOptions;
        }
        else if (arg == "--learn-at")
        {
            o.learnAtSeconds = parseNumber (arg, value());
            ++noiseOptions;
        }
        else if (arg == "--amount")
            o.settings.amount = parsePercent (arg, value());
        else if (arg == "--sensitivity")
            o.settings.sensitivity = parsePercent (arg, value());
        else if (arg == "--block")
        {
            const double block = parseNumber (arg, value());
            if (block < 1 || block > 65536 || block != std::floor (block))
                throw UsageError ("--block must be a whole number from 1 to 65536");
            o.settings.blockSize = (int) block;
        }
        else if (arg == "--keep-latency")
            o.settings.keepLatency = true;
        else if (arg == "--float")
            o.floatOutput = true;
        else if (arg == "--quiet")
            args.quiet = true;
        else if (arg == "--spectrogram")
            o.spectrogram = fileArgument (value());
        else if (arg == "--demo")
            args.demoFolder = fileArgument (value());
        else if (arg.size() > 1 && arg[0] == '-')
            throw UsageError ("unknown option " + arg);
        else
            positional.push_back (arg);
    }

    if (noiseOptions > 1)
        throw UsageError ("give only one of --noise, --noise-file and --learn-at");

    if (args.demoFolder)
    {
        if (! positional.empty())
            throw UsageError ("--demo takes no input or output files");
        return args;
    }

    if (positional.size() != 2)
        throw UsageError ("expected INPUT and OUTPUT (see --help)");

    o.input = fileArgument (positional[0]);
    o.output = fileArgument (positional[1]);
    return args;
}
} // namespace

int main (int argc, char** argv)
{
    // Fonts for the pictures need JUCE's GUI classes; no window is opened.
    const juce::ScopedJuceInitialiser_GUI juce;

    try
    {
        auto args = parse (argc, argv);

        if (args.demoFolder)
        {
            runDemo (*args.demoFolder, args.options.settings, std::cout);
            return 0;
        }

        args.options.showProgress = ! args.quiet && ::isatty (STDERR_FILENO) != 0;

        RenderJob::run (args.options, std::cerr);
        return 0;
    }
    catch (const UsageError& e)
    {
        std::cerr << "vazezav-render: " << e.what() << "\n";
        return 2;
    }
    catch (const std::exception& e)
    {
        std::cerr << "vazezav-render: " << e.what() << "\n";
        return 1;
    }
}
