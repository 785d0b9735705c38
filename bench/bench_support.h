#pragma once

#include "core/messages.h"
#include "core/settings.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <functional>

namespace tavimond::bench {

// The settings a screen reads in a benchmark: files go to /tmp.
class BenchSettings : public Settings {
public:
    QString metafileFolder() const override { return QStringLiteral("/tmp"); }
    QString serviceName() const override { return QStringLiteral("TAVIDB"); }
    QString csvFileName() const override { return QStringLiteral("/tmp/csvexport.csv"); }
    QString csvDelimiter() const override { return QStringLiteral(","); }
};

// Keeps the error boxes a benchmark's screens raise, so that it can report them.
class QuietSink : public MessageSink {
public:
    void error(const QString &text) override { errors << text; }
    void info(const QString &) override {}
    QStringList errors;
};

inline QuietSink &quietSink()
{
    static QuietSink sink;
    return sink;
}

// A benchmark program's main: screens offscreen, message boxes kept quiet. What the
// benchmarks keep across runs is let go by atExit, while the application still stands.
inline int runBenchmarks(int argc, char **argv, const std::function<void()> &atExit = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setMessageSink(&quietSink());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (atExit)
        atExit();
    return 0;
}

// A figure of /proc/self/status in megabytes: "VmRSS:" now, "VmHWM:" at its peak.
inline double statusMegabytes(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024;
    return 0;
}

// Makes the peak figure start again from the present size (Linux: "5" to clear_refs).
inline void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

} // namespace tavimond::bench
