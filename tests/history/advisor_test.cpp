#include "common/screen_support.h"

#include "db/sim/repository/advisor_model.h"
#include "db/timestamp_text.h"
#include "history/advisor_screen.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

using namespace tavimond;
using namespace tavimond::test;

namespace {

class Advisor : public ::testing::Test {
protected:
    Advisor()
    {
        // Six hours into the clock: the last day holds some fifty analyses of each instance.
        h.sim.server.model().advance(6 * 3600);
    }
    ResultGrid &grid() { return h.grid("adv_grid"); }
    QLineEdit &edit(const char *name) { return h.widget<QLineEdit>(name); }
    void review() { h.click("Button182"); }
    void clickRow(int row)
    {
        auto &view = h.widget<GridView>("adv_grid");
        const QModelIndex index = view.model()->index(row - 1, 2);
        view.scrollTo(index);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(index).center());
    }
    // The texts of the ten detail fields, in grid column order.
    QStringList details()
    {
        QStringList out;
        for (const char *name : {"advdat", "advtyp", "advimp", "advran", "advtyp2"})
            out << edit(name).text();
        out << h.memo("advmes").toPlainText() << edit("advcom").text() << h.memo("advact").toPlainText()
            << edit("advben").text() << h.memo("advbent").toPlainText();
        return out;
    }
    // The records sorted, after a check of the spare row this screen keeps after them.
    QList<QStringList> records()
    {
        QList<QStringList> rows = rowsOf(grid());
        EXPECT_EQ(rows.takeLast(), QStringList(10, QString()));
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    ScreenHarness<AdvisorScreen> h;
};

const QStringList kHead{
    "Select a.execution_end, b.type, b.impact, d.rank, d.type,",
    "b.message,",
    "c.command,",
    "c.message,",
    "d.benefit,d.benefit_type ",
    "from dba_advisor_tasks a, dba_advisor_findings b, ",
    "dba_advisor_actions c, dba_advisor_recommendations d ",
    "where a.owner=b.owner and a.task_id=b.task_id ",
    "and b.task_id=d.task_id and b.finding_id=d.finding_id ",
    "and a.task_id=c.task_id and d.rec_id=c.rec_Id ",
    "and a.status= 'COMPLETED'",
};
const QString kOrder = "order by d.rank asc, d.benefit desc";

// The rows the repository holds for completed tasks whose execution ended in [from, to], sorted.
QList<QStringList> rowsFromTheModel(sim::Model &model, const QDateTime &from, const QDateTime &to)
{
    const auto &history = model.state<sim::AdvisorHistory>();
    QList<QStringList> out;
    for (auto &task : history.tasks()) {
        if (task.status != "COMPLETED" || task.executionEnd < from || task.executionEnd > to)
            continue;
        history.details(task);
        for (const auto &f : task.findings)
            for (const auto &r : task.recommendations)
                for (const auto &a : task.actions)
                    if (r.findingId == f.findingId && a.recId == r.recId)
                        out << QStringList{timestampText(task.executionEnd.addMSecs(-task.executionEnd.time().msec())),
                                           f.type,
                                           QString::number(f.impact),
                                           QString::number(r.rank),
                                           r.type,
                                           f.message,
                                           a.command,
                                           a.message,
                                           r.benefit ? QString::number(*r.benefit) : QString(),
                                           r.benefitType};
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

TEST_F(Advisor, TheScriptForTheLastDaysOrAFromToWindowAndTheRowsOfTheCompletedTasksInThatWindow)
{
    QStringList days = kHead;
    days << "and a.execution_end >= sysdate-1" << kOrder;
    EXPECT_EQ(memoLines(h.memo("adv_memo")), days);

    review();
    EXPECT_EQ(h.sim.server.statements().last(), days.join('\n'));
    EXPECT_EQ(h.sim.server.timeouts().last(), 3000);
    EXPECT_EQ(h.screen.currentWidget()->objectName(), "TabSheet73");
    auto &model = h.sim.server.model();
    const QList<QStringList> lastDay = rowsFromTheModel(model, model.now().addDays(-1), model.now());
    ASSERT_GT(lastDay.size(), 40);
    EXPECT_EQ(records(), lastDay);

    h.widget<QRadioButton>("advftrb").setChecked(true);
    edit("advfrom").setText("30/NOV/2026 02:00:00");
    edit("advto").setText("30/nov/2026 09:30:00");
    review();
    QStringList fromTo = kHead;
    fromTo << "and a.execution_end >= to_date('30/NOV/2026 02:00:00','DD/MON/YYYY HH24:MI:SS')"
           << " and a.execution_end <=  to_date('30/nov/2026 09:30:00','DD/MON/YYYY HH24:MI:SS')" << kOrder;
    ASSERT_EQ(fromTo.size(), 14);
    EXPECT_EQ(memoLines(h.memo("adv_memo")), fromTo);
    EXPECT_EQ(h.sim.server.statements().last(), fromTo.join('\n'));
    const QList<QStringList> window = rowsFromTheModel(model, QDateTime(QDate(2026, 11, 30), QTime(2, 0), Qt::UTC),
                                                       QDateTime(QDate(2026, 11, 30), QTime(9, 30), Qt::UTC));
    ASSERT_GT(window.size(), 5);
    EXPECT_EQ(records(), window);

    // Days in arithmetic of numbers: an hour, and six days, also where "sysdate-7-1"
    // would not be.
    h.widget<QRadioButton>("advdrb").setChecked(true);
    for (const auto &[typed, days] : {std::pair{"1/24", 1.0 / 24}, std::pair{"7-1", 6.0}}) {
        edit("advdays").setText(typed);
        review();
        EXPECT_EQ(h.sink().errors, QStringList());
        const QList<QStringList> shown =
            rowsFromTheModel(model, model.now().addSecs(-qint64(days * 86400)), model.now());
        ASSERT_GT(shown.size(), 0) << typed;
        EXPECT_EQ(records(), shown) << typed;
    }
    // Anything else is refused, the grid and the fields kept.
    const int rows = grid().rowCount();
    clickRow(1);
    const QStringList fields = details();
    edit("advdays").setText("1 or 1=1");
    review();
    EXPECT_EQ(h.sink().errors,
              QStringList{"Days must be a number of days, or arithmetic of numbers such as 0.5, 1/24 or 7*2."});
    EXPECT_EQ(grid().rowCount(), rows);
    EXPECT_EQ(details(), fields);
    // The same text run from a kept script reaches the database, which reads the rest
    // of the line as a comment: an empty window and no error.
    h.sink().clear();
    h.widget<QCheckBox>("advmbs").setChecked(true);
    QStringList script = memoLines(h.memo("adv_memo"));
    script[11] = "and a.execution_end >= sysdate--1";
    h.memo("adv_memo").setPlainText(script.join('\n'));
    review();
    EXPECT_TRUE(h.sink().errors.isEmpty());
    EXPECT_EQ(h.sim.server.statements().last(), script.join('\n'));
    EXPECT_EQ(grid().rowCount(), 2);
}

TEST_F(Advisor, RowsComeByRankThenBenefitDescendingWithTheUnestimatedBenefitFirst)
{
    edit("advdays").setText("2");
    review();
    const ResultGrid &g = grid();
    const int last = g.rowCount() - 2; // the spare row after it
    ASSERT_GT(last, 60);
    int nullsInRankOne = 0, numbersInRankOne = 0;
    for (int r = 1; r <= last; ++r) {
        const QString benefit = g.cell(8, r);
        if (g.cell(3, r) == "1")
            (benefit.isEmpty() ? nullsInRankOne : numbersInRankOne) += 1;
        if (r == 1)
            continue;
        const int rank = g.cell(3, r).toInt(), previousRank = g.cell(3, r - 1).toInt();
        ASSERT_LE(previousRank, rank) << "row " << r;
        if (previousRank != rank)
            continue;
        const QString previous = g.cell(8, r - 1);
        // Within a rank: no NULL after a number, numbers never rising.
        EXPECT_FALSE(benefit.isEmpty() && !previous.isEmpty()) << "row " << r;
        if (!benefit.isEmpty() && !previous.isEmpty()) {
            EXPECT_GE(previous.toLongLong(), benefit.toLongLong()) << "row " << r;
        }
    }
    EXPECT_GE(nullsInRankOne, 1);
    EXPECT_GT(numbersInRankOne, 10);
    EXPECT_EQ(g.cell(8, 1), ""); // a NULL benefit of rank 1 heads the list
}

TEST_F(Advisor, AClickCopiesItsRowIntoTheTenFieldsAndTheSpareRowEmptiesThem)
{
    review();
    const ResultGrid &g = grid();
    // A row with a benefit and with a finding message unlike its action message.
    int k = 1;
    while (k < g.rowCount() - 1 && (g.cell(8, k).isEmpty() || g.cell(1, k) == g.cell(4, k)))
        ++k;
    ASSERT_LT(k, g.rowCount() - 1);
    clickRow(k);
    EXPECT_EQ(details(), g.row(k));
    EXPECT_TRUE(edit("advdat").text().startsWith("2026-11-"));

    const int other = k == 1 ? 2 : 1;
    clickRow(other);
    EXPECT_EQ(details(), g.row(other));

    // Moving the current row with the keys fills the fields as a click does.
    auto &view = h.widget<GridView>("adv_grid");
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_EQ(details(), g.row(other + 1));
    QTest::keyClick(&view, Qt::Key_PageDown);
    const int paged = view.currentIndex().row() + 1;
    ASSERT_GT(paged, other + 2);
    EXPECT_EQ(details(), g.row(paged));
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(details(), g.row(1));
    QTest::keyClick(&view, Qt::Key_PageDown);
    const int current = view.currentIndex().row() + 1;
    ASSERT_GT(current, 2);
    EXPECT_EQ(details(), g.row(current));

    // A second review, which empties the grid under the current row, leaves the fields
    // as they are until a row is clicked.
    const QStringList before = details();
    edit("advdays").setText("0.25");
    review();
    EXPECT_EQ(h.sim.server.statements().last().split('\n').at(11), "and a.execution_end >= sysdate-0.25");
    EXPECT_LT(g.rowCount(), 40);
    EXPECT_EQ(details(), before);

    clickRow(g.rowCount() - 1);
    EXPECT_EQ(details(), QStringList(10, QString()));
    EXPECT_EQ(h.memo("advmes").document()->blockCount(), 1);
}
