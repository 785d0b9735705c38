#include "shell/main_window.h"
#include "ui/handler.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavimond"));
    tavimond::installMessageBoxes();
    tavimond::TForm1 window;
    window.show();
    tavimond::runGuarded([&] { window.FormShow(); });
    return app.exec();
}
