// The simulated instance tells one story: every table, index and column that one of its
// statements or plans names is in its data dictionary, and so is every table, sequence
// and called code that its stored code, views and jobs name; the objects the live views
// point at (locked tables, buffers under a latch) are the dictionary's objects.
#include "core/conversions.h"
#include "db/db_support.h"
#include "db/sim/live/sql_catalogue.h"
#include "db/sim/repository/awr_plans.h"
#include "db/sim/repository/sql_workload.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

// What the dictionary views show: each table's columns, each index's table.
struct Dictionary {
    QHash<QString, QSet<QString>> columns; // OWNER.TABLE -> column names
    QHash<QString, QString> indexTable;    // OWNER.INDEX -> OWNER.TABLE
    QSet<QString> owners;
};

// A statement's words: names upper-cased (a qualified name is one word), binds, numbers
// and single characters; comments and quoted literals left out.
QStringList wordsOf(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));
    text.remove(QRegularExpression(QStringLiteral("'[^']*'")));
    static const QRegularExpression word(QStringLiteral("[A-Za-z_][\\w$#]*(?:\\.[A-Za-z_][\\w$#]*)*|:\\w+|\\d+|\\S"));
    QStringList out;
    for (auto it = word.globalMatch(text); it.hasNext();)
        out << it.next().captured().toUpper();
    return out;
}

bool isName(const QString &w)
{
    return w.at(0).isLetter() || w.at(0) == QLatin1Char('_');
}

// Checks one statement and its plans against the dictionary; returns what it names
// that the dictionary does not hold.
class Checker {
public:
    Checker(const Dictionary &d, const QString &text) : d_(d), text_(text) { readTables(); }

    QStringList textProblems()
    {
        static const QSet<QString> kKeywords{
            "SELECT", "FROM", "WHERE", "AND",      "OR",      "NOT",     "JOIN",         "ON",     "ORDER",  "GROUP",
            "BY",     "DESC", "ASC",   "IN",       "BETWEEN", "INSERT",  "INTO",         "VALUES", "UPDATE", "SET",
            "DELETE", "IS",   "NULL",  "DISTINCT", "AS",      "SYSDATE", "SYSTIMESTAMP", "USER"};
        const QStringList w = wordsOf(text_);
        QStringList problems;
        for (qsizetype i = 0; i < w.size(); ++i) {
            if (tablePositions_.contains(i) || !isName(w[i]) || kKeywords.contains(w[i]))
                continue;
            if (i + 1 < w.size() && w[i + 1] == QLatin1String("("))
                continue; // a function
            const QString before = i > 0 ? w[i - 1] : QString();
            if (before == QLatin1String(")") || (isName(before) && !kKeywords.contains(before)))
                continue; // an expression's alias
            const QString alias = w[i].contains(QLatin1Char('.')) ? w[i].section(QLatin1Char('.'), 0, 0) : QString();
            const QString column = w[i].section(QLatin1Char('.'), -1);
            if (!isColumn(alias, column))
                problems << w[i];
        }
        return problems;
    }

    // The plan's objects (indexes must serve one of the statement's tables) and the
    // columns of its predicates.
    QStringList planProblems(const QStringList &plan)
    {
        static const QRegularExpression step(
            QStringLiteral("^\\|\\s*\\*?\\s*\\d+\\s*\\|\\s*([^|]*?)\\s*\\|\\s*([^|]*?)\\s*\\|"));
        static const QRegularExpression qualified(QStringLiteral("\"(\\w+)\"\\.\"(\\w+)\""));
        static const QRegularExpression plain(QStringLiteral("(?<![.\\w\"])\"(\\w+)\"(?![.\\w])"));
        QStringList problems;
        bool predicates = false;
        for (QString line : plan) {
            if (const auto m = step.match(line); m.hasMatch() && !m.captured(2).isEmpty()) {
                const QString operation = m.captured(1), name = m.captured(2);
                if (operation == QLatin1String("VIEW"))
                    continue; // the optimizer's own inline view
                const bool index = operation.startsWith(QLatin1String("INDEX"));
                bool found = false;
                for (const QString &table : tables_)
                    found = found || (index ? d_.indexTable.value(owner(table) + QLatin1Char('.') + name) == table
                                            : table.section(QLatin1Char('.'), 1) == name);
                if (!found)
                    problems << (index ? QStringLiteral("index ") : QStringLiteral("table ")) + name;
            }
            if (line.startsWith(QLatin1String("Predicate Information")))
                predicates = true;
            else if (line.endsWith(QLatin1String(":")) || line.startsWith(QLatin1String("Outline")))
                predicates = false;
            if (!predicates)
                continue;
            line.remove(QRegularExpression(QStringLiteral("'[^']*'")));
            for (auto it = qualified.globalMatch(line); it.hasNext();) {
                const auto m = it.next();
                if (!isColumn(m.captured(1), m.captured(2)))
                    problems << m.captured(1) + QLatin1Char('.') + m.captured(2);
            }
            for (auto it = plain.globalMatch(line); it.hasNext();) {
                const QString column = it.next().captured(1);
                if (!isColumn(QString(), column))
                    problems << column;
            }
        }
        return problems;
    }

    QStringList tables() const { return tables_; }

private:
    static QString owner(const QString &table) { return table.section(QLatin1Char('.'), 0, 0); }

    // owner.table words are tables; the name after one, unless a keyword, its alias.
    void readTables()
    {
        static const QSet<QString> kNotAlias{"WHERE", "JOIN", "GROUP", "ORDER", "SET", "VALUES", "SELECT", "ON"};
        const QStringList w = wordsOf(text_);
        for (qsizetype i = 0; i < w.size(); ++i) {
            if (w[i].count(QLatin1Char('.')) != 1 || !d_.owners.contains(owner(w[i])))
                continue;
            tables_ << w[i];
            tablePositions_ << i;
            aliases_.insert(w[i].section(QLatin1Char('.'), 1), w[i]);
            if (i + 1 < w.size() && isName(w[i + 1]) && !kNotAlias.contains(w[i + 1])) {
                aliases_.insert(w[i + 1], w[i]);
                tablePositions_ << i + 1;
            }
        }
    }

    // A column of the aliased table, or, without an alias, of any of the statement's tables.
    bool isColumn(const QString &alias, const QString &column) const
    {
        if (!alias.isEmpty())
            return d_.columns.value(aliases_.value(alias)).contains(column);
        for (const QString &t : tables_)
            if (d_.columns.value(t).contains(column))
                return true;
        return false;
    }

    const Dictionary &d_;
    QString text_;
    QStringList tables_;
    QSet<qsizetype> tablePositions_;
    QHash<QString, QString> aliases_;
};

class SimCoherence : public ::testing::Test {
protected:
    SimCoherence()
    {
        // Enough statements for every statement of the application on every table.
        db.model().state<sim::RepositoryShape>().statements = 80;
        for (const QStringList &r : db.rows("select owner, table_name, column_name from dba_tab_columns")) {
            dictionary.columns[r[0] + '.' + r[1]] << r[2];
            dictionary.owners << r[0];
        }
        for (const QStringList &r : db.rows("select owner, index_name, table_owner, table_name from dba_indexes"))
            dictionary.indexTable.insert(r[0] + '.' + r[1], r[2] + '.' + r[3]);
    }

    // What a statement and its plan name that the dictionary lacks.
    QStringList problems(const QString &text, const QStringList &plan)
    {
        Checker c(dictionary, text);
        QStringList out;
        if (c.tables().isEmpty())
            out << QStringLiteral("no table of the dictionary");
        for (const QString &t : c.tables())
            if (!dictionary.columns.contains(t))
                out << QStringLiteral("table ") + t;
        return out + c.textProblems() + c.planProblems(plan);
    }

    test::SimDb db{5};
    Dictionary dictionary;
};

} // namespace

TEST_F(SimCoherence, EveryTableIndexAndColumnOfAStatementOrPlanIsInTheDictionary)
{
    ASSERT_TRUE(dictionary.columns.value("SALES.ORDERS").contains("CUSTOMER_ID"));
    ASSERT_EQ(dictionary.indexTable.value("SALES.ORDERS_PK"), "SALES.ORDERS");

    // The checker itself finds what is not there.
    EXPECT_EQ(problems("SELECT o.cust_id, x.status FROM sales.orders o WHERE note = :b1 AND o.order_id > 0",
                       {"|   1 | INDEX RANGE SCAN | CUSTOMERS_PK |", "|   2 | TABLE ACCESS FULL | ORDERS_V |",
                        "Predicate Information (identified by operation id):", "   1 - access(\"O\".\"CUST_ID\"=:B1)"}),
              (QStringList{"O.CUST_ID", "X.STATUS", "NOTE", "index CUSTOMERS_PK", "table ORDERS_V", "O.CUST_ID"}));

    // The shared pool's statements with the plans the live views show.
    for (const sim::CatalogueStatement &s : sim::sqlCatalogue())
        EXPECT_EQ(problems(s.text, sim::displayCursorLines(s)), QStringList()) << s.text.toStdString();

    // The repository's statements with every plan it captured for them.
    const auto &workload = db.model().state<sim::SqlWorkload>();
    QSet<QString> tables;
    for (const sim::SqlWorkload::Sql &s : workload.statements()) {
        QStringList plans;
        for (const qint64 p : s.plans)
            plans << sim::displayAwrLines(s, p);
        EXPECT_EQ(problems(s.text, plans), QStringList()) << s.text.left(200).toStdString();
        for (const QString &t : Checker(dictionary, s.text).tables())
            tables << t;
    }
    EXPECT_GE(tables.size(), 8);
}

TEST_F(SimCoherence, LockedTablesAndTheBuffersUnderALatchAreTheDictionarysObjects)
{
    QHash<QString, QString> tables; // object_id -> owner.name of every table
    QSet<QString> objects;
    for (const QStringList &r : db.rows("select object_id, owner, object_name, object_type from dba_objects")) {
        objects << r[1] + '.' + r[2];
        if (r[3] == QLatin1String("TABLE"))
            tables.insert(r[0], r[1] + '.' + r[2]);
    }
    QStringList locked;
    for (int minute = 0; minute < 20; ++minute, db.model().advance(60))
        for (const QString &id : db.column("select id1 from v$lock where type = 'TM'"))
            locked << tables.value(id, "object " + id);
    locked.removeDuplicates();
    locked.sort();
    EXPECT_EQ(locked, (QStringList{"SALES.ORDER_LINES", "SALES.SHIPMENTS"}));

    // The touch counts of the buffers under a few children.
    QSet<QString> cached;
    for (int child = 1; child <= 40; ++child)
        for (const QString &segment :
             db.column(QStringLiteral("select e.owner ||'.'|| e.segment_name  segment_name, e.extent_id  extent#, "
                                      "x.dbablk - e.block_id + 1  block#, x.tch, l.child# from v$latch_children  l, "
                                      "sys.x$bh x, sys.dba_extents e where l.child# = %1 and x.hladdr  = l.addr and "
                                      "e.file_id = x.file# and x.dbablk between e.block_id and e.block_id + e.blocks "
                                      "-1 order by x.tch desc")
                           .arg(child)))
            cached << segment;
    EXPECT_GT(cached.size(), 10);
    for (const QString &segment : cached)
        EXPECT_TRUE(objects.contains(segment)) << segment.toStdString();
}

TEST_F(SimCoherence, StoredCodeViewsTriggersAndJobsNameOnlyTheDictionarysObjects)
{
    QSet<QString> sequences, code, views;
    QHash<QString, QString> synonyms; // OWNER.NAME -> OWNER.TABLE
    for (const QStringList &r : db.rows("select sequence_owner, sequence_name from dba_sequences"))
        sequences << r[0] + '.' + r[1];
    for (const QStringList &r : db.rows("select owner, object_name, object_type from dba_objects"))
        if (QStringList{"FUNCTION", "PROCEDURE", "PACKAGE", "MATERIALIZED VIEW"}.contains(r[2]))
            code << r[0] + '.' + r[1];
    for (const QStringList &r : db.rows("select owner, synonym_name, table_owner, table_name from dba_synonyms"))
        synonyms.insert(r[0] + '.' + r[1], r[2] + '.' + r[3]);
    for (const QStringList &r : db.rows("select owner, view_name from dba_views"))
        views << r[0] + '.' + r[1];

    // What one text of `owner` names that the dictionary lacks: the tables it reads or
    // writes (through a synonym too) with the columns it inserts or anchors a type to,
    // the sequences it draws from and the stored code it calls by its owner's name.
    const auto problemsOf = [&](const QString &owner, QString text) {
        text.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
        const QStringList w = wordsOf(text);
        const auto table = [&](QString name) {
            if (!name.contains('.'))
                name = owner + '.' + name;
            for (const QString &synonymOwner : {name.section('.', 0, 0), QStringLiteral("PUBLIC")})
                name = synonyms.value(synonymOwner + '.' + name.section('.', 1), name);
            return name;
        };
        QStringList out;
        for (qsizetype i = 0; i + 1 < w.size(); ++i) {
            const QString &next = w[i + 1];
            const bool reads = QStringList{"FROM", "JOIN"}.contains(w[i]);
            const bool inserts = w[i] == "INTO" && i > 0 && w[i - 1] == "INSERT";
            const bool updates = w[i] == "UPDATE" && !QStringList{"OR", "OF", "ON"}.contains(next);
            if ((reads || inserts || updates) && isName(next)) {
                const QString t = table(next);
                if (!dictionary.columns.contains(t) && !views.contains(t))
                    out << "table " + t;
                for (qsizetype c = i + 3; inserts && w.value(i + 2) == "(" && isName(w.value(c)); c += 2) {
                    if (!dictionary.columns.value(t).contains(w[c]))
                        out << t + '.' + w[c];
                    if (w.value(c + 1) != ",")
                        break;
                }
            }
            if (next == "%" && w.value(i + 2) == "TYPE" && w[i].count('.') == 1 &&
                !dictionary.columns.value(table(w[i].section('.', 0, 0))).contains(w[i].section('.', 1)))
                out << "column " + w[i];
            if (const QString s = table(w[i].section('.', 0, -2)); w[i].endsWith(".NEXTVAL") && !sequences.contains(s))
                out << "sequence " + s;
            if (w[i].count('.') >= 1 && dictionary.owners.contains(w[i].section('.', 0, 0)) &&
                (next == "(" || next == ";") && !code.contains(w[i].section('.', 0, 1)))
                out << "code " + w[i];
        }
        return out;
    };

    // The check itself finds what is not there.
    EXPECT_EQ(problemsOf("SALES", "INSERT INTO order_log (order_id) VALUES (orders_sq.NEXTVAL);\n"
                                  "SELECT status INTO v_status FROM sales.orders WHERE order_id = 1; -- from nowhere\n"
                                  "UPDATE customers SET name = 'x'; v orders.note%TYPE; hr.no_such_proc(1);"),
              (QStringList{"table SALES.ORDER_LOG", "SALES.ORDER_LOG.ORDER_ID", "sequence SALES.ORDERS_SQ",
                           "column ORDERS.NOTE", "code HR.NO_SUCH_PROC"}));

    int texts = 0;
    const auto check = [&](const QString &owner, const QString &name, const QString &text) {
        ++texts;
        QStringList problems = problemsOf(owner, text);
        problems.removeDuplicates();
        EXPECT_EQ(problems, QStringList()) << (owner + '.' + name).toStdString();
    };
    for (const QStringList &r : db.rows("select owner, view_name, text from dba_views"))
        check(r[0], r[1], r[2]);
    QMap<QString, QString> sources; // OWNER.NAME TYPE -> its lines
    for (const QStringList &r :
         db.rows("select owner, name, type, line, text from dba_source order by owner, name, type, line"))
        sources[r[0] + '.' + r[1] + ' ' + r[2]] += r[4];
    for (auto it = sources.cbegin(); it != sources.cend(); ++it)
        check(it.key().section('.', 0, 0), it.key().section('.', 1), it.value());
    for (const QStringList &r : db.rows("select owner, trigger_name, table_owner, table_name from dba_triggers"))
        EXPECT_TRUE(dictionary.columns.contains(r[2] + '.' + r[3])) << r[1].toStdString();
    // A stored procedure's action is the call alone.
    const auto action = [](const QString &type, const QString &text) {
        return type == "STORED_PROCEDURE" ? text + ';' : text;
    };
    for (const QStringList &r : db.rows("select owner, job_name, job_type, job_action from dba_scheduler_jobs"))
        check(r[0], r[1], action(r[2], r[3]));
    for (const QStringList &r :
         db.rows("select owner, program_name, program_type, program_action from dba_scheduler_programs"))
        check(r[0], r[1], action(r[2], r[3]));
    EXPECT_GE(texts, 20);
}

namespace {

// The words that may follow an operand, where a literal may end before a word.
bool followsOperand(const QString &word)
{
    static const QSet<QString> kWords{"AND",  "OR",  "NOT",  "IN",   "IS",    "LIKE", "BETWEEN", "ESCAPE", "THEN",
                                      "ELSE", "END", "WHEN", "FROM", "WHERE", "INTO", "AS",      "LOOP",   "USING"};
    return kWords.contains(word.toUpper());
}

// Where the literals of a DDL text end wrong: one that runs past its statement (the
// statements are parted by lines holding "/"), or one after which the text goes on
// with what cannot follow a value (a name, a number, another literal, a parenthesis),
// as it does where a quote inside the literal was not doubled. Comments and quoted
// names are read over.
QStringList literalProblems(const QString &ddl)
{
    QStringList problems;
    for (const QString &statement : ddl.split(QRegularExpression(QStringLiteral("\n/(?:\n|$)")))) {
        const QString &s = statement;
        const qsizetype n = s.size();
        // The first position from k on that is not a blank or inside a comment.
        const auto skip = [&](qsizetype k) {
            for (;;) {
                while (k < n && s.at(k).isSpace())
                    ++k;
                if (s.mid(k, 2) == QLatin1String("--")) {
                    const qsizetype eol = s.indexOf('\n', k);
                    k = eol < 0 ? n : eol + 1;
                } else if (s.mid(k, 2) == QLatin1String("/*")) {
                    const qsizetype end = s.indexOf(QLatin1String("*/"), k + 2);
                    k = end < 0 ? n : end + 2;
                } else {
                    return k;
                }
            }
        };
        for (qsizetype i = skip(0); i < n; i = skip(i)) {
            if (s.at(i) == '"') {
                const qsizetype end = s.indexOf('"', i + 1);
                i = end < 0 ? n : end + 1;
                continue;
            }
            if (s.at(i) != '\'') {
                ++i;
                continue;
            }
            qsizetype end = i + 1;
            while (end < n && (s.at(end) != '\'' || (end + 1 < n && s.at(end + 1) == '\'')))
                end += s.at(end) == '\'' ? 2 : 1;
            const QString literal = s.mid(i, end + 1 - i);
            if (end >= n) {
                problems << literal.left(40) + " is never closed";
                break;
            }
            i = skip(end + 1);
            if (i >= n)
                break;
            const QChar next = s.at(i);
            QString word;
            for (qsizetype k = i; k < n && (s.at(k).isLetterOrNumber() || s.at(k) == '_'); ++k)
                word += s.at(k);
            if (next == '\'' || next == '"' || next == '(' || next.isDigit() ||
                (next.isLetter() && !followsOperand(word)))
                problems << literal + " then " + (word.isEmpty() ? QString(next) : word);
        }
    }
    return problems;
}

// The subprograms that a package or its body declares, each as its
// heading: kind, name, parameters and return type, upper-cased, blanks as one.
QStringList subprogramHeadings(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("--[^\n]*")));
    static const QRegularExpression start(QStringLiteral("\\b(PROCEDURE|FUNCTION)\\s+(\\w+)\\s*"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression returns(QStringLiteral("^\\s*RETURN\\s+[\\w.%]+"),
                                            QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    for (auto it = start.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        qsizetype at = m.capturedEnd();
        QString heading = m.captured(1) + ' ' + m.captured(2);
        if (at < text.size() && text.at(at) == '(') {
            int depth = 0;
            qsizetype k = at;
            for (; k < text.size(); ++k)
                if (text.at(k) == '(')
                    ++depth;
                else if (text.at(k) == ')' && --depth == 0)
                    break;
            heading += text.mid(at, k + 1 - at);
            at = k + 1;
        }
        if (const auto r = returns.match(text.mid(at)); r.hasMatch())
            heading += ' ' + r.captured().trimmed();
        out << heading.simplified().toUpper().replace(QLatin1String("( "), QLatin1String("("));
    }
    return out;
}

} // namespace

TEST_F(SimCoherence, EveryDdlTheObjectBrowserFetchesClosesItsLiteralsWhereOracleWould)
{
    // The check itself finds a quote left undoubled, a literal left open, and passes
    // doubled quotes, quotes in comments and in quoted names.
    EXPECT_EQ(literalProblems("BEGIN x(job_action=>'begin y('A.B'); end;', n=>1);\nEND;\n/\nALTER x 'open;"),
              (QStringList{"'begin y(' then A", "'open; is never closed"}));
    EXPECT_EQ(literalProblems("BEGIN x(a=>'y(''A''); end;' -- don't\n, b=>\"O'B\", c=>'d' || 'e');\n"
                              "IF s IN ('X', 'Y') AND t = 'Z' THEN NULL; END IF; /* it's */ END;"),
              QStringList());

    // Every object of every kind the object browser lists, through the statements it sends.
    const QHash<QString, QString> ddlKind{{"TABLE", "TABLE"},         {"INDEX", "INDEX"},     {"VIEW", "VIEW"},
                                          {"SEQUENCE", "SEQUENCE"},   {"TRIGGER", "TRIGGER"}, {"SYNONYM", "SYNONYM"},
                                          {"DIRECTORY", "DIRECTORY"}, {"JOB", "PROCOBJ"},     {"FUNCTION", "FUNCTION"},
                                          {"PROCEDURE", "PROCEDURE"}, {"PACKAGE", "PACKAGE"}};
    QHash<QString, int> texts;
    for (const QStringList &r : db.rows("select object_type,owner,object_name from dba_objects where \n"
                                        "upper(owner) like '%'\n and upper(object_name) like '%'\norder by 1,2,3")) {
        const QString kind = ddlKind.value(r[0]);
        if (kind.isEmpty())
            continue;
        QString args = sqlQuote(kind) + ',' + sqlQuote(r[2]);
        if (kind != "DIRECTORY")
            args += ',' + sqlQuote(r[1]);
        QList<QStringList> ddl;
        const QString error =
            test::errorOf([&] { ddl = db.rows("select dbms_metadata.get_ddl(" + args + ") from dual"); });
        if (kind == "INDEX" && error.startsWith("ORA-31603"))
            continue; // a LOB's index has no DDL of its own
        ASSERT_EQ(ddl.size(), 1) << args.toStdString() << error.toStdString();
        EXPECT_EQ(literalProblems(ddl[0][0]), QStringList()) << (r[1] + '.' + r[2]).toStdString();
        ++texts[kind];
    }
    EXPECT_EQ(texts.size(), ddlKind.size());
    EXPECT_GE(texts.value("PROCOBJ"), 4);
}

TEST_F(SimCoherence, EveryPackageBodyDefinesWhatThePackageDeclares)
{
    // The headings as the check reads them.
    EXPECT_EQ(subprogramHeadings("PACKAGE p AS\n  -- PROCEDURE gone;\n  PROCEDURE  a(x IN NUMBER,\n    y IN "
                                 "VARCHAR2(10) DEFAULT 'z');\n  FUNCTION b RETURN NUMBER;\n  PROCEDURE c;\nEND p;"),
              (QStringList{"PROCEDURE A(X IN NUMBER, Y IN VARCHAR2(10) DEFAULT 'Z')", "FUNCTION B RETURN NUMBER",
                           "PROCEDURE C"}));

    QMap<QString, QString> sources; // OWNER.NAME TYPE -> its lines
    for (const QStringList &r :
         db.rows("select owner, name, type, line, text from dba_source order by owner, name, type, line"))
        sources[r[0] + '.' + r[1] + ' ' + r[2]] += r[4];
    int packages = 0;
    for (const QStringList &r : db.rows("select owner, object_name from dba_objects where object_type = 'PACKAGE'")) {
        const QString name = r[0] + '.' + r[1];
        const QStringList declared = subprogramHeadings(sources.value(name + " PACKAGE"));
        const QStringList defined = subprogramHeadings(sources.value(name + " PACKAGE BODY"));
        ASSERT_FALSE(declared.isEmpty()) << name.toStdString();
        // A body may hold subprograms of its own; each declared one it defines with the same heading.
        QStringList missing;
        for (const QString &d : declared)
            if (!defined.contains(d))
                missing << d;
        EXPECT_EQ(missing, QStringList()) << name.toStdString();
        ++packages;
    }
    EXPECT_GE(packages, 2);
}

TEST_F(SimCoherence, EveryMaterializedViewHasItsTableOfTheSameName)
{
    QSet<QString> views, tables, segments;
    for (const QStringList &r : db.rows("select owner, object_name, object_type from dba_objects")) {
        if (r[2] == "MATERIALIZED VIEW")
            views << r[0] + '.' + r[1];
        else if (r[2] == "TABLE")
            tables << r[0] + '.' + r[1];
    }
    QSet<QString> described;
    for (const QStringList &r : db.rows("select owner, table_name from dba_tables"))
        described << r[0] + '.' + r[1];
    for (const QStringList &r : db.rows("select owner, segment_name from dba_segments where segment_type = 'TABLE'"))
        segments << r[0] + '.' + r[1];
    ASSERT_FALSE(views.isEmpty());
    for (const QString &v : views) {
        EXPECT_TRUE(tables.contains(v)) << v.toStdString();
        EXPECT_TRUE(described.contains(v)) << v.toStdString();
        EXPECT_TRUE(dictionary.columns.contains(v)) << v.toStdString();
        EXPECT_TRUE(segments.contains(v)) << v.toStdString();
    }
}
