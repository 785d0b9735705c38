#include "key_colours.h"

#include <algorithm>

namespace tavimond {

Rgb paletteRgb(int index)
{
    // Ten well-known chart colours first, then fourteen chosen to stay as far from all
    // before them as they can while still reading on white.
    static constexpr Rgb kPalette[kPaletteSize] = {
        0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b, 0xe377c2, 0x7f7f7f,
        0xbcbd22, 0x17becf, 0x005500, 0x1100ee, 0x881166, 0x005555, 0x99aaff, 0xee9999,
        0x554455, 0x88bb99, 0xccaa77, 0x555533, 0xbbaabb, 0xdd0077, 0x55aadd, 0x996600,
    };
    return kPalette[((index % kPaletteSize) + kPaletteSize) % kPaletteSize];
}

void KeyColours::share(Chart &chart)
{
    std::erase_if(charts_, [](const QPointer<Chart> &c) { return c.isNull(); });
    if (std::find(charts_.begin(), charts_.end(), &chart) == charts_.end())
        charts_.emplace_back(&chart);
}

void KeyColours::releaseUnused()
{
    std::erase_if(charts_, [](const QPointer<Chart> &c) { return c.isNull(); });
    for (auto it = index_.begin(); it != index_.end();) {
        const bool shown = std::any_of(charts_.begin(), charts_.end(),
                                       [&](const QPointer<Chart> &c) { return !c->seriesTitled(it.key()).empty(); });
        if (shown) {
            ++it;
        } else {
            --holders_[size_t(it.value())];
            it = index_.erase(it);
        }
    }
}

int KeyColours::indexOf(const Chart &chart, int series)
{
    const QString &key = chart.series(series).title();
    if (const auto it = index_.constFind(key); it != index_.constEnd())
        return it.value();
    releaseUnused();
    const auto deal = [this](const QString &k) {
        const auto fewest = std::min_element(holders_.begin(), holders_.end());
        ++*fewest;
        index_.insert(k, int(fewest - holders_.begin()));
    };
    // Series with colours of their own need none of the palette's.
    for (int s = 0; s < chart.seriesCount(); ++s)
        if (!chart.series(s).color() && !index_.contains(chart.series(s).title()))
            deal(chart.series(s).title());
    if (!index_.contains(key))
        deal(key);
    return index_.value(key);
}

} // namespace tavimond
