// The object browser's pages of indexes, stored code, sequences, views, triggers,
// synonyms, directories, scheduler jobs and programs against the simulated dictionary.
#include "object_browser_support.h"

#include <QLabel>
#include <QTabWidget>

using namespace tavimond;

namespace {

// One labelled edit: its label's text, and the column it shows.
struct Field {
    QString label, column;
};

// Fields written "Label=COLUMN; ...".
QList<Field> fields(const char *table)
{
    QList<Field> out;
    for (const QString &f : QString::fromUtf8(table).split(QLatin1Char(';')))
        out << Field{f.section(QLatin1Char('='), 0, 0).trimmed(), f.section(QLatin1Char('='), 1).trimmed()};
    return out;
}

class ObjectPagesTest : public test::ObjectBrowserTest {
protected:
    void SetUp() override
    {
        tickOnly(kindBoxes());
        load();
    }
    QTabWidget &page(const char *name) { return s.widget<QTabWidget>(name); }
    // The value a fixture gives a column: its name.
    static QString value(const QString &column) { return QStringLiteral("<%1>").arg(column.toLower()); }
    // Answers the statements holding `phrase` with one row of these columns (the fields'
    // own, unless given), each value naming its column.
    void fixture(const QString &phrase, const QList<Field> &fields, QStringList columns = {})
    {
        for (const Field &f : fields)
            if (!columns.contains(f.column))
                columns << f.column;
        QStringList row;
        for (const QString &c : columns)
            row << value(c);
        answer(phrase, columns, {row});
    }
    // On a tab, the one edit each label names shows the value the fixture gave its column.
    static void expectFields(const QWidget *tab, const QList<Field> &fields)
    {
        for (const Field &f : fields) {
            QStringList shown;
            for (const QLabel *l : tab->findChildren<QLabel *>())
                if (l->text() == f.label && qobject_cast<QLineEdit *>(l->buddy()))
                    shown << static_cast<QLineEdit *>(l->buddy())->text();
            EXPECT_EQ(shown, QStringList{value(f.column)}) << f.label.toStdString();
        }
    }
    // A page of one kind filled from a fixture (with these columns, or the fields' own).
    void expectPage(const char *kind, const char *node, const char *phrase, const char *page, const char *table,
                    const QStringList &columns = {})
    {
        fixture(QLatin1String(phrase), fields(table), columns);
        open(kind, QLatin1String(node));
        expectFields(&this->page(page), fields(table));
    }
};

} // namespace

TEST_F(ObjectPagesTest, EachIndexEditShowsTheColumnItsLabelNames)
{
    const QList<Field> structure = fields(
        "Tablespace=TABLESPACE_NAME; Partitioned=PARTITIONED; Status=STATUS; Compression=COMPRESSION; Degree=DEGREE; "
        "Buffer Pool=BUFFER_POOL; Init Trans=INI_TRANS; Uniqueness=UNIQUENESS; Logging=LOGGING; "
        "Index Type=INDEX_TYPE; Table Owner=TABLE_OWNER; Table Name=TABLE_NAME; Table Type=TABLE_TYPE; "
        "Max Trans=MAX_TRANS; Temporary=TEMPORARY; Generated=GENERATED; Secondary=SECONDARY; Duration=DURATION; "
        "PCT Direct=PCT_DIRECT_ACCESS; Parameters=PARAMETERS; Join Index=JOIN_INDEX; Dropped=DROPPED; "
        "IOT Redundant=IOT_REDUNDANT_PKEY_ELIM; IType Owner=ITYP_OWNER; IType Name=ITYP_NAME; "
        "Prefix Length=PREFIX_LENGTH; Partition Type=PARTITIONING_TYPE; Sub Partition Type=SUBPARTITIONING_TYPE; "
        "DomIDX Stattus=DOMIDX_STATUS; DomIDX OPStatus=DOMIDX_OPSTATUS; FUNCIDX Status=FUNCIDX_STATUS");
    const QList<Field> storage =
        fields("PCT Free=PCT_FREE; PCT Threshold=PCT_THRESHOLD; PCT Increase=PCT_INCREASE; "
               "Initial Extents=INITIAL_EXTENT; Next Extent=NEXT_EXTENT; Min Extents=MIN_EXTENTS; "
               "Max Extensts=MAX_EXTENTS; Free Lists=FREELISTS; Free List Groups=FREELIST_GROUPS");
    const QList<Field> statistics = fields("Number of Rows=NUM_ROWS; Avg Leaf Blocks=AVG_LEAF_BLOCKS_PER_KEY; "
                                           "Avg Data Blocks=AVG_DATA_BLOCKS_PER_KEY; BLevel=BLEVEL; "
                                           "Leaf Blocks=LEAF_BLOCKS; Distinct Keys=DISTINCT_KEYS; "
                                           "Sample Size=SAMPLE_SIZE; Last Analysed=LAST_ANALYZED; "
                                           "Clustering Factor=CLUSTERING_FACTOR; Global Stats=GLOBAL_STATS; "
                                           "User Stats=USER_STATS");
    const QList<Field> partition = fields("Tablespace=3; Compression=4; High Value=5; "
                                          "Buffer Pool=6; Init Trans=7; Max Trans=8; Number of Rows=9; "
                                          "Avg Leaf Blocks=10; Avg Data Blocks=11; BLevel=12; Leaf Blocks=13; "
                                          "Distinct Keys=14; Sample Size=15; Last Analysed=16; Clustering Factor=17; "
                                          "Global Stats=18; User Stats=19; Extents=20; MBytes=21; Blocks=22");
    // Upper-case names as the database gives them, "partitioned" twice.
    QStringList mainColumns;
    for (const Field &f : structure + storage)
        mainColumns << f.column;
    mainColumns.insert(mainColumns.indexOf("PREFIX_LENGTH") + 1, "PARTITIONED");
    fixture("dba_indexes di , dba_part_indexes dpi", {}, mainColumns);
    fixture("from dba_indexes where", statistics);
    // The partition rows by position: the tree's partition, then exactly " ".
    QStringList partColumns{"C0", "C1", "C2"}, partValues{"IX", "P1", " "};
    for (int c = 3; c < 23; ++c) {
        partColumns << QString::number(c);
        partValues << value(QString::number(c));
    }
    answer("dba_ind_partitions dip", partColumns, {partValues});
    answer("dba_ind_subpartitions dip", partColumns, {});

    open("INDEX", "SALES.ORDERS_PK");
    ASSERT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(text("idxname"), "SALES.ORDERS_PK");
    QTabWidget &tabs = page("idxpage");
    expectFields(tabs.widget(0), structure);
    expectFields(tabs.widget(1), statistics);
    expectFields(tabs.widget(3), storage);
    auto &tree = s.widget<QTreeWidget>("idxparttree");
    ASSERT_EQ(texts(tree), QStringList{"P1"});
    tabs.setCurrentIndex(2);
    click(tree, tree.topLevelItem(0));
    expectFields(tabs.widget(2), partition);
}

TEST_F(ObjectPagesTest, AnIndexShowsItsColumnsInOrderItsStatisticsItsStorageAndItsPartitions)
{
    const sim::DictionaryModel::IndexDef *x = dictionary().index("SALES", "ORDER_LINES_PK");
    ASSERT_NE(x, nullptr);
    open("INDEX", "SALES.ORDER_LINES_PK");
    ASSERT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(frontPage(), &page("idxpage"));
    EXPECT_EQ(test::rowsOf(s.grid("idxcolsgrid")),
              (QList<QStringList>{{"1", "ORDER_ID", "22", "0", "ASC"}, {"2", "LINE_NO", "22", "0", "ASC"}}));
    EXPECT_EQ(text("idxnumrows"), x->stats.numRows);
    EXPECT_EQ(text("idxclustering"), x->stats.clusteringFactor);
    EXPECT_EQ(text("idxlastanal"), x->stats.lastAnalyzed);
    EXPECT_TRUE(memoText("idxdefinition")
                    .startsWith("\n  CREATE UNIQUE INDEX \"SALES\".\"ORDER_LINES_PK\" ON \"SALES\".\"ORDER_LINES\" "
                                "(\"ORDER_ID\", \"LINE_NO\")"));
    // Unpartitioned: one empty top node (the table's test clicks it: both pages build
    // their trees with one routine).
    auto &tree = s.widget<QTreeWidget>("idxparttree");
    ASSERT_EQ(texts(tree), QStringList{""});
    // An index named as its table: its storage sums take the segments of both.
    open("INDEX", "INVENTORY.STOCK_AUDIT");
    qint64 blocks = 0, extents = 0;
    QSet<QString> types;
    for (const auto &seg : dictionary().layout().segments())
        if (seg.owner == "INVENTORY" && seg.name == "STOCK_AUDIT") {
            blocks += seg.blocks();
            extents += qint64(seg.extents.size());
            types << seg.type;
        }
    EXPECT_EQ(types, (QSet<QString>{"TABLE", "INDEX"}));
    EXPECT_EQ(text("idxdsblocks"), QString::number(blocks));
    EXPECT_EQ(text("idxdsextents"), QString::number(extents));
    // A subpartitioned index: its partitions as a tree.
    x = dictionary().index("BILLING", "CALL_RECORDS_IX");
    ASSERT_NE(x, nullptr);
    open("INDEX", "BILLING.CALL_RECORDS_IX");
    ASSERT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(text("idxparttype"), "RANGE");
    EXPECT_EQ(text("idxsubparttype"), "LIST");
    EXPECT_FALSE(memoText("idxparts").contains("union all"));
    ASSERT_EQ(texts(tree), (QStringList{"P2026_Q2", "P2026_Q3", "P2026_Q4"}));
    QTreeWidgetItem *q3 = tree.topLevelItem(1);
    EXPECT_EQ(texts(tree, q3), (QStringList{"P2026_Q3_EU", "P2026_Q3_REST", "P2026_Q3_US"}));
    // A partition: its own row, without a segment; a subpartition: its row and segment.
    page("idxpage").setCurrentIndex(2);
    const auto &partition = x->partitions[1];
    click(tree, q3);
    EXPECT_EQ(text("idxpartnumrows"), partition.indexStats.numRows);
    EXPECT_EQ(text("idxparthighv"),
              "TO_DATE(' 2026-10-01 00:00:00', 'SYYYY-MM-DD HH24:MI:SS', 'NLS_CALENDAR=GREGORIAN')");
    EXPECT_EQ(text("idxpartblocks"), "");
    click(tree, q3->child(0));
    const auto *seg = segment("CALL_RECORDS_IX", partition.subpartitions[0].name);
    ASSERT_NE(seg, nullptr);
    EXPECT_EQ(text("idxpartnumrows"), partition.subpartitions[0].indexStats.numRows);
    EXPECT_EQ(text("idxparthighv"), "'EU'");
    EXPECT_EQ(text("idxpartblocks"), QString::number(seg->blocks()));
    EXPECT_EQ(text("idxparttsname"), "APP_INDEX");
    EXPECT_EQ(s.grid("idxpartitiongrid").rowCount(), 13);
    // A table after the index: its page in front again, rebuilt.
    s.sim.server.clearStatements();
    open("TABLE", "HR.DEPARTMENTS");
    EXPECT_EQ(frontPage(), &page("tabpage"));
    EXPECT_TRUE(page("tabpage").isVisible());
    EXPECT_EQ(text("objownertab"), "HR.DEPARTMENTS");
    EXPECT_FALSE(s.sim.server.statements().isEmpty());
}

// The other kinds: a fixture row per page whose values name their columns.
TEST_F(ObjectPagesTest, EachEditOfTheOtherPagesShowsTheColumnItsLabelNames)
{
    // The sequence's columns by position: the two cast ones have no usable names.
    expectPage("SEQUENCE", "HR.EMPLOYEES_SEQ", "from dba_sequences", "seqpage",
               "Owner=SEQUENCE_OWNER; Name=SEQUENCE_NAME; Min Value=MIN_VALUE; Max Value=TO_CHAR(MAX_VALUE); "
               "Increment By=INCREMENT_BY; Cycle Flag=CYCLE_FLAG; Order Flag=ORDER_FLAG; Cache Size=CACHE_SIZE; "
               "Last number=TO_CHAR(LAST_NUMBER)");
    fail("'VIEW'", "ORA-31603: object \"X\" of type VIEW not found in schema \"HR\"");
    expectPage("VIEW", "HR.EMP_DETAILS_V", "from dba_views", "viewpage",
               "Owner=OWNER; Name=VIEW_NAME; View Type=VIEW_TYPE; View Type Owner=VIEW_TYPE_OWNER; "
               "Superview Name=SUPERVIEW_NAME; Editioning View=EDITIONING_VIEW; Read Only=READ_ONLY; "
               "Text Length=TEXT_LENGTH; Type Text Length=TYPE_TEXT_LENGTH; OID Type Text Length=OID_TEXT_LENGTH",
               {"OWNER", "VIEW_NAME", "TEXT_LENGTH", "TEXT", "TYPE_TEXT_LENGTH", "TYPE_TEXT", "OID_TEXT_LENGTH",
                "OID_TEXT", "VIEW_TYPE_OWNER", "VIEW_TYPE", "SUPERVIEW_NAME", "EDITIONING_VIEW", "READ_ONLY"});
    // With the DDL failed, "Definition" keeps the text column.
    EXPECT_EQ(memoText("viewtext"), "<text>");
    EXPECT_EQ(memoText("viewttext"), "<type_text>");
    EXPECT_EQ(memoText("viewoidttext"), "<oid_text>");
    expectPage("TRIGGER", "HR.UPDATE_JOB_HISTORY", "from dba_triggers", "triggerpage",
               "Owner=OWNER; Name=TRIGGER_NAME; Type=TRIGGER_TYPE; Triggering Event=TRIGGERING_EVENT; "
               "Table Owner=TABLE_OWNER; Table Name=TABLE_NAME; Base Object Type=BASE_OBJECT_TYPE; "
               "Column Name=COLUMN_NAME; Ref Names=REFERENCING_NAMES; Description=DESCRIPTION; "
               "When Clause=WHEN_CLAUSE; Status=STATUS; Action Type=ACTION_TYPE; CrossEdition=CROSSEDITION; "
               "Instead of Row=INSTEAD_OF_ROW; Fire Once=FIRE_ONCE; Before Statement=BEFORE_STATEMENT; "
               "Before Row=BEFORE_ROW; After Statement=AFTER_STATEMENT; After Row=AFTER_ROW");
    expectPage("SYNONYM", "SALES.EMP", "from dba_synonyms", "synpage",
               "Table Owner=TABLE_OWNER; Table Name=TABLE_NAME; DB Link=DB_LINK", {"OWNER", "SYNONYM_NAME"});
    EXPECT_EQ(text("synname"), "SALES.EMP");
    expectPage("DIRECTORY", "SYS.BILLING_EXPORT_DIR", "from dba_directories", "dirpage",
               "Owner=OWNER; Name=DIRECTORY_NAME; Path=DIRECTORY_PATH");
    expectPage("JOB", "SALES.NIGHTLY_ORDER_ROLLUP", "from dba_scheduler_jobs", "jobpage",
               "Owner=OWNER; Name=JOB_NAME; Subname=JOB_SUBNAME; Style=JOB_STYLE; Creator=JOB_CREATOR; "
               "Client ID=CLIENT_ID; Global UID=GLOBAL_UID; Program Owner=PROGRAM_OWNER; Program Name=PROGRAM_NAME; "
               "Job Type=JOB_TYPE; Job Action=JOB_ACTION; # of Arguments=NUMBER_OF_ARGUMENTS; "
               "Schedule Owner=SCHEDULE_OWNER; Schedule Name=SCHEDULE_NAME; Schedule Type=SCHEDULE_TYPE; "
               "Start Date=START_DATE; Repeat Interval=REPEAT_INTERVAL; Event Q Owner=EVENT_QUEUE_OWNER; "
               "Event Q Name=EVENT_QUEUE_NAME; Event Q Agent=EVENT_QUEUE_AGENT; Event Condition=EVENT_CONDITION; "
               "Event Rule=EVENT_RULE; File Watch Owner=FILE_WATCHER_OWNER; File Watch Name=FILE_WATCHER_NAME; "
               "End Date=END_DATE; Job Class=JOB_CLASS; Enabled=ENABLED; Auto Drop=AUTO_DROP; "
               "Restartable=RESTARTABLE; State=STATE; Job Priority=JOB_PRIORITY; Run Count=RUN_COUNT; "
               "Max Runs=MAX_RUNS; Failure Count=FAILURE_COUNT; Max Failures=MAX_FAILURES; Retry Count=RETRY_COUNT; "
               "Last Start Date=LAST_START_DATE; Last Run Duration=LAST_RUN_DURATION; Next Run Date=NEXT_RUN_DATE; "
               "Schedule Limit=SCHEDULE_LIMIT; Max Run Duration=MAX_RUN_DURATION; Logging Level=LOGGING_LEVEL; "
               "Stop on Win Close=STOP_ON_WINDOW_CLOSE; Instance Stickiness=INSTANCE_STICKINESS; "
               "Raise Events=RAISE_EVENTS; System=SYSTEM; Job Weight=JOB_WEIGHT; NLS ENV=NLS_ENV; Source=SOURCE; "
               "# of Destination=NUMBER_OF_DESTINATIONS; Dest Owner=DESTINATION_OWNER; Destination=DESTINATION; "
               "Credential Owner=CREDENTIAL_OWNER; Credential Name=CREDENTIAL_NAME; Instance ID=INSTANCE_ID; "
               "Defer Drop=DEFERRED_DROP; Allow Rest Mode=ALLOW_RUNS_IN_RESTRICTED_MODE; Comments=COMMENTS; "
               "Flags=FLAGS");
    expectPage("PROGRAM", "SYS.PURGE_LOG_PROG", "from dba_scheduler_programs", "progpage",
               "Owner=OWNER; Name=PROGRAM_NAME; Type=PROGRAM_TYPE; Action=PROGRAM_ACTION; "
               "# of Arguments=NUMBER_OF_ARGUMENTS; Enabled=ENABLED; Detached=DETACHED; "
               "Schedule Limit=SCHEDULE_LIMIT; Priority=PRIORITY; Weight=WEIGHT; Max Runs=MAX_RUNS; "
               "Max Failures=MAX_FAILURES; Max Run Duration=MAX_RUN_DURATION; NLS ENV=NLS_ENV; Comments=COMMENTS");
    EXPECT_EQ(s.sink().errors, QStringList{"ORA-31603: object \"X\" of type VIEW not found in schema \"HR\""});
}

TEST_F(ObjectPagesTest, AnOlderReleasesViewLeavesItsLaterColumnsBlankAndAProgramWithoutOneStops)
{
    answer("from dba_views",
           {"OWNER", "VIEW_NAME", "TEXT_LENGTH", "TEXT", "TYPE_TEXT_LENGTH", "TYPE_TEXT", "OID_TEXT_LENGTH", "OID_TEXT",
            "VIEW_TYPE_OWNER", "VIEW_TYPE", "SUPERVIEW_NAME"},
           {{"HR", "EMP_DETAILS_V", "3", "abc", "", "", "", "", "", "", ""}});
    open("VIEW", "HR.EMP_DETAILS_V");
    EXPECT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(text("viewname"), "EMP_DETAILS_V");
    EXPECT_EQ(text("viewedview"), "");
    EXPECT_EQ(text("viewro"), "");
    // The DDL, not the text column, after a DDL that arrives.
    EXPECT_TRUE(memoText("viewtext").contains("CREATE OR REPLACE FORCE EDITIONABLE VIEW"));
    // A program view without DETACHED: the error, and the page stops there.
    answer(
        "from dba_scheduler_programs",
        {"OWNER", "PROGRAM_NAME", "PROGRAM_TYPE", "PROGRAM_ACTION", "NUMBER_OF_ARGUMENTS", "ENABLED", "SCHEDULE_LIMIT"},
        {{"SYS", "PURGE_LOG_PROG", "PLSQL_BLOCK", "dbms_scheduler.auto_purge;", "0", "TRUE", ""}});
    open("PROGRAM", "SYS.PURGE_LOG_PROG");
    EXPECT_EQ(s.sink().errors, QStringList{"Field 'detached' not found"});
    EXPECT_EQ(text("progenabled"), "TRUE");
    EXPECT_EQ(text("progdetach"), "");
}

TEST_F(ObjectPagesTest, SourceShowsItsKindsLinesOneMemoLineAStoredLine)
{
    const sim::Table source = *dictionary().view("dba_source");
    const auto stored = [&](const QString &owner, const QString &name, const QStringList &types) {
        QStringList lines;
        for (const QString &type : types)
            for (qsizetype r = 0; r < source.rowCount(); ++r)
                if (source.cell(r, 0) == owner && source.cell(r, 1) == name && source.cell(r, 2) == type)
                    lines << source.cell(r, 4).chopped(1);
        return lines;
    };
    // A package: its declaration, then its body, each stored line once and no empty line between.
    open("PACKAGE", "BILLING.INVOICE_PKG");
    const QStringList package = stored("BILLING", "INVOICE_PKG", {"PACKAGE", "PACKAGE BODY"});
    ASSERT_GT(package.size(), 30);
    EXPECT_EQ(memoText("packsource"), package.join('\n'));
    EXPECT_EQ(s.memo("packsource").blockCount(), package.size());
    EXPECT_EQ(memoText("packsrcmem"), "select text from dba_source where \n"
                                      "owner =  'BILLING' and \nname =  'INVOICE_PKG' \n"
                                      "and type in ('PACKAGE', 'PACKAGE BODY') \n"
                                      "order by type, line");
    // The body defines a subprogram with the parameters its declaration names.
    open("PACKAGE", "INVENTORY.STOCK_API");
    const QString move =
        "PROCEDURE move(p_from IN NUMBER, p_to IN NUMBER, p_product_id IN NUMBER, p_quantity IN NUMBER)";
    EXPECT_TRUE(memoText("packsource").contains("  " + move + ";\n")) << memoText("packsource").left(400).toStdString();
    EXPECT_TRUE(memoText("packsource").contains("  " + move + " IS\n"));
    // A procedure that shares its name with a trigger shows its own lines only.
    open("PROCEDURE", "SALES.LOG_ORDER_CHANGE");
    EXPECT_EQ(memoText("procsource"), stored("SALES", "LOG_ORDER_CHANGE", {"PROCEDURE"}).join('\n'));
    EXPECT_FALSE(memoText("procsource").contains("TRIGGER"));
    EXPECT_EQ(frontPage(), &page("procpage"));
    // Lines ended by CR LF, and very many of them.
    QStringList lines;
    QList<QStringList> rows;
    for (int i = 0; i < 30000; ++i) {
        lines << QStringLiteral("  x := x + %1;").arg(i);
        rows << QStringList{lines.last() + "\r\n"};
    }
    answer("from dba_source", {"TEXT"}, rows);
    open("FUNCTION", "SALES.ORDER_TOTAL");
    EXPECT_EQ(s.memo("funsource").blockCount(), 30000);
    EXPECT_EQ(memoText("funsource"), lines.join('\n'));
    EXPECT_EQ(s.sink().errors, QStringList());
}

TEST_F(ObjectPagesTest, SequencesJobsAndProgramsShowTheirOwnRecords)
{
    // The default maximum in all its 28 digits.
    open("SEQUENCE", "SALES.ORDERS_SEQ");
    EXPECT_EQ(text("seqmax"), "9999999999999999999999999999");
    EXPECT_TRUE(memoText("seqddl").contains("MAXVALUE 9999999999999999999999999999 INCREMENT BY 1"));

    open("JOB", "BILLING.MONTHLY_INVOICE_RUN");
    EXPECT_EQ(text("jobprogown"), "BILLING");
    EXPECT_EQ(text("jobprogname"), "INVOICE_RUN_PROG");
    EXPECT_TRUE(memoText("jobddltext").contains("dbms_scheduler.create_job('\"MONTHLY_INVOICE_RUN\"'"));
    // A job's action holds quotes of its own: its DDL doubles them, so that it runs.
    open("JOB", "SALES.NIGHTLY_ORDER_ROLLUP");
    EXPECT_EQ(text("jobaction"), "begin dbms_mview.refresh('SALES.MV_DAILY_SALES'); end;");
    EXPECT_TRUE(
        memoText("jobddltext").contains("job_action=>\n'begin dbms_mview.refresh(''SALES.MV_DAILY_SALES''); end;'\n,"))
        << memoText("jobddltext").toStdString();
    open("JOB", "INVENTORY.STOCK_EVENT_JOB");
    EXPECT_EQ(text("jobevtcond"), "tab.user_data.on_hand < tab.user_data.reorder_level");
    EXPECT_EQ(text("jobnextrund"), "");
    // Two programs of one owner: each its own.
    open("PROGRAM", "BILLING.INVOICE_MAIL_PROG");
    EXPECT_EQ(text("progaction"), "BILLING.INVOICE_PKG.MAIL_INVOICES");
    open("PROGRAM", "BILLING.INVOICE_RUN_PROG");
    EXPECT_EQ(text("progname"), "INVOICE_RUN_PROG");
    EXPECT_EQ(text("progargs"), "2");
    EXPECT_TRUE(memoText("progsrcmem").endsWith("program_name =  'INVOICE_RUN_PROG' \norder by owner,program_name"));
    EXPECT_EQ(text("jobname"), "STOCK_EVENT_JOB"); // the job page keeps its record underneath
    EXPECT_EQ(s.sink().errors, QStringList());
}

TEST_F(ObjectPagesTest, AFieldTooNarrowForItsValueShowsItWholeAsATipAndWidensWithThePage)
{
    s.screen.resize(1142, 698);
    open("JOB", "BILLING.MONTHLY_INVOICE_RUN");
    QCoreApplication::processEvents();
    QLineEdit &name = edit("jobname");
    EXPECT_EQ(name.text(), "MONTHLY_INVOICE_RUN");
    EXPECT_EQ(name.toolTip(), "MONTHLY_INVOICE_RUN");
    EXPECT_EQ(edit("jobown").toolTip(), ""); // "BILLING" is read whole
    const int narrow = name.width();

    s.screen.resize(1600, 1000);
    QCoreApplication::processEvents();
    EXPECT_GT(name.width(), narrow + 100);
    EXPECT_EQ(name.toolTip(), "");
    // A longer value in the wider field is cut again, and its tip follows.
    const QString action = QStringLiteral("BILLING.INVOICE_PKG.RUN_MONTHLY_INVOICES_FOR_EVERY_CUSTOMER_ACCOUNT");
    edit("jobaction").setText(action);
    EXPECT_EQ(edit("jobaction").toolTip(), action);
}

TEST_F(ObjectPagesTest, AQuoteInANameArrivesDoubledInEveryStatementOfEveryKind)
{
    QList<QStringList> rows;
    for (const QString &kind : ObjectBrowserScreen::kindWords())
        rows << QStringList{kind, "O'WNER", "N'AME"};
    answer("from dba_objects", {"OBJECT_TYPE", "OWNER", "OBJECT_NAME"}, rows);
    load();
    QStringList ddls;
    for (const QString &kind : ObjectBrowserScreen::kindWords()) {
        s.sink().clear();
        s.sim.server.clearStatements();
        open(kind.toLatin1().constData(), "O'WNER.N'AME");
        EXPECT_FALSE(s.sim.server.statements().isEmpty()) << kind.toStdString();
        for (const QString &sql : s.sim.server.statements()) {
            EXPECT_TRUE(sql.contains("'N''AME'") && !sql.contains("N'AME'") && !sql.contains("O'WNER"))
                << sql.toStdString();
            if (sql.contains("get_ddl("))
                ddls << sql;
        }
        // Nothing breaks the statements: at most the DDL finds no such object.
        for (const QString &e : s.sink().errors)
            EXPECT_TRUE(e.startsWith("ORA-31603")) << kind.toStdString() << ": " << e.toStdString();
    }
    // The DDL fetch of each kind that has one: its word, the name, the owner (none for a directory).
    QStringList want;
    for (const QString word : {"TABLE", "INDEX", "VIEW", "SEQUENCE", "TRIGGER", "SYNONYM", "DIRECTORY", "PROCOBJ"})
        want << "select dbms_metadata.get_ddl('" + word + "','N''AME'" +
                    (word == "DIRECTORY" ? QString() : QStringLiteral(",'O''WNER'")) + ") from dual";
    EXPECT_EQ(ddls, want);
}
