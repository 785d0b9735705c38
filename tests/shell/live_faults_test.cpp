// Live sampling under faults, as a user who leaves the window running meets them: a
// failing tick never stops the timers, and a sample cut short is never taken for a
// complete one. Every live screen, through the window, against the simulated instance.
#include "shell_support.h"

#include "common/screen_support.h"
#include "core/conversions.h"
#include "ui/grid_view.h"
#include "ui/tick_error_box.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <functional>

using namespace tavimond;

namespace {

// The window's own sink for timers: ticks' errors in their non-blocking boxes.
class TickBoxSink : public MessageSink {
public:
    void error(const QString &text) override { errors << text; }
    void info(const QString &) override {}
    void tickError(const QString &timer, const QString &text) override
    {
        tickErrors << text;
        showTickError(timer, text);
    }
    QStringList errors;
    QStringList tickErrors;
};

// One live screen: how the user makes it sample, what it shows, and a phrase of its
// first statement.
struct LiveScreen {
    const char *name;
    std::function<void()> sample;
    const char *grid; // the grid that holds the sample; empty for a memo
    const char *memo;
    const char *phrase;
    bool tally; // column 1 accumulates, column 2 is its Delta
};

class LiveFaults : public test::LoggedOnWindow {
protected:
    void press(const char *name) { QTest::mouseClick(&widget<QAbstractButton>(name), Qt::LeftButton); }
    void tick(const char *timer)
    {
        server.model().advance(30);
        fire(timer);
    }
    // The grid a view shows (some grids take their view's name only).
    const ResultGrid &shownGrid(const char *view) { return *widget<GridView>(view).grid(); }
    QList<QStringList> shown(const LiveScreen &s)
    {
        if (!*s.grid)
            return {{widget<QPlainTextEdit>(s.memo).toPlainText()}};
        return test::rowsOf(shownGrid(s.grid));
    }

    // Every live screen, each ready to sample: only its own box ticked.
    QList<LiveScreen> screens()
    {
        return {
            {"session topology", [this] { tick("Default_timer"); }, "sessres_grid", "", "gv$sqlarea vsa", false},
            {"session statistics", [this] { tick("Default_timer"); }, "sesevtgrid_time", "", "gV$SESSION_EVENT", true},
            {"wait events", [this] { tick("Default_timer"); }, "SRGrid", "", "gv$system_event", true},
            {"latches", [this] { tick("latch_timer"); }, "Latchgrid", "", "gv$latch order", true},
            {"child latches", [this] { tick("CBCLatch_Timer"); }, "cbc_latchgrid", "", "gv$latch_children", true},
            {"touch counts", [this] { press("Button30"); }, "tch_grid", "", "sys.x$bh", false},
            {"SGA hit ratios", [this] { press("sgahitbut"); }, "DDictGrid", "", "v$rowcache", false},
            {"buffer cache", [this] { press("bcc_button"); }, "bc_grid", "", "v$bh", false},
            {"locks", [this] { press("Button99"); }, "lockgrid", "", "v$lock_type", false},
            {"SQL text", [this] { press("Button23"); }, "", "sqltextmemo", "GV$SQLTEXT_WITH_NEWLINES", false},
        };
    }

    void prepare(const LiveScreen &s)
    {
        for (const char *box : {"session_check", "sesevt_check", "sr_check", "Latch_Check", "CBC_latch_check"})
            check(box, false);
        const QString name = QLatin1String(s.name);
        if (name == QLatin1String("session statistics") || name == QLatin1String("SQL text")) {
            check("session_check", true);
            tick("Default_timer");
            // A busy session with a statement of its own.
            const ResultGrid &sessions = grid("sessres_grid");
            int row = 1;
            while (row < sessions.rowCount() - 1 && (sessions.cell(4, row) != QLatin1String("ACTIVE") ||
                                                     sessions.cell(3, row).startsWith(QLatin1String("::"))))
                ++row;
            chooseRow(row);
            check("session_check", false);
        }
        if (name == QLatin1String("touch counts")) {
            check("CBC_latch_check", true);
            tick("CBCLatch_Timer");
            check("CBC_latch_check", false);
        }
        const std::map<QString, const char *> boxes{{QStringLiteral("session topology"), "session_check"},
                                                    {QStringLiteral("session statistics"), "sesevt_check"},
                                                    {QStringLiteral("wait events"), "sr_check"},
                                                    {QStringLiteral("latches"), "Latch_Check"},
                                                    {QStringLiteral("child latches"), "CBC_latch_check"}};
        if (const auto it = boxes.find(name); it != boxes.end())
            check(it->second, true);
    }

    // After a good sample that followed `before` (the last complete one): every Delta is
    // the latest figure less that sample's, never a figure of a cut-short sample.
    void expectDifferencesFrom(const LiveScreen &s, const QList<QStringList> &before)
    {
        if (QLatin1String(s.name) == QLatin1String("session topology")) {
            QHash<QString, QStringList> was;
            for (const QStringList &r : before)
                was.insert(r.mid(0, 3).join(QLatin1Char('/')), r);
            int compared = 0;
            for (const QStringList &d : test::rowsOf(shownGrid("sessres_grid_del"))) {
                if (d.at(0).isEmpty())
                    continue;
                const QStringList &old = was[d.mid(0, 3).join(QLatin1Char('/'))];
                const QStringList now = [&] {
                    for (const QStringList &r : test::rowsOf(shownGrid("sessres_grid")))
                        if (r.mid(0, 3) == d.mid(0, 3))
                            return r;
                    return QStringList();
                }();
                ASSERT_FALSE(old.isEmpty() || now.isEmpty()) << d.join(QLatin1Char(' '));
                for (int c = 8; c < 15; ++c)
                    EXPECT_NEAR(d.at(c).toDouble(), std::max(0.0, now.at(c).toDouble() - old.at(c).toDouble()), 1e-6)
                        << s.name << " column " << c << " of " << d.join(QLatin1Char(' '));
                ++compared;
            }
            EXPECT_GT(compared, 3);
            return;
        }
        if (!s.tally)
            return;
        QHash<QString, QString> was;
        for (const QStringList &r : before)
            was.insert(r.at(0), r.at(1));
        int compared = 0;
        for (const QStringList &r : shown(s)) {
            if (r.at(0).isEmpty() || !was.contains(r.at(0)))
                continue;
            EXPECT_EQ(lenientToInt64(r.at(2)), lenientToInt64(r.at(1)) - lenientToInt64(was.value(r.at(0))))
                << s.name << ": " << r.join(QLatin1Char(' '));
            ++compared;
        }
        EXPECT_GT(compared, 3) << s.name;
    }
};

struct Fault {
    const char *name;
    const char *error; // how the message begins
    std::function<void(test::LoggedOnWindow &, sim::Server &, const char *phrase)> set;
    std::function<void(test::LoggedOnWindow &, sim::Server &)> clear;
};

} // namespace

TEST_F(LiveFaults, EveryLiveScreenKeepsItsLastCompleteSampleThroughEachFaultAndRecovers)
{
    auto &sid = widget<QComboBox>("sidlist");
    const QList<Fault> faults{
        {"logon denied", "ORA-01017",
         [this](auto &, sim::Server &s, const char *) {
             s.setLogonDenied(true);
             window.cnn().close();
         },
         [](auto &, sim::Server &s) { s.setLogonDenied(false); }},
        {"unknown service", "ORA-12154",
         [&](auto &, sim::Server &, const char *) { sid.setEditText(QStringLiteral("NOSUCHDB")); },
         [&](auto &, sim::Server &) { sid.setEditText(QStringLiteral("TAVIDB")); }},
        {"connection lost mid-fetch", "ORA-03113",
         [](auto &, sim::Server &s, const char *) { s.loseConnectionAfterRows(3); }, [](auto &, sim::Server &) {}},
        {"time-out", "ORA-01013",
         [](auto &, sim::Server &s, const char *phrase) { s.setSlowStatement(QLatin1String(phrase), 4000 * 1000); },
         [](auto &, sim::Server &s) { s.clearFaults(); }},
    };
    for (const LiveScreen &s : screens()) {
        SCOPED_TRACE(s.name);
        prepare(s);
        s.sample();
        s.sample();
        ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n')).toStdString();
        for (const Fault &f : faults) {
            SCOPED_TRACE(f.name);
            const QList<QStringList> before = shown(s);
            const QList<QStringList> deltas = test::rowsOf(shownGrid("sessres_grid_del"));
            f.set(*this, server, s.phrase);
            s.sample();
            ASSERT_EQ(sink().errors.size(), 1);
            EXPECT_TRUE(sink().errors.at(0).startsWith(QLatin1String(f.error))) << sink().errors.at(0);
            // Nothing of the failed sample shows.
            EXPECT_EQ(shown(s), before);
            EXPECT_EQ(test::rowsOf(shownGrid("sessres_grid_del")), deltas);
            sink().clear();
            f.clear(*this, server);
            s.sample();
            ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n')).toStdString();
            if (*s.grid)
                EXPECT_GT(shown(s).size(), 1); // records and the spare row
            else
                EXPECT_TRUE(shown(s).at(0).at(0).contains(QLatin1String("SELECT"), Qt::CaseInsensitive));
            expectDifferencesFrom(s, before);
        }
    }
}

TEST_F(LiveFaults, ALoadCutShortSaysSoAndTheNextGoodTickGivesTheTrueDifferences)
{
    check("session_check", true);
    tick("Default_timer");
    tick("Default_timer");
    const QList<QStringList> complete = test::rowsOf(shownGrid("sessres_grid"));
    server.loseConnectionAfterRows(6);
    tick("Default_timer");
    ASSERT_EQ(sink().errors.size(), 1);
    EXPECT_EQ(sink().errors.at(0), QStringLiteral("ORA-03113: end-of-file on communication channel\nLoading stopped "
                                                  "after 6 rows; they were set aside and the grid keeps its "
                                                  "previous rows."));
    EXPECT_EQ(test::rowsOf(shownGrid("sessres_grid")), complete);
    sink().clear();
    tick("Default_timer"); // once failed with "'' is not a valid floating point value"
    EXPECT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n')).toStdString();
    expectDifferencesFrom(screens().at(0), complete);
}

TEST_F(LiveFaults, WithEveryStatementFailingTheTicksGoOnAndSamplingResumes)
{
    TickBoxSink boxes;
    setMessageSink(&boxes);
    check("sr_check", true);
    widget<QLineEdit>("default_timer_text").setText(QStringLiteral("1"));
    ASSERT_EQ(timer("Default_timer")->interval(), 1000);
    const auto waitFor = [](const std::function<bool()> &done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 30000)
            QTest::qWait(20);
        return done();
    };

    server.setNetworkDown(true);
    ASSERT_TRUE(waitFor([&] { return boxes.tickErrors.size() >= 5; }));
    server.setNetworkDown(false);
    TickErrorBox *box = tickErrorBox(QStringLiteral("Default_timer"));
    ASSERT_TRUE(box);
    // One box for the five failures, open and not modal, with the latest error and the count.
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(box->failures(), boxes.tickErrors.size());
    EXPECT_TRUE(box->text().startsWith(QLatin1String("ORA-"))) << box->text();
    EXPECT_TRUE(
        box->informativeText().startsWith(QString::number(box->failures()) + QStringLiteral(" ticks of Default_timer")))
        << box->informativeText();
    EXPECT_TRUE(boxes.errors.isEmpty());

    // The network is back: the next ticks sample, the box waiting for the user.
    const int failed = int(boxes.tickErrors.size());
    ASSERT_TRUE(waitFor([&] { return !grid("SRGrid").cell(2, 1).isEmpty(); }));
    EXPECT_EQ(boxes.tickErrors.size(), failed);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->failures(), failed);
    box->done(0);
    EXPECT_EQ(box->failures(), 0); // closed, it counts afresh
    setMessageSink(&sink());
    delete box;
}
