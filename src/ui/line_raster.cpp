#include "line_raster.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace tavimond {

void LineRaster::start(int w, int h, qreal devicePixelRatio, int usedColumns)
{
    w_ = std::max(w, 0);
    h_ = std::max(h, 0);
    words_ = (h_ + 63) / 64;
    from_ = 0;
    used_ = usedColumns < 0 ? w_ : std::min(usedColumns, w_);
    if (image_.width() != w_ || image_.height() != h_)
        image_ = QImage(w_, h_, QImage::Format_ARGB32_Premultiplied);
    image_.fill(0);
    image_.setDevicePixelRatio(devicePixelRatio);
    pixels_ = w_ > 0 && h_ > 0 ? reinterpret_cast<quint32 *>(image_.bits()) : nullptr;
    stride_ = image_.bytesPerLine() / qsizetype(sizeof(quint32));
    covered_.assign(size_t(w_) * size_t(words_), 0);
    rowWritten_.assign(size_t(h_), 0);
    column_ = INT_MIN;
    open_ = false;
}

void LineRaster::redo(int fromColumn, int usedColumns)
{
    from_ = std::clamp(fromColumn, 0, w_);
    // Pixels of the columns emptied no longer count for their rows.
    for (int c = from_; c < std::min(used_, w_); ++c) {
        const quint64 *bits = covered_.data() + size_t(c) * size_t(words_);
        for (int word = 0; word < words_; ++word)
            for (quint64 b = bits[word]; b; b &= b - 1)
                --rowWritten_[size_t((word << 6) + std::countr_zero(b))];
    }
    std::fill(covered_.begin() + qsizetype(from_) * words_, covered_.end(), 0);
    if (pixels_)
        pixels_ = reinterpret_cast<quint32 *>(image_.bits()); // a copy of the image keeps what it showed
    if (pixels_)
        for (int r = 0; r < h_; ++r)
            std::fill(pixels_ + r * stride_ + from_, pixels_ + r * stride_ + w_, 0);
    used_ = std::clamp(usedColumns, used_, w_);
    column_ = INT_MIN;
    open_ = false;
}

void LineRaster::flush()
{
    const int c = column_;
    column_ = INT_MIN;
    if (c < from_ || c >= w_ || bottom_ < 0 || top_ >= h_)
        return;
    write(c, std::max(raster::rowOf(top_, h_), 0), std::min(raster::rowOf(bottom_, h_), h_ - 1));
}

void LineRaster::write(int c, int first, int last)
{
    quint64 *bits = covered_.data() + size_t(c) * size_t(words_);
    const bool counted = c < used_;
    for (int word = first >> 6; word <= last >> 6; ++word) {
        const int lo = std::max(first - (word << 6), 0);
        const int hi = std::min(last - (word << 6), 63);
        const quint64 mask = (hi - lo == 63 ? ~quint64(0) : ((quint64(1) << (hi - lo + 1)) - 1)) << lo;
        for (quint64 open = mask & ~bits[word]; open; open &= open - 1) {
            const int row = (word << 6) + std::countr_zero(open);
            pixels_[row * stride_ + c] = colour_;
            if (counted)
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

bool LineRaster::covered(double ya, double yb, int lastColumn) const
{
    if (lastColumn >= used_)
        return false;
    if (ya > yb)
        std::swap(ya, yb);
    const int first = std::max(raster::rowOf(ya, h_), 0);
    const int last = std::min(raster::rowOf(yb, h_), h_ - 1);
    for (int r = first; r <= last; ++r)
        if (rowWritten_[size_t(r)] < used_)
            return false;
    return true;
}

} // namespace tavimond
