#include "flow_layout.h"

#include <QWidget>
#include <algorithm>

namespace tavimond {

FlowLayout::FlowLayout(QWidget *parent) : QLayout(parent)
{
    setSpacing(6);
}

FlowLayout::~FlowLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void FlowLayout::addItem(QLayoutItem *item)
{
    items_ << item;
}

int FlowLayout::count() const
{
    return int(items_.size());
}

QLayoutItem *FlowLayout::itemAt(int index) const
{
    return items_.value(index);
}

QLayoutItem *FlowLayout::takeAt(int index)
{
    return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

Qt::Orientations FlowLayout::expandingDirections() const
{
    return {};
}

bool FlowLayout::hasHeightForWidth() const
{
    return true;
}

int FlowLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

QSize FlowLayout::minimumSize() const
{
    // As narrow as the widest control, however many lines that takes.
    QSize least;
    for (const QLayoutItem *item : items_)
        if (!item->isEmpty())
            least = least.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return least + QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize FlowLayout::sizeHint() const
{
    // Everything on one line.
    int width = 0, height = 0, placed = 0;
    for (const QLayoutItem *item : items_) {
        if (item->isEmpty())
            continue;
        width += item->sizeHint().width() + (placed++ ? spacing() : 0);
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins m = contentsMargins();
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

void FlowLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int FlowLayout::arrange(const QRect &rect, bool place) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int gap = spacing();
    // Lines of items with their widths, then each line placed at its height.
    struct Placed {
        QLayoutItem *item;
        int width;
    };
    QList<QList<Placed>> lines{{}};
    int x = 0;
    for (QLayoutItem *item : items_) {
        if (item->isEmpty())
            continue;
        // As wide as it prefers, at most the line's width, at least its own minimum.
        const int width = std::max(item->minimumSize().width(), std::min(item->sizeHint().width(), area.width()));
        if (!lines.last().isEmpty() && x + gap + width > area.width()) {
            lines << QList<Placed>();
            x = 0;
        }
        x += (lines.last().isEmpty() ? 0 : gap) + width;
        lines.last() << Placed{item, width};
    }
    int y = area.y();
    bool first = true;
    for (const QList<Placed> &line : lines) {
        if (line.isEmpty())
            continue;
        if (!first)
            y += gap;
        first = false;
        int height = 0;
        for (const Placed &p : line)
            height = std::max(height, p.item->hasHeightForWidth() ? p.item->heightForWidth(p.width)
                                                                  : p.item->sizeHint().height());
        int left = area.x();
        for (const Placed &p : line) {
            if (place) {
                const int own = p.item->hasHeightForWidth() ? p.item->heightForWidth(p.width)
                                                            : std::min(p.item->sizeHint().height(), height);
                p.item->setGeometry(QRect(left, y + (height - own) / 2, p.width, own));
            }
            left += p.width + gap;
        }
        y += height;
    }
    return y - area.y() + contentsMargins().top() + contentsMargins().bottom();
}

} // namespace tavimond
