// The object browser's pages of indexes, stored code, sequences, views, triggers,
// synonyms, directories, scheduler jobs and programs against the simulated dictionary.
#include "object_browser_support.h"

#include <QLabel>
#include <QTabWidget>

using namespace tavimond;

namespace {

// One labelled edit: the edit, its label's text, and the column it shows.
struct Field {
    QString edit, label, column;
};

// Fields written "edit=Label=COLUMN; ...".
QList<Field> fields(const char *table)
{
    QList<Field> out;
    for (const QString &f : QString::fromUtf8(table).split(QLatin1Char(';'))) {
        const QStringList p = f.trimmed().split(QLatin1Char('='));
        out << Field{p.at(0), p.at(1), p.at(2)};
    }
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
    QString labelOf(const QString &edit)
    {
        for (const QLabel *l : s.screen.findChildren<QLabel *>())
            if (l->buddy() && l->buddy()->objectName() == edit)
                return l->text();
        return QStringLiteral("(no label)");
    }
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
    // Each edit bears its label and shows the value the fixture gave its column.
    void expectFields(const QList<Field> &fields)
    {
        for (const Field &f : fields) {
            EXPECT_EQ(labelOf(f.edit), f.label) << f.edit.toStdString();
            EXPECT_EQ(text(f.edit.toLatin1().constData()), value(f.column)) << f.edit.toStdString();
        }
    }
    // A page of one kind filled from a fixture (with these columns, or the fields' own).
    void expectPage(const char *kind, const char *node, const char *phrase, const char *table,
                    const QStringList &columns = {})
    {
        fixture(QLatin1String(phrase), fields(table), columns);
        open(kind, QLatin1String(node));
        expectFields(fields(table));
    }
};

} // namespace

TEST_F(ObjectPagesTest, EachIndexEditShowsTheColumnItsLabelNames)
{
    const QList<Field> main = fields(
        "idxtsname=Tablespace=TABLESPACE_NAME; idxpart=Partitioned=PARTITIONED; idxstatus=Status=STATUS; "
        "idxcomp=Compression=COMPRESSION; idxdegree=Degree=DEGREE; idxbufpool=Buffer Pool=BUFFER_POOL; "
        "idxinitrans=Init Trans=INI_TRANS; idxunique=Uniqueness=UNIQUENESS; idxlog=Logging=LOGGING; "
        "idxidxtype=Index Type=INDEX_TYPE; idxtbowner=Table Owner=TABLE_OWNER; idxtbname=Table Name=TABLE_NAME; "
        "idxtbtype=Table Type=TABLE_TYPE; idxmaxtrans=Max Trans=MAX_TRANS; idxtemp=Temporary=TEMPORARY; "
        "idxgen=Generated=GENERATED; idxsec=Secondary=SECONDARY; idxdur=Duration=DURATION; "
        "idxpctdir=PCT Direct=PCT_DIRECT_ACCESS; idxparameters=Parameters=PARAMETERS; "
        "idxjoinidx=Join Index=JOIN_INDEX; idxdropped=Dropped=DROPPED; "
        "idxiotred=IOT Redundant=IOT_REDUNDANT_PKEY_ELIM; idxitypowner=IType Owner=ITYP_OWNER; "
        "idxitypname=IType Name=ITYP_NAME; idxpreflen=Prefix Length=PREFIX_LENGTH; "
        "idxparttype=Partition Type=PARTITIONING_TYPE; idxsubparttype=Sub Partition Type=SUBPARTITIONING_TYPE; "
        "idxdomidxs=DomIDX Stattus=DOMIDX_STATUS; idxdomidxops=DomIDX OPStatus=DOMIDX_OPSTATUS; "
        "idxfuncidxs=FUNCIDX Status=FUNCIDX_STATUS; idxpctfree=PCT Free=PCT_FREE; "
        "idxpctthresh=PCT Threshold=PCT_THRESHOLD; idxpctinc=PCT Increase=PCT_INCREASE; "
        "idxinitext=Initial Extents=INITIAL_EXTENT; idxnextext=Next Extent=NEXT_EXTENT; "
        "idxminext=Min Extents=MIN_EXTENTS; idxmaxext=Max Extensts=MAX_EXTENTS; idxfreelists=Free Lists=FREELISTS; "
        "idxfreelistg=Free List Groups=FREELIST_GROUPS");
    const QList<Field> statistics =
        fields("idxnumrows=Number of Rows=NUM_ROWS; idxavgleaf=Avg Leaf Blocks=AVG_LEAF_BLOCKS_PER_KEY; "
               "idxavgblock=Avg Data Blocks=AVG_DATA_BLOCKS_PER_KEY; idxblevel=BLevel=BLEVEL; "
               "idxleafs=Leaf Blocks=LEAF_BLOCKS; idxdistkey=Distinct Keys=DISTINCT_KEYS; "
               "idxsampsize=Sample Size=SAMPLE_SIZE; idxlastanal=Last Analysed=LAST_ANALYZED; "
               "idxclustering=Clustering Factor=CLUSTERING_FACTOR; idxglobstat=Global Stats=GLOBAL_STATS; "
               "idxuserstat=User Stats=USER_STATS");
    const QList<Field> partition = fields(
        "idxparttsname=Tablespace=3; idxpartcomp=Compression=4; idxparthighv=High Value=5; "
        "idxpartbufpool=Buffer Pool=6; idxpartinitrans=Init Trans=7; idxpartmaxtrans=Max Trans=8; "
        "idxpartnumrows=Number of Rows=9; idxpartavgleafb=Avg Leaf Blocks=10; idxpartavgdatab=Avg Data Blocks=11; "
        "idxpartblevel=BLevel=12; idxpartleafs=Leaf Blocks=13; idxpartdistkey=Distinct Keys=14; "
        "idxpartsampsize=Sample Size=15; idxpartlastanal=Last Analysed=16; idxpartclustering=Clustering Factor=17; "
        "idxpartglobs=Global Stats=18; idxpartusers=User Stats=19; idxpartext=Extents=20; idxpartmb=MBytes=21; "
        "idxpartblocks=Blocks=22");
    // Upper-case names as the database gives them, "partitioned" twice.
    QStringList mainColumns;
    for (const Field &f : main)
        mainColumns << f.column;
    mainColumns.insert(mainColumns.indexOf("PREFIX_LENGTH") + 1, "PARTITIONED");
    fixture("dba_indexes di , dba_part_indexes dpi", main, mainColumns);
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
    expectFields(main);
    expectFields(statistics);
    auto &tree = s.widget<QTreeWidget>("idxparttree");
    ASSERT_EQ(texts(tree), QStringList{"P1"});
    page("idxpage").setCurrentIndex(2);
    click(tree, tree.topLevelItem(0));
    expectFields(partition);
}

TEST_F(ObjectPagesTest, AnIndexShowsItsColumnsInOrderItsStatisticsAndItsStorage)
{
    const auto *x = dictionary().index("SALES", "ORDER_LINES_PK");
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
    // Unpartitioned: one empty top node that matches nothing.
    auto &tree = s.widget<QTreeWidget>("idxparttree");
    ASSERT_EQ(texts(tree), QStringList{""});
    page("idxpage").setCurrentIndex(2);
    click(tree, tree.topLevelItem(0));
    EXPECT_EQ(text("idxpartnumrows"), "");

    // Storage unticked, structure ticked: the storage parameters end empty.
    QTest::mouseClick(&box("indcbox"), Qt::RightButton);
    box("irostore").setChecked(false);
    s.click("Button65");
    open("INDEX", "SALES.ORDER_LINES_PK");
    EXPECT_EQ(text("idxtbname"), "ORDER_LINES");
    for (const char *e : {"idxpctfree", "idxpctthresh", "idxpctinc", "idxinitext", "idxnextext", "idxminext",
                          "idxmaxext", "idxfreelists", "idxfreelistg", "idxdsextents"})
        EXPECT_EQ(text(e), "") << e;

    // An index named as its table: its storage sums take the segments of both.
    box("irostore").setChecked(true);
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
}

TEST_F(ObjectPagesTest, ASubpartitionedIndexShowsItsPartitionsAsATree)
{
    const auto *x = dictionary().index("BILLING", "CALL_RECORDS_IX");
    ASSERT_NE(x, nullptr);
    open("INDEX", "BILLING.CALL_RECORDS_IX");
    ASSERT_EQ(s.sink().errors, QStringList());
    EXPECT_EQ(text("idxparttype"), "RANGE");
    EXPECT_EQ(text("idxsubparttype"), "LIST");
    EXPECT_FALSE(memoText("idxparts").contains("union all"));
    auto &tree = s.widget<QTreeWidget>("idxparttree");
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
    expectPage(
        "SEQUENCE", "HR.EMPLOYEES_SEQ", "from dba_sequences",
        "seqowner=Owner=SEQUENCE_OWNER; seqname=Name=SEQUENCE_NAME; seqmin=Min Value=MIN_VALUE; "
        "seqmax=Max Value=TO_CHAR(MAX_VALUE); seqinc=Increment By=INCREMENT_BY; seqcycf=Cycle Flag=CYCLE_FLAG; "
        "seqordf=Order Flag=ORDER_FLAG; seqcache=Cache Size=CACHE_SIZE; seqlast=Last number=TO_CHAR(LAST_NUMBER)");
    fail("'VIEW'", "ORA-31603: object \"X\" of type VIEW not found in schema \"HR\"");
    expectPage("VIEW", "HR.EMP_DETAILS_V", "from dba_views",
               "viewown=Owner=OWNER; viewname=Name=VIEW_NAME; viewtype=View Type=VIEW_TYPE; "
               "viewtown=View Type Owner=VIEW_TYPE_OWNER; viewsname=Superview Name=SUPERVIEW_NAME; "
               "viewedview=Editioning View=EDITIONING_VIEW; viewro=Read Only=READ_ONLY; "
               "viewtextlen=Text Length=TEXT_LENGTH; viewttextlen=Type Text Length=TYPE_TEXT_LENGTH; "
               "viewoidttextlen=OID Type Text Length=OID_TEXT_LENGTH",
               {"OWNER", "VIEW_NAME", "TEXT_LENGTH", "TEXT", "TYPE_TEXT_LENGTH", "TYPE_TEXT", "OID_TEXT_LENGTH",
                "OID_TEXT", "VIEW_TYPE_OWNER", "VIEW_TYPE", "SUPERVIEW_NAME", "EDITIONING_VIEW", "READ_ONLY"});
    // With the DDL failed, "Definition" keeps the text column.
    EXPECT_EQ(memoText("viewtext"), "<text>");
    EXPECT_EQ(memoText("viewttext"), "<type_text>");
    EXPECT_EQ(memoText("viewoidttext"), "<oid_text>");
    expectPage("TRIGGER", "HR.UPDATE_JOB_HISTORY", "from dba_triggers",
               "trigowner=Owner=OWNER; trigname=Name=TRIGGER_NAME; trigtype=Type=TRIGGER_TYPE; "
               "trigevent=Triggering Event=TRIGGERING_EVENT; trigtowner=Table Owner=TABLE_OWNER; "
               "trigtname=Table Name=TABLE_NAME; trigbaseo=Base Object Type=BASE_OBJECT_TYPE; "
               "trigcolname=Column Name=COLUMN_NAME; trigrefnames=Ref Names=REFERENCING_NAMES; "
               "trigdesc=Description=DESCRIPTION; trigwhen=When Clause=WHEN_CLAUSE; trigstatus=Status=STATUS; "
               "trigaction=Action Type=ACTION_TYPE; trigcross=CrossEdition=CROSSEDITION; "
               "triginst=Instead of Row=INSTEAD_OF_ROW; trigfire=Fire Once=FIRE_ONCE; "
               "trigbefs=Before Statement=BEFORE_STATEMENT; trigbefr=Before Row=BEFORE_ROW; "
               "trigafts=After Statement=AFTER_STATEMENT; trigaftr=After Row=AFTER_ROW");
    expectPage("SYNONYM", "SALES.EMP", "from dba_synonyms",
               "syntown=Table Owner=TABLE_OWNER; syntname=Table Name=TABLE_NAME; syndbl=DB Link=DB_LINK",
               {"OWNER", "SYNONYM_NAME"});
    EXPECT_EQ(text("synname"), "SALES.EMP");
    expectPage("DIRECTORY", "SYS.BILLING_EXPORT_DIR", "from dba_directories",
               "dirown=Owner=OWNER; dirname=Name=DIRECTORY_NAME; dirpath=Path=DIRECTORY_PATH");
    expectPage(
        "JOB", "SALES.NIGHTLY_ORDER_ROLLUP", "from dba_scheduler_jobs",
        "jobown=Owner=OWNER; jobname=Name=JOB_NAME; jobsubname=Subname=JOB_SUBNAME; jobstyle=Style=JOB_STYLE; "
        "jobcreate=Creator=JOB_CREATOR; jobclientid=Client ID=CLIENT_ID; jobglobalid=Global UID=GLOBAL_UID; "
        "jobprogown=Program Owner=PROGRAM_OWNER; jobprogname=Program Name=PROGRAM_NAME; jobtype=Job Type=JOB_TYPE; "
        "jobaction=Job Action=JOB_ACTION; jobnumargs=# of Arguments=NUMBER_OF_ARGUMENTS; "
        "jobschedown=Schedule Owner=SCHEDULE_OWNER; jobschedname=Schedule Name=SCHEDULE_NAME; "
        "jobschedtype=Schedule Type=SCHEDULE_TYPE; jobstartdate=Start Date=START_DATE; "
        "jobrepeatint=Repeat Interval=REPEAT_INTERVAL; jobevtqown=Event Q Owner=EVENT_QUEUE_OWNER; "
        "jobevtqname=Event Q Name=EVENT_QUEUE_NAME; jobevtqagent=Event Q Agent=EVENT_QUEUE_AGENT; "
        "jobevtcond=Event Condition=EVENT_CONDITION; jobevtrule=Event Rule=EVENT_RULE; "
        "jobfwown=File Watch Owner=FILE_WATCHER_OWNER; jobfwname=File Watch Name=FILE_WATCHER_NAME; "
        "jobenddate=End Date=END_DATE; jobclass=Job Class=JOB_CLASS; jobenabled=Enabled=ENABLED; "
        "jobautodrop=Auto Drop=AUTO_DROP; jobrestart=Restartable=RESTARTABLE; jobstate=State=STATE; "
        "jobpriority=Job Priority=JOB_PRIORITY; jobruncnt=Run Count=RUN_COUNT; jobmaxruns=Max Runs=MAX_RUNS; "
        "jobfailcnt=Failure Count=FAILURE_COUNT; jobmaxfails=Max Failures=MAX_FAILURES; "
        "jobretrycnt=Retry Count=RETRY_COUNT; joblastsdate=Last Start Date=LAST_START_DATE; "
        "joblrundate=Last Run Duration=LAST_RUN_DURATION; jobnextrund=Next Run Date=NEXT_RUN_DATE; "
        "jobschedlimit=Schedule Limit=SCHEDULE_LIMIT; jobmaxrund=Max Run Duration=MAX_RUN_DURATION; "
        "jobloglevel=Logging Level=LOGGING_LEVEL; jobstopclose=Stop on Win Close=STOP_ON_WINDOW_CLOSE; "
        "jobinststick=Instance Stickiness=INSTANCE_STICKINESS; jobraiseevt=Raise Events=RAISE_EVENTS; "
        "jobsystem=System=SYSTEM; jobweight=Job Weight=JOB_WEIGHT; jobnlsenv=NLS ENV=NLS_ENV; "
        "jobsource=Source=SOURCE; jobnumdest=# of Destination=NUMBER_OF_DESTINATIONS; "
        "jobdestown=Dest Owner=DESTINATION_OWNER; jobdest=Destination=DESTINATION; "
        "jobcredown=Credential Owner=CREDENTIAL_OWNER; jobcredname=Credential Name=CREDENTIAL_NAME; "
        "jobinstid=Instance ID=INSTANCE_ID; jobdefdrop=Defer Drop=DEFERRED_DROP; "
        "joballowrestr=Allow Rest Mode=ALLOW_RUNS_IN_RESTRICTED_MODE; jobcomments=Comments=COMMENTS; "
        "jobflags=Flags=FLAGS");
    expectPage(
        "PROGRAM", "SYS.PURGE_LOG_PROG", "from dba_scheduler_programs",
        "progown=Owner=OWNER; progname=Name=PROGRAM_NAME; progtype=Type=PROGRAM_TYPE; "
        "progaction=Action=PROGRAM_ACTION; progargs=# of Arguments=NUMBER_OF_ARGUMENTS; progenabled=Enabled=ENABLED; "
        "progdetach=Detached=DETACHED; progschedule=Schedule Limit=SCHEDULE_LIMIT; progpri=Priority=PRIORITY; "
        "progweight=Weight=WEIGHT; progmaxruns=Max Runs=MAX_RUNS; progmaxfails=Max Failures=MAX_FAILURES; "
        "progmaxrund=Max Run Duration=MAX_RUN_DURATION; prognlsenv=NLS ENV=NLS_ENV; progcomment=Comments=COMMENTS");
    EXPECT_EQ(s.sink().errors, QStringList{"ORA-31603: object \"X\" of type VIEW not found in schema \"HR\""});
}

TEST_F(ObjectPagesTest, AViewOfAnOlderReleaseLeavesItsLaterColumnsBlank)
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
                                      "owner =  'BILLING' and \n"
                                      "name =  'INVOICE_PKG' \n"
                                      "and type in ('PACKAGE', 'PACKAGE BODY') \n"
                                      "order by type, line");
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
    EXPECT_EQ(text("jobstartdate"), "2025-02-01 04:00:00");
    EXPECT_EQ(text("joblrundate"), "+000000000 00:17:03.504000");
    EXPECT_TRUE(memoText("jobddltext").contains("dbms_scheduler.create_job('\"MONTHLY_INVOICE_RUN\"'"));
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

    // A failed DDL leaves the details; a program view without DETACHED stops there.
    fail("'PROCOBJ'", "ORA-27475: unknown job \"SALES\".\"NIGHTLY_ORDER_ROLLUP\"");
    open("JOB", "SALES.NIGHTLY_ORDER_ROLLUP");
    EXPECT_EQ(text("jobtype"), "PLSQL_BLOCK");
    EXPECT_EQ(memoText("jobddltext"), "");
    answer(
        "from dba_scheduler_programs",
        {"OWNER", "PROGRAM_NAME", "PROGRAM_TYPE", "PROGRAM_ACTION", "NUMBER_OF_ARGUMENTS", "ENABLED", "SCHEDULE_LIMIT"},
        {{"SYS", "PURGE_LOG_PROG", "PLSQL_BLOCK", "dbms_scheduler.auto_purge;", "0", "TRUE", ""}});
    open("PROGRAM", "SYS.PURGE_LOG_PROG");
    EXPECT_EQ(s.sink().errors.value(1), "Field 'detached' not found");
    EXPECT_EQ(text("progenabled"), "TRUE");
    EXPECT_EQ(text("progdetach"), "");
    EXPECT_EQ(text("progcomment"), "");
}

TEST_F(ObjectPagesTest, AQuoteInANameArrivesDoubledForEveryKind)
{
    QList<QStringList> rows;
    for (const QString &kind : ObjectBrowserScreen::kindWords())
        rows << QStringList{kind, "O'WNER", "N'AME"};
    answer("from dba_objects", {"OBJECT_TYPE", "OWNER", "OBJECT_NAME"}, rows);
    load();
    const QHash<QString, QStringList> scripts{{"TABLE", {"tabst"}},          {"INDEX", {"idxst", "idxparts"}},
                                              {"FUNCTION", {"funsrcmem"}},   {"SEQUENCE", {"seqsqlmem"}},
                                              {"VIEW", {"viewmem"}},         {"TRIGGER", {"trigmem"}},
                                              {"SYNONYM", {"synmem"}},       {"DIRECTORY", {"dirmem"}},
                                              {"JOB", {"jobmem"}},           {"PACKAGE", {"packsrcmem"}},
                                              {"PROCEDURE", {"procsrcmem"}}, {"PROGRAM", {"progsrcmem"}}};
    // The DDL fetch of each kind that has one: its word, the name, the owner (none for a directory).
    const QHash<QString, std::pair<const char *, QString>> ddl{
        {"TABLE", {"tabddl", "'TABLE','N''AME','O''WNER'"}},
        {"INDEX", {"idxddl", "'INDEX','N''AME','O''WNER'"}},
        {"SEQUENCE", {"seqddlmem", "'SEQUENCE','N''AME','O''WNER'"}},
        {"VIEW", {"viewddlmem", "'VIEW','N''AME','O''WNER'"}},
        {"TRIGGER", {"trigddlmem", "'TRIGGER','N''AME','O''WNER'"}},
        {"SYNONYM", {"synddlmem", "'SYNONYM','N''AME','O''WNER'"}},
        {"DIRECTORY", {"dirddlmem", "'DIRECTORY','N''AME'"}},
        {"JOB", {"jobddlmem", "'PROCOBJ','N''AME','O''WNER'"}}};
    for (const QString &kind : ObjectBrowserScreen::kindWords()) {
        s.sink().clear();
        open(kind.toLatin1().constData(), "O'WNER.N'AME");
        for (const QString &memo : scripts.value(kind)) {
            const QString sql = memoText(memo.toLatin1().constData());
            EXPECT_TRUE(sql.contains("'N''AME'")) << memo.toStdString();
            EXPECT_FALSE(sql.contains("N'AME'")) << memo.toStdString();
        }
        if (ddl.contains(kind)) {
            EXPECT_EQ(memoText(ddl.value(kind).first),
                      "select dbms_metadata.get_ddl(" + ddl.value(kind).second + ") from dual");
        }
        // Nothing breaks the statements: at most the DDL finds no such object.
        for (const QString &e : s.sink().errors)
            EXPECT_TRUE(e.startsWith("ORA-31603")) << kind.toStdString() << ": " << e.toStdString();
    }
}
