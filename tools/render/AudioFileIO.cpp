#include "tools/render/AudioFileIO.h"

#include "tools/render/RenderError.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace qen::render
{
namespace
{
    std::string quoted (const juce::File& file) { return "'" + file.getFullPathName().toStdString() + "'"; }

    std::unique_ptr<juce::AudioFormat> formatForExtension (const juce::File& file)
    {
        const auto extension = file.getFileExtension().toLowerCase();

        if (extension == ".wav")
            return std::make_unique<juce::WavAudioFormat>();
        if (extension == ".aif" || extension == ".aiff")
            return std::make_unique<juce::AiffAudioFormat>();

        return nullptr;
    }

    juce::File temporarySibling (const juce::File& target)
    {
        return target.getParentDirectory().getNonexistentChildFile ("." + target.getFileName() + ".partial", "", false);
    }
} // namespace

AudioFile readAudioFile (const juce::File& file)
{
    if (! file.existsAsFile())
        throw RenderError ("cannot open " + quoted (file) + ": no such file");

    juce::FileInputStream probe (file);
    if (probe.failedToOpen())
        throw RenderError ("cannot open " + quoted (file) + ": " + probe.getStatus().getErrorMessage().toStdString());

    if (file.getSize() == 0)
        throw RenderError (quoted (file) + " is empty");

    juce::AudioFormatManager formats;
    formats.registerFormat (new juce::WavAudioFormat(), true);
    formats.registerFormat (new juce::AiffAudioFormat(), false);

    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    if (reader == nullptr)
        throw RenderError (quoted (file) + " is not a WAV or AIFF file this tool can read");

    if (reader->numChannels < 1 || reader->numChannels > 2)
        throw RenderError (quoted (file) + " has " + std::to_string (reader->numChannels) + " channels; only mono and stereo are supported");

    if (reader->lengthInSamples <= 0)
        throw RenderError (quoted (file) + " holds no audio");

    if (reader->lengthInSamples > std::numeric_limits<int>::max())
        throw RenderError (quoted (file) + " is too long to process in one piece");

    if (! (reader->sampleRate > 0.0))
        throw RenderError (quoted (file) + " has no valid sample rate");

    AudioFile audio;
    audio.sampleRate = reader->sampleRate;
    audio.bitsPerSample = (int) reader->bitsPerSample;
    audio.isFloatingPoint = reader->usesFloatingPointData;
    audio.samples.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);

    if (! reader->read (&audio.samples, 0, (int) reader->lengthInSamples, 0, true, true))
        throw RenderError ("cannot read the audio in " + quoted (file));

    return audio;
}

void writeFileAtomically (const juce::File& target, const std::function<void (const juce::File&)>& writeTemporary)
{
    const auto temporary = temporarySibling (target);

    try
    {
        writeTemporary (temporary);

        if (! temporary.moveFileTo (target))
            throw RenderError ("cannot move the finished file into place at " + quoted (target));
    }
    catch (...)
    {
        temporary.deleteFile();
        throw;
    }
}

void writeStreamAtomically (const juce::File& target, const std::function<void (juce::OutputStream&)>& writer)
{
    writeFileAtomically (target, [&] (const juce::File& temporary)
                         {
        juce::FileOutputStream stream (temporary);
        if (stream.failedToOpen())
            throw RenderError ("cannot write to the folder of " + quoted (target));

        writer (stream);
        stream.flush();

        if (stream.getStatus().failed())
            throw RenderError ("writing " + quoted (target) + " failed: " + stream.getStatus().getErrorMessage().toStdString()); });
}

void checkAudioOutputFormat (const juce::File& target, bool floatingPoint)
{
    const auto format = formatForExtension (target);
    if (format == nullptr)
        throw RenderError ("cannot write " + quoted (target) + ": the output must end in .wav, .aif or .aiff");

    if (floatingPoint && dynamic_cast<juce::WavAudioFormat*> (format.get()) == nullptr)
        throw RenderError ("floating-point output needs a .wav file");
}

void writeAudioFileAtomically (const juce::File& target, const juce::AudioBuffer<float>& audio, double sampleRate,
                               int bitsPerSample, bool floatingPoint)
{
    checkAudioOutputFormat (target, floatingPoint);
    auto format = formatForExtension (target);
    const bool isWav = dynamic_cast<juce::WavAudioFormat*> (format.get()) != nullptr;

    // 32 bits means IEEE float in a WAV file and integers in an AIFF file.
    if (! floatingPoint && isWav && bitsPerSample == 32)
        bitsPerSample = 24;
    if (floatingPoint)
        bitsPerSample = 32;
    if (! format->getPossibleBitDepths().contains (bitsPerSample))
        bitsPerSample = 24;

    writeFileAtomically (target, [&] (const juce::File& temporary)
                         {
        auto stream = std::make_unique<juce::FileOutputStream> (temporary);
        if (stream->failedToOpen())
            throw RenderError ("cannot write to the folder of " + quoted (target));

        std::unique_ptr<juce::AudioFormatWriter> writer (
            format->createWriterFor (stream.get(), sampleRate, (unsigned int) audio.getNumChannels(), bitsPerSample, {}, 0));
        if (writer == nullptr)
            throw RenderError ("cannot write " + quoted (target) + " at " + std::to_string (bitsPerSample) + " bits");
        stream.release(); // the writer owns and closes it now

        if (! writer->writeFromAudioSampleBuffer (audio, 0, audio.getNumSamples()))
            throw RenderError ("writing the audio of " + quoted (target) + " failed");

        writer.reset();

        if (temporary.getSize() == 0)
            throw RenderError ("writing the audio of " + quoted (target) + " failed"); });
}

bool isSameFile (const juce::File& a, const juce::File& b)
{
    struct stat sa
    {
    }, sb{};
    if (::stat (a.getFullPathName().toRawUTF8(), &sa) == 0 && ::stat (b.getFullPathName().toRawUTF8(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;

    return a.getLinkedTarget() == b.getLinkedTarget();
}

void checkOutputPath (const juce::File& output, const juce::File& input)
{
    if (isSameFile (output, input))
        throw RenderError ("the output " + quoted (output) + " is the input; refusing to overwrite it");

    const auto folder = output.getParentDirectory();
    if (! folder.isDirectory())
        throw RenderError ("the output folder " + quoted (folder) + " is not an existing folder");

    if (::access (folder.getFullPathName().toRawUTF8(), W_OK) != 0)
        throw RenderError ("the output folder " + quoted (folder) + " is not writable");

    if (output.isDirectory())
        throw RenderError ("the output " + quoted (output) + " is a folder");
}

} // namespace qen::render
