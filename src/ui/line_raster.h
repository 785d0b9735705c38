#pragma once

#include <QImage>
#include <algorithm>
#include <climits>
#include <vector>

namespace tavimond {

// Draws many one-pixel lines into an image, the first line drawn on top: each pixel is
// written once, by the first line that covers it. A line covers, in each pixel column
// it crosses, the rows between where it enters and where it leaves (the pixels an
// aliased pen draws), and what a line covers in one column is taken at once. So the
// cost of a line is the columns it crosses, however many points it has.
//
// A raster can be drawn again from a column on, the columns before it kept: the lines
// are then drawn again in the same order from a point left of that column, and every
// pixel from the column on comes out as a whole drawing would make it.
class LineRaster {
public:
    // An empty, transparent raster of w x h pixels. Rows count as covered (see covered())
    // over the columns before `usedColumns`: most lines end there (the right of a plot
    // with room to grow is empty); by default every column.
    void start(int w, int h, qreal devicePixelRatio = 1.0, int usedColumns = -1);
    // Empties the columns from `fromColumn` on, to be drawn again; what lines cover left
    // of it is not written. Lines now reach up to `usedColumns` (no fewer than before).
    void redo(int fromColumn, int usedColumns);
    void setColour(QRgb colour) { colour_ = colour; }

    // A line is its first point, then the next ones; end() closes it.
    void moveTo(double x, double y);
    void lineTo(double x, double y);
    // The lowest and highest point of a run of points drawn in the column of xa (in the
    // order they came), joined to the line's last point.
    void run(double xa, double ya, double xb, double yb);
    void end();

    // Whether every pixel of the rows from ya down to yb is written from the first
    // column up to lastColumn: a line that stays within them would add nothing. Only
    // columns before `usedColumns` are counted.
    bool covered(double ya, double yb, int lastColumn) const;

    const QImage &image() const { return image_; }

private:
    void cover(int column, double ya, double yb);
    void flush();
    void write(int column, int first, int last);

    int w_ = 0;
    int h_ = 0;
    int words_ = 0;
    int from_ = 0; // the first column written
    int used_ = 0; // columns lines reach
    QRgb colour_ = 0;
    QImage image_;
    quint32 *pixels_ = nullptr; // the image's, row by row
    qsizetype stride_ = 0;       // pixels a row
    std::vector<quint64> covered_; // a bit per pixel, column by column
    std::vector<int> rowWritten_;  // per row: pixels written in the columns lines reach
    int column_ = INT_MIN;         // the column being covered, and its heights so far
    double top_ = 0;
    double bottom_ = 0;
    double x_ = 0; // the line's last point
    double y_ = 0;
    bool open_ = false;
};

// The drawing of a line's points is inline: a chart draws millions at a tick.
namespace raster {

// floor() without a library call per pixel, for coordinates well inside int's range.
inline int floorToInt(double v)
{
    // Truncation of a value made positive is its floor: no compare, no branch. Points
    // more than a million pixels to the left of the raster may be a column off.
    constexpr double kShift = 1048576.0;
    return int(v + kShift) - int(kShift);
}

// A row, kept within [-1, h] so that far-off points cannot overflow.
inline int rowOf(double y, int h)
{
    const double clamped = std::clamp(y, -1.0, double(h));
    return int(clamped + 1.0) - 1; // floor, the value being at least -1
}

} // namespace raster

inline void LineRaster::cover(int column, double ya, double yb)
{
    if (ya > yb)
        std::swap(ya, yb);
    if (column == column_) {
        top_ = std::min(top_, ya);
        bottom_ = std::max(bottom_, yb);
        return;
    }
    flush();
    column_ = column;
    top_ = ya;
    bottom_ = yb;
}

inline void LineRaster::moveTo(double x, double y)
{
    end();
    cover(raster::floorToInt(x), y, y);
    x_ = x;
    y_ = y;
    open_ = true;
}

inline void LineRaster::lineTo(double x, double y)
{
    if (!open_) {
        moveTo(x, y);
        return;
    }
    double x0 = x_, y0 = y_, x1 = x, y1 = y;
    x_ = x;
    y_ = y;
    if (x1 < x0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const int c0 = raster::floorToInt(x0);
    const int c1 = raster::floorToInt(x1);
    if (c0 == c1) {
        cover(c0, y0, y1);
        return;
    }
    // Column by column, the line's height where it enters and where it leaves; the
    // columns outside the raster are passed over.
    const double slope = (y1 - y0) / (x1 - x0);
    const int from = std::max(c0, -1);
    const int to = std::min(c1, w_);
    double enter = from == c0 ? y0 : y0 + (double(from) - x0) * slope;
    for (int c = from; c <= to; ++c) {
        const double leave = c == c1 ? y1 : y0 + (double(c + 1) - x0) * slope;
        cover(c, enter, leave);
        enter = leave;
    }
}

inline void LineRaster::run(double xa, double ya, double xb, double yb)
{
    const int c = raster::floorToInt(xa);
    // Both extremes fall in the run's column, a run being at most a pixel wide; so does
    // the way in from the line's last point when that is in this column or the one before.
    if (open_ && c == column_) {
        top_ = std::min(top_, std::min(ya, yb));
        bottom_ = std::max(bottom_, std::max(ya, yb));
    } else if (open_ && c == column_ + 1) {
        flush();
        column_ = c;
        top_ = std::min(y_, std::min(ya, yb));
        bottom_ = std::max(y_, std::max(ya, yb));
    } else {
        if (open_)
            lineTo(xa, ya); // across columns without points
        else
            moveTo(xa, ya);
        cover(c, ya, yb);
    }
    x_ = xb;
    y_ = yb;
    open_ = true;
}

} // namespace tavimond
