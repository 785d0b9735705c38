#pragma once

#include "common/recording_sink.h"
#include "common/sim_fixture.h"
#include "common/test_settings.h"
#include "core/result_grid.h"
#include "ui/grid_view.h"
#include "ui/screen.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <functional>

namespace tavimond::test {

// One screen on its own, logged on to a fresh simulated instance, with the headers
// and widths that start-up would write into its grids.
template <class S>
class ScreenHarness {
public:
    ScreenHarness() : screen(ScreenContext{sim.cnn, settings})
    {
        for (const GridHeaders &g : screen.gridHeaders()) {
            auto *view = screen.template findChild<GridView *>(g.grid);
            EXPECT_TRUE(view) << g.grid.toStdString();
            if (!view)
                continue;
            view->grid()->setHeaders(g.headers);
            for (int c = 0; c < g.widths.size(); ++c)
                if (g.widths.at(c) >= 0)
                    view->setColumnWidth(c, g.widths.at(c));
        }
        settings.folder = metafiles.path();
        // Live screens stamp points and breaches with the simulated time.
        if constexpr (requires { screen.setClock(std::function<QDateTime()>()); })
            screen.setClock([this] { return sim::Model::start().addSecs(sim.server.model().elapsedSeconds()); });
        screen.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&screen));
        sink().clear();
    }

    template <class W>
    W &widget(const char *name)
    {
        W *w = screen.template findChild<W *>(QLatin1String(name));
        if (!w)
            throw std::runtime_error(std::string("no component ") + name);
        return *w;
    }
    ResultGrid &grid(const char *name) { return *widget<GridView>(name).grid(); }
    QPlainTextEdit &memo(const char *name) { return widget<QPlainTextEdit>(name); }
    QString label(const char *name) { return widget<QLabel>(name).text(); }
    void click(const char *name) { QTest::mouseClick(&widget<QAbstractButton>(name), Qt::LeftButton); }

    static RecordingSink &sink() { return RecordingSink::current(); }

    // Saves a picture of the screen into the folder TAVIMOND_SHOTS names, when it names one.
    void shoot(const char *name)
    {
        const QByteArray shots = qgetenv("TAVIMOND_SHOTS");
        if (shots.isEmpty())
            return;
        QCoreApplication::processEvents();
        EXPECT_TRUE(screen.grab().save(QDir(QString::fromLocal8Bit(shots)).filePath(QLatin1String(name))));
    }

    SimFixture sim;
    TestSettings settings;
    QTemporaryDir metafiles; // the metafile folder: threshold files
    S screen;
};

// The rows of a grid from row 1 on, as lists of cell texts.
inline QList<QStringList> rowsOf(const ResultGrid &grid)
{
    QList<QStringList> out;
    for (int r = 1; r < grid.rowCount(); ++r)
        out << grid.row(r);
    return out;
}

} // namespace tavimond::test
