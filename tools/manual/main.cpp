// Writes the user's manual at build time: make_manual MANUAL.md README.md OUT.pdf
#include "manual_builder.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

namespace {

QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw tavimond::manual::ManualError(QStringLiteral("Cannot read \"%1\"").arg(path));
    return QString::fromUtf8(f.readAll()).remove(QLatin1Char('\r'));
}

} // namespace

int main(int argc, char **argv)
{
    // Fonts need a GUI application; the build needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        std::fprintf(stderr, "usage: make_manual MANUAL.md README.md OUT.pdf\n");
        return 2;
    }
    try {
        const QString markdown = tavimond::manual::assembleManual(readText(args[1]), readText(args[2]));
        auto doc = tavimond::manual::manualDocument(markdown);
        const int pages = tavimond::manual::writeManualPdf(*doc, args[3]);
        std::printf("%s: %d pages\n", qPrintable(args[3]), pages);
    } catch (const tavimond::manual::ManualError &e) {
        std::fprintf(stderr, "make_manual: %s\n", e.what());
        return 1;
    }
    return 0;
}
