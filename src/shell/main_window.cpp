#include "main_window.h"

namespace tavimond {

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tavimond(Ver 5.02.15) :"));
    resize(1142, 698);
}

} // namespace tavimond
