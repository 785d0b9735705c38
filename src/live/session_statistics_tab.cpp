#include "session_statistics_tab.h"

#include "core/conversions.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tavimond {
namespace {

QLineEdit *edit(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    return e;
}

} // namespace

SessionStatisticsTab::SessionStatisticsTab(const PartContext &context)
    : QWidget(context.tab), context_(context),
      sesevt_check(new QCheckBox(QStringLiteral("Enable Wait Event Acquisition"), this)),
      Instidwt(edit(this, "Instidwt")), sidid(edit(this, "sidid")), serialnum(edit(this, "serialnum"))
{
    sesevt_check->setObjectName(QStringLiteral("sesevt_check"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(sesevt_check);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Inst ID"), Instidwt);
    form->addRow(QStringLiteral("SID"), sidid);
    form->addRow(QStringLiteral("Serial#"), serialnum);
    layout->addLayout(form);
    layout->addStretch();
}

bool SessionStatisticsTab::sampling() const
{
    return sesevt_check->isChecked();
}

void SessionStatisticsTab::sample()
{
    // The session's numbers go into the statements: check them before anything is sent.
    const QString instance = wholeNumberField(Instidwt->text(), QStringLiteral("Inst ID"));
    const QString sid = wholeNumberField(sidid->text(), QStringLiteral("SID"));
    Q_UNUSED(instance);
    Q_UNUSED(sid);
    // The session's waits and statistics come with their own work.
}

void SessionStatisticsTab::setSession(const ChosenSession &session)
{
    Instidwt->setText(session.instance);
    sidid->setText(session.sid);
    serialnum->setText(session.serial);
}

} // namespace tavimond
