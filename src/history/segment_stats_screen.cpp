#include "segment_stats_screen.h"

#include "segment_tree.h"
#include "ui_history_segment_stats_screen.h"

#include "core/chart.h"
#include "core/chart_routines.h"
#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "core/settings.h"
#include "db/query.h"
#include "ui/chart_plot_buttons.h"
#include "ui/chart_view.h"
#include "ui/detail_controls.h"
#include "ui/double_click.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/report_script.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace tavimond {
namespace {

// One branch of the list: the level code's select line, its view and the two columns
// its patterns test. An object's own row names its two blanks: the list reads the
// union through "*", which a server refuses where two of the first branch's columns
// share a name (a literal is named by its text). The index branch names them alike,
// so that no branch depends on its place.
struct ListBranch {
    const char *select;
    const char *source;
    const char *ownerCondition;
    const char *nameCondition;
};

const ListBranch kListBranches[] = {
    {"  select '1',dt.owner, dt.table_name, ' ' as partition_name,' ' as subpartition_name,'TABLE'",
     "  dba_tables dt ", "  upper(dt.owner) like ", "  upper(dt.table_name) like "},
    {"  select  '2',dtp.table_owner, dtp.table_name,dtp.partition_name,' ','TABLE'", "  dba_tab_partitions dtp ",
     "  upper(dtp.table_owner) like ", "  upper(dtp.table_name) like "},
    {"  select  '3',dtp.table_owner,dtp.table_name,dtp.partition_name,dtp.subpartition_name,'TABLE'",
     "  dba_tab_subpartitions dtp ", "  upper(dtp.table_owner) like ", "  upper(dtp.table_name) like "},
    {"  select '4',dt.owner, dt.index_name, ' ' as partition_name,' ' as subpartition_name,'INDEX'",
     "  dba_indexes dt ", "  upper(dt.owner) like ", "  upper(dt.index_name) like "},
    {"  select  '5',dtp.index_owner, dtp.index_name,dtp.partition_name,' ','INDEX'", "  dba_ind_partitions dtp ",
     "  upper(dtp.index_owner) like ", "  upper(dtp.index_name) like "},
    {"  select  '6',dtp.index_owner,dtp.index_name,dtp.partition_name,dtp.subpartition_name,'INDEX'",
     "  dba_ind_subpartitions dtp ", "  upper(dtp.index_owner) like ", "  upper(dtp.index_name) like "},
};

// The tables and indexes whose owner and name match the patterns, with their partitions
// and subpartitions, ordered by kind, owner, name, partition and subpartition.
QStringList listLines(const QString &ownerPattern, const QString &namePattern)
{
    QStringList lines{QStringLiteral("  select * from "), QStringLiteral("  ( ")};
    bool first = true;
    for (const ListBranch &b : kListBranches) {
        if (!first)
            lines << QStringLiteral("  union all ");
        first = false;
        lines << QLatin1String(b.select) << QStringLiteral("  from ") << QLatin1String(b.source)
              << QStringLiteral("  where ")
              << QLatin1String(b.ownerCondition) + sqlQuote(ownerPattern) + QStringLiteral(" and ")
              << QLatin1String(b.nameCondition) + sqlQuote(namePattern);
    }
    lines << QStringLiteral("  ) ") << QStringLiteral("  order by 6,2,3,4,5 ");
    return lines;
}

const QString kDay = QStringLiteral("trunc(to_date(sx.start_time,'DD-MON-YYYY HH24:MI:SS'),'DD')");

// One segment's counters summed per snapshot of the window, or per day. The segment is
// matched on its kind too: a table and an index of one owner and name are two segments.
QStringList statisticsLines(const SegmentNode &segment, bool daily, const QStringList &window)
{
    QStringList lines;
    if (daily)
        lines << QStringLiteral("select '---',") + kDay +
                     QStringLiteral(",'---',sx.objname,sum(sx.phyr),sum(sx.phyrd),sum(sx.phyw), ")
              << QStringLiteral("sum(sx.phywd),sum(sx.lgr),sum(sx.bbw),sum(sx.rlw) from (");
    lines << QStringLiteral(
                 "select s.snap_id,s.start_time,s.end_time,o.owner||':'||o.object_name||':'||o.subobject_name as objname,")
          << QStringLiteral("nvl(sum(x.PHYSICAL_READS_DELTA),0) as phyr,")
          << QStringLiteral("nvl(sum(x.PHYSICAL_READS_DIRECT_DELTA),0) as phyrd,")
          << QStringLiteral("nvl(sum(x.PHYSICAL_WRITES_DELTA),0) as phyw,")
          << QStringLiteral("nvl(sum(x.PHYSICAL_WRITES_DIRECT_DELTA),0) as phywd,")
          << QStringLiteral("nvl(sum(x.LOGICAL_READS_DELTA),0) as lgr,")
          << QStringLiteral("nvl(sum(x.BUFFER_BUSY_WAITS_DELTA),0) as bbw,")
          << QStringLiteral("nvl(sum(x.ROW_LOCK_WAITS_DELTA),0) as rlw") << QStringLiteral("from ")
          << QStringLiteral("(select snap_id,") << QStringLiteral("                obj#,")
          << QStringLiteral("                PHYSICAL_READS_DELTA,")
          << QStringLiteral("                PHYSICAL_READS_DIRECT_DELTA,")
          << QStringLiteral("                PHYSICAL_WRITES_DELTA,")
          << QStringLiteral("                PHYSICAL_WRITES_DIRECT_DELTA,")
          << QStringLiteral("                LOGICAL_READS_DELTA,")
          << QStringLiteral("                BUFFER_BUSY_WAITS_DELTA,")
          << QStringLiteral("                ROW_LOCK_WAITS_DELTA") << QStringLiteral("                from dba_hist_seg_stat")
          << QStringLiteral("                ) x,") << QStringLiteral("(select snap_id,")
          << QStringLiteral(
                 "        max(to_char((trunc(begin_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as start_time,")
          << QStringLiteral("        max(to_char((trunc(end_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as end_time")
          << QStringLiteral("        from dba_hist_snapshot");
    lines << window;
    lines << QStringLiteral("        group by snap_id") << QStringLiteral("        ) s,")
          << QStringLiteral("(select owner,object_name,subobject_name,object_id ") << QStringLiteral("    from dba_objects ")
          << QStringLiteral("    where ")
          << QStringLiteral("    owner = ") + sqlQuote(segment.owner) + QStringLiteral(" and object_name = ") +
                 sqlQuote(segment.name)
          << QStringLiteral("    and object_type = ") + sqlQuote(segment.kind)
          << (segment.level == 1
                  ? QStringLiteral("    and subobject_name is null ) o ")
                  : QStringLiteral("    and subobject_name = ") + sqlQuote(segment.partition) + QStringLiteral(") o "))
          << QStringLiteral("where s.snap_id = x.snap_id") << QStringLiteral("     and x.obj# = o.object_id ")
          << QStringLiteral(
                 "group by s.snap_id,s.start_time, s.end_time,o.owner||':'||o.object_name||':'||o.subobject_name")
          << QStringLiteral("order by s.snap_id");
    if (daily)
        lines << QStringLiteral(") sx ") << QStringLiteral("group by ") + kDay + QStringLiteral(",sx.objname")
              << QStringLiteral("order by ") + kDay;
    return lines;
}

// The space package's trend of one segment, 360 days back and ahead, every 12 hours.
QStringList growthLines(const SegmentNode &segment)
{
    // An object's own node has no partition: '' reaches the package as NULL.
    const QString partition = segment.level == 1 ? QString() : segment.partition;
    return {QStringLiteral("SELECT to_char(timepoint,") + sqlQuote(QStringLiteral("DD-MON-YYYY HH24:MI")) +
                QStringLiteral("),space_usage,space_alloc,quality"),
            QStringLiteral("FROM"),
            QStringLiteral("  table("),
            QStringLiteral("   DBMS_SPACE.OBJECT_GROWTH_TREND ("),
            QStringLiteral("    object_owner => ") + sqlQuote(segment.owner) + QLatin1Char(','),
            QStringLiteral("    object_name  => ") + sqlQuote(segment.name) + QLatin1Char(','),
            QStringLiteral("    object_type  => ") + sqlQuote(segment.kind) + QLatin1Char(','),
            QStringLiteral("    partition_name => ") + sqlQuote(partition) + QLatin1Char(','),
            QStringLiteral("    start_time =>SYSDATE-360,"),
            QStringLiteral("   end_time   =>SYSDATE+360,"),
            QStringLiteral("   interval   =>to_dsinterval( ") + sqlQuote(QStringLiteral("0 12:00:00")) +
                QStringLiteral(")  ,"),
            QStringLiteral("   skip_interpolated => ") + sqlQuote(QStringLiteral("FALSE")) + QLatin1Char(','),
            QStringLiteral("   timeout_seconds =>NULL,"),
            QStringLiteral("   single_datapoint_flag =>") + sqlQuote(QStringLiteral("TRUE")) + QLatin1Char(')'),
            QStringLiteral(" )")};
}

// The bar charts: where each stands, its title, the grid column it plots and its buttons.
struct BarChart {
    const char *name;
    const char *title;
    int column;
    int tab; // 0 reads, 1 writes, 2 logical
    ChartPlotButtons::Names buttons;
};

const BarChart kBarCharts[] = {
    {"seg_preads_graph", "Physical Reads", 4, 0, {"Button70", "Button71", "Button72"}},
    {"seg_pdreads_graph", "Physical Reads(Direct)", 5, 0, {"Button73", "Button74", "Button75"}},
    {"seg_pwrites_graph", "Physical Writes", 6, 1, {"Button76", "Button77", "Button78"}},
    {"seg_pdwrites_graph", "Physical Writes(Direct)", 7, 1, {"Button90", "Button91", "Button92"}},
    {"seg_lreads_graph", "Logiacl Reads", 8, 2, {"Button79", "Button80", "Button81"}},
    {"seg_bbwait_graph", "Buffer Busy Wait", 9, 2, {"Button84", "Button85", "Button86"}},
    {"seg_rowlock_graph", "Row Lock Waits", 10, 2, {"Button87", "Button88", "Button89"}},
};

constexpr Rgb kRed = 0xFF0000;
constexpr Rgb kGreen = 0x008000;

Chart *newChart(const char *name, const QString &title, QObject *owner)
{
    auto *chart = new Chart(owner);
    chart->setObjectName(QLatin1String(name));
    chart->setTitle(title);
    chart->setLegendStyle(LegendStyle::Series);
    return chart;
}

} // namespace

SegmentStatsScreen::SegmentStatsScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("obj_segstat_page"), context, parent), ui_(std::make_unique<Ui::SegmentStatsScreenForm>()),
      segstat_query(std::make_unique<Query>(cnn())),
      // The dictionary of a large warehouse, and the space package, can take minutes.
      seggrowth_query(std::make_unique<Query>(cnn(), Query::kLongTimeoutSeconds))
{
    ui_->setupUi(this);
    // Patterns are matched against upper-cased dictionary names.
    forceUpperCase(*ui_->segowner);
    forceUpperCase(*ui_->segname);
    showAsDetail(*ui_->segtree);
    // Hidden until the first report; its half of the tab stays its own meanwhile.
    QSizePolicy policy = ui_->segstatstab->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    ui_->segstatstab->setSizePolicy(policy);
    ui_->segstatstab->hide();
    ui_->seggrid->hide(); // carries the list's rows only
    buildCharts();
    buildScriptTab();

    connect(ui_->Button83, &QPushButton::clicked, this, guarded([this] { Button83Click(); }));
    onItemDoubleClick(ui_->segtree, this, [this] { segtreeDblClick(); });
    connect(ui_->exp_segstat, &QPushButton::clicked, this, guarded([this] { exp_segstatClick(); }));
    setCurrentWidget(ui_->segretrievetab);
}

SegmentStatsScreen::~SegmentStatsScreen()
{
    if (growthView_)
        growthView_->removeEventFilter(this);
}

void SegmentStatsScreen::buildCharts()
{
    QBoxLayout *tabs[] = {ui_->segreadslayout, ui_->segwriteslayout, ui_->seglogicallayout};
    for (const BarChart &b : kBarCharts) {
        Chart *chart = newChart(b.name, QString::fromLatin1(b.title), this);
        QBoxLayout *layout = tabs[b.tab];
        auto *view = new ChartView(chart, QLatin1String(b.name), layout->parentWidget());
        new ChartPlotButtons(chart, b.buttons, view);
        layout->addWidget(view);
        barCharts_ << chart;
    }

    objgrowth_graph = newChart("objgrowth_graph", QStringLiteral("Object Growth Statistics"), this);
    objgrowth_graph->addSeries(SeriesKind::Line, QStringLiteral("Space Usage"));
    objgrowth_graph->setSeriesColor(0, kRed);
    objgrowth_graph->addSeries(SeriesKind::Line, QStringLiteral("Space Allocated"));
    objgrowth_graph->setSeriesColor(1, kGreen);
    growthView_ = new ChartView(objgrowth_graph, QStringLiteral("objgrowth_graph"), ui_->seggrowthtab);
    new ChartPlotButtons(objgrowth_graph, {QString(), QString(), QStringLiteral("ogs_axis")}, growthView_);
    for (const QString &note :
         {QStringLiteral("Zoom In/Out : Left Mouse"), QStringLiteral("Scroll Up/Down: Right Mouse")}) {
        auto *label = new QLabel(note, growthView_);
        label->setStyleSheet(QStringLiteral("color: blue"));
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        growthNotes_ << label;
    }
    growthView_->installEventFilter(this);
    ui_->seggrowthlayout->addWidget(growthView_);
}

void SegmentStatsScreen::buildScriptTab()
{
    window_ = addSnapshotWindow(ui_->segwindowlayout, 0, 0,
                                {QStringLiteral("RadioButton26"), QStringLiteral("segdayret"),
                                 QStringLiteral("segfromto"), QStringLiteral("segfromdate"),
                                 QStringLiteral("segtodate")});
    segstat_droll = new QCheckBox(QStringLiteral("Daily Rollup"), ui_->segstatgroup);
    segstat_droll->setObjectName(QStringLiteral("segstat_droll"));
    segstat_mds = new QCheckBox(QStringLiteral("Maintain Dynaimc Script"), ui_->segstatgroup);
    segstat_mds->setObjectName(QStringLiteral("segstat_mds"));
    ui_->segwindowlayout->addWidget(segstat_droll, 0, 4);
    ui_->segwindowlayout->addWidget(segstat_mds, 1, 4);
    ui_->segwindowlayout->setColumnStretch(5, 1);

    // Until the first report: the statement for an object of placeholder names.
    SegmentNode sample;
    sample.kind = QStringLiteral("TABLE");
    sample.owner = QStringLiteral("OWNER");
    sample.name = QStringLiteral("OBJECT_NAME");
    segstat_text = addScriptMemo(
        ui_->segstatmemos, QStringLiteral("segstat_text"), QString(),
        statisticsLines(sample, false,
                        snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and "))),
        MemoAccess::Editable);
    segquery_memo = addScriptMemo(ui_->segquerymemobox, QStringLiteral("segquery_memo"), QString(),
                                  listLines(QStringLiteral("%"), QStringLiteral("%")), MemoAccess::ReadOnlySkyBlue);
    seggrowth_memo = addScriptMemo(ui_->seggrowthmemobox, QStringLiteral("seggrowth_memo"), QString(),
                                   growthLines(sample), MemoAccess::ReadOnlySkyBlue);
    // The memos fill their group boxes.
    for (QWidget *box : {ui_->segstatmemos, ui_->segquerymemobox, ui_->seggrowthmemobox})
        box->layout()->setContentsMargins(0, 0, 0, 0);
}

QList<GridHeaders> SegmentStatsScreen::gridHeaders() const
{
    return {
        {QStringLiteral("seggrid"),
         {QStringLiteral("Level"), QStringLiteral("Owner"), QStringLiteral("Table"), QStringLiteral("Partition"),
          QStringLiteral("Sub-Partition")},
         {}},
        {QStringLiteral("seggrowthgrid"),
         {QStringLiteral("Time"), QStringLiteral("Space Used"), QStringLiteral("Space Allocated"),
          QStringLiteral("Quality")},
         {}},
        {QStringLiteral("segstat_grid"),
         {QStringLiteral("Snap ID"), QStringLiteral("Start Time"), QStringLiteral("End Time"),
          QStringLiteral("Owner:Segment"), QStringLiteral("Physical Reads"), QStringLiteral("Direct Reads"),
          QStringLiteral("Physical Writes"), QStringLiteral("Direct Writes"), QStringLiteral("Logical Reads"),
          QStringLiteral("Buffer Busy Waits"), QStringLiteral("Row Lock Waits")},
         {}},
    };
}

bool SegmentStatsScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == growthView_ && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        placeGrowthNotes();
    return Screen::eventFilter(watched, event);
}

void SegmentStatsScreen::placeGrowthNotes()
{
    // Top right, clear of the axis buttons at the top left.
    int y = 4;
    for (QLabel *note : std::as_const(growthNotes_)) {
        note->adjustSize();
        note->move(growthView_->width() - note->width() - 8, y);
        y += note->height();
    }
}

void SegmentStatsScreen::Button83Click()
{
    WaitCursor wait; // the dictionary of a warehouse lists its rows for long
    segquery_memo->setPlainText(listLines(ui_->segowner->text(), ui_->segname->text()).join(QLatin1Char('\n')));
    ResultGrid &rows = *ui_->seggrid->grid();
    runScriptIntoGrid(*segquery_memo, *seggrowth_query, rows, true);
    GridTailTrim(rows);
    fillSegmentTree(*ui_->segtree, rows);
}

void SegmentStatsScreen::segtreeDblClick()
{
    // Only a table, an index or one of their partitions or subpartitions has figures.
    const std::optional<SegmentNode> segment = segmentOfNode(selectedNode(*ui_->segtree));
    if (!segment)
        return;

    const QStringList lines = freshScriptLines(segstat_mds, [this, &segment] {
        return statisticsLines(
            *segment, segstat_droll->isChecked(),
            snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and ")));
    });
    ResultGrid &stats = *ui_->segstat_grid->grid();
    ResultGrid &growth = *ui_->seggrowthgrid->grid();
    {
        ResultGrid::Batch batch(stats);
        stats.setRowCount(2);
        stats.clearRow(1);
    }
    for (Chart *chart : std::as_const(barCharts_))
        chart->removeAllSeries();
    {
        Chart::Batch batch(*objgrowth_graph);
        objgrowth_graph->clearPoints(0);
        objgrowth_graph->clearPoints(1);
    }
    // Emptied too, so that a failing statement never leaves another segment's growth
    // beside these figures.
    growth.empty();

    buildScript(*segstat_text, segstat_mds, lines);
    runScriptIntoGrid(*segstat_text, *segstat_query, stats, true);
    GridTailTrim(stats);
    for (qsizetype i = 0; i < barCharts_.size(); ++i)
        ChartFromGrid(stats, *barCharts_.at(i), kBarCharts[i].column, QString(), QStringLiteral("Total"));
    // The figures are complete: they are shown whatever the growth statement then does.
    ui_->segstatstab->show();
    setCurrentWidget(ui_->segretrievetab);

    // The growth of the node double-clicked, also while the statistics run the user's
    // own script.
    seggrowth_memo->setPlainText(growthLines(*segment).join(QLatin1Char('\n')));
    runScriptIntoGrid(*seggrowth_memo, *seggrowth_query, growth, true);
    plotGrowth();
}

void SegmentStatsScreen::plotGrowth()
{
    ResultGrid &growth = *ui_->seggrowthgrid->grid();
    Chart &chart = *objgrowth_graph;
    {
        Chart::Batch batch(chart);
        chart.clearPoints(0);
        chart.clearPoints(1);
        if (growth.rowCount() != 2) {
            GridTailTrim(growth);
            // Both lines stand at the time points: the chart places a point by its label.
            for (int r = 1; r < growth.rowCount(); ++r) {
                const QString &time = growth.cell(0, r);
                chart.addPoint(0, strictToFloat(growth.cell(1, r)), time);
                chart.addPoint(1, strictToFloat(growth.cell(2, r)), time);
            }
        }
    }
    // One page holds the whole trend; the mouse zooms into it and scrolls along it.
    growthView_->setPlacesPerPage(int(chart.series(0).points().size()));
}

void SegmentStatsScreen::exp_segstatClick()
{
    ExportGridToCsv(*ui_->segstat_grid->grid(), settings().csvFileName(), settings().csvDelimiter());
}

} // namespace tavimond
