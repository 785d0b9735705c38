// The object browser's pages of stored code, sequences, views, triggers, synonyms and
// directories.
#include "object_browser_screen.h"
#include "object_page_parts.h"

#include "core/conversions.h"
#include "db/query.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tavimond {
namespace {

using pages::newTab;

// The kinds whose page shows their source.
struct SourceKind {
    const char *word;
    const char *tab;
    const char *memo;
    const char *script;
    const char *query;
};
const SourceKind kSourceKinds[] = {
    {"FUNCTION", "Function", "funsource", "funsrcmem", "funsrc_query"},
    {"PACKAGE", "Package", "packsource", "packsrcmem", "packsrc_query"},
    {"PROCEDURE", "Procedure", "procsource", "procsrcmem", "procsrc_query"},
};

// By field position; the two columns of the page: owner to last number on the left,
// increment to cache size on the right.
const DetailEdit kSequence[] = {
    {"seqowner", "Owner", "Sequence", nullptr, 0},      {"seqname", "Name", "Sequence", nullptr, 1},
    {"seqmin", "Min Value", "Sequence", nullptr, 2},    {"seqmax", "Max Value", "Sequence", nullptr, 3},
    {"seqinc", "Increment By", "Sequence", nullptr, 4}, {"seqcycf", "Cycle Flag", "Sequence", nullptr, 5},
    {"seqordf", "Order Flag", "Sequence", nullptr, 6},  {"seqcache", "Cache Size", "Sequence", nullptr, 7},
    {"seqlast", "Last number", "Sequence", nullptr, 8},
};
const int kSequenceLeft[] = {0, 1, 2, 3, 8};
const int kSequenceRight[] = {4, 5, 6, 7};

// By column name, in the order they are copied; the three memos take their column as a
// line. The last two exist only in later releases' views.
const DetailEdit kView[] = {
    {"viewown", "Owner", "View", "owner", -1},
    {"viewname", "Name", "View", "view_name", -1},
    {"viewtextlen", "Text Length", "View", "text_length", -1},
    {"viewtext", "Definition", nullptr, "text", -1},
    {"viewttextlen", "Type Text Length", "View", "type_text_length", -1},
    {"viewttext", "Type Text", nullptr, "type_text", -1},
    {"viewoidttextlen", "OID Type Text Length", "View", "oid_text_length", -1},
    {"viewoidttext", "OID Type Text", nullptr, "oid_text", -1},
    {"viewtown", "View Type Owner", "View", "view_type_owner", -1},
    {"viewtype", "View Type", "View", "view_type", -1},
    {"viewsname", "Superview Name", "View", "superview_name", -1},
};
const DetailEdit kViewLater[] = {
    {"viewedview", "Editioning View", "View", "EDITIONING_VIEW", -1},
    {"viewro", "Read Only", "View", "READ_ONLY", -1},
};

const DetailEdit kTrigger[] = {
    {"trigowner", "Owner", "Trigger", "owner", -1},
    {"trigname", "Name", "Trigger", "trigger_name", -1},
    {"trigtype", "Type", "Trigger", "trigger_type", -1},
    {"trigevent", "Triggering Event", "Trigger", "triggering_event", -1},
    {"trigtowner", "Table Owner", "Trigger", "table_owner", -1},
    {"trigtname", "Table Name", "Trigger", "table_name", -1},
    {"trigbaseo", "Base Object Type", "Trigger", "base_object_type", -1},
    {"trigcolname", "Column Name", "Trigger", "column_name", -1},
    {"trigrefnames", "Ref Names", "Trigger", "referencing_names", -1},
    {"trigdesc", "Description", "Trigger", "description", -1},
    {"trigwhen", "When Clause", "Trigger", "when_clause", -1},
    {"trigstatus", "Status", "Trigger", "status", -1},
    {"trigaction", "Action Type", "Trigger", "action_type", -1},
    {"trigcross", "CrossEdition", "Trigger", "crossedition", -1},
    {"triginst", "Instead of Row", "Trigger", "instead_of_row", -1},
    {"trigfire", "Fire Once", "Trigger", "fire_once", -1},
    {"trigbefs", "Before Statement", "Trigger", "before_statement", -1},
    {"trigbefr", "Before Row", "Trigger", "before_row", -1},
    {"trigafts", "After Statement", "Trigger", "after_statement", -1},
    {"trigaftr", "After Row", "Trigger", "after_row", -1},
};

const DetailEdit kSynonymName[] = {{"synname", "Name", "Synonym", nullptr, -1}};
const DetailEdit kSynonym[] = {
    {"syntown", "Table Owner", "Synonym", "table_owner", -1},
    {"syntname", "Table Name", "Synonym", "table_name", -1},
    {"syndbl", "DB Link", "Synonym", "db_link", -1},
};

const DetailEdit kDirectory[] = {
    {"dirown", "Owner", "Directory", "owner", -1},
    {"dirname", "Name", "Directory", "directory_name", -1},
    {"dirpath", "Path", "Directory", "directory_path", -1},
};

const pages::RecordKind kTriggerKind{"TRIGGER", kTrigger,     "trigmem",       "trigger_query",
                                     "TRIGGER", "trigddlmem", "trigddl_query", "trigtext"};
const pages::RecordKind kSynonymKind{"SYNONYM", kSynonym,    "synmem",       "syn_query",
                                     "SYNONYM", "synddlmem", "synddl_query", "synddltext"};
const pages::RecordKind kDirectoryKind{"DIRECTORY", kDirectory,  "dirmem",       "dir_query",
                                       "DIRECTORY", "dirddlmem", "dirddl_query", "dirddltext"};

// A tab with a labelled memo filling it.
QPlainTextEdit *labelledMemo(QPlainTextEdit *memo, const QString &label, QWidget *tab, QVBoxLayout *layout)
{
    if (!label.isEmpty())
        layout->addWidget(new QLabel(label, tab));
    layout->addWidget(memo, 1);
    return memo;
}

// The text of stored lines, one memo line a stored line: each ends in a line feed
// (or carriage return and line feed) that would otherwise make an empty line of its own.
QString storedLines(Query &query)
{
    QStringList lines;
    for (; !query.eof(); query.next()) {
        QString line = query.field(0);
        if (line.endsWith(QLatin1Char('\n')))
            line.chop(line.endsWith(QLatin1String("\r\n")) ? 2 : 1);
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void ObjectBrowserScreen::buildCodePages()
{
    for (const SourceKind &k : kSourceKinds) {
        QWidget *tab = newTab(pages_.value(QLatin1String(k.word)), k.tab);
        auto *layout = new QVBoxLayout(tab);
        QPlainTextEdit *memo = detailMemo(k.memo, tab);
        // Source lines run wide: both scroll bars stand.
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        layout->addWidget(memo);
    }

    QTabWidget *seqpage = pages_.value(QStringLiteral("SEQUENCE"));
    QWidget *sequence = newTab(seqpage, "Sequence");
    auto *sequenceGrid = new QGridLayout(sequence);
    for (size_t i = 0; i < std::size(kSequenceLeft); ++i)
        edits_.add(sequenceGrid, int(i), 0, kSequence[kSequenceLeft[i]], sequence);
    for (size_t i = 0; i < std::size(kSequenceRight); ++i)
        edits_.add(sequenceGrid, int(i), 1, kSequence[kSequenceRight[i]], sequence);
    sequenceGrid->setColumnStretch(1, 1);
    sequenceGrid->setColumnStretch(3, 1);
    sequenceGrid->setRowStretch(int(std::size(kSequenceLeft)), 1);
    QWidget *sequenceDdl = newTab(seqpage, "DDL");
    (new QVBoxLayout(sequenceDdl))->addWidget(detailMemo("seqddl", sequenceDdl));

    QWidget *view = newTab(pages_.value(QStringLiteral("VIEW")), "View");
    auto *viewLayout = new QVBoxLayout(view);
    auto *viewGrid = new QGridLayout;
    const int row = edits_.layOut(viewGrid, 0, kView, QStringLiteral("View"), 2, view);
    edits_.layOut(viewGrid, row, kViewLater, QStringLiteral("View"), 2, view);
    viewLayout->addLayout(viewGrid);
    for (const char *memo : {"viewtext", "viewttext", "viewoidttext"}) {
        const DetailEdit *e = std::find_if(std::begin(kView), std::end(kView),
                                           [&](const DetailEdit &d) { return qstrcmp(d.edit, memo) == 0; });
        QPlainTextEdit *m = labelledMemo(detailMemo(memo, view), QString::fromUtf8(e->label), view, viewLayout);
        edits_.addMemo(m);
        if (qstrcmp(memo, "viewtext") != 0)
            m->setMaximumHeight(m->fontMetrics().lineSpacing() * 4);
    }

    QWidget *trigger = newTab(pages_.value(QStringLiteral("TRIGGER")), "Trigger");
    auto *triggerLayout = new QVBoxLayout(trigger);
    auto *triggerGrid = new QGridLayout;
    edits_.layOut(triggerGrid, 0, kTrigger, QStringLiteral("Trigger"), 2, trigger);
    triggerLayout->addLayout(triggerGrid);
    labelledMemo(detailMemo("trigtext", trigger), QStringLiteral("Definition"), trigger, triggerLayout);

    QTabWidget *synpage = pages_.value(QStringLiteral("SYNONYM"));
    QWidget *synonym = newTab(synpage, "Synonym");
    auto *synonymGrid = new QGridLayout(synonym);
    edits_.add(synonymGrid, 0, 0, kSynonymName[0], synonym);
    const int synonymRows = edits_.layOut(synonymGrid, 1, kSynonym, QStringLiteral("Synonym"), 1, synonym);
    synonymGrid->setRowStretch(synonymRows, 1);
    QWidget *synonymDdl = newTab(synpage, "DDL");
    (new QVBoxLayout(synonymDdl))->addWidget(detailMemo("synddltext", synonymDdl));

    QTabWidget *dirpage = pages_.value(QStringLiteral("DIRECTORY"));
    QWidget *directory = newTab(dirpage, "Directory");
    auto *directoryGrid = new QGridLayout(directory);
    directoryGrid->setRowStretch(edits_.layOut(directoryGrid, 0, kDirectory, QStringLiteral("Directory"), 1, directory),
                                 1);
    QWidget *directoryDdl = newTab(dirpage, "DDL");
    (new QVBoxLayout(directoryDdl))->addWidget(detailMemo("dirddltext", directoryDdl));
}

void ObjectBrowserScreen::sourceBranch(const QString &kind, const QString &owner, const QString &name)
{
    const SourceKind &k = *std::find_if(std::begin(kSourceKinds), std::end(kSourceKinds),
                                        [&](const SourceKind &s) { return kind == QLatin1String(s.word); });
    showDetailPage(pages_.value(kind));
    // The kind's own lines only (a package's declaration, then its body): a trigger or another
    // object of that name keeps its lines to itself.
    const QString types = kind == QLatin1String("PACKAGE") ? QStringLiteral("('PACKAGE', 'PACKAGE BODY')")
                                                           : QStringLiteral("(") + sqlQuote(kind) + QLatin1Char(')');
    Query &q =
        runScript(k.script, k.query,
                  {QStringLiteral("select text from dba_source where "),
                   QStringLiteral("owner =  ") + sqlQuote(owner) + QStringLiteral(" and "),
                   QStringLiteral("name =  ") + sqlQuote(name) + QStringLiteral(" "),
                   QStringLiteral("and type in ") + types + QLatin1Char(' '), QStringLiteral("order by type, line")});
    // Tens of thousands of lines go in at once.
    pageMemo(k.memo)->setPlainText(storedLines(q));
    q.close();
}

void ObjectBrowserScreen::sequenceBranch(const QString &owner, const QString &name)
{
    showDetailPage(pages_.value(QStringLiteral("SEQUENCE")));
    edits_.clear(kSequence);
    QPlainTextEdit *seqddl = pageMemo("seqddl");
    seqddl->clear();
    scriptMemo("seqsqlmem")->clear();
    scriptMemo("seqddlmem")->clear();
    // The default maximum has 28 digits: read as text whole, not cast to 20 characters.
    Query &q = runScript("seqsqlmem", "seq_query",
                         {QStringLiteral("select sequence_owner,sequence_name,min_value,to_char(max_value), "),
                          QStringLiteral("increment_by,cycle_flag,order_flag,cache_size,to_char(last_number) "),
                          QStringLiteral("from dba_sequences "), QStringLiteral("where "),
                          QStringLiteral("sequence_owner =  ") + sqlQuote(owner) + QStringLiteral(" and "),
                          QStringLiteral("sequence_name =  ") + sqlQuote(name) + QStringLiteral(" ")});
    edits_.copyByPosition(q, kSequence);
    q.close();
    ddlFetch(QStringLiteral("SEQUENCE"), name, owner, "seqddlmem", "seqddl_query", seqddl, false);
}

void ObjectBrowserScreen::viewBranch(const QString &owner, const QString &name)
{
    showDetailPage(pages_.value(QStringLiteral("VIEW")));
    edits_.clear(kView);
    edits_.clear(kViewLater);
    scriptMemo("viewmem")->clear();
    Query &q = runScript("viewmem", "view_query",
                         {QStringLiteral("select * from dba_views "), QStringLiteral("where "),
                          QStringLiteral("owner =  ") + sqlQuote(owner) + QStringLiteral(" and "),
                          QStringLiteral("view_name =  ") + sqlQuote(name) + QStringLiteral(" ")});
    edits_.copyByName(q, kView);
    // Older releases' views have eleven columns; only from thirteen on are these sought.
    if (q.fieldCount() >= 13)
        for (const DetailEdit &e : kViewLater)
            if (q.fieldIndex(QLatin1String(e.field)) >= 0)
                edits_.setText(e.edit, q.field(QLatin1String(e.field)));
    q.close();
    // The DDL takes the place of the view's text.
    ddlFetch(QStringLiteral("VIEW"), name, owner, "viewddlmem", "viewddl_query", pageMemo("viewtext"), true);
}

void ObjectBrowserScreen::triggerBranch(const QString &owner, const QString &name)
{
    // The body is not selected: "Definition" shows it through the DDL.
    showRecord(kTriggerKind,
               {QStringLiteral("select OWNER,TRIGGER_NAME,TRIGGER_TYPE,TRIGGERING_EVENT,TABLE_OWNER,"),
                QStringLiteral("BASE_OBJECT_TYPE,TABLE_NAME,COLUMN_NAME,REFERENCING_NAMES,WHEN_CLAUSE,"),
                QStringLiteral("STATUS,DESCRIPTION,ACTION_TYPE,CROSSEDITION,BEFORE_STATEMENT,BEFORE_ROW,"),
                QStringLiteral("AFTER_ROW,AFTER_STATEMENT,INSTEAD_OF_ROW,FIRE_ONCE "),
                QStringLiteral("from dba_triggers "), QStringLiteral("where "),
                QStringLiteral("owner =  ") + sqlQuote(owner) + QStringLiteral(" and "),
                QStringLiteral("trigger_name =  ") + sqlQuote(name) + QStringLiteral(" ")},
               name, owner);
}

void ObjectBrowserScreen::synonymBranch(const QString &owner, const QString &name, const QString &nodeText)
{
    edits_.clear(kSynonymName);
    showRecord(kSynonymKind,
               {QStringLiteral("select owner,synonym_name,"), QStringLiteral("table_owner,table_name,db_link "),
                QStringLiteral("from dba_synonyms "), QStringLiteral("where "),
                QStringLiteral("owner =  ") + sqlQuote(owner) + QStringLiteral(" and "),
                QStringLiteral("synonym_name =  ") + sqlQuote(name) + QStringLiteral(" ")},
               name, owner, [&](Query &) { edits_.setText("synname", nodeText); });
}

void ObjectBrowserScreen::directoryBranch(const QString &owner, const QString &name)
{
    // A directory belongs to no schema: its DDL is asked for by name alone.
    showRecord(kDirectoryKind,
               {QStringLiteral("select owner,directory_name,directory_path "), QStringLiteral("from dba_directories "),
                QStringLiteral("where "), QStringLiteral("owner =  ") + sqlQuote(owner) + QStringLiteral(" and "),
                QStringLiteral("directory_name =  ") + sqlQuote(name) + QStringLiteral(" ")},
               name, QString());
}

} // namespace tavimond
