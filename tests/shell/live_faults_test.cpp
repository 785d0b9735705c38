// Live sampling under faults, as a user who leaves the window running meets them: a
// failing tick never stops the timers, and a sample cut short is never taken for a
// complete one. Every live screen, through the window, against the simulated instance.
#include "shell_support.h"

#include "common/screen_support.h"
#include "core/conversions.h"
#include "ui/tick_error_box.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
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

// One live screen: what samples it (a timer with its box, or a button), where the
// sample shows (a grid, or a memo) and a phrase of its first statement.
struct LiveScreen {
    const char *name;
    const char *timer; // null: a button samples it
    const char *control;
    const char *shows;
    const char *phrase;
    bool tally; // column 1 accumulates, column 2 is its Delta
};

const LiveScreen kScreens[] = {
    {"session topology", "Default_timer", "session_check", "sessres_grid", "gv$sqlarea vsa", false},
    {"session statistics", "Default_timer", "sesevt_check", "sesevtgrid_time", "gV$SESSION_EVENT", true},
    {"wait events", "Default_timer", "sr_check", "SRGrid", "gv$system_event", true},
    {"latches", "latch_timer", "Latch_Check", "Latchgrid", "gv$latch order", true},
    {"child latches", "CBCLatch_Timer", "CBC_latch_check", "cbc_latchgrid", "gv$latch_children", true},
    {"touch counts", nullptr, "Button30", "tch_grid", "sys.x$bh", false},
    {"SGA hit ratios", nullptr, "sgahitbut", "DDictGrid", "v$rowcache", false},
    {"buffer cache", nullptr, "bcc_button", "bc_grid", "v$bh", false},
    {"locks", nullptr, "Button99", "lockgrid", "v$lock_type", false},
    {"SQL text", nullptr, "Button23", "sqltextmemo", "GV$SQLTEXT_WITH_NEWLINES", false},
};

class LiveFaults : public test::LoggedOnWindow {
protected:
    void tick(const char *timer)
    {
        server.model().advance(30);
        fire(timer);
    }
    void sample(const LiveScreen &s) { s.timer ? tick(s.timer) : press(s.control); }
    // The grid a view shows (some grids take their view's name only).
    QList<QStringList> rows(const char *view) { return test::rowsOf(*widget<GridView>(view).grid()); }
    QList<QStringList> shown(const LiveScreen &s)
    {
        if (auto *memo = window.findChild<QPlainTextEdit *>(QLatin1String(s.shows)))
            return {{memo->toPlainText()}};
        return rows(s.shows);
    }

    // Only the screen's own box ticked, after what it samples from is there.
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
        if (s.timer)
            check(s.control, true);
    }

    // After a good sample that followed `before` (the last complete one): every Delta is
    // the latest figure less that sample's, never a figure of a cut-short sample.
    void expectDifferencesFrom(const LiveScreen &s, const QList<QStringList> &before)
    {
        int compared = 0;
        if (QLatin1String(s.name) == QLatin1String("session topology")) {
            QHash<QString, QStringList> was, now;
            for (const QStringList &r : before)
                was.insert(r.mid(0, 3).join(QLatin1Char('/')), r);
            for (const QStringList &r : rows("sessres_grid"))
                now.insert(r.mid(0, 3).join(QLatin1Char('/')), r);
            for (const QStringList &d : rows("sessres_grid_del")) {
                const QString key = d.mid(0, 3).join(QLatin1Char('/'));
                if (d.at(0).isEmpty())
                    continue;
                ASSERT_TRUE(was.contains(key) && now.contains(key)) << d.join(QLatin1Char(' '));
                for (int c = 8; c < 15; ++c)
                    EXPECT_NEAR(d.at(c).toDouble(),
                                std::max(0.0, now[key].at(c).toDouble() - was[key].at(c).toDouble()), 1e-6)
                        << "column " << c << " of " << d.join(QLatin1Char(' '));
                ++compared;
            }
        } else if (s.tally) {
            QHash<QString, QString> was;
            for (const QStringList &r : before)
                was.insert(r.at(0), r.at(1));
            for (const QStringList &r : shown(s)) {
                if (r.at(0).isEmpty() || !was.contains(r.at(0)))
                    continue;
                EXPECT_EQ(lenientToInt64(r.at(2)), lenientToInt64(r.at(1)) - lenientToInt64(was.value(r.at(0))))
                    << r.join(QLatin1Char(' '));
                ++compared;
            }
        } else {
            return;
        }
        EXPECT_GT(compared, 3);
    }
};

struct Fault {
    const char *name;
    const char *error; // how the message begins
    std::function<void(const char *phrase)> set;
    std::function<void()> clear;
};

} // namespace

// The first good sample after a cut-short one once failed with "'' is not a valid
// floating point value" and emptied the differences.
TEST_F(LiveFaults, EveryLiveScreenKeepsItsLastCompleteSampleThroughEachFaultAndRecovers)
{
    auto &sid = widget<QComboBox>("sidlist");
    const QList<Fault> faults{
        {"logon denied", "ORA-01017",
         [this](const char *) {
             server.setLogonDenied(true);
             window.cnn().close();
         },
         [this] { server.setLogonDenied(false); }},
        {"unknown service", "ORA-12154", [&](const char *) { sid.setEditText(QStringLiteral("NOSUCHDB")); },
         [&] { sid.setEditText(QStringLiteral("TAVIDB")); }},
        {"connection lost mid-fetch", "ORA-03113", [this](const char *) { server.loseConnectionAfterRows(3); }, [] {}},
        {"time-out", "ORA-01013",
         [this](const char *phrase) { server.setSlowStatement(QLatin1String(phrase), 4000 * 1000); },
         [this] { server.clearFaults(); }},
    };
    for (const LiveScreen &s : kScreens) {
        SCOPED_TRACE(s.name);
        prepare(s);
        sample(s);
        sample(s);
        ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n')).toStdString();
        const bool memo = QLatin1String(s.name) == QLatin1String("SQL text");
        for (const Fault &f : faults) {
            SCOPED_TRACE(f.name);
            const QList<QStringList> before = shown(s);
            const QList<QStringList> deltas = rows("sessres_grid_del");
            f.set(s.phrase);
            sample(s);
            ASSERT_EQ(sink().errors.size(), 1);
            EXPECT_TRUE(sink().errors.at(0).startsWith(QLatin1String(f.error))) << sink().errors.at(0);
            if (QLatin1String(f.error) == QLatin1String("ORA-03113") && !memo) {
                EXPECT_TRUE(sink().errors.at(0).endsWith(QLatin1String(
                    "\nLoading stopped after 3 rows; they were set aside and the grid keeps its previous rows.")))
                    << sink().errors.at(0);
            }
            // Nothing of the failed sample shows.
            EXPECT_EQ(shown(s), before);
            EXPECT_EQ(rows("sessres_grid_del"), deltas);
            sink().clear();
            f.clear();
            sample(s);
            ASSERT_TRUE(sink().errors.isEmpty()) << sink().errors.join(QLatin1Char('\n')).toStdString();
            if (memo)
                EXPECT_TRUE(shown(s).at(0).at(0).contains(QLatin1String("SELECT"), Qt::CaseInsensitive));
            else
                EXPECT_GT(shown(s).size(), 1); // records and the spare row
            expectDifferencesFrom(s, before);
        }
    }
}

// The tick box once took the active window as its parent: opened over another box, it
// closed with that box and lost its count.
TEST_F(LiveFaults, WithEveryStatementFailingTheTicksGoOnInOneBoxThatOutlivesOtherBoxesAndSamplingResumes)
{
    TickBoxSink boxes;
    setMessageSink(&boxes);
    check("sr_check", true);
    // Another box is open and active, as a handler's error box is when a tick fails.
    auto *other = new QMessageBox(QMessageBox::Critical, QStringLiteral("Tavimond"),
                                  QStringLiteral("ORA-00942: table or view does not exist"), QMessageBox::Ok, &window);
    other->setModal(true);
    other->show();
    other->activateWindow();
    for (int wait = 0; wait < 100 && QApplication::activeWindow() != other; ++wait)
        QTest::qWait(10);
    ASSERT_EQ(QApplication::activeWindow(), other);
    server.setNetworkDown(true);
    tick("Default_timer");
    tick("Default_timer");
    const QPointer<TickErrorBox> box = tickErrorBox(QStringLiteral("Default_timer"));
    ASSERT_TRUE(box);
    EXPECT_EQ(box->failures(), 2);
    // The user closes the other box; the tick box stays open with its count.
    QTest::mouseClick(other->button(QMessageBox::Ok), Qt::LeftButton);
    delete other;
    ASSERT_TRUE(box) << "the tick box closed with the other box";
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->failures(), 2);

    // The timer itself ticks every second and fails on: one box counts the failures,
    // open and not modal, with the latest error.
    widget<QLineEdit>("default_timer_text").setText(QStringLiteral("1"));
    ASSERT_EQ(timer("Default_timer")->interval(), 1000);
    const auto waitFor = [](const std::function<bool()> &done) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 30000)
            QTest::qWait(20);
        return done();
    };
    ASSERT_TRUE(waitFor([&] { return boxes.tickErrors.size() >= 5; }));
    server.setNetworkDown(false);
    EXPECT_EQ(tickErrorBox(QStringLiteral("Default_timer")), box.data());
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
    delete box.data();
}
