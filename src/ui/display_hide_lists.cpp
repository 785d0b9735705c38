#include "display_hide_lists.h"

#include "core/chart.h"
#include "handler.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace tavimond {
namespace {

QStringList texts(const QListWidget *list)
{
    QStringList out;
    out.reserve(list->count());
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace

DisplayHideLists::DisplayHideLists(const Names &names, QWidget *parent)
    : QWidget(parent), display_(new QListWidget(this)), hide_(new QListWidget(this))
{
    display_->setObjectName(names.displayList);
    hide_->setObjectName(names.hideList);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Display"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Hide"), this), 0, 2);
    grid->addWidget(display_, 1, 0);
    grid->addWidget(hide_, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addStretch();
    const auto add = [&](const QString &name, const QString &caption, void (DisplayHideLists::*move)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setFixedWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("<<")) + 16);
        connect(b, &QPushButton::clicked, this, guarded([this, move] { (this->*move)(); }));
        buttons->addWidget(b);
    };
    add(names.showSelected, QStringLiteral("<"), &DisplayHideLists::showSelected);
    add(names.hideSelected, QStringLiteral(">"), &DisplayHideLists::hideSelected);
    add(names.showAll, QStringLiteral("<<"), &DisplayHideLists::showAll);
    add(names.hideAll, QStringLiteral(">>"), &DisplayHideLists::hideAll);
    buttons->addStretch();
    grid->addLayout(buttons, 1, 1);
}

void DisplayHideLists::setCharts(const QList<Chart *> &charts)
{
    charts_.clear();
    for (Chart *c : charts)
        charts_ << c;
}

void DisplayHideLists::addKeys(const QStringList &keys)
{
    QStringList all = texts(display_) + texts(hide_);
    QSet<QString> known(all.cbegin(), all.cend());
    for (const QString &key : keys) {
        if (known.contains(key))
            continue;
        known.insert(key);
        display_->addItem(key);
    }
}

void DisplayHideLists::clear()
{
    display_->clear();
    hide_->clear();
}

QStringList DisplayHideLists::displayed() const
{
    return texts(display_);
}

QStringList DisplayHideLists::hidden() const
{
    return texts(hide_);
}

void DisplayHideLists::showSelected()
{
    moveSelected(hide_, display_, true);
}

void DisplayHideLists::hideSelected()
{
    moveSelected(display_, hide_, false);
}

void DisplayHideLists::showAll()
{
    moveAll(hide_, display_, true);
}

void DisplayHideLists::hideAll()
{
    moveAll(display_, hide_, false);
}

void DisplayHideLists::moveSelected(QListWidget *from, QListWidget *to, bool active)
{
    const QList<QListWidgetItem *> selected = from->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem *item = selected.first();
    const QString key = item->text();
    switchSeries(&key, active);
    to->addItem(key);
    delete item;
    // Qt makes a neighbour current and selected when the moved item goes; the next press
    // would move a key the user never chose. Nothing stays selected in either list.
    for (QListWidget *list : {from, to}) {
        list->clearSelection();
        list->setCurrentItem(nullptr);
    }
}

void DisplayHideLists::moveAll(QListWidget *from, QListWidget *to, bool active)
{
    to->addItems(texts(from));
    from->clear();
    switchSeries(nullptr, active);
}

void DisplayHideLists::switchSeries(const QString *title, bool active)
{
    for (const QPointer<Chart> &chart : charts_) {
        if (!chart)
            continue;
        Chart::Batch batch(*chart);
        if (title) {
            for (const int s : chart->seriesTitled(*title))
                chart->setSeriesActive(s, active);
        } else {
            for (int s = 0; s < chart->seriesCount(); ++s)
                chart->setSeriesActive(s, active);
        }
    }
}

} // namespace tavimond
