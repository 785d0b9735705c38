#include "locks_tab.h"

namespace tavimond {

LocksTab::LocksTab(const PartContext &context) : QWidget(context.tab), context_(context)
{}

} // namespace tavimond
