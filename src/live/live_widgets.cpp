#include "live_widgets.h"

#include "core/chart.h"
#include "core/result_grid.h"

#include <QLineEdit>
#include <QPushButton>

namespace tavimond {

ResultGrid *namedGrid(int columns, const char *name, QObject *owner)
{
    auto *g = new ResultGrid(columns, owner);
    g->setObjectName(QLatin1String(name));
    return g;
}

Chart *namedChart(const char *name, const QString &title, QObject *owner)
{
    auto *c = new Chart(owner);
    c->setObjectName(QLatin1String(name));
    c->setTitle(title);
    return c;
}

QPushButton *namedButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

QLineEdit *namedEdit(const char *name, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

} // namespace tavimond
