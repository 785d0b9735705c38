#include "storage_browser_screen.h"

#include "ui_browsers_storage_browser_screen.h"

#include "core/chart.h"
#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/messages.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/detail_controls.h"
#include "ui/double_click.h"
#include "ui/chart_plot_buttons.h"
#include "ui/chart_view.h"
#include "ui/flow_layout.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/keyboard_reach.h"
#include "ui/report_script.h"
#include "ui/script_memo.h"
#include "ui/snapshot_window.h"

#include <QFrame>
#include <QHeaderView>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedLayout>
#include <QTreeWidget>
#include <cmath>
#include <limits>

namespace tavimond {
namespace {

// The detail edit that each column of tsdfgrid fills, with its label.
struct DetailField {
    int column;
    const char *edit;
    const char *label;
};

const DetailField kTablespaceFields[] = {
    {1, "tsblocksize", "Block Size"},
    {2, "tsinitext", "Initial Extent"},
    {3, "tsnextext", "Next Extent"},
    {4, "tsminext", "Min Extent"},
    {5, "tsmaxext", "Max Extent"},
    {6, "tspctinc", "PCT Increase"},
    {7, "tsminextlen", "Min Ext Length"},
    {8, "tsstatus", "Status"},
    {9, "tscontents", "Contents"},
    {10, "tslog", "Logging"},
    {11, "tsforcelog", "Force Logging"},
    {12, "tsextman", "Ext Management"},
    {13, "tsallocatype", "Allocation Type"},
    {14, "tsplugged", "Plugged In"},
    {15, "tssegman", "Seg Management"},
    {16, "tsdeftabcom", "Def Tab Compression"},
    {17, "tsret", "Retention"},
    {18, "tsbigfile", "Bigfile"},
};

const DetailField kFileFields[] = {
    {20, "dffileid", "File ID"},
    {21, "dfbytes", "Bytes"},
    {22, "dfblocks", "Blocks"},
    {23, "dfstatus", "Status"},
    {24, "dfrfileid", "Relative File ID"},
    {25, "dfautoext", "Auto Extend"},
    {26, "dfmaxbytes", "Max Bytes"},
    {27, "dfmaxblocks", "Max Blocks"},
    {28, "dfincby", "Increment By"},
    {29, "dfuserbytes", "User Bytes"},
    {30, "dfuserblocks", "User Blocks"},
    {31, "dfostatus", "Online Status"},
};

constexpr int kTablespaceColumn = 0;
constexpr int kFileColumn = 19;

// The growth chart's lines: title, colour and the grid column of their values.
struct GrowthLine {
    const char *title;
    Rgb color;
    int column;
};

const GrowthLine kGrowthLines[] = {
    {"Max(MBytes)", 0xFF0000, 3},
    {"Total(MBytes)", 0x008000, 4},
    {"Used(MBytes)", 0x0000FF, 5},
};

const char kBlueBold[] = "color: #0000FF; font-weight: bold;";

// Labelled edits, `perRow` pairs to a row.
void addFields(QGridLayout *layout, int firstRow, const DetailField *fields, int count, int perRow, QWidget *parent,
               std::array<QLineEdit *, StorageBrowserScreen::kListColumns> &edits)
{
    for (int i = 0; i < count; ++i) {
        auto *label = new QLabel(QString::fromLatin1(fields[i].label), parent);
        auto *edit = new QLineEdit(parent);
        edit->setObjectName(QLatin1String(fields[i].edit));
        showAsDetail(*edit);
        label->setBuddy(edit);
        layout->addWidget(label, firstRow + i / perRow, 2 * (i % perRow));
        layout->addWidget(edit, firstRow + i / perRow, 2 * (i % perRow) + 1);
        edits[size_t(fields[i].column)] = edit;
    }
}

} // namespace

StorageBrowserScreen::StorageBrowserScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("storagepage"), context, parent), ui_(std::make_unique<Ui::StorageBrowserScreenForm>()),
      tsdfquery(std::make_unique<Query>(cnn())), tssizequery(std::make_unique<Query>(cnn())),
      tsdfgrid(new ResultGrid(kListColumns, this)), tssizegrid(new ResultGrid(6, this)), tssizegraph(new Chart(this))
{
    ui_->setupUi(this);
    forceUpperCase(*ui_->tsfilter);
    forceUpperCase(*ui_->dffilter);
    showAsDetail(*ui_->tsdftree);
    // Long file names scroll rather than being cut.
    ui_->tsdftree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui_->tsdftree->header()->setStretchLastSection(false);
    buildDetails();
    buildGrowth();

    tsdfmemo = addScriptMemo(ui_->stoscriptstab, QStringLiteral("tsdfmemo"),
                             QStringLiteral("Tablespace\\Datafile Retrieval"), {}, MemoAccess::ReadOnly);
    tssizememo = addScriptMemo(ui_->stoscriptstab, QStringLiteral("tssizememo"),
                               QStringLiteral("Growth\\Size Retrieval"), {}, MemoAccess::Editable);

    connect(ui_->Button68, &QPushButton::clicked, this, guarded([this] { Button68Click(); }));
    onDoubleClick(ui_->tsdftree, [this] { tsdftreeDblClick(); });
    onDoubleClick(window_.to, [this] { tsdftreeDblClick(); });
    connect(ui_->RadioButton28, &QRadioButton::clicked, this, guarded([this] { RadioButton28Click(); }));
    connect(ui_->RadioButton29, &QRadioButton::clicked, this, guarded([this] { RadioButton29Click(); }));
    connect(ui_->gettssizes, &QPushButton::clicked, this, guarded([this] { gettssizesClick(); }));
    connect(ui_->RadioButton34, &QRadioButton::clicked, this, guarded([this] { RadioButton34Click(); }));
    connect(ui_->RadioButton35, &QRadioButton::clicked, this, guarded([this] { RadioButton35Click(); }));
}

StorageBrowserScreen::~StorageBrowserScreen() = default;

void StorageBrowserScreen::buildDetails()
{
    // The edits under their two captions, and tsdfgrid over them while "Grid View" is chosen.
    auto *details = new QWidget(ui_->tsdfarea);
    auto *fields = new QGridLayout(details);
    tsname = new QLabel(QStringLiteral("Tablespace: "), details);
    tsname->setObjectName(QStringLiteral("tsname"));
    tsname->setStyleSheet(QLatin1String(kBlueBold));
    fields->addWidget(tsname, 0, 0, 1, 6);
    addFields(fields, 1, kTablespaceFields, int(std::size(kTablespaceFields)), 3, details, detailEdits_);
    auto *bar = new QFrame(details);
    bar->setFixedHeight(4);
    bar->setAutoFillBackground(true);
    bar->setStyleSheet(QStringLiteral("background-color: #0000FF;"));
    fields->addWidget(bar, 7, 0, 1, 6);
    dffilename = new QLabel(QStringLiteral("Datafile:"), details);
    dffilename->setObjectName(QStringLiteral("dffilename"));
    dffilename->setStyleSheet(QLatin1String(kBlueBold));
    dffilename->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fields->addWidget(dffilename, 8, 0, 1, 6);
    addFields(fields, 9, kFileFields, int(std::size(kFileFields)), 3, details, detailEdits_);
    fields->setRowStretch(13, 1);
    for (int c = 1; c < 6; c += 2)
        fields->setColumnStretch(c, 1);

    tsdfgridView_ = new GridView(tsdfgrid, QStringLiteral("tsdfgrid"), ui_->tsdfarea);
    auto *stack = new QStackedLayout(ui_->tsdfarea);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(details);
    stack->addWidget(tsdfgridView_);
    tsdfgridView_->hide();
    keepCoveredOutOfReach(*ui_->tsdfarea);
}

void StorageBrowserScreen::buildGrowth()
{
    // The window, the button and the views wrap where the page is too narrow for them.
    auto *controls = new FlowLayout(ui_->tssizecontrols);
    controls->setContentsMargins(0, 0, 0, 0);
    for (QWidget *w : {static_cast<QWidget *>(ui_->tssizewindow), static_cast<QWidget *>(ui_->gettssizes),
                       static_cast<QWidget *>(ui_->tssizeviews)})
        controls->addWidget(w);
    window_ = addSnapshotWindow(new QGridLayout(ui_->tssizewindow), 0, 0,
                                {QStringLiteral("tssizedays"), QStringLiteral("tsdays"), QStringLiteral("tssizefromto"),
                                 QStringLiteral("tssizefrom"), QStringLiteral("tssizeto")});
    tssizegraph->setObjectName(QStringLiteral("tssizegraph"));
    tssizegraph->setTitle(QStringLiteral("Tablesapce Growth Statistics"));
    tssizegraph->setLegendStyle(LegendStyle::Series);
    // The design-time lines, without points, until the first retrieve with data.
    for (const GrowthLine &l : kGrowthLines) {
        const int s = tssizegraph->addSeries(SeriesKind::Line, QString::fromLatin1(l.title));
        tssizegraph->setSeriesColor(s, l.color);
    }
    tssizegraphView_ = new ChartView(tssizegraph, QStringLiteral("tssizegraph"), ui_->tssizearea);
    new ChartPlotButtons(tssizegraph, {QString(), QString(), QStringLiteral("Button142")}, tssizegraphView_);
    tssizegridView_ = new GridView(tssizegrid, QStringLiteral("tssizegrid"), ui_->tssizearea);
    auto *stack = new QStackedLayout(ui_->tssizearea);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setStackingMode(QStackedLayout::StackAll);
    stack->addWidget(tssizegraphView_);
    stack->addWidget(tssizegridView_);
    tssizegridView_->hide();
}

QList<GridHeaders> StorageBrowserScreen::gridHeaders() const
{
    return {
        {QStringLiteral("tsdfgrid"),
         {QStringLiteral("T/S Name"),        QStringLiteral("Block Size"),
          QStringLiteral("Init Ext"),        QStringLiteral("Next Ext"),
          QStringLiteral("Min Ext"),         QStringLiteral("Max Ext"),
          QStringLiteral("Pct Inc"),         QStringLiteral("Min Ext Len"),
          QStringLiteral("Status"),          QStringLiteral("Contents"),
          QStringLiteral("Logging"),         QStringLiteral("Force Logging"),
          QStringLiteral("Extent Man"),      QStringLiteral("Alloc Type"),
          QStringLiteral("Plugged In"),      QStringLiteral("Segment Space Man"),
          QStringLiteral("Def Compression"), QStringLiteral("Retention"),
          QStringLiteral("Bigfile"),         QStringLiteral("File Name"),
          QStringLiteral("File ID"),         QStringLiteral("Bytes"),
          QStringLiteral("Blocks"),          QStringLiteral("Status"),
          QStringLiteral("Relative File#"),  QStringLiteral("AutoExtensible"),
          QStringLiteral("Max Bytes"),       QStringLiteral("Max Blocks"),
          QStringLiteral("Increment By"),    QStringLiteral("User Bytes"),
          QStringLiteral("User Blocks"),     QStringLiteral("Online Status")},
         {}},
        {QStringLiteral("tssizegrid"),
         {QStringLiteral("Snap ID"), QStringLiteral("Start Time"), QStringLiteral("End Time"),
          QStringLiteral("Max(MBytes)"), QStringLiteral("Total(MBytes)"), QStringLiteral("Used(MBytes)")},
         {}},
    };
}

QStringList StorageBrowserScreen::listStatement() const
{
    // Typed patterns go in as literals with their quotes doubled.
    const QString tablespaces = sqlQuote(ui_->tsfilter->text());
    const QString files = sqlQuote(ui_->dffilter->text());
    return {
        QStringLiteral("select df.tablespace_name,ts.block_size,ts.initial_extent,ts.next_extent,"),
        QStringLiteral("ts.min_extents,ts.max_extents,ts.pct_increase,ts.min_extlen,ts.status,ts.contents,"),
        QStringLiteral("ts.logging,ts.force_logging,ts.extent_management,ts.allocation_type,ts.plugged_in,"),
        QStringLiteral("ts.segment_space_management,ts.def_tab_compression,ts.retention,ts.bigfile,"),
        QStringLiteral("df.file_name,df.file_id,df.bytes,df.blocks,df.status,df.relative_fno,"),
        QStringLiteral("df.autoextensible,df.maxbytes,df.maxblocks,df.increment_by,df.user_bytes,"),
        QStringLiteral("df.user_blocks,df.online_status "),
        QStringLiteral(" from dba_tablespaces ts, dba_data_files df where "),
        QStringLiteral("upper(ts.tablespace_name) like ") + tablespaces,
        QStringLiteral(" and upper(df.file_name) like ") + files,
        QStringLiteral(" and df.tablespace_name = ts.tablespace_name"),
        QStringLiteral("union "),
        QStringLiteral("select tf.tablespace_name,ts.block_size,ts.initial_extent,ts.next_extent,"),
        QStringLiteral("ts.min_extents,ts.max_extents,ts.pct_increase,ts.min_extlen,ts.status,ts.contents,"),
        QStringLiteral("ts.logging,ts.force_logging,ts.extent_management,ts.allocation_type,ts.plugged_in,"),
        QStringLiteral("ts.segment_space_management,ts.def_tab_compression,ts.retention,'',"),
        QStringLiteral("tf.file_name,tf.file_id,tf.bytes,tf.blocks,tf.status,tf.relative_fno,"),
        QStringLiteral("tf.autoextensible,tf.maxbytes,tf.maxblocks,tf.increment_by,tf.user_bytes,"),
        QStringLiteral("tf.user_blocks, ''"),
        QStringLiteral("from dba_tablespaces ts, dba_temp_files tf where "),
        QStringLiteral("upper(ts.tablespace_name) like ") + tablespaces,
        QStringLiteral(" and upper(tf.file_name) like ") + files,
        QStringLiteral(" and tf.tablespace_name = ts.tablespace_name"),
        QStringLiteral("order by 1,2"),
    };
}

void StorageBrowserScreen::Button68Click()
{
    // Tree, grid and caption change only once the rows are in: a statement that fails,
    // or a load cut short, leaves all three showing the last load.
    QTreeWidget &tree = *ui_->tsdftree;
    buildScript(*tsdfmemo, nullptr, listStatement());
    openScript(*tsdfmemo, *tsdfquery);
    const QString first = tsdfquery->field(QStringLiteral("TABLESPACE_NAME"));
    DumpQueryIntoGrid(*tsdfquery, *tsdfgrid, true);
    tsdfquery->close();
    tsname->setText(QStringLiteral("Tablespace : ") + first);
    GridTailTrim(*tsdfgrid);

    // One top node per tablespace, one child per file; the rows come ordered by
    // tablespace. With no record the empty row gives one empty node at the top.
    tree.clear();
    QString previous;
    QTreeWidgetItem *tablespace = nullptr;
    for (int r = 1; r < tsdfgrid->rowCount(); ++r) {
        const QString &name = tsdfgrid->cell(kTablespaceColumn, r);
        if (name != previous) {
            tablespace = new QTreeWidgetItem(&tree, {name});
        }
        const QStringList file{tsdfgrid->cell(kFileColumn, r)};
        if (tablespace)
            new QTreeWidgetItem(tablespace, file);
        else
            new QTreeWidgetItem(&tree, file);
        previous = name;
    }
}

void StorageBrowserScreen::tsdftreeDblClick()
{
    const QTreeWidgetItem *node = selectedNode(*ui_->tsdftree);
    if (!node)
        return;
    tsname->setText(QStringLiteral("Tablespace:"));
    dffilename->setText(QStringLiteral("Datafile:"));
    for (QLineEdit *edit : detailEdits_)
        if (edit)
            edit->clear();

    const bool fileNode = nodeLevel(*node) > 0;
    const QString tablespace = fileNode ? node->parent()->text(0) : node->text(0);
    // No file is named by a single blank, so a tablespace node fills no file edit.
    const QString file = fileNode ? node->text(0) : QStringLiteral(" ");
    for (int r = 1; r < tsdfgrid->rowCount(); ++r) {
        if (tsdfgrid->cell(kTablespaceColumn, r) == tablespace) {
            tsname->setText(QStringLiteral("Tablespace:") + tsdfgrid->cell(kTablespaceColumn, r));
            for (const DetailField &f : kTablespaceFields)
                detailEdits_[size_t(f.column)]->setText(tsdfgrid->cell(f.column, r));
        }
        if (tsdfgrid->cell(kFileColumn, r) == file) {
            dffilename->setText(QStringLiteral("Datafile: ") + tsdfgrid->cell(kFileColumn, r));
            for (const DetailField &f : kFileFields)
                detailEdits_[size_t(f.column)]->setText(tsdfgrid->cell(f.column, r));
        }
    }
}

void StorageBrowserScreen::RadioButton28Click()
{
    tsdfgridView_->hide();
}

void StorageBrowserScreen::RadioButton29Click()
{
    tsdfgridView_->show();
    tsdfgridView_->raise();
}

QStringList StorageBrowserScreen::growthStatement(const QString &tablespace) const
{
    QStringList lines{
        QStringLiteral("select s.snap_id,s.start_time,s.end_time,x.tablespace_maxsize*x.block_size/1024/1024, "),
        QStringLiteral("x.tablespace_size*x.block_size/1024/1024,x.tablespace_usedsize*x.block_size/1024/1024 "),
        QStringLiteral("from  "),
        QStringLiteral("(select dhtsu.snap_id,dhtsu.tablespace_size,dhtsu.tablespace_maxsize,dhtsu.tablespace_usedsize "
                       ",dbat.block_size "),
        QStringLiteral("from DBA_HIST_TBSPC_SPACE_USAGE dhtsu,v$tablespace vt,dba_tablespaces dbat where "),
        QStringLiteral("dhtsu.tablespace_id = vt.ts# and "),
        QStringLiteral("vt.name = ") + sqlQuote(tablespace) + QStringLiteral(" and "),
        QStringLiteral("vt.name = dbat.TABLESPACE_NAME "),
        QStringLiteral(")x, "),
        QStringLiteral("(  "),
        QStringLiteral("select snap_id,"),
        QStringLiteral(
            "        max(to_char((trunc(begin_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as start_time,"),
        QStringLiteral("        max(to_char((trunc(end_interval_time, 'mi')),'DD/MON/YYYY HH24:MI:SS')) as end_time "),
        QStringLiteral("        from dba_hist_snapshot "),
    };
    lines << snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and "));
    lines << QStringLiteral("        group by snap_id ") << QStringLiteral(") s ")
          << QStringLiteral("where s.snap_id = x.snap_id ") << QStringLiteral("order by snap_id");
    return lines;
}

void StorageBrowserScreen::gettssizesClick()
{
    const QTreeWidgetItem *node = selectedNode(*ui_->tsdftree);
    if (!node)
        return;
    const QString tablespace = nodeLevel(*node) > 0 ? node->parent()->text(0) : node->text(0);
    if (tablespace.isEmpty())
        return;
    // The caption names the tablespace once its rows are in: a statement that fails
    // leaves the grid and chart of the last retrieve under their own caption.
    const QString caption = QStringLiteral("Tablespace : ") + tablespace;
    buildScript(*tssizememo, nullptr, growthStatement(tablespace));
    openScript(*tssizememo, *tssizequery);
    if (tssizequery->eof()) {
        tssizequery->close();
        ui_->tsgraphcap->setText(caption);
        // Nothing of an earlier tablespace may stay under this one's caption, not even
        // while the message is open: the chart's batch closes before it.
        tssizegrid->empty();
        {
            Chart::Batch batch(*tssizegraph);
            for (int s = 0; s < tssizegraph->seriesCount(); ++s)
                tssizegraph->clearPoints(s);
        }
        messages().info(QStringLiteral("No records found for tablespace : ") + tablespace);
        return;
    }
    DumpQueryIntoGrid(*tssizequery, *tssizegrid, true);
    tssizequery->close();
    ui_->tsgraphcap->setText(caption);
    if (tssizegrid->rowCount() == 2)
        return;
    GridTailTrim(*tssizegrid);
    drawGrowth();
}

void StorageBrowserScreen::drawGrowth()
{
    Chart::Batch batch(*tssizegraph);
    tssizegraph->removeAllSeries();
    for (const GrowthLine &l : kGrowthLines) {
        const int s = tssizegraph->addSeries(SeriesKind::Line, QString::fromLatin1(l.title));
        tssizegraph->setSeriesColor(s, l.color);
    }
    for (int r = 1; r < tssizegrid->rowCount(); ++r) {
        const QString &label = tssizegrid->cell(1, r);
        for (int s = 0; s < int(std::size(kGrowthLines)); ++s) {
            // An empty size (NULL) leaves a gap in its line.
            const QString &size = tssizegrid->cell(kGrowthLines[s].column, r);
            const double value =
                size.trimmed().isEmpty() ? std::numeric_limits<double>::quiet_NaN() : strictToFloat(size);
            tssizegraph->addPoint(s, value, label);
        }
    }
}

void StorageBrowserScreen::RadioButton34Click()
{
    tssizegridView_->show();
    tssizegraphView_->hide();
    tssizegraphView_->lower();
}

void StorageBrowserScreen::RadioButton35Click()
{
    tssizegraphView_->show();
    tssizegridView_->hide();
    tssizegridView_->lower();
}

} // namespace tavimond
