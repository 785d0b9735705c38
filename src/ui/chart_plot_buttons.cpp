#include "chart_plot_buttons.h"

#include "core/chart.h"
#include "core/chart_routines.h"
#include "handler.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace tavimond {

ChartPlotButtons::ChartPlotButtons(Chart *chart, const Names &names, QWidget *parent, bool plotAreaHints)
    : QWidget(parent), chart_(chart)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    if (!names.decrease.isEmpty()) {
        decrease_ = addButton(names.decrease, QStringLiteral("<"),
                              plotAreaHints ? QStringLiteral("Decrease Plot Area") : QString());
        connect(decrease_, &QPushButton::clicked, this,
                guarded([this] { chart_->setRightMargin(chart_->rightMargin() + 1); }));
    }
    if (!names.increase.isEmpty()) {
        increase_ = addButton(names.increase, QStringLiteral(">"),
                              plotAreaHints ? QStringLiteral("Increase Plot Area") : QString());
        connect(increase_, &QPushButton::clicked, this,
                guarded([this] { chart_->setRightMargin(chart_->rightMargin() - 1); }));
    }
    if (!names.toggle.isEmpty()) {
        toggle_ = addButton(names.toggle, QStringLiteral("=||"), QStringLiteral("Axis Text Orientation"));
        connect(toggle_, &QPushButton::clicked, this, guarded([this] { ToggleBottomAxisLabels(*chart_); }));
    }
    move(2, 2);
    adjustSize();
    raise();
}

QPushButton *ChartPlotButtons::addButton(const QString &name, const QString &caption, const QString &hint)
{
    auto *b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    const int w = b->fontMetrics().horizontalAdvance(caption) + 10;
    b->setFixedSize(std::max(w, 20), b->fontMetrics().height() + 6);
    layout()->addWidget(b);
    return b;
}

} // namespace tavimond
