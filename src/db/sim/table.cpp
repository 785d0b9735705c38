#include "table.h"

namespace tavimond::sim {

void Table::addRow(const QStringList &values)
{
    const qsizetype n = columns.size();
    for (qsizetype i = 0; i < n; ++i)
        cells.append(i < values.size() ? values.at(i) : QString());
}

} // namespace tavimond::sim
