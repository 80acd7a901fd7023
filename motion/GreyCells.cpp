#include "motion/GreyCells.h"

#include <algorithm>
#include <cstdint>

int CellSide(int frameWidth) {
    return std::clamp(frameWidth / GreyCellsWidth, 1, MaxCellSide);
}

bool ReduceToGreyCells(const QImage& frame, GreyCells& retCells) {
    const QImage rgb = frame.format() == QImage::Format_RGB888
                           ? frame
                           : frame.convertToFormat(QImage::Format_RGB888);
    const int side = CellSide(rgb.width());
    const int columns = rgb.width() / side;
    const int rows = rgb.height() / side;
    if (columns == 0 || rows == 0)
        return false;
    retCells.width = columns;
    retCells.height = rows;
    retCells.values.resize(size_t(columns) * size_t(rows));
    // The bytes of a block's rows are summed down the columns first, a loop over plain bytes
    // that the compiler vectorises; the blocks are then read off the column sums.
    const int rowBytes = columns * side * 3;
    std::vector<std::uint16_t> sums(static_cast<size_t>(rowBytes));
    const float scale = 1.0f / float(side * side);
    for (int r = 0; r < rows; ++r) {
        std::fill(sums.begin(), sums.end(), std::uint16_t(0));
        for (int y = r * side; y < (r + 1) * side; ++y) {
            const uchar* line = rgb.constScanLine(y);
            for (int i = 0; i < rowBytes; ++i)
                sums[size_t(i)] = std::uint16_t(sums[size_t(i)] + line[i]);
        }
        float* out = &retCells.values[size_t(r) * size_t(columns)];
        for (int c = 0; c < columns; ++c) {
            const std::uint16_t* block = &sums[size_t(c) * size_t(side) * 3];
            std::uint32_t red = 0, green = 0, blue = 0;
            for (int k = 0; k < side; ++k) {
                red += block[3 * k];
                green += block[3 * k + 1];
                blue += block[3 * k + 2];
            }
            // The luma weights of ITU-R BT.601.
            out[c] = (0.299f * float(red) + 0.587f * float(green) + 0.114f * float(blue)) * scale;
        }
    }
    return true;
}
