#include "motion/MotionLevel.h"

#include <algorithm>
#include <cmath>

int ClampSensitivity(int sensitivity) {
    return std::clamp(sensitivity, 1, 100);
}

double MotionLevel(int sensitivity) {
    const double step = double(ClampSensitivity(sensitivity) - 1) / 99.0;
    return LevelLeastSensitive * std::pow(LevelMostSensitive / LevelLeastSensitive, step);
}
