#include "screen.h"

#include "core/key_colours.h"

namespace tavimond {

Screen::Screen(const QString &name, ScreenContext context, QWidget *parent)
    : QTabWidget(parent), context_(context), keyColours_(std::make_shared<KeyColours>())
{
    setObjectName(name);
}

} // namespace tavimond
