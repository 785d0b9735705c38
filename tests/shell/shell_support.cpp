#include "shell_support.h"

#include "shell/main_window.h"

#include <QDesktopServices>
#include <QTest>

namespace tavimond::test {

UrlCatcher::UrlCatcher(const QStringList &schemes) : schemes_(schemes)
{
    for (const QString &s : schemes_)
        QDesktopServices::setUrlHandler(s, this, "handle");
}

UrlCatcher::~UrlCatcher()
{
    for (const QString &s : schemes_)
        QDesktopServices::unsetUrlHandler(s);
}

void writeSimulatedConfig(const TempCurrentFolder &folder)
{
    QDir(folder.path()).mkdir(QStringLiteral("meta"));
    folder.write(QStringLiteral("db.ini"),
                 "ZADERIRODU=SIM\nMETADATA=" + folder.filePath(QStringLiteral("meta")).toUtf8() +
                     "\n[SIM]\nProvider=Simulated;\n[SIM_END]\n");
    folder.write(QStringLiteral("meta/sidlist.txt"), "TAVIDB\nTAVIDB2\n");
}

void startUp(TForm1 &window)
{
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.FormShow();
}

} // namespace tavimond::test
