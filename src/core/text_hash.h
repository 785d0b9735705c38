#pragma once

#include <QString>
#include <cstring>

namespace tavimond {

// A quick hash of a text for the indexes that a load or a chart consults at every row:
// a few multiplications per eight bytes, where QHash's keyed hash of a text costs
// several times as much. The texts come from the program's own database, so the keyed
// hash's defence against chosen collisions is not needed there.
struct TextHash {
    size_t operator()(const QString &text) const noexcept
    {
        const char *p = reinterpret_cast<const char *>(text.constData());
        size_t n = size_t(text.size()) * sizeof(QChar);
        quint64 h = 0x9E3779B97F4A7C15ull ^ n;
        for (; n >= 8; n -= 8, p += 8) {
            quint64 w;
            std::memcpy(&w, p, 8);
            h = (h ^ w) * 0xFF51AFD7ED558CCDull;
            h ^= h >> 32;
        }
        quint64 w = 0;
        std::memcpy(&w, p, n);
        h = (h ^ w) * 0xC4CEB9FE1A85EC53ull;
        return size_t(h ^ (h >> 29));
    }
};

} // namespace tavimond
