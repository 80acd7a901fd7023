#include "motion/CellChange.h"

#include <algorithm>
#include <cmath>

namespace {
// Keeps the ratios of black cells, where a level or two of noise is a large factor, tame.
constexpr float DarkOffset = 8;
} // namespace

float BrightnessGain(const GreyCells& frame, const GreyCells& background) {
    const size_t count = frame.values.size();
    if (count == 0)
        return 1;
    std::vector<float> ratios(count);
    for (size_t i = 0; i < count; ++i)
        ratios[i] = (background.values[i] + DarkOffset) / (frame.values[i] + DarkOffset);
    const auto middle = ratios.begin() + std::ptrdiff_t(count / 2);
    std::nth_element(ratios.begin(), middle, ratios.end());
    return *middle;
}

double ChangedShare(const GreyCells& frame, const GreyCells& background, float gain) {
    const size_t count = frame.values.size();
    if (count == 0)
        return 0;
    size_t changed = 0;
    for (size_t i = 0; i < count; ++i)
        changed += std::fabs(gain * frame.values[i] - background.values[i]) > NoiseThreshold;
    return double(changed) / double(count);
}
