#include "session_statistics_tab.h"

#include "core/conversions.h"
#include "live_widgets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tavimond {

SessionStatisticsTab::SessionStatisticsTab(const PartContext &context)
    : QWidget(context.tab), context_(context),
      sesevt_check(new QCheckBox(QStringLiteral("Enable Wait Event Acquisition"), this)),
      Instidwt(namedEdit("Instidwt", this)), sidid(namedEdit("sidid", this)), serialnum(namedEdit("serialnum", this))
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
