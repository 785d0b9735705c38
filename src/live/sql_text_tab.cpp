#include "sql_text_tab.h"

#include "core/conversions.h"
#include "live_widgets.h"
#include "core/grid_routines.h"
#include "core/messages.h"
#include "db/query.h"
#include "ui/handler.h"
#include "ui/keyboard_reach.h"
#include "ui/memo.h"
#include "ui/script_memo.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tavimond {
namespace {

QPlainTextEdit *memo(QWidget *parent, const char *name)
{
    auto *m = new QPlainTextEdit(parent);
    m->setObjectName(QLatin1String(name));
    m->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Plans line up in columns.
    m->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    leaveOnCtrlTab(*m);
    return m;
}

// Caret at the start, which scrolls the memo to its first line.
void toTop(QPlainTextEdit &memo)
{
    memo.moveCursor(QTextCursor::Start);
    memo.ensureCursorVisible();
}

} // namespace

SqlTextTab::SqlTextTab(const PartContext &context)
    : QWidget(context.tab), context_(context), sqltextquery(std::make_unique<Query>(context.screen.cnn)),
      sqlexecplan_query(std::make_unique<Query>(context.screen.cnn)), Instidst(namedEdit("Instidst", this)),
      sesid(namedEdit("sesid", this)), serialnumst(namedEdit("serialnumst", this)),
      sesssqlid(namedEdit("sesssqlid", this)), sessexecplan(namedEdit("sessexecplan", this)),
      sqltextmemo(memo(this, "sqltextmemo")), sessplan_memo(memo(this, "sessplan_memo"))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *bar = new QHBoxLayout;
    const std::pair<const char *, QLineEdit *> edits[] = {{"SID", sesid},
                                                          {"Inst ID", Instidst},
                                                          {"Serial#", serialnumst},
                                                          {"SQL ID", sesssqlid},
                                                          {"Exec Plan", sessexecplan}};
    for (const auto &[label, e] : edits) {
        bar->addWidget(new QLabel(QLatin1String(label), this));
        bar->addWidget(e);
    }
    auto *load = new QPushButton(QStringLiteral("Load"), this);
    load->setObjectName(QStringLiteral("Button23"));
    bar->addWidget(load);
    bar->addStretch();
    layout->addLayout(bar);
    layout->addWidget(new QLabel(QStringLiteral("SQL Text"), this));
    layout->addWidget(sqltextmemo, 1);
    layout->addWidget(new QLabel(QStringLiteral("Execution Plan"), this));
    layout->addWidget(sessplan_memo, 2);

    sqlexecplanmemo = addScriptMemo(
        context.scriptTab, QStringLiteral("sqlexecplanmemo"), QStringLiteral("SQL Execution Plan"),
        {QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR('xxx')); ")}, MemoAccess::ReadOnly);

    connect(load, &QPushButton::clicked, this, guarded([this] { Button23Click(); }));
}

SqlTextTab::~SqlTextTab() = default;

void SqlTextTab::setSession(const ChosenSession &session)
{
    Instidst->setText(session.instance);
    sesid->setText(session.sid);
    serialnumst->setText(session.serial);
    sesssqlid->setText(session.sqlId);
    sessexecplan->setText(session.planHash);
}

void SqlTextTab::Button23Click()
{
    if (sesssqlid->text().isEmpty()) {
        messages().info(
            QStringLiteral("Please make sure SQL ID field is populated before loading SQL Text and Exec Plan"));
        return;
    }
    // Typed text reaches the statements only as whole numbers or a quoted literal.
    const QString sid = wholeNumberField(sesid->text(), QStringLiteral("SID"));
    const QString instance = wholeNumberField(Instidst->text(), QStringLiteral("Inst ID"));
    const QString sqlId = sqlQuote(sesssqlid->text());

    sqltextquery->setSql({QStringLiteral("SELECT T.SQL_TEXT FROM GV$SQLTEXT_WITH_NEWLINES T, GV$SESSION S "),
                          QStringLiteral("WHERE S.SID = ") + sid, QStringLiteral("and s.inst_id = ") + instance,
                          QStringLiteral("and S.INST_ID = T.INST_ID "), QStringLiteral("and s.sql_id = ") + sqlId,
                          QStringLiteral("AND S.SQL_ADDRESS = T.ADDRESS "), QStringLiteral("ORDER BY T.PIECE")});
    OpenQuery(*sqltextquery);
    QueryToMemo(*sqltextquery, *sqltextmemo);
    sqltextquery->close();

    sqlexecplan_query->setSql(
        {QStringLiteral("SELECT * FROM TABLE(DBMS_XPLAN.DISPLAY_CURSOR(") + sqlId + QStringLiteral("))")});
    sqlexecplanmemo->setPlainText(sqlexecplan_query->statement());
    OpenQuery(*sqlexecplan_query);
    QueryToMemo(*sqlexecplan_query, *sessplan_memo);
    sqlexecplan_query->close();

    toTop(*sessplan_memo);
    toTop(*sqltextmemo);
}

} // namespace tavimond
