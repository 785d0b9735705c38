// The lines' raster: what an aliased pen would draw, each pixel by the topmost line.
#include "ui/line_raster.h"

#include <gtest/gtest.h>

using namespace tavimond;

TEST(LineRaster, ALineCoversTheRowsItCrossesInEachColumnAndTheFirstLineStaysOnTop)
{
    LineRaster r;
    r.start(10, 8);
    const QRgb red = 0xFFFF0000, blue = 0xFF0000FF;
    const auto draw = [&](double from) {
        r.setColour(red);
        r.moveTo(from < 4.5 ? 0.5 : 4.5, from < 4.5 ? 1.5 : 5.5);
        if (from < 4.5)
            r.lineTo(4.5, 5.5); // down one row a column
        r.lineTo(9.5, 5.5);     // then level
        r.end();
        r.setColour(blue); // drawn later, so beneath the red line
        r.moveTo(from < 4.5 ? 0.5 : 4.5, 5.5);
        r.lineTo(9.5, 5.5);
        r.end();
    };
    draw(0);
    const QImage image = r.image().copy();
    EXPECT_EQ(image.pixel(0, 1), red);
    EXPECT_EQ(image.pixel(2, 3), red);
    EXPECT_EQ(image.pixel(7, 5), red);  // red on top where both pass
    EXPECT_EQ(image.pixel(1, 5), blue); // blue where red is not
    EXPECT_EQ(qAlpha(image.pixel(7, 2)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 4)), 0);

    // Rows every column of which is written: a line within them adds nothing.
    EXPECT_TRUE(r.covered(5.2, 5.9, 9));
    EXPECT_FALSE(r.covered(4.2, 5.9, 9));
    r.setColour(red);
    for (int row = 0; row < 8; ++row) {
        r.moveTo(0, row + 0.5);
        r.lineTo(9.9, row + 0.5);
        r.end();
    }
    EXPECT_TRUE(r.covered(-3, 20, 9));

    // Drawn again from column 6, each line from a point left of it: the same picture.
    r.start(10, 8);
    draw(0);
    r.redo(6, 10);
    EXPECT_EQ(qAlpha(r.image().pixel(7, 5)), 0);
    draw(5);
    EXPECT_EQ(r.image(), image);
}
