#include "sql_text_tab.h"

#include <QFormLayout>
#include <QLineEdit>

namespace tavimond {
namespace {

QLineEdit *edit(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

} // namespace

SqlTextTab::SqlTextTab(const PartContext &context)
    : QWidget(context.tab), context_(context), Instidst(edit(this, "Instidst")), sesid(edit(this, "sesid")),
      serialnumst(edit(this, "serialnumst")), sesssqlid(edit(this, "sesssqlid")),
      sessexecplan(edit(this, "sessexecplan"))
{
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Inst ID"), Instidst);
    form->addRow(QStringLiteral("SID"), sesid);
    form->addRow(QStringLiteral("Serial#"), serialnumst);
    form->addRow(QStringLiteral("SQL ID"), sesssqlid);
    form->addRow(QStringLiteral("Plan Hash"), sessexecplan);
}

void SqlTextTab::setSession(const ChosenSession &session)
{
    Instidst->setText(session.instance);
    sesid->setText(session.sid);
    serialnumst->setText(session.serial);
    sesssqlid->setText(session.sqlId);
    sessexecplan->setText(session.planHash);
}

} // namespace tavimond
