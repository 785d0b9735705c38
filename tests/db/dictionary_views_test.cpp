// The data dictionary of the simulated instance: the object list, the joins of the
// dictionary views, get_ddl, and figures that agree with the storage layout.
#include "db/db_support.h"
#include "db/sim/dictionary/dictionary_model.h"

#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class DictionaryViews : public ::testing::Test {
protected:
    QList<QStringList> rows(const QString &sql) { return db.rows(sql); }
    QString error(const QString &sql) { return db.error(sql); }
    static QString objectList(const QString &owner, const QString &name)
    {
        return QStringLiteral("select object_type,owner,object_name from dba_objects where \n"
                              "upper(owner) like %1\n and upper(object_name) like %2\norder by 1,2,3")
            .arg(sim::quoted(owner), sim::quoted(name));
    }
    sim::DictionaryModel &dictionary() { return db.model().state<sim::DictionaryModel>(); }

    test::SimDb db{11};
};

bool ordered(const QList<QStringList> &rows)
{
    return std::is_sorted(rows.begin(), rows.end(), [](const QStringList &a, const QStringList &b) {
        for (int c = 0; c < 3; ++c)
            if (const int k = QString::compare(a.at(c), b.at(c), Qt::CaseSensitive))
                return k < 0;
        return false;
    });
}

} // namespace

TEST_F(DictionaryViews, TheObjectListFiltersLikeTheDatabaseAndGrowsWithTheSizeKnob)
{
    const QList<QStringList> all = rows(objectList("%", "%"));
    EXPECT_EQ(all.size(), qsizetype(dictionary().objects().size()));
    EXPECT_TRUE(ordered(all));

    // A NULL pattern matches nothing; upper() applies to the column, not the pattern.
    EXPECT_TRUE(rows(objectList("hr", "%")).isEmpty());
    EXPECT_EQ(rows(objectList("LEG%", "%'%")), (QList<QStringList>{{"TABLE", "LEGACY", "O'BRIEN_IMPORT"}}));
    EXPECT_TRUE(rows(objectList("HR", "LeaveRequests")).isEmpty());
    EXPECT_EQ(rows(objectList("HR", "LEAVEREQUEST_")), (QList<QStringList>{{"TABLE", "HR", "LeaveRequests"}}));
    // The same answer as any other query over the view.
    EXPECT_EQ(rows("select count(*) from dba_objects where object_type = 'INDEX'").front().front(),
              QString::number(
                  std::count_if(all.begin(), all.end(), [](const QStringList &r) { return r.at(0) == "INDEX"; })));

    dictionary().setObjectCount(50000);
    const QList<QStringList> big = rows(objectList("%", "%"));
    EXPECT_EQ(big.size(), 50000);
    EXPECT_TRUE(ordered(big));
    // The laid-out objects stay among the generated ones.
    EXPECT_EQ(rows(objectList("LEG%", "%'%")), (QList<QStringList>{{"TABLE", "LEGACY", "O'BRIEN_IMPORT"}}));
    dictionary().setObjectCount(0);
    EXPECT_EQ(rows(objectList("%", "%")), all);
}

TEST_F(DictionaryViews, JoinsHonourTheirComparisonsAndOuterJoinsAndGetDdlGivesTextOrOraclesErrors)
{
    // upper() on the dictionary's column never equals a mixed-case literal.
    const QString main =
        QStringLiteral("select dt.tablespace_name,trim(dt.degree) as degree,dpt.partitioning_type\n"
                       "from dba_tables dt, dba_part_tables dpt where \n%1 =  'HR' and \n%2 =  'LeaveRequests' and \n"
                       "dt.owner = dpt.owner(+) and \ndt.table_name = dpt.table_name(+)");
    EXPECT_EQ(rows(main.arg("dt.owner", "dt.table_name")), (QList<QStringList>{{"USERS", "1", ""}}));
    EXPECT_TRUE(rows(main.arg("upper(dt.owner)", "upper(dt.table_name)")).isEmpty());

    EXPECT_EQ(error("select dt.no_such from dba_tables dt, dba_part_tables dpt where dt.owner = dpt.owner(+)"),
              "ORA-00904: \"DT\".\"NO_SUCH\": invalid identifier");
    // Sums over no segment are still one row.
    EXPECT_EQ(rows("select sum(extents),sum(round(bytes/1024/1024,4)),sum(blocks) from dba_segments where "
                   "owner = 'HR' and segment_name = 'NO_SUCH'"),
              (QList<QStringList>{{"", "", ""}}));

    const auto ddl = [&](const QString &args) {
        return rows(QStringLiteral("select dbms_metadata.get_ddl(%1) from dual").arg(args)).front().front();
    };
    EXPECT_TRUE(
        ddl("'INDEX','ORDERS_DATE_IX','SALES'")
            .startsWith("\n  CREATE INDEX \"SALES\".\"ORDERS_DATE_IX\" ON \"SALES\".\"ORDERS\" (\"ORDER_DATE\")"));
    // Without a schema, the caller's own.
    EXPECT_EQ(error("select dbms_metadata.get_ddl('TABLE','EMPLOYEES') from dual"),
              "ORA-31603: object \"EMPLOYEES\" of type TABLE not found in schema \"SYSTEM\"");
    EXPECT_EQ(error("select dbms_metadata.get_ddl('TABLES','EMPLOYEES','HR') from dual"),
              "ORA-31600: invalid input value TABLES for parameter OBJECT_TYPE in function GET_DDL");
}

TEST_F(DictionaryViews, TableFiguresAgreeWithTheirSegmentsAndPartitions)
{
    const auto segmentBlocks = [&](const QString &owner, const QString &name) {
        qint64 blocks = 0;
        for (const auto &s : dictionary().layout().segments())
            if (s.owner == owner && s.name == name)
                blocks += s.blocks();
        return blocks;
    };
    for (const auto &t : dictionary().tables()) {
        SCOPED_TRACE((t.owner + "." + t.name).toStdString());
        EXPECT_GT(segmentBlocks(t.owner, t.name), 0);
        if (t.stats.lastAnalyzed.isEmpty())
            continue;
        EXPECT_LE(t.stats.blocks.toLongLong(), segmentBlocks(t.owner, t.name));
        if (t.partitions.empty())
            continue;
        qint64 rowsOfParts = 0;
        for (const auto &p : t.partitions) {
            qint64 rowsOfSubs = 0;
            for (const auto &sp : p.subpartitions)
                rowsOfSubs += sp.stats.numRows.toLongLong();
            if (!p.subpartitions.empty()) {
                EXPECT_EQ(p.stats.numRows.toLongLong(), rowsOfSubs);
            }
            rowsOfParts += p.stats.numRows.toLongLong();
        }
        EXPECT_EQ(t.stats.numRows.toLongLong(), rowsOfParts);
    }
    for (const auto &x : dictionary().indexes()) {
        SCOPED_TRACE((x.owner + "." + x.name).toStdString());
        EXPECT_GT(segmentBlocks(x.owner, x.name), 0);
        EXPECT_NE(dictionary().table(x.tableOwner, x.tableName), nullptr);
    }
}

TEST_F(DictionaryViews, EveryListedObjectHasItsRowInTheViewOfItsKind)
{
    struct Kind {
        const char *type, *view, *owner, *name;
    };
    // clang-format off
    const Kind kinds[] = {
        {"TABLE", "dba_tables", "OWNER", "TABLE_NAME"}, {"INDEX", "dba_indexes", "OWNER", "INDEX_NAME"},
        {"VIEW", "dba_views", "OWNER", "VIEW_NAME"}, {"SEQUENCE", "dba_sequences", "SEQUENCE_OWNER", "SEQUENCE_NAME"},
        {"TRIGGER", "dba_triggers", "OWNER", "TRIGGER_NAME"}, {"SYNONYM", "dba_synonyms", "OWNER", "SYNONYM_NAME"},
        {"DIRECTORY", "dba_directories", "OWNER", "DIRECTORY_NAME"}, {"JOB", "dba_scheduler_jobs", "OWNER", "JOB_NAME"},
        {"PROGRAM", "dba_scheduler_programs", "OWNER", "PROGRAM_NAME"}, {"FUNCTION", "dba_source", "OWNER", "NAME"},
        {"PROCEDURE", "dba_source", "OWNER", "NAME"}, {"PACKAGE", "dba_source", "OWNER", "NAME"},
        {"PACKAGE BODY", "dba_source", "OWNER", "NAME"}};
    // clang-format on
    for (const Kind &k : kinds) {
        const sim::Table view = *dictionary().view(QLatin1String(k.view));
        QSet<QString> held;
        for (qsizetype r = 0; r < view.rowCount(); ++r)
            held << view.cell(r, view.columns.indexOf(QLatin1String(k.owner))) + "." +
                        view.cell(r, view.columns.indexOf(QLatin1String(k.name)));
        int listed = 0;
        for (const auto &o : dictionary().objects()) {
            if (o.type != QLatin1String(k.type))
                continue;
            ++listed;
            EXPECT_TRUE(held.contains(o.owner + "." + o.name))
                << k.type << " " << (o.owner + "." + o.name).toStdString();
        }
        EXPECT_GT(listed, 0) << k.type;
    }
}
