// Hostile text typed into every field that reaches a statement, checked on what the
// simulated instance received: a text goes in only as the inside of a literal, the
// statement around it unchanged; a days field takes numbers and their arithmetic only,
// and refuses anything else before a statement is sent.
#include "common/fault_matrix.h"
#include "common/temp_folder.h"

#include "browsers/object_browser_screen.h"
#include "browsers/security_browser_screen.h"
#include "browsers/storage_browser_screen.h"
#include "core/conversions.h"
#include "db/sim/statement.h"
#include "history/advisor_screen.h"
#include "history/datafile_stats_screen.h"
#include "history/segment_stats_screen.h"
#include "history/sql_history_screen.h"
#include "history/sql_topology_screen.h"
#include "history/system_topology_screen.h"
#include "live/real_time_screen.h"
#include "live/wait_events_screen.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>

using namespace tavimond;
using namespace tavimond::test;

namespace {

const QString kMarker = QStringLiteral("MARKER42");

// A button pressed, wherever its tab stands.
template <class S>
void press(ScreenHarness<S> &h, const char *name)
{
    h.template widget<QAbstractButton>(name).click();
}

const QStringList &hostileTexts()
{
    static const QStringList texts = [] {
        QString longText;
        while (longText.size() < 32767)
            longText += QStringLiteral("O'B%_");
        longText.truncate(32767);
        return QStringList{
            QStringLiteral("'"),
            QStringLiteral("'--"),
            QStringLiteral("'||"),
            QStringLiteral("%"),
            QStringLiteral("_"),
            longText,
            QStringLiteral("a\tb") + QChar(1) + QChar(27) + QChar(127) + QStringLiteral("'c"),
            QString(QChar(0xD800)) + QStringLiteral("'") + QChar(0xDC01), // lone surrogates
            QStringLiteral("\u202E\u05E9\u05DC\u05D5\u05DD'"),            // right-to-left
            QStringLiteral("x' or '1'='1"),
            QStringLiteral("O'Brien"),
            QStringLiteral("1) union select username,null from dba_users --"),
            QStringLiteral("x'/*"),
            QString(),
        };
    }();
    return texts;
}

// One field the user types into, and the action that sends what he typed.
struct TypedField {
    QString name;
    // Puts the text where the user types it; gives the text the statement must hold
    // inside a literal (a list file's key is cut at its first comma, as listed).
    std::function<QString(const QString &)> type;
    std::function<void()> act;
    std::function<void()> restore = [] {}; // the field as it was, for the fields after it
    // The text of the statement compared with: one no other literal holds.
    QString plain = kMarker;
    // An empty field is refused before anything is sent.
    bool emptyRefused = false;
};

QString describeTokens(const std::vector<sim::Token> &tokens, size_t at)
{
    QStringList around;
    for (size_t k = at > 3 ? at - 3 : 0; k < std::min(tokens.size(), at + 4); ++k)
        around << tokens[k].text.left(60);
    return around.join(QLatin1Char(' '));
}

// The statement sent with the text typed is the statement sent with the marker typed,
// token for token, but for the literal that held the marker: it holds the text.
void expectSameButTheLiteral(const QString &withMarker, const QString &withText, const QString &marker,
                             const QString &expected)
{
    const std::vector<sim::Token> plain = sim::Statement::tokenize(withMarker);
    const std::vector<sim::Token> sent = sim::Statement::tokenize(withText);
    ASSERT_EQ(sent.size(), plain.size()) << withText.left(2000).toStdString();
    int literals = 0;
    for (size_t k = 0; k < plain.size(); ++k) {
        const sim::Token &p = plain[k];
        const sim::Token &s = sent[k];
        ASSERT_EQ(s.kind, p.kind) << describeTokens(sent, k).toStdString();
        if (p.kind == sim::Token::String && p.value == marker) {
            ++literals;
            EXPECT_TRUE(s.value == expected) << describeTokens(sent, k).toStdString();
        } else {
            ASSERT_EQ(s.value, p.value) << describeTokens(sent, k).toStdString();
        }
    }
    // The raw text too: nothing stands outside the tokens (no comment came in).
    const auto quoted = [](QString t) { return t.replace(QLatin1Char('\''), QStringLiteral("''")).size(); };
    EXPECT_EQ(withText.size() - withMarker.size(), literals * (quoted(expected) - quoted(marker)));
}

void expectOnlyInsideLiterals(sim::Server &server, const QList<TypedField> &fields)
{
    for (const TypedField &f : fields) {
        SCOPED_TRACE(f.name.toStdString());
        const QString marker = f.type(f.plain);
        server.clearStatements();
        f.act();
        const QStringList plain = server.statements();
        ASSERT_FALSE(plain.isEmpty());
        ASSERT_TRUE(plain.join(QLatin1Char('\n')).contains(sqlQuote(marker)));
        for (const QString &text : hostileTexts()) {
            SCOPED_TRACE(text.left(40).toStdString());
            const QString expected = f.type(text);
            server.clearStatements();
            f.act();
            const QStringList sent = server.statements();
            if (f.emptyRefused && text.isEmpty()) {
                EXPECT_TRUE(sent.isEmpty());
                continue;
            }
            // A statement the database refuses ends the action: the ones before it count.
            ASSERT_FALSE(sent.isEmpty());
            ASSERT_LE(sent.size(), plain.size());
            for (qsizetype i = 0; i < sent.size(); ++i)
                expectSameButTheLiteral(plain.at(i), sent.at(i), marker, expected);
        }
        f.restore();
    }
}

template <class S>
TypedField edit(ScreenHarness<S> &h, const char *name, const std::function<void()> &act)
{
    QLineEdit &e = h.template widget<QLineEdit>(name);
    return {QLatin1String(name),
            [&e](const QString &text) {
                e.setText(text);
                return e.text();
            },
            act, [&e, initial = e.text()] { e.setText(initial); }};
}

// A days field: numbers and their arithmetic are sent as typed (a sum outside
// parentheses put inside them, so that 7-1 means six days); anything else is refused
// with a message naming the field, and nothing is sent.
template <class S>
void expectDaysRule(ScreenHarness<S> &h, const char *radio, const char *days, const std::function<void()> &act,
                    const QString &lead)
{
    SCOPED_TRACE(days);
    h.template widget<QRadioButton>(radio).setChecked(true);
    // Each text typed, and what the statement holds after the lead: nothing when refused.
    QList<std::pair<QString, QString>> cases;
    for (const QString &text : hostileTexts())
        cases.append({text, {}});
    // No sign, so neither "--" nor "/*" can form; nothing but digits, points, the four
    // operators, parentheses and blanks.
    for (const char *text : {" ", "-1", "+1", "1--1", "1/-1", "1/*2", "1e3", "1 2", "1..2", "1.2.3",
                             ".", "(1", "1)", "()",   "1/",   "*1",   "1;",  "1\t", "0x1F", "\u0661"})
        cases.append({QString::fromUtf8(text), {}});
    for (const char *text : {"1", "0.5", ".5", "5.", " 14 ", "1/24", "7*2", "(7-1)*2", "((1))"})
        cases.append({QLatin1String(text), QLatin1String(text)});
    cases.append({{"7-1", "(7-1)"}, {"1+0.5", "(1+0.5)"}});
    for (const auto &[typed, sent] : cases) {
        SCOPED_TRACE(typed.left(40).toStdString());
        h.template widget<QLineEdit>(days).setText(typed);
        h.sim.server.clearStatements();
        h.sink().clear();
        act();
        if (sent.isEmpty()) {
            EXPECT_EQ(h.sim.server.statements(), QStringList());
            EXPECT_EQ(h.sink().errors, QStringList{"Days must be a number of days, or arithmetic of numbers such as "
                                                   "0.5, 1/24 or 7*2."});
        } else {
            EXPECT_EQ(h.sink().errors, QStringList());
            ASSERT_FALSE(h.sim.server.statements().isEmpty());
            EXPECT_TRUE(h.sim.server.statements().at(0).contains(lead + sent + QLatin1Char('\n')))
                << h.sim.server.statements().at(0).toStdString();
        }
    }
    h.template widget<QLineEdit>(days).setText(QStringLiteral("1"));
}

const QString kWindowLead = QStringLiteral("begin_interval_time >= sysdate - ");

// The components of a screen's snapshot window.
struct WindowNames {
    const char *daysRadio, *days, *fromToRadio, *from, *to;
};

// The window's From and To go in as literals, compared with the window the edits start
// with (which the database reads), the From/To radio chosen; so do the fields given
// beside them. Its days go in under the rule.
template <class S>
void expectWindowSafe(ScreenHarness<S> &h, const WindowNames &w, const std::function<void()> &act, const QString &lead,
                      const QList<TypedField> &beside = {})
{
    auto &fromTo = h.template widget<QRadioButton>(w.fromToRadio);
    auto &days = h.template widget<QRadioButton>(w.daysRadio);
    QList<TypedField> fields;
    for (const char *name : {w.from, w.to}) {
        TypedField f = edit(h, name, [&fromTo, act] {
            fromTo.setChecked(true);
            act();
        });
        f.plain = h.template widget<QLineEdit>(name).text();
        f.restore = [&days, restore = f.restore] {
            restore();
            days.setChecked(true);
        };
        fields << f;
    }
    expectOnlyInsideLiterals(h.sim.server, fields << beside);
    expectDaysRule(h, w.daysRadio, w.days, act, lead);
}

// The same on a report run by one button, with the pattern edits named.
template <class S>
void expectReportSafe(const char *button, const WindowNames &w, const QString &lead, const QStringList &patterns = {})
{
    ScreenHarness<S> h;
    const auto act = [&h, button] { press(h, button); };
    QList<TypedField> beside;
    for (const QString &name : patterns)
        beside << edit(h, qPrintable(name), act);
    expectWindowSafe(h, w, act, lead, beside);
}

} // namespace

TEST(TypedText, SqlHistoryQuotesEveryTypedKeyAndTimeAndTakesOnlyArithmeticDays)
{
    TempCurrentFolder folder; // the SQL id list
    ScreenHarness<SqlHistoryScreen> h;
    // The mode chosen as the user does, with a click when it is not chosen yet; then the button.
    const auto inMode = [&h](const char *radio, const char *button) {
        return [&h, radio, button] {
            if (!h.widget<QRadioButton>(radio).isChecked())
                press(h, radio);
            press(h, button);
        };
    };
    const auto singleStatistics = inMode("literalrb", "Button101");
    const auto singleWaits = inMode("literalrb", "Button42");
    const auto listWaits = inMode("listrb", "Button42");
    const auto bulkStatistics = inMode("listrb", "ret_bulk_button");
    // A key combo's text, "sql_id::plan", the text in one of its two places; as long as
    // the edit takes.
    const auto comboText = [&h](const char *name, const QString &before, const QString &after) {
        return [&h, name, before, after](const QString &text) {
            const QString part = text.left(32767 - 3);
            h.widget<QComboBox>(name).setEditText(before + part + after);
            return part;
        };
    };
    QList<TypedField> fields;
    fields << edit(h, "adhoc_sqlid", singleStatistics) << edit(h, "adhoc_sqlid", singleWaits)
           << TypedField{"sqlid_combo", comboText("sqlid_combo", {}, "::1"), listWaits}
           << TypedField{"sqltext_combo: the sql_id", comboText("sqltext_combo", {}, "::1"),
                         [&] { press(h, "Button180"); }}
           << TypedField{"sqltext_combo: the plan", comboText("sqltext_combo", "x::", {}),
                         [&] { press(h, "Button180"); }}
           << TypedField{"a key of the SQL id list",
                         [&](const QString &text) {
                             // A key never starts empty: a list drops rows without one.
                             folder.write(QStringLiteral("keys.txt"), "k" + text.toUtf8() + ",1,2,3,4,5\n");
                             h.widget<QLineEdit>("SQLIdList").setText(QStringLiteral("keys.txt"));
                             press(h, "Button102");
                             return h.grid("sqlid_grid").cell(0, 1);
                         },
                         bulkStatistics};
    const QString lead = QStringLiteral("        where ") + kWindowLead;
    expectWindowSafe(h, {"sqldays", "dayret", "sqlfromto", "sqlfromdate", "sqltodate"}, singleStatistics, lead, fields);
    for (const auto &act : {singleWaits, bulkStatistics})
        expectDaysRule(h, "sqldays", "dayret", act, lead);

    // With his own script kept, the days field is not read: the script is sent.
    h.widget<QLineEdit>("dayret").setText(QStringLiteral("x"));
    h.widget<QAbstractButton>("sqlstat_mds").setChecked(true);
    h.sim.server.clearStatements();
    h.sink().clear();
    singleStatistics();
    EXPECT_EQ(h.sink().errors, QStringList());
    EXPECT_EQ(h.sim.server.statements().size(), 1);
}

TEST(TypedText, SegmentStatisticsQuotesPatternsAndTimes)
{
    ScreenHarness<SegmentStatsScreen> h;
    press(h, "Button83");
    auto &tree = h.widget<QTreeWidget>("segtree");
    const auto report = [&] { doubleClickNode(tree, {"TABLE", "SALES.ORDER_LINES"}); };
    expectWindowSafe(h, {"RadioButton26", "segdayret", "segfromto", "segfromdate", "segtodate"}, report,
                     QStringLiteral("        where ") + kWindowLead);
    // Last: a hostile pattern leaves the tree empty.
    expectOnlyInsideLiterals(h.sim.server, {edit(h, "segowner", [&] { press(h, "Button83"); }),
                                            edit(h, "segname", [&] { press(h, "Button83"); })});
}

TEST(TypedText, RepositoryReportsQuoteTimesAndPatternsAndTakeOnlyArithmeticDays)
{
    const QString lead = QStringLiteral("        where ") + kWindowLead;
    expectReportSafe<SqlTopologyScreen>("Button13", {"rbx", "dayret2", "sqlfromto2", "sqlfromdate2", "sqltodate2"},
                                        lead);
    expectReportSafe<DatafileStatsScreen>("Button116",
                                          {"RadioButton27", "dfdayret", "dffromto", "dfdatefrom", "dfdateto"},
                                          QStringLiteral("and ") + kWindowLead, {"dfname"});
    expectReportSafe<SystemTopologyScreen>("Button2", {"systdaysrb", "systdays", "systrangerb", "systfrom", "systto"},
                                           lead);
    expectReportSafe<AdvisorScreen>("Button182", {"advdrb", "advdays", "advftrb", "advfrom", "advto"},
                                    QStringLiteral("and a.execution_end >= sysdate-"));
}

TEST(TypedText, LiveScreensQuoteTimesAndTheSqlId)
{
    expectReportSafe<WaitEventsScreen>("Button10", {"RadioButton7", "wait_days", "wait_rad2", "wait_from", "wait_to"},
                                       kWindowLead);
    ScreenHarness<RealTimeScreen> h;
    h.widget<QLineEdit>("sesid").setText(QStringLiteral("101"));
    h.widget<QLineEdit>("Instidst").setText(QStringLiteral("1"));
    TypedField sqlId = edit(h, "sesssqlid", [&h] { press(h, "Button23"); });
    sqlId.emptyRefused = true; // "Please make sure SQL ID field is populated ..."
    expectOnlyInsideLiterals(h.sim.server, {sqlId});
}

TEST(TypedText, BrowsersQuoteFiltersTimesAndTakeOnlyArithmeticDays)
{
    {
        ScreenHarness<StorageBrowserScreen> h;
        const auto load = [&h] { press(h, "Button68"); };
        press(h, "Button68");
        auto &tree = h.widget<QTreeWidget>("tsdftree");
        const auto growth = [&h, &tree] {
            tree.setCurrentItem(nodeAt(tree, {"USERS"}));
            press(h, "gettssizes");
        };
        expectWindowSafe(h, {"tssizedays", "tsdays", "tssizefromto", "tssizefrom", "tssizeto"}, growth,
                         QStringLiteral("        where ") + kWindowLead);
        expectOnlyInsideLiterals(h.sim.server, {edit(h, "tsfilter", load), edit(h, "dffilter", load)});
    }
    {
        ScreenHarness<ObjectBrowserScreen> h;
        const auto load = [&h] { press(h, "Button141"); };
        expectOnlyInsideLiterals(h.sim.server, {edit(h, "schema_name_text", load), edit(h, "obj_name_text", load)});
    }
    ScreenHarness<SecurityBrowserScreen> h;
    expectOnlyInsideLiterals(h.sim.server, {edit(h, "secfilter", [&h] { press(h, "Button3"); })});
}
