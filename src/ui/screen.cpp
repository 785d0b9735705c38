#include "screen.h"

namespace tavimond {

Screen::Screen(const QString &name, ScreenContext context, QWidget *parent) : QTabWidget(parent), context_(context)
{
    setObjectName(name);
}

} // namespace tavimond
