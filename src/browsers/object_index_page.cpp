// The index details of the object browser: structure and columns, statistics,
// partitions, storage and DDL of one index, each section switched by a box of the
// index retrieval options.
#include "object_browser_screen.h"
#include "object_page_parts.h"
#include "partition_tree.h"

#include "core/conversions.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/current_row.h"
#include "ui/detail_controls.h"
#include "ui/grid_view.h"
#include "ui/handler.h"

#include <QGridLayout>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavimond {
namespace {

using pages::newTab;
using pages::radio;
using pages::ticked;

const char *const kStructure = "Index:Structure";
const char *const kStatistics = "Statistics";
const char *const kPartitioning = "Partitioning";
const char *const kStorage = "Storage";

const DetailEdit kName[] = {{"idxname", "Name", kStructure, nullptr, -1}};

// The main information, by column name. The statement selects "partitioned" twice; the
// second copy, into the same edit, stands where the statement has it.
const DetailEdit kMain[] = {
    {"idxtsname", "Tablespace", kStructure, "tablespace_name", -1},
    {"idxpart", "Partitioned", kStructure, "partitioned", -1},
    {"idxstatus", "Status", kStructure, "status", -1},
    {"idxcomp", "Compression", kStructure, "compression", -1},
    {"idxdegree", "Degree", kStructure, "degree", -1},
    {"idxbufpool", "Buffer Pool", kStructure, "buffer_pool", -1},
    {"idxinitrans", "Init Trans", kStructure, "ini_trans", -1},
    {"idxunique", "Uniqueness", kStructure, "uniqueness", -1},
    {"idxlog", "Logging", kStructure, "logging", -1},
    {"idxidxtype", "Index Type", kStructure, "index_type", -1},
    {"idxtbowner", "Table Owner", kStructure, "table_owner", -1},
    {"idxtbname", "Table Name", kStructure, "table_name", -1},
    {"idxtbtype", "Table Type", kStructure, "table_type", -1},
    {"idxmaxtrans", "Max Trans", kStructure, "max_trans", -1},
    {"idxtemp", "Temporary", kStructure, "temporary", -1},
    {"idxgen", "Generated", kStructure, "generated", -1},
    {"idxsec", "Secondary", kStructure, "secondary", -1},
    {"idxdur", "Duration", kStructure, "duration", -1},
    {"idxpctdir", "PCT Direct", kStructure, "pct_direct_access", -1},
    {"idxparameters", "Parameters", kStructure, "parameters", -1},
    {"idxjoinidx", "Join Index", kStructure, "join_index", -1},
    {"idxdropped", "Dropped", kStructure, "dropped", -1},
    {"idxiotred", "IOT Redundant", kStructure, "iot_redundant_pkey_elim", -1},
    {"idxitypowner", "IType Owner", kStructure, "ityp_owner", -1},
    {"idxitypname", "IType Name", kStructure, "ityp_name", -1},
    {"idxpreflen", "Prefix Length", kStructure, "prefix_length", -1},
    {"idxpart", "Partitioned", nullptr, "partitioned", -1},
    {"idxparttype", "Partition Type", kStructure, "partitioning_type", -1},
    {"idxsubparttype", "Sub Partition Type", kStructure, "subpartitioning_type", -1},
    {"idxdomidxs", "DomIDX Stattus", kStructure, "domidx_status", -1},
    {"idxdomidxops", "DomIDX OPStatus", kStructure, "domidx_opstatus", -1},
    {"idxfuncidxs", "FUNCIDX Status", kStructure, "funcidx_status", -1},
    {"idxpctfree", "PCT Free", kStorage, "pct_free", -1},
    {"idxpctthresh", "PCT Threshold", kStorage, "pct_threshold", -1},
    {"idxpctinc", "PCT Increase", kStorage, "pct_increase", -1},
    {"idxinitext", "Initial Extents", kStorage, "initial_extent", -1},
    {"idxnextext", "Next Extent", kStorage, "next_extent", -1},
    {"idxminext", "Min Extents", kStorage, "min_extents", -1},
    {"idxmaxext", "Max Extensts", kStorage, "max_extents", -1},
    {"idxfreelists", "Free Lists", kStorage, "freelists", -1},
    {"idxfreelistg", "Free List Groups", kStorage, "freelist_groups", -1},
};

const DetailEdit kStatisticsEdits[] = {
    {"idxnumrows", "Number of Rows", kStatistics, "num_rows", -1},
    {"idxavgleaf", "Avg Leaf Blocks", kStatistics, "avg_leaf_blocks_per_key", -1},
    {"idxavgblock", "Avg Data Blocks", kStatistics, "avg_data_blocks_per_key", -1},
    {"idxblevel", "BLevel", kStatistics, "blevel", -1},
    {"idxleafs", "Leaf Blocks", kStatistics, "leaf_blocks", -1},
    {"idxdistkey", "Distinct Keys", kStatistics, "distinct_keys", -1},
    {"idxsampsize", "Sample Size", kStatistics, "sample_size", -1},
    {"idxlastanal", "Last Analysed", kStatistics, "last_analyzed", -1},
    {"idxclustering", "Clustering Factor", kStatistics, "clustering_factor", -1},
    {"idxglobstat", "Global Stats", kStatistics, "global_stats", -1},
    {"idxuserstat", "User Stats", kStatistics, "user_stats", -1},
};

const DetailEdit kStorageSums[] = {
    {"idxdsextents", "Extents", kStorage, nullptr, 0},
    {"idxdsmbytes", "MBytes", kStorage, nullptr, 1},
    {"idxdsblocks", "Blocks", kStorage, nullptr, 2},
};

// A partition row, by grid column.
const DetailEdit kPartitionEdits[] = {
    {"idxparttsname", "Tablespace", kPartitioning, nullptr, 3},
    {"idxpartcomp", "Compression", kPartitioning, nullptr, 4},
    {"idxparthighv", "High Value", kPartitioning, nullptr, 5},
    {"idxpartbufpool", "Buffer Pool", kPartitioning, nullptr, 6},
    {"idxpartinitrans", "Init Trans", kPartitioning, nullptr, 7},
    {"idxpartmaxtrans", "Max Trans", kPartitioning, nullptr, 8},
    {"idxpartnumrows", "Number of Rows", kPartitioning, nullptr, 9},
    {"idxpartavgleafb", "Avg Leaf Blocks", kPartitioning, nullptr, 10},
    {"idxpartavgdatab", "Avg Data Blocks", kPartitioning, nullptr, 11},
    {"idxpartblevel", "BLevel", kPartitioning, nullptr, 12},
    {"idxpartleafs", "Leaf Blocks", kPartitioning, nullptr, 13},
    {"idxpartdistkey", "Distinct Keys", kPartitioning, nullptr, 14},
    {"idxpartsampsize", "Sample Size", kPartitioning, nullptr, 15},
    {"idxpartlastanal", "Last Analysed", kPartitioning, nullptr, 16},
    {"idxpartclustering", "Clustering Factor", kPartitioning, nullptr, 17},
    {"idxpartglobs", "Global Stats", kPartitioning, nullptr, 18},
    {"idxpartusers", "User Stats", kPartitioning, nullptr, 19},
    {"idxpartext", "Extents", kPartitioning, nullptr, 20},
    {"idxpartmb", "MBytes", kPartitioning, nullptr, 21},
    {"idxpartblocks", "Blocks", kPartitioning, nullptr, 22},
};
constexpr size_t kHighValueAt = 2;

} // namespace

void ObjectBrowserScreen::buildIndexPage(QTabWidget *page)
{
    QWidget *structure = newTab(page, kStructure);
    auto *structureLayout = new QVBoxLayout(structure);
    auto *mainGrid = new QGridLayout;
    edits_.add(mainGrid, 0, 0, kName[0], structure, 3);
    edits_.layOut(mainGrid, 1, kMain, QLatin1String(kStructure), 3, structure);
    structureLayout->addLayout(mainGrid);
    structureLayout->addWidget(gridView("idxcolsgrid", 5, structure), 1);

    QWidget *statistics = newTab(page, kStatistics);
    auto *statsGrid = new QGridLayout(statistics);
    const int row = edits_.layOut(statsGrid, 0, kStatisticsEdits, QLatin1String(kStatistics), 2, statistics);
    statsGrid->setRowStretch(row, 1);

    // Partitioning: the partition tree beside a partition's figures, or the grid of them all.
    const PartitionTab partitions = buildPartitionTab(page, "RadioButton24", "RadioButton25", "idxparttree",
                                                      "idxpartitiongrid", 23, kPartitionEdits, kHighValueAt);
    idxparttree = partitions.tree;
    idxPartitionView_ = partitions.view;
    idxPartitionDialog_ = partitions.dialog;

    buildStorageTab(page, kMain, kStorageSums);

    QWidget *ddl = newTab(page, "DDL");
    auto *ddlLayout = new QVBoxLayout(ddl);
    ddlLayout->addWidget(detailMemo("idxdefinition", ddl));

    // A node clicked, or made current with the keys, shows its row.
    onCurrentRowChange(idxparttree, this, [this] { idxparttreeClick(); });
    connect(partitions.dialogRadio, &QRadioButton::clicked, this, guarded([this] { RadioButton24Click(); }));
    connect(partitions.gridRadio, &QRadioButton::clicked, this, guarded([this] { RadioButton25Click(); }));
}

void ObjectBrowserScreen::indexBranch(const QString &owner, const QString &name, const QString &nodeText)
{
    // 1-3. The page in front, emptied whatever the options say.
    showDetailPage(idxpage);
    grid("idxcolsgrid").empty();
    grid("idxpartitiongrid").empty();
    for (const DetailEdits table : {DetailEdits(kName), DetailEdits(kMain), DetailEdits(kStatisticsEdits),
                                    DetailEdits(kStorageSums), DetailEdits(kPartitionEdits)})
        edits_.clear(table);
    idxparttree->clear();
    QPlainTextEdit *idxdefinition = pageMemo("idxdefinition");
    idxdefinition->clear();
    edits_.setText("idxname", nodeText);

    // Owner and name with their quotes doubled.
    const QString o = sqlQuote(owner);
    const QString n = sqlQuote(name);
    // 4. Structure and columns.
    if (ticked(this, "irost")) {
        Query &main = runScript(
            "idxst", "idxst_query",
            {QStringLiteral("select di.tablespace_name,di.partitioned,di.status,di.index_type,"),
             QStringLiteral("di.compression,trim(di.degree) as degree,"),
             QStringLiteral("di.buffer_pool,di.ini_trans,di.uniqueness,di.logging,di.table_owner,di.table_name,"),
             QStringLiteral("di.table_type,"),
             QStringLiteral("di.max_trans,di.temporary,di.generated,di.secondary,di.duration,di.pct_direct_access,"),
             QStringLiteral("di.parameters,di.join_index,di.dropped,di.iot_redundant_pkey_elim,di.ityp_owner,"),
             QStringLiteral("di.ityp_name,di.prefix_length,"),
             QStringLiteral("di.partitioned,dpi.partitioning_type,dpi.subpartitioning_type,di.domidx_status,"),
             QStringLiteral("di.domidx_opstatus,di.funcidx_status, "),
             QStringLiteral("di.pct_free,di.pct_increase,di.pct_threshold,di.initial_extent,"),
             QStringLiteral("di.next_extent,di.min_extents,di.max_extents,di.freelists,di.freelist_groups "),
             QStringLiteral("from dba_indexes di, dba_part_indexes dpi where "),
             QStringLiteral("di.owner =  ") + o + QStringLiteral(" and "),
             QStringLiteral("di.index_name =  ") + n + QStringLiteral(" and "),
             QStringLiteral("di.owner = dpi.owner(+) and "), QStringLiteral("di.index_name = dpi.index_name(+)")});
        edits_.copyByName(main, kMain);
        main.close();
        loadGrid("idxcols", "idxcols_query",
                 {QStringLiteral("select column_position,column_name,column_length,"),
                  QStringLiteral("char_length,descend "), QStringLiteral("from dba_ind_columns where "),
                  QStringLiteral("index_owner =  ") + o + QStringLiteral(" and "),
                  QStringLiteral("index_name =  ") + n + QStringLiteral(" "), QStringLiteral("order by 1")},
                 "idxcolsgrid");
    }
    // 5. Statistics.
    if (ticked(this, "irostat")) {
        Query &stats = runScript("idxstats1", "idxstats1_query",
                                 {QStringLiteral("select num_rows,avg_leaf_blocks_per_key,avg_data_blocks_per_key,"),
                                  QStringLiteral("blevel,leaf_blocks,distinct_keys,sample_size,last_analyzed,"),
                                  QStringLiteral("clustering_factor,global_stats,user_stats "),
                                  QStringLiteral("from dba_indexes where "),
                                  QStringLiteral("owner =  ") + o + QStringLiteral(" and "),
                                  QStringLiteral("index_name =  ") + n + QStringLiteral(" ")});
        edits_.copyByName(stats, kStatisticsEdits);
        stats.close();
    }
    // 6. Partitions and subpartitions: two statements, since a LONG column may not stand
    // in a union; their rows merged as one ordered statement would give them.
    if (ticked(this, "iropart")) {
        const QStringList columns{
            QStringLiteral("dip.tablespace_name,dip.compression,dip.high_value,dip.buffer_pool,dip.ini_trans,"),
            QStringLiteral("dip.max_trans,dip.num_rows,dip.avg_leaf_blocks_per_key,dip.avg_data_blocks_per_key,"),
            QStringLiteral("dip.blevel,dip.leaf_blocks,dip.distinct_keys,dip.sample_size,dip.last_analyzed,"),
            QStringLiteral("dip.clustering_factor,dip.global_stats,dip.user_stats,"),
            QStringLiteral("ds.extents,ds.bytes/1024/1024,ds.blocks"),
            QStringLiteral("from")};
        const QStringList owned{QStringLiteral("where "),
                                QStringLiteral("dip.index_owner =  ") + o + QStringLiteral(" and "),
                                QStringLiteral("dip.index_name =  ") + n + QStringLiteral(" and "),
                                QStringLiteral("dip.index_owner = ds.owner(+) and")};
        const QStringList partitions =
            QStringList{QStringLiteral("select dip.index_name,dip.partition_name,' ',")} + columns +
            QStringList{QStringLiteral("dba_ind_partitions dip, dba_segments ds")} + owned +
            QStringList{QStringLiteral("dip.index_name = ds.segment_name(+) and "),
                        QStringLiteral("dip.partition_name = ds.partition_name(+)"), QStringLiteral("order by 1,2,3")};
        const QStringList subpartitions =
            QStringList{QStringLiteral("select dip.index_name,dip.partition_name,dip.subpartition_name,")} + columns +
            QStringList{QStringLiteral("dba_ind_subpartitions dip, dba_segments ds")} + owned +
            QStringList{QStringLiteral("dip.index_name = ds.segment_name(+) and"),
                        QStringLiteral("dip.subpartition_name = ds.partition_name(+)"),
                        QStringLiteral("order by 1,2,3")};
        loadMergedGrid("idxparts", "idxpart_query", partitions, subpartitions, "idxpartitiongrid");
        buildPartitionTree(*idxparttree, grid("idxpartitiongrid"));
    }
    // 7. Storage: every segment of that owner and name; unticked, the storage
    // parameters go too.
    storageSection("irostore", "idxsto", "idxsto_query", o, n, kMain, kStorageSums);
    // 8. DDL.
    if (ticked(this, "iroddl"))
        ddlFetch(QStringLiteral("INDEX"), name, owner, "idxddl", "idxddl_query", idxdefinition, true);
}

void ObjectBrowserScreen::idxparttreeClick()
{
    if (const QTreeWidgetItem *node = idxparttree->currentItem())
        copyPartitionRows(*node, grid("idxpartitiongrid"), edits_, kPartitionEdits);
}

void ObjectBrowserScreen::RadioButton24Click()
{
    idxPartitionView_->setCurrentWidget(idxPartitionDialog_);
}

void ObjectBrowserScreen::RadioButton25Click()
{
    idxPartitionView_->setCurrentWidget(findChild<GridView *>(QStringLiteral("idxpartitiongrid")));
}

} // namespace tavimond
