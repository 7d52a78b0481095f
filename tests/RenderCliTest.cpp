// End-to-end checks of the vazezav-render program itself.

#include "test_utils/Signals.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <regex>

namespace
{

struct Run
{
    int exitCode = -1;
    juce::String output;
};

Run runTool (const juce::StringArray& arguments, int streams = juce::ChildProcess::wantStdErr)
{
    juce::StringArray command{ VAZEZAV_RENDER_PATH };
    command.addArray (arguments);

    juce::ChildProcess process;
    Run run;
    if (! process.start (command, streams))
        return run;

    run.output = process.readAllProcessOutput();
    process.waitForProcessToFinish (120000);
    run.exitCode = (int) process.getExitCode();
    return run;
}

double figureAfter (const juce::String& text, const std::string& label)
{
    std::smatch match;
    const auto s = text.toStdString();
    if (! std::regex_search (s, match, std::regex (label + ": (-?[0-9.]+) dB")))
        return std::nan ("");
    return std::stod (match[1]);
}

class RenderCli : public ::testing::Test
{
protected:
    juce::TemporaryFile folderHolder;
    juce::File folder;

    void SetUp() override
    {
        folder = folderHolder.getFile();
        folder.createDirectory();
    }

    void TearDown() override { folder.deleteRecursively(); }

    juce::File file (const juce::String& name) const { return folder.getChildFile (name); }

    static void writeWav (const juce::File& target, const std::vector<std::vector<float>>& channels, int bits = 32, double rate = 48000.0)
    {
        target.deleteFile();
        juce::AudioBuffer<float> buffer ((int) channels.size(), (int) channels.front().size());
        for (size_t ch = 0; ch < channels.size(); ++ch)
            buffer.copyFrom ((int) ch, 0, channels[ch].data(), (int) channels[ch].size());

        auto stream = target.createOutputStream();
        std::unique_ptr<juce::AudioFormatWriter> writer (
            juce::WavAudioFormat().createWriterFor (stream.get(), rate, (unsigned) channels.size(), bits, {}, 0));
        stream.release();
        writer->writeFromAudioSampleBuffer (buffer, 0, buffer.getNumSamples());
    }

    static juce::AudioBuffer<float> readWav (const juce::File& source)
    {
        juce::AudioFormatManager formats;
        formats.registerBasicFormats();
        std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (source));
        juce::AudioBuffer<float> buffer ((int) reader->numChannels, (int) reader->lengthInSamples);
        reader->read (&buffer, 0, buffer.getNumSamples(), 0, true, true);
        return buffer;
    }

    /** A stereo float file: 1.5 s of noise, then noise and a tone. */
    juce::File noisyInput()
    {
        const int length = 48000 * 3;
        auto left = test::whiteNoise (length, 0.05f, 1);
        auto right = test::whiteNoise (length, 0.05f, 2);
        const auto tone = test::sine (length, 440.0 / 48000.0, 0.5f);
        for (int i = 72000; i < length; ++i)
        {
            left[(size_t) i] += tone[(size_t) i];
            right[(size_t) i] += tone[(size_t) i];
        }
        const auto input = file ("in.wav");
        writeWav (input, { left, right });
        return input;
    }
};

TEST_F (RenderCli, DemoReportsItsFiguresAndWritesItsFiles)
{
    const struct
    {
        const char* amount;
        const char* sensitivity;
        double low, high;
    } cases[] = {
        // The gain rule is soft: most noise bins sit a little under the threshold.
        { "70", "40", 8.0, 11.0 },
        { "100", "100", 18.0, 30.0 },
    };

    for (const auto& c : cases)
    {
        const auto demo = file (juce::String ("demo-") + c.amount);
        const auto run = runTool ({ "--demo", demo.getFullPathName(), "--amount", c.amount, "--sensitivity", c.sensitivity },
                                  juce::ChildProcess::wantStdOut);
        ASSERT_EQ (run.exitCode, 0) << run.output;

        const double reduction = figureAfter (run.output, "noise reduction in the noise-only stretch");
        EXPECT_GE (reduction, c.low) << run.output;
        EXPECT_LE (reduction, c.high) << run.output;

        EXPECT_TRUE (run.output.contains ("signal-to-noise ratio against the clean voice: ")) << run.output;

        for (const char* name : { "noisy.wav", "denoised.wav", "spectrogram.png" })
        {
            EXPECT_TRUE (demo.getChildFile (name).existsAsFile()) << name;
            EXPECT_TRUE (run.output.contains (demo.getChildFile (name).getFullPathName())) << name;
        }
    }
}

TEST_F (RenderCli, AmountZeroGivesTheInputAlignedToTheSample)
{
    const auto input = noisyInput();
    const auto output = file ("out.wav");
    const auto run = runTool ({ input.getFullPathName(), output.getFullPathName(), "--amount", "0", "--noise", "0:1.4" });
    ASSERT_EQ (run.exitCode, 0) << run.output;
    EXPECT_TRUE (run.output.contains ("x real time")) << run.output;
    EXPECT_TRUE (run.output.contains ("learned noise")) << run.output;

    const auto in = readWav (input), out = readWav (output);
    ASSERT_EQ (out.getNumSamples(), in.getNumSamples());
    ASSERT_EQ (out.getNumChannels(), 2);

    for (int ch = 0; ch < 2; ++ch)
        for (int t = 0; t < in.getNumSamples(); ++t)
        {
            const float x = in.getSample (ch, t);
            if (std::abs (x) < 0.02f)
                continue;
            const double ratio = (double) out.getSample (ch, t) / x;
            ASSERT_GE (ratio, 0.99897715 - 5e-6) << ch << " " << t;
            ASSERT_LE (ratio, 0.99906531 + 5e-6) << ch << " " << t;
        }
}

TEST_F (RenderCli, KeepLatencyDelaysByExactly1024Samples)
{
    const auto input = noisyInput();
    const auto output = file ("raw.wav");
    const auto run = runTool ({ "--keep-latency", "--amount", "0", input.getFullPathName(), output.getFullPathName() });
    ASSERT_EQ (run.exitCode, 0) << run.output;
    EXPECT_TRUE (run.output.contains ("placeholder")) << "says that nothing was learned: " << run.output;

    const auto in = readWav (input), out = readWav (output);
    for (int t = 0; t < 1024; ++t)
        ASSERT_LT (std::abs (out.getSample (0, t)), 1e-6f) << t;
    for (int t = 0; t + 1024 < in.getNumSamples(); ++t)
        if (std::abs (in.getSample (0, t)) > 0.02f)
            ASSERT_NEAR (out.getSample (0, t + 1024) / in.getSample (0, t), 0.9990, 1e-4) << t;
}

TEST_F (RenderCli, BlockSizeOneAnd4096GiveIdenticalFiles)
{
    const auto input = noisyInput();
    const auto a = file ("a.wav"), b = file ("b.wav");
    ASSERT_EQ (runTool ({ input.getFullPathName(), a.getFullPathName(), "--noise", "0:1.4", "--block", "1" }).exitCode, 0);
    ASSERT_EQ (runTool ({ input.getFullPathName(), b.getFullPathName(), "--noise", "0:1.4", "--block", "4096" }).exitCode, 0);

    juce::MemoryBlock bytesA, bytesB;
    a.loadFileAsData (bytesA);
    b.loadFileAsData (bytesB);
    EXPECT_GT (bytesA.getSize(), 100000u);
    EXPECT_TRUE (bytesA == bytesB);
}

TEST_F (RenderCli, BadInputGivesOneLineAndWritesNothing)
{
    const auto input = noisyInput();
    const auto textFile = file ("notes.wav");
    textFile.replaceWithText ("these are not samples");
    const auto empty = file ("empty.wav");
    empty.create();
    const auto threeChannels = file ("three.wav");
    writeWav (threeChannels, { test::silence (1000), test::silence (1000), test::silence (1000) });
    const auto shortNoise = file ("short-noise.wav");
    writeWav (shortNoise, { test::whiteNoise (20000, 0.1f, 3) });
    const auto otherRate = file ("noise-44k.wav");
    writeWav (otherRate, { test::whiteNoise (60000, 0.1f, 3) }, 16, 44100.0);
    const auto regularFile = file ("plain.txt");
    regularFile.replaceWithText ("x");

    const auto out = file ("out.wav").getFullPathName();
    const auto in = input.getFullPathName();

    const struct
    {
        const char* what;
        juce::StringArray args;
        const char* mentions;
    } cases[] = {
        { "missing input", { file ("nope.wav").getFullPathName(), out }, "no such file" },
        { "a folder as input", { folder.getFullPathName(), out }, "no such file" },
        { "not audio", { textFile.getFullPathName(), out }, "not a WAV or AIFF" },
        { "empty file", { empty.getFullPathName(), out }, "is empty" },
        { "three channels", { threeChannels.getFullPathName(), out }, "3 channels" },
        { "noise range outside", { in, out, "--noise", "2:9" }, "does not lie inside" },
        { "noise range too short", { in, out, "--noise", "0:0.5" }, "learning needs at least 1.019 s" },
        { "noise file too short", { in, out, "--noise-file", shortNoise.getFullPathName() }, "learning needs at least" },
        { "noise file at another rate", { in, out, "--noise-file", otherRate.getFullPathName() }, "44100 Hz" },
        { "learn-at too late", { in, out, "--learn-at", "2.5" }, "the learning pass needs" },
        { "output is the input", { in, in }, "refusing to overwrite" },
        { "output is the input by another path", { in, folder.getChildFile ("../" + folder.getFileName() + "/in.wav").getFullPathName() }, "refusing" },
        { "output folder missing", { in, file ("missing/out.wav").getFullPathName() }, "is not an existing folder" },
        { "output folder is a file", { in, regularFile.getChildFile ("out.wav").getFullPathName() }, "is not an existing folder" },
        { "unknown output type", { in, file ("out.mp3").getFullPathName() }, ".wav, .aif or .aiff" },
        { "bad amount", { in, out, "--amount", "150" }, "between 0 and 100" },
        { "two noise options", { in, out, "--noise", "0:1.2", "--learn-at", "1" }, "only one of" },
    };

    const auto inputBefore = input.loadFileAsString();

    for (const auto& c : cases)
    {
        const auto run = runTool (c.args);
        EXPECT_NE (run.exitCode, 0) << c.what;
        EXPECT_TRUE (run.output.startsWith ("vazezav-render: ")) << c.what << ": " << run.output;
        EXPECT_EQ (run.output.trimEnd().indexOfChar ('\n'), -1) << c.what << ": one line, got " << run.output;
        EXPECT_TRUE (run.output.contains (c.mentions)) << c.what << ": " << run.output;
        EXPECT_FALSE (file ("out.wav").exists()) << c.what;
        EXPECT_FALSE (file ("out.mp3").exists()) << c.what;
    }

    EXPECT_EQ (input.loadFileAsString(), inputBefore) << "the input is never touched";

    // No temporary files are left behind either.
    EXPECT_EQ (folder.findChildFiles (juce::File::findFiles, false, "*.partial*").size(), 0);
}

TEST_F (RenderCli, FailureLeavesAnExistingOutputAsItWas)
{
    const auto existing = file ("keep.wav");
    existing.replaceWithText ("precious");
    const auto run = runTool ({ file ("missing.wav").getFullPathName(), existing.getFullPathName() });
    EXPECT_NE (run.exitCode, 0);
    EXPECT_EQ (existing.loadFileAsString(), "precious");
}

TEST_F (RenderCli, SpectrogramAndAiffOutput)
{
    const auto input = noisyInput();
    const auto output = file ("out.aiff");
    const auto picture = file ("before-after.png");
    const auto run = runTool ({ input.getFullPathName(), output.getFullPathName(), "--noise", "0:1.4", "--spectrogram", picture.getFullPathName() });
    ASSERT_EQ (run.exitCode, 0) << run.output;

    const auto image = juce::ImageFileFormat::loadFrom (picture);
    EXPECT_TRUE (image.isValid());
    EXPECT_GT (image.getWidth(), 500);

    juce::AudioFormatManager formats;
    formats.registerBasicFormats();
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (output));
    ASSERT_NE (reader, nullptr);
    EXPECT_EQ (reader->numChannels, 2u);
    EXPECT_EQ (reader->lengthInSamples, 48000 * 3);
}

} // namespace
