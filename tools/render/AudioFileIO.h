#pragma once

#include <juce_audio_formats/juce_audio_formats.h>

namespace qen::render
{

struct AudioFile
{
    juce::AudioBuffer<float> samples;
    double sampleRate = 0.0;
    int bitsPerSample = 16;
    bool isFloatingPoint = false;
};

/** Reads WAV and AIFF files into memory. Every problem (missing, unreadable,
    unsupported, empty, more than two channels) is a RenderError naming the file.
*/
AudioFile readAudioFile (const juce::File&);

/** Writes a buffer in the format the file's extension names (.wav, .aif,
    .aiff). The data goes to a temporary file in the same folder that is
    renamed into place only when complete, so a failure never leaves a
    half-written file and never damages an existing one.
*/
void writeAudioFileAtomically (const juce::File&, const juce::AudioBuffer<float>&, double sampleRate,
                               int bitsPerSample, bool floatingPoint);

/** Writes a file the same way: `writeTemporary` fills the temporary file it is given. */
void writeFileAtomically (const juce::File&, const std::function<void (const juce::File& temporary)>& writeTemporary);

/** The same, for content that is written to a stream (pictures, for instance). */
void writeStreamAtomically (const juce::File&, const std::function<void (juce::OutputStream&)>& writer);

/** True when both name the same file, through links and relative paths. */
bool isSameFile (const juce::File&, const juce::File&);

/** Refuses an output type other than WAV or AIFF, and floating point outside WAV. */
void checkAudioOutputFormat (const juce::File&, bool floatingPoint);

/** Refuses an output that is the input, or whose folder cannot be written. */
void checkOutputPath (const juce::File& output, const juce::File& input);

} // namespace qen::render
