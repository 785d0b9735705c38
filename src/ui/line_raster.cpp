#include "line_raster.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace tavimond {

void LineRaster::start(int w, int h)
{
    w_ = std::max(w, 0);
    h_ = std::max(h, 0);
    words_ = (h_ + 63) / 64;
    pixels_.assign(size_t(w_) * size_t(h_), 0);
    covered_.assign(size_t(w_) * size_t(words_), 0);
    rowWritten_.assign(size_t(h_), 0);
    column_ = INT_MIN;
    open_ = false;
}

void LineRaster::flush()
{
    const int c = column_;
    column_ = INT_MIN;
    if (c < 0 || c >= w_ || bottom_ < 0 || top_ >= h_)
        return;
    const int first = std::max(raster::rowOf(top_, h_), 0);
    const int last = std::min(raster::rowOf(bottom_, h_), h_ - 1);
    quint64 *bits = covered_.data() + size_t(c) * size_t(words_);
    quint32 *column = pixels_.data() + size_t(c) * size_t(h_);
    for (int word = first >> 6; word <= last >> 6; ++word) {
        const int lo = std::max(first - (word << 6), 0);
        const int hi = std::min(last - (word << 6), 63);
        const quint64 mask = (hi - lo == 63 ? ~quint64(0) : ((quint64(1) << (hi - lo + 1)) - 1)) << lo;
        for (quint64 open = mask & ~bits[word]; open; open &= open - 1) {
            const int row = (word << 6) + std::countr_zero(open);
            column[row] = colour_;
            ++rowWritten_[size_t(row)];
        }
        bits[word] |= mask;
    }
}

void LineRaster::end()
{
    flush();
    open_ = false;
}

bool LineRaster::covered(double ya, double yb) const
{
    if (ya > yb)
        std::swap(ya, yb);
    const int first = std::max(raster::rowOf(ya, h_), 0);
    const int last = std::min(raster::rowOf(yb, h_), h_ - 1);
    for (int r = first; r <= last; ++r)
        if (rowWritten_[size_t(r)] < w_)
            return false;
    return true;
}

QImage LineRaster::image(qreal devicePixelRatio) const
{
    QImage out(w_, h_, QImage::Format_ARGB32_Premultiplied);
    for (int r = 0; r < h_; ++r) {
        auto *line = reinterpret_cast<quint32 *>(out.scanLine(r));
        for (int c = 0; c < w_; ++c)
            line[c] = pixels_[size_t(c) * size_t(h_) + size_t(r)];
    }
    out.setDevicePixelRatio(devicePixelRatio);
    return out;
}

} // namespace tavimond
