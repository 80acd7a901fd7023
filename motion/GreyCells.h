#pragma once
// A frame reduced to a small grey picture: about GreyCellsWidth cells across, each the mean
// grey of a square block of pixels. Pixels past the last whole block are left out.
#include <QImage>
#include <vector>

constexpr int GreyCellsWidth = 80;

struct GreyCells {
    int width = 0;
    int height = 0;
    std::vector<float> values; // grey 0 to 255, row by row
};

// The side of the blocks for a frame of this width: as many cells across as GreyCellsWidth, or
// one pixel each for a narrower frame. The side stays within MaxCellSide, so that a column of a
// block sums to at most 65,280 (more cells across a frame wider than 20,480 pixels).
constexpr int MaxCellSide = 256;
int CellSide(int frameWidth);

// Reduces frame (any format; RGB888 is read without a copy); false when it has no whole block.
bool ReduceToGreyCells(const QImage& frame, GreyCells& retCells);
