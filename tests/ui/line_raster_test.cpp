// The lines' raster: what an aliased pen would draw, each pixel by the topmost line.
#include "ui/line_raster.h"

#include <gtest/gtest.h>

using namespace tavimond;

TEST(LineRaster, ALineCoversTheRowsItCrossesInEachColumnAndTheFirstLineStaysOnTop)
{
    LineRaster r;
    r.start(10, 8);
    const QRgb red = 0xFFFF0000, blue = 0xFF0000FF;
    r.setColour(red);
    r.moveTo(0.5, 1.5);
    r.lineTo(4.5, 5.5); // down one row a column
    r.lineTo(9.5, 5.5); // then level
    r.end();
    r.setColour(blue); // drawn later, so beneath the red line
    r.moveTo(0.5, 5.5);
    r.lineTo(9.5, 5.5);
    r.end();
    const QImage image = r.image(1.0);
    EXPECT_EQ(image.pixel(0, 1), red);
    EXPECT_EQ(image.pixel(2, 3), red);
    EXPECT_EQ(image.pixel(7, 5), red);  // red on top where both pass
    EXPECT_EQ(image.pixel(1, 5), blue); // blue where red is not
    EXPECT_EQ(qAlpha(image.pixel(7, 2)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 4)), 0);

    // Rows every column of which is written: a line within them adds nothing.
    EXPECT_TRUE(r.covered(5.2, 5.9));
    EXPECT_FALSE(r.covered(4.2, 5.9));
    r.setColour(red);
    for (int row = 0; row < 8; ++row) {
        r.moveTo(0, row + 0.5);
        r.lineTo(9.9, row + 0.5);
        r.end();
    }
    EXPECT_TRUE(r.covered(-3, 20));
}
