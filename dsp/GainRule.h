#pragma once

#include <cmath>

namespace qen
{

/** How the noise reducer maps its parameters and magnitudes to gains.
    Kept apart from the processor so each rule can be checked on its own.
*/
struct GainRule
{
    /** amount in per cent of a 40 dB cut: 0 -> 1, 50 -> 0.1, 100 -> 0.01. */
    static float floorGainFor (float amount) noexcept
    {
        const float decibels = (amount / -100.0f) * 40.0f;
#if defined(__GLIBC__)
        return ::exp10f (decibels / 20.0f);
#else
        return std::pow (10.0f, decibels / 20.0f);
#endif
    }

    /** sensitivity in per cent: 0 -> 1, 100 -> 6 times the noise profile. */
    static float thresholdFactorFor (float sensitivity) noexcept
    {
        return (sensitivity / 100.0f) * 5.0f + 1.0f;
    }

    /** Gain of one bin. At or above the threshold the bin passes; below it
        the gain rises as a parabola from the floor for a silent bin to nearly
        1 just under the threshold. A magnitude that is not a number takes the
        lower branch. The small guard keeps the ratio finite for a zero
        threshold, which every magnitude meets anyway.
    */
    static double gainFor (double magnitude, double threshold, double floor) noexcept
    {
        const double ratio = magnitude / (threshold + 1e-12);
        const double below = floor + (1.0 - floor) * ratio * ratio;
        return magnitude >= threshold ? 1.0 : below;
    }
};

} // namespace qen
