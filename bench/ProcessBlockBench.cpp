// processBlock throughput at 48 kHz with default parameters, reported as the
// real-time factor: seconds of audio processed per second of CPU.

#include "dsp/SimpleFFT.h"
#include "plugin/PluginProcessor.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace
{
constexpr double rate = 48000.0;

std::unique_ptr<VazezavProcessor> prepared (int numChannels, int blockSize)
{
    auto processor = std::make_unique<VazezavProcessor>();
    processor->prepareWithChannels (numChannels, rate, blockSize);
    return processor;
}

void fillNoise (juce::AudioBuffer<float>& buffer)
{
    std::mt19937 rng (1);
    std::uniform_real_distribution<float> dist (-0.3f, 0.3f);
    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int s = 0; s < buffer.getNumSamples(); ++s)
            buffer.setSample (ch, s, dist (rng));
}

void processBlock (benchmark::State& state)
{
    const auto numChannels = (int) state.range (0);
    const auto blockSize = (int) state.range (1);
    auto processor = prepared (numChannels, blockSize);
    juce::AudioBuffer<float> source (numChannels, blockSize), buffer (numChannels, blockSize);
    fillNoise (source);
    juce::MidiBuffer midi;

    for (auto _ : state)
    {
        buffer.makeCopyOf (source, true);
        processor->processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    state.counters["realtime_x"] = benchmark::Counter ((double) blockSize / rate, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK (processBlock)
    ->ArgNames ({ "channels", "block" })
    ->ArgsProduct ({ { 2, 1 }, { 64, 512, 4096 } })
    ->Unit (benchmark::kMicrosecond);

// The cost is bursty: every fourth 64-sample block holds a hop for both
// channels. Reports the slowest single block over ten seconds of audio, and
// the 99.9th percentile (less exposed to the scheduler), as fractions of the
// block's 1.33 ms deadline.
void worstBlockAgainstDeadline (benchmark::State& state)
{
    constexpr int blockSize = 64;
    constexpr int numBlocks = (int) (10 * rate) / blockSize;
    const double deadline = blockSize / rate;
    auto processor = prepared (2, blockSize);
    juce::AudioBuffer<float> source (2, blockSize), buffer (2, blockSize);
    fillNoise (source);
    juce::MidiBuffer midi;
    std::vector<double> seconds;
    seconds.reserve ((size_t) numBlocks * 4);

    for (auto _ : state)
    {
        for (int block = 0; block < numBlocks; ++block)
        {
            buffer.makeCopyOf (source, true);
            const auto start = std::chrono::steady_clock::now();
            processor->processBlock (buffer, midi);
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            seconds.push_back (took.count());
        }
    }

    std::sort (seconds.begin(), seconds.end());
    const double worst = seconds.back();
    const double p999 = seconds[(size_t) ((double) (seconds.size() - 1) * 0.999)];
    state.counters["worst_block_us"] = worst * 1e6;
    state.counters["worst_of_deadline"] = worst / deadline;
    state.counters["p99.9_of_deadline"] = p999 / deadline;
}

BENCHMARK (worstBlockAgainstDeadline)->Iterations (3)->Unit (benchmark::kMillisecond);

void fft1024 (benchmark::State& state)
{
    double sourceRe[1024], sourceIm[1024], re[1024], im[1024];
    std::mt19937_64 rng (3);
    std::uniform_real_distribution<double> dist (-1.0, 1.0);
    for (int i = 0; i < 1024; ++i)
        sourceRe[i] = dist (rng), sourceIm[i] = dist (rng);

    for (auto _ : state)
    {
        std::copy (std::begin (sourceRe), std::end (sourceRe), re);
        std::copy (std::begin (sourceIm), std::end (sourceIm), im);
        qen::SimpleFFT::forward (re, im, 1024);
        benchmark::ClobberMemory();
    }
}

BENCHMARK (fft1024)->Unit (benchmark::kMicrosecond);
} // namespace

int main (int argc, char** argv)
{
    std::printf ("sizeof(VazezavProcessor) = %zu bytes\n", sizeof (VazezavProcessor));

    benchmark::Initialize (&argc, argv);
    if (benchmark::ReportUnrecognizedArguments (argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
