// The table details of the object browser: structure, statistics, partitions,
// indexes, constraints, storage and DDL of one table, each section switched by a box
// of the table retrieval options.
#include "object_browser_screen.h"
#include "object_page_parts.h"
#include "partition_tree.h"

#include "core/conversions.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/current_row.h"
#include "ui/detail_controls.h"
#include "ui/grid_view.h"
#include "ui/handler.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTime>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavimond {
namespace {

using pages::newTab;
using pages::radio;
using pages::ticked;

const char *const kStructure = "Table:Structure";
const char *const kStatistics = "Statistics";
const char *const kPartitioning = "Partitioning";
const char *const kStorage = "Storage";
const char *const kConstraints = "Constraints";

const DetailEdit kName[] = {{"objownertab", "Name", kStructure, nullptr, -1}};

// The main information, by column name.
const DetailEdit kMain[] = {
    {"objtsname", "Tablespace", kStructure, "tablespace_name", -1},
    {"objpartname", "Partitioned", kStructure, "partitioned", -1},
    {"objstatus", "Status", kStructure, "status", -1},
    {"objcompress", "Compression", kStructure, "compression", -1},
    {"objdegree", "Degree", kStructure, "degree", -1},
    {"objlogging", "Logging", kStructure, "logging", -1},
    {"objmonitor", "Monitoring", kStructure, "monitoring", -1},
    {"objbufpool", "Buffer Pool", kStructure, "buffer_pool", -1},
    {"objskipblock", "Skip Corrupt Blocks", kStructure, "skip_corrupt", -1},
    {"objrowmove", "Row Movement", kStructure, "row_movement", -1},
    {"objinittrans", "Init Trans", kStructure, "ini_trans", -1},
    {"objparttype", "Partition Type", kStructure, "partitioning_type", -1},
    {"objsubparttype", "Sub Partition Type", kStructure, "subpartitioning_type", -1},
    {"objpctfree", "PCT Free", kStorage, "pct_free", -1},
    {"objpctused", "PCT Used", kStorage, "pct_used", -1},
    {"objpctinc", "PCT Increase", kStorage, "pct_increase", -1},
    {"objinitext", "Initial Extents", kStorage, "initial_extent", -1},
    {"objnextext", "Next Extent", kStorage, "next_extent", -1},
    {"objminext", "Min Extents", kStorage, "min_extents", -1},
    {"objmaxext", "Max Extensts", kStorage, "max_extents", -1},
    {"objfreelists", "Free Lists", kStorage, "freelists", -1},
    {"objfreelistg", "Free List Groups", kStorage, "freelist_groups", -1},
};

// The basic statistics and the modifications, by field position.
const DetailEdit kStatisticsEdits[] = {
    {"objnumrows", "Number of Rows", kStatistics, nullptr, 0},
    {"objblocks", "Blocks", kStatistics, nullptr, 1},
    {"objempblocks", "Empty Blocks", kStatistics, nullptr, 2},
    {"objavgspace", "Average Space", kStatistics, nullptr, 3},
    {"objchaincnt", "Chain Count", kStatistics, nullptr, 4},
    {"objavgrowlength", "Average Row Length", kStatistics, nullptr, 5},
    {"objsampsize", "Sample Size", kStatistics, nullptr, 6},
    {"objlastanal", "Last Analysed", kStatistics, nullptr, 7},
    {"objglobstat", "Global Stats", kStatistics, nullptr, 8},
    {"objuserstat", "User Stats", kStatistics, nullptr, 9},
};
const DetailEdit kModifications[] = {
    {"objinserts", "Inserts", kStatistics, nullptr, 0}, {"objdeletes", "Deletes", kStatistics, nullptr, 1},
    {"objupdates", "Updates", kStatistics, nullptr, 2}, {"objlastchange", "Last Data Change", kStatistics, nullptr, 3},
    {"objtrunc", "Truncated", kStatistics, nullptr, 4}, {"objsegdrop", "Segments Dropped", kStatistics, nullptr, 5},
};

// The storage sums, by field position.
const DetailEdit kStorageSums[] = {
    {"objextents", "Extents", kStorage, nullptr, 0},
    {"objmbytes", "MBytes", kStorage, nullptr, 1},
    {"objdsblocks", "Blocks", kStorage, nullptr, 2},
};

// A partition row, by grid column; the label before "Inserts" reads the analysed time.
const DetailEdit kPartitionEdits[] = {
    {"PARTNUMROWS", "Rows", kPartitioning, nullptr, 3},
    {"PARTBLOCKS", "Blocks", kPartitioning, nullptr, 4},
    {"partempblock", "Empty Blocks", kPartitioning, nullptr, 5},
    {"partavgspace", "Avg Space", kPartitioning, nullptr, 6},
    {"partchncount", "Chain Count", kPartitioning, nullptr, 7},
    {"partrowlen", "Avg Row Length", kPartitioning, nullptr, 8},
    {"partsampsize", "Sample Size", kPartitioning, nullptr, 9},
    {"partlastanal", "Last Analysed", kPartitioning, nullptr, 10},
    {"parttsname", "Tablespace", kPartitioning, nullptr, 11},
    {"partcomp", "Compression", kPartitioning, nullptr, 12},
    {"partbufpool", "Buffer Pool", kPartitioning, nullptr, 13},
    {"partinitran", "Init Trans", kPartitioning, nullptr, 14},
    {"partuserstat", "User Stats", kPartitioning, nullptr, 15},
    {"partglobstat", "Global Stats", kPartitioning, nullptr, 16},
    {"partinsert", "Inserts", kPartitioning, nullptr, 17},
    {"partdelete", "Deletes", kPartitioning, nullptr, 18},
    {"partupdate", "Updates", kPartitioning, nullptr, 19},
    {"partlastchange", "Last Data Change", kPartitioning, nullptr, 20},
    {"parttrunc", "Truncated", kPartitioning, nullptr, 21},
    {"partseg", "Segments Dropped", kPartitioning, nullptr, 22},
    {"parthigh", "High Value", kPartitioning, nullptr, 23},
    {"partdsextents", "Extents", kPartitioning, nullptr, 24},
    {"partdsmbytes", "MBytes", kPartitioning, nullptr, 25},
    {"partdsblocks", "Blocks", kPartitioning, nullptr, 26},
};
// The label that reads the analysed time stands before "Inserts"; the high value has a row.
constexpr size_t kLabelBefore = 14;
constexpr size_t kHighValueAt = 20;

// A constraint row, by grid column.
const DetailEdit kConstraintEdits[] = {
    {"contype", "Type", kConstraints, nullptr, 1},
    {"constatus", "Status", kConstraints, nullptr, 2},
    {"consearch", "Search Condiftion", kConstraints, nullptr, 3},
    {"condable", "Deferrable", kConstraints, nullptr, 4},
    {"condef", "Defered", kConstraints, nullptr, 5},
    {"concols", "Columns", kConstraints, nullptr, 6},
};

const QString kDataManipulationSince = QStringLiteral("Data Manipulation Since: ");

// The quoted literal of a name in a statement: its quotes doubled.
QString lit(const QString &text)
{
    return sqlQuote(text);
}

} // namespace

void ObjectBrowserScreen::buildTablePage(QTabWidget *page)
{
    // Table:Structure: the name, the main information and the columns.
    QWidget *structure = newTab(page, kStructure);
    auto *structureLayout = new QVBoxLayout(structure);
    auto *mainGrid = new QGridLayout;
    edits_.add(mainGrid, 0, 0, kName[0], structure, 3);
    edits_.layOut(mainGrid, 1, kMain, QLatin1String(kStructure), 3, structure);
    structureLayout->addLayout(mainGrid);
    structureLayout->addWidget(gridView("objtabcolsgrid", 9, structure), 1);

    // Statistics: basic figures, the modifications since, and the histograms.
    QWidget *statistics = newTab(page, kStatistics);
    auto *statisticsLayout = new QVBoxLayout(statistics);
    auto *statsGrid = new QGridLayout;
    int row = edits_.layOut(statsGrid, 0, kStatisticsEdits, QLatin1String(kStatistics), 2, statistics);
    dms = new QLabel(kDataManipulationSince, statistics);
    dms->setObjectName(QStringLiteral("dms"));
    statsGrid->addWidget(dms, row, 0, 1, 4);
    edits_.layOut(statsGrid, row + 1, kModifications, QLatin1String(kStatistics), 2, statistics);
    statisticsLayout->addLayout(statsGrid);
    statisticsLayout->addWidget(new QLabel(QStringLiteral("Extended Statistiscs(Histograms)"), statistics));
    statisticsLayout->addWidget(gridView("objextstatsgrid", 3, statistics), 1);

    // Partitioning: the partition tree beside a partition's figures, or the grid of them all.
    Label115 = new QLabel(kDataManipulationSince, page);
    Label115->setObjectName(QStringLiteral("Label115"));
    const PartitionTab partitions = buildPartitionTab(page, "parttview", "partgview", "parttree", "partitiongrid", 27,
                                                      kPartitionEdits, kHighValueAt, Label115, kLabelBefore);
    parttree = partitions.tree;
    partitionView_ = partitions.view;
    partitionDialog_ = partitions.dialog;

    // Indexes.
    QWidget *indexes = newTab(page, "Indexes");
    auto *indexesLayout = new QVBoxLayout(indexes);
    indexesLayout->addWidget(gridView("objindexgrid", 3, indexes));

    // Constraints: one constraint chosen by name, or the grid of them all.
    QWidget *constraints = newTab(page, kConstraints);
    auto *constraintsLayout = new QVBoxLayout(constraints);
    auto *constraintRadios = new QHBoxLayout;
    QRadioButton *dialogView = radio("RadioButton22", "Dialog View", true, constraints);
    QRadioButton *gridViewRadio = radio("RadioButton23", "Grid View", false, constraints);
    constraintRadios->addWidget(dialogView);
    constraintRadios->addWidget(gridViewRadio);
    constraintRadios->addStretch();
    constraintsLayout->addLayout(constraintRadios);
    constraintView_ = new QStackedWidget(constraints);
    constraintDialog_ = new QWidget(constraintView_);
    auto *constraintGrid = new QGridLayout(constraintDialog_);
    objconddown = new QComboBox(constraintDialog_);
    objconddown->setObjectName(QStringLiteral("objconddown"));
    objconddown->setEditable(false);
    constraintGrid->addWidget(new QLabel(QStringLiteral("Name"), constraintDialog_), 0, 0);
    constraintGrid->addWidget(objconddown, 0, 1);
    row = 1;
    for (const DetailEdit &e : kConstraintEdits)
        edits_.add(constraintGrid, row++, 0, e, constraintDialog_);
    constraintGrid->setColumnStretch(1, 1);
    constraintGrid->setRowStretch(row, 1);
    constraintView_->addWidget(constraintDialog_);
    constraintView_->addWidget(gridView("objcongrid", 7, constraintView_));
    constraintsLayout->addWidget(constraintView_, 1);

    // Storage: the storage parameters and the sums over the segments.
    buildStorageTab(page, kMain, kStorageSums);

    // DDL.
    QWidget *ddl = newTab(page, "DDL");
    auto *ddlLayout = new QVBoxLayout(ddl);
    tabdefinition = detailMemo("tabdefinition", ddl);
    ddlLayout->addWidget(tabdefinition);

    // A node clicked, or made current with the keys, shows its rows.
    onCurrentRowChange(parttree, this, [this] { parttreeClick(); });
    connect(partitions.dialogRadio, &QRadioButton::clicked, this, guarded([this] { parttviewClick(); }));
    connect(partitions.gridRadio, &QRadioButton::clicked, this, guarded([this] { partgviewClick(); }));
    connect(dialogView, &QRadioButton::clicked, this, guarded([this] { RadioButton22Click(); }));
    connect(gridViewRadio, &QRadioButton::clicked, this, guarded([this] { RadioButton23Click(); }));
    // A choice of the user's; choosing an item from code raises nothing.
    connect(objconddown, &QComboBox::activated, this, guarded([this] { objconddownChange(); }));
}

void ObjectBrowserScreen::tableBranch(const QString &owner, const QString &name, const QString &nodeText)
{
    // 1-2. The page in front, emptied whatever the options say.
    showDetailPage(tabpage);
    for (const char *g : {"objtabcolsgrid", "objextstatsgrid", "partitiongrid", "objindexgrid", "objcongrid"})
        grid(g).empty();
    for (const DetailEdits table :
         {DetailEdits(kName), DetailEdits(kMain), DetailEdits(kStatisticsEdits), DetailEdits(kModifications),
          DetailEdits(kStorageSums), DetailEdits(kPartitionEdits), DetailEdits(kConstraintEdits)})
        edits_.clear(table);
    objconddown->clear();
    tabdefinition->clear();
    parttree->clear();
    // 3.
    edits_.setText("objownertab", nodeText);

    // Owner and name go in as the dictionary stores them: compared without upper(), so
    // that a quoted mixed-case name is found, with their quotes doubled.
    const QString o = lit(owner);
    const QString n = lit(name);
    // 4. Structure.
    if (ticked(this, "trotablest")) {
        loadGrid("objtabcols", "tabcolsquery",
                 {QStringLiteral("select column_id,column_name,data_type,data_length,"),
                  QStringLiteral("data_precision,data_scale,nullable,data_default,histogram "),
                  QStringLiteral("from dba_tab_columns "), QStringLiteral("where "),
                  QStringLiteral("owner =  ") + o + QStringLiteral(" and "), QStringLiteral("table_name =  ") + n,
                  // Invisible columns have no column_id: first, so the tail trim keeps them.
                  QStringLiteral("order by 1 nulls first")},
                 "objtabcolsgrid");
        Query &tabstquery = runScript(
            "tabst", "tabstquery",
            {QStringLiteral("select dt.tablespace_name,dt.partitioned,dt.status,"),
             QStringLiteral("dt.compression,trim(dt.degree) as degree,dt.logging,"),
             QStringLiteral("dt.monitoring,dt.buffer_pool,"),
             QStringLiteral("dt.skip_corrupt,dt.row_movement,dt.ini_trans,"),
             QStringLiteral("dt.pct_free,dt.pct_used,dt.pct_increase,dt.initial_extent,"),
             QStringLiteral("dt.next_extent,dt.min_extents,dt.max_extents,dt.freelists,dt.freelist_groups,"),
             QStringLiteral("dpt.partitioning_type,dpt.subpartitioning_type"),
             QStringLiteral("from dba_tables dt, dba_part_tables dpt where "),
             QStringLiteral("dt.owner =  ") + o + QStringLiteral(" and "),
             QStringLiteral("dt.table_name =  ") + n + QStringLiteral(" and "),
             QStringLiteral("dt.owner = dpt.owner(+) and "), QStringLiteral("dt.table_name = dpt.table_name(+)")});
        edits_.copyByName(tabstquery, kMain);
        tabstquery.close();
    }
    // 5. Statistics.
    if (ticked(this, "trostat")) {
        Query &basic = runScript("tabstats1", "tabstats1query",
                                 {QStringLiteral("select num_rows,blocks,empty_blocks,avg_space,chain_cnt,"),
                                  QStringLiteral("avg_row_len,sample_size,last_analyzed,global_stats,"),
                                  QStringLiteral("user_stats"), QStringLiteral("from dba_tables"),
                                  QStringLiteral("where "), QStringLiteral("owner =  ") + o + QStringLiteral(" and "),
                                  QStringLiteral("table_name =  ") + n});
        edits_.copyByPosition(basic, kStatisticsEdits);
        basic.close();
        // The value itself where the database keeps no text of it (numbers, dates).
        loadGrid("tabstats2", "tabstats2query",
                 {QStringLiteral("select column_name,endpoint_number,"),
                  QStringLiteral("nvl(endpoint_actual_value, to_char(endpoint_value)) from "),
                  QStringLiteral("dba_tab_histograms "), QStringLiteral("where "),
                  QStringLiteral("owner =  ") + o + QStringLiteral(" and "),
                  QStringLiteral("table_name =  ") + n + QStringLiteral(" "), QStringLiteral("order by 1,2")},
                 "objextstatsgrid");
        // The table's own row, not a partition's.
        Query &modifications = runScript(
            "tabstats3", "tabstats3query",
            {QStringLiteral("select inserts,deletes,updates,"),
             QStringLiteral("timestamp,truncated,drop_segments from "), QStringLiteral("sys.dba_tab_modifications "),
             QStringLiteral("where "), QStringLiteral("table_owner =  ") + o + QStringLiteral(" and "),
             QStringLiteral("table_name =  ") + n + QStringLiteral(" "), QStringLiteral("and partition_name is null")});
        dms->setText(kDataManipulationSince + edits_.text("objlastanal"));
        edits_.copyByPosition(modifications, kModifications);
        modifications.close();
    }
    // 6. Partitions and subpartitions: two statements, since a LONG column may not stand
    // in a union; their rows merged as one ordered statement would give them.
    if (ticked(this, "tropart")) {
        const QString tail4 = QStringLiteral("dtp.avg_space,dtp.chain_cnt,dtp.avg_row_len,dtp.sample_size,"
                                             "dtp.last_analyzed, dtp.tablespace_name,dtp.compression,");
        const QString tail5 = QStringLiteral("dtp.buffer_pool,dtp.ini_trans,dtp.user_stats,dtp.global_stats,");
        const QString tail7 = QStringLiteral("ds.extents,ds.bytes/1024/1024,ds.blocks");
        const QString ownerLine = QStringLiteral("dtp.table_owner =  ") + o + QStringLiteral(" and ");
        const QString nameLine = QStringLiteral("dtp.table_name =  ") + n + QStringLiteral(" and");
        const QStringList partitions{
            QStringLiteral("select dtp.table_name,dtp.partition_name,' ',dtp.num_rows,dtp.blocks as dtpblocks,"
                           "dtp.empty_blocks,"),
            tail4,
            tail5,
            QStringLiteral("dtm.inserts,dtm.deletes,dtm.updates,dtm.timestamp,dtm.truncated,dtm.drop_segments,"
                           "dtp.high_value,"),
            tail7,
            QStringLiteral("from "),
            QStringLiteral("dba_tab_partitions dtp, sys.dba_tab_modifications dtm, dba_segments ds"),
            QStringLiteral("where "),
            ownerLine,
            nameLine,
            QStringLiteral("dtp.table_owner = dtm.table_owner(+) and "),
            QStringLiteral("dtp.table_name = dtm.table_name(+) and"),
            QStringLiteral("dtp.partition_name = dtm.partition_name(+) and"),
            QStringLiteral("dtm.subpartition_name(+) is null and "),
            QStringLiteral("dtp.table_owner = ds.owner(+) and "),
            QStringLiteral("dtp.table_name = ds.segment_name(+) and "),
            QStringLiteral("dtp.partition_name = ds.partition_name(+) "),
            QStringLiteral("order by 1,2,3")};
        const QStringList subpartitions{
            QStringLiteral("select dtp.table_name,dtp.partition_name,dtp.subpartition_name,dtp.num_rows,"
                           "dtp.blocks as dtpblocks,dtp.empty_blocks,"),
            tail4,
            tail5,
            QStringLiteral("dtm.inserts,dtm.deletes,dtm.updates,dtm.timestamp,dtm.truncated,dtm.drop_segments,"
                           "dtp.high_value, "),
            tail7,
            QStringLiteral("from "),
            QStringLiteral("dba_tab_subpartitions dtp, sys.dba_tab_modifications dtm, dba_segments ds"),
            QStringLiteral("where "),
            ownerLine,
            nameLine,
            QStringLiteral("dtp.table_owner = dtm.table_owner(+) and "),
            QStringLiteral("dtp.table_name = dtm.table_name(+) and "),
            QStringLiteral("dtp.partition_name = dtm.partition_name(+) and "),
            QStringLiteral("dtp.subpartition_name = dtm.subpartition_name(+) and "),
            QStringLiteral("dtp.table_owner = ds.owner(+) and "),
            QStringLiteral("dtp.table_name = ds.segment_name(+) and "),
            QStringLiteral("dtp.subpartition_name = ds.partition_name(+) "),
            QStringLiteral("order by 1,2,3")};
        loadMergedGrid("tabparts", "tabparts_query", partitions, subpartitions, "partitiongrid");
        buildPartitionTree(*parttree, grid("partitiongrid"));
    }
    // 7. Index columns.
    if (ticked(this, "troind")) {
        loadGrid("tabidxmemo", "tabidx_query",
                 {QStringLiteral("select index_name,column_position,column_name "),
                  QStringLiteral("from dba_ind_columns "), QStringLiteral("where"),
                  QStringLiteral("table_owner =  ") + o + QStringLiteral(" and "),
                  QStringLiteral("table_name =  ") + n + QStringLiteral(" "), QStringLiteral("order by 1,2")},
                 "objindexgrid");
    }
    // 8. Constraints, each with its columns in alphabetical order.
    if (ticked(this, "trocon")) {
        loadGrid("tabconmemo", "tabcon_query",
                 {QStringLiteral("select cb.constraint_name,cb.constraint_type,cb.status,cb.search_condition,"),
                  QStringLiteral("cb.deferrable,cb.deferred,cc.col_list from "),
                  QStringLiteral("(select constraint_name,constraint_type,status,search_condition,"),
                  QStringLiteral("deferrable,deferred "),
                  QStringLiteral("from dba_constraints "),
                  QStringLiteral("where "),
                  QStringLiteral("owner =  ") + o + QStringLiteral(" and "),
                  QStringLiteral("table_name =  ") + n + QStringLiteral(" "),
                  QStringLiteral("order by 1,2) cb,"),
                  QStringLiteral("(select "),
                  QStringLiteral("   constraint_name,"),
                  QStringLiteral("   substr(SYS_CONNECT_BY_PATH(column_name, ','),2) col_list  "),
                  QStringLiteral("from "),
                  QStringLiteral("   ( "),
                  QStringLiteral("   select "),
                  QStringLiteral("     column_name,"),
                  QStringLiteral("     constraint_name,"),
                  QStringLiteral("     count(*) OVER ( partition by constraint_name ) cnt,"),
                  QStringLiteral("     ROW_NUMBER () OVER ( partition by constraint_name order by column_name) seq"),
                  QStringLiteral("   from "),
                  QStringLiteral("     dba_cons_columns "),
                  QStringLiteral("   where "),
                  QStringLiteral("owner =  ") + o + QStringLiteral(" and "),
                  QStringLiteral("table_name =  ") + n + QStringLiteral(") "),
                  QStringLiteral("where "),
                  QStringLiteral("   seq=cnt "),
                  QStringLiteral("start with "),
                  QStringLiteral("   seq=1 "),
                  QStringLiteral("connect by prior "),
                  QStringLiteral("   seq+1=seq "),
                  QStringLiteral("and prior "),
                  QStringLiteral("   constraint_name=constraint_name) cc "),
                  QStringLiteral("where "),
                  QStringLiteral("cb.constraint_name = cc.constraint_name")},
                 "objcongrid");
        const ResultGrid &constraints = grid("objcongrid");
        for (int r = 1; r < constraints.rowCount(); ++r)
            objconddown->addItem(constraints.cell(0, r));
        objconddown->setCurrentIndex(0);
        if (!objconddown->currentText().isEmpty())
            edits_.copyGridRow(constraints, 1, kConstraintEdits);
    }
    // 9. DDL.
    if (ticked(this, "troddl"))
        ddlFetch(QStringLiteral("TABLE"), name, owner, "tabddl", "tabddl_query", tabdefinition, false);
    // 10. Storage: the sums over every segment of that owner and name; unticked, the
    // storage parameters go too.
    storageSection("trosto", "tabsto", "tabsto_query", o, n, kMain, kStorageSums);
}

void ObjectBrowserScreen::parttreeClick()
{
    const QTreeWidgetItem *node = parttree->currentItem();
    if (!node)
        return;
    if (copyPartitionRows(*node, grid("partitiongrid"), edits_, kPartitionEdits))
        Label115->setText(kDataManipulationSince + edits_.text("partlastanal"));
}

void ObjectBrowserScreen::parttviewClick()
{
    partitionView_->setCurrentWidget(partitionDialog_);
}

void ObjectBrowserScreen::partgviewClick()
{
    partitionView_->setCurrentWidget(findChild<GridView *>(QStringLiteral("partitiongrid")));
}

void ObjectBrowserScreen::RadioButton22Click()
{
    constraintView_->setCurrentWidget(constraintDialog_);
}

void ObjectBrowserScreen::RadioButton23Click()
{
    constraintView_->setCurrentWidget(findChild<GridView *>(QStringLiteral("objcongrid")));
}

void ObjectBrowserScreen::objconddownChange()
{
    const ResultGrid &constraints = grid("objcongrid");
    const QString chosen = objconddown->currentText();
    for (int r = 1; r < constraints.rowCount(); ++r)
        if (constraints.cell(0, r) == chosen)
            edits_.copyGridRow(constraints, r, kConstraintEdits);
}

} // namespace tavimond
