#pragma once

#include "plugin/PluginProcessor.h"

#include <cstdint>
#include <vector>

namespace test
{

/** Sine of the given amplitude; frequency in cycles per sample. */
std::vector<float> sine (int numSamples, double cyclesPerSample, float amplitude, double phase = 0.0);

/** Uniform white noise in [-amplitude, amplitude] from a fixed seed. */
std::vector<float> whiteNoise (int numSamples, float amplitude, uint32_t seed);

std::vector<float> silence (int numSamples);

/** A processor prepared at the given rate with mono or stereo buses. */
std::unique_ptr<VazezavProcessor> makePrepared (double sampleRate = 48000.0, int numChannels = 2, int blockSize = 512);

/** Runs the processor over per-channel signals, cut into blocks of blockSize,
    and returns the output, channel by channel.
*/
std::vector<std::vector<float>> process (VazezavProcessor&, const std::vector<std::vector<float>>& input, int blockSize);

} // namespace test
