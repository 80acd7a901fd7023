#pragma once
// A palette for a set of counted colours, by splitting the colour space into boxes.
#include "ColourTable.h"

// Up to maxColours entries, each the mean of a box of colours. The box whose best cut lowers
// the squared error most is cut next, at the plane across one channel that lowers it most,
// until there are maxColours boxes or no box holds two colours. colours are reordered.
std::vector<PaletteEntry> ChoosePalette(std::vector<CountedColour>& colours, size_t maxColours);
