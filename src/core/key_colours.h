#pragma once

#include "chart.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <vector>

namespace tavimond {

// The colours series take when nothing else gives them one: kPaletteSize colours that
// read apart on white, the earlier the more distinct.
constexpr int kPaletteSize = 24;
Rgb paletteRgb(int index);

// The colours of the keys of one screen's charts. A key (a series' title) has one
// colour in every chart that shares the book, dealt when it first appears: the colour
// fewest keys on show hold, the earliest of them. A key gives its colour back once no
// chart of the book has a series with it, so the keys on show differ in colour as long
// as the palette lasts, and a run that starts from empty charts deals from the first
// colour again.
class KeyColours {
public:
    // A chart whose keys the book colours; it leaves the book when it is destroyed.
    void share(Chart &chart);
    // The palette index of series `series` of `chart`, a chart of the book. Keys of the
    // chart that are not dealt yet are dealt now, in series order.
    int indexOf(const Chart &chart, int series);

private:
    void releaseUnused();

    std::vector<QPointer<Chart>> charts_;
    QHash<QString, int> index_;
    std::vector<int> holders_ = std::vector<int>(size_t(kPaletteSize), 0); // keys per colour
};

} // namespace tavimond
