#pragma once

#include "tools/render/OfflineRenderer.h"

#include <juce_core/juce_core.h>

#include <optional>
#include <ostream>

namespace qen::render
{

struct RenderOptions
{
    juce::File input, output;

    std::optional<std::pair<double, double>> noiseRange; // seconds into the input
    std::optional<juce::File> noiseFile;
    std::optional<double> learnAtSeconds;

    RenderSettings settings;
    bool floatOutput = false;
    std::optional<juce::File> spectrogram;
    bool showProgress = false;
};

struct RenderSummary
{
    double seconds = 0.0;
    double cpuSeconds = 0.0;
    std::optional<double> noiseLevelDbfs;
};

/** One run of the command-line tool: checks everything it is given, renders,
    and writes the output (and the picture) atomically. Problems are thrown as
    RenderError before any file is touched where they can be known in advance.
*/
class RenderJob
{
public:
    static RenderSummary run (const RenderOptions&, std::ostream& messages);

    /** The one-line summary printed at the end. */
    static std::string describe (const RenderSummary&, int numChannels, double sampleRate);
};

} // namespace qen::render
