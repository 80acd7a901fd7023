#pragma once
// Every conversion of a computed value to a whole number rounds to the nearest one, ties to
// the even neighbour (2.5 gives 2, 3.5 gives 4).
#include <cmath>

inline double RoundHalfEven(double value) {
    return std::nearbyint(value);
}
