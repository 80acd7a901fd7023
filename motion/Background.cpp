#include "motion/Background.h"

#include <cmath>

float BackgroundRate(qint64 elapsedMs) {
    if (elapsedMs <= 0)
        return 0;
    return float(1 - std::exp(-double(elapsedMs) / BackgroundMemoryMs));
}

void BlendIntoBackground(const GreyCells& frame, float rate, GreyCells& background) {
    float* cells = background.values.data();
    const float* next = frame.values.data();
    const size_t count = background.values.size();
    for (size_t i = 0; i < count; ++i)
        cells[i] += rate * (next[i] - cells[i]);
}
