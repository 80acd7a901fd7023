#include "motion/GreyCells.h"

#include <gtest/gtest.h>

TEST(GreyCells, EachCellIsTheMeanGreyOfItsBlock) {
    // Two blocks across of 2 x 2 pixels at width 160: red, green and blue columns, then white
    // over black; the last column and row are past the whole blocks.
    QImage frame(161, 5, QImage::Format_RGB32);
    frame.fill(Qt::black);
    for (int y = 0; y < 4; ++y) {
        frame.setPixel(0, y, qRgb(255, 0, 0));
        frame.setPixel(1, y, qRgb(0, 255, 0));
        frame.setPixel(2, y, y < 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 255));
        frame.setPixel(3, y, y < 2 ? qRgb(0, 0, 255) : qRgb(255, 255, 255));
    }
    for (int y = 0; y < 5; ++y)
        frame.setPixel(160, y, qRgb(255, 255, 255));
    frame.setPixel(159, 4, qRgb(255, 255, 255));
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_RGB888}) {
        GreyCells cells;
        ASSERT_TRUE(ReduceToGreyCells(frame.convertToFormat(format), cells));
        EXPECT_EQ(cells.width, 80);
        EXPECT_EQ(cells.height, 2);
        EXPECT_NEAR(cells.values[0], (0.299 + 0.587) * 255 / 2, 0.01);
        EXPECT_NEAR(cells.values[1], 0.114 * 255, 0.01);
        EXPECT_NEAR(cells.values[80], (0.299 + 0.587) * 255 / 2, 0.01);
        EXPECT_NEAR(cells.values[81], 255, 0.01);
        EXPECT_EQ(cells.values[79], 0);
        EXPECT_EQ(cells.values[159], 0);
    }
    GreyCells cells;
    EXPECT_FALSE(ReduceToGreyCells(QImage(), cells));
    EXPECT_FALSE(ReduceToGreyCells(QImage(1, 0, QImage::Format_RGB888), cells));
}
