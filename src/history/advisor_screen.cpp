#include "advisor_screen.h"

#include "ui_history_advisor_screen.h"

#include "core/conversions.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/current_row.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/report_script.h"
#include "ui/script_memo.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

namespace tavimond {
namespace {

// Each grid column's header and the detail field it is copied into.
struct Detail {
    const char *header;
    const char *field;
    const char *label;
    bool memo;
};

const Detail kDetails[] = {
    {"Advice Date", "advdat", "Advice Date", false},
    {"Type", "advtyp", "Finding Type", false},
    {"Impact", "advimp", "Impact", false},
    {"Rank", "advran", "Rank", false},
    {"Type", "advtyp2", "Recommendatrion Type", false},
    {"Message", "advmes", "Message", true},
    {"Command to Correct", "advcom", "Command to Fix", false},
    {"Action Message", "advact", "Action Message", true},
    {"Benefit", "advben", "Benefit", false},
    {"Benefit Type", "advbent", "Benefit Type", true},
};

} // namespace

AdvisorScreen::AdvisorScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("advpage"), context, parent), ui_(std::make_unique<Ui::AdvisorScreenForm>()),
      adv_query(std::make_unique<Query>(cnn(), Query::kLongTimeoutSeconds))
{
    ui_->setupUi(this);

    // Retrieve: the window in its group box, the button beside it.
    auto *retrieve = new QVBoxLayout(ui_->TabSheet72);
    auto *top = new QHBoxLayout;
    auto *group = new QGroupBox(QStringLiteral(" Selection Criteria "), ui_->TabSheet72);
    group->setObjectName(QStringLiteral("GroupBox_adv"));
    window_ = addSnapshotWindow(new QGridLayout(group), 0, 0,
                                {QStringLiteral("advdrb"), QStringLiteral("advdays"), QStringLiteral("advftrb"),
                                 QStringLiteral("advfrom"), QStringLiteral("advto"),
                                 QStringLiteral("1/MAY/2013 08:00:00"), QStringLiteral("2/MAY/2013 08:15:59")});
    top->addWidget(group);
    auto *Button182 = new QPushButton(QStringLiteral("Review Advisor Results"), ui_->TabSheet72);
    Button182->setObjectName(QStringLiteral("Button182"));
    top->addWidget(Button182, 0, Qt::AlignTop);
    top->addStretch();
    retrieve->addLayout(top);
    retrieve->addStretch();

    // Results: the grid over the detail fields.
    auto *results = new QVBoxLayout(ui_->TabSheet73);
    results->addWidget(new QLabel(QStringLiteral("Performance Recommendations"), ui_->TabSheet73));
    adv_grid =
        new GridView(new ResultGrid(int(std::size(kDetails)), this), QStringLiteral("adv_grid"), ui_->TabSheet73);
    results->addWidget(adv_grid, 3);
    auto *fields = new QGridLayout;
    for (const Detail &d : kDetails) {
        QWidget *field = nullptr;
        if (d.memo) {
            auto *memo = new QPlainTextEdit(ui_->TabSheet73);
            memo->setReadOnly(true);
            memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 3 + 12);
            field = memo;
        } else {
            auto *edit = new QLineEdit(ui_->TabSheet73);
            edit->setReadOnly(true);
            field = edit;
        }
        field->setObjectName(QLatin1String(d.field));
        details_ << field;
    }
    auto place = [&](int column, int row, int at, int span = 5) {
        fields->addWidget(new QLabel(QLatin1String(kDetails[column].label), ui_->TabSheet73), row, at);
        fields->addWidget(details_.at(column), row, at + 1, 1, span);
    };
    // Finding Type over Recommendatrion Type; Advice Date, Impact and Rank on one line;
    // then the texts one under the other.
    place(1, 0, 0);
    place(4, 1, 0);
    place(0, 2, 0, 1);
    place(2, 2, 2, 1);
    place(3, 2, 4, 1);
    place(5, 3, 0);
    place(6, 4, 0);
    place(7, 5, 0);
    place(8, 6, 0);
    place(9, 7, 0);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    fields->setColumnStretch(5, 1);
    results->addLayout(fields, 2);

    // Script: the memo holds the default settings' script until the first run.
    adv_memo = addScriptMemo(ui_->TabSheet74, QStringLiteral("adv_memo"),
                             QStringLiteral("Advisor Recommendations Script"), scriptLines(), MemoAccess::Editable);
    advmbs = new QCheckBox(QStringLiteral("Maintain Dynamic Script"), ui_->TabSheet74);
    advmbs->setObjectName(QStringLiteral("advmbs"));
    static_cast<QGridLayout *>(ui_->TabSheet74->layout())->addWidget(advmbs, 2, 0);

    // The review empties and refills the grid, which moves its current row: that move is
    // not the user's, and the detail fields keep the row last chosen.
    connect(Button182, &QPushButton::clicked, this, guarded([this] {
                const QScopedValueRollback reviewing(reviewing_, true);
                Button182Click();
            }));
    // A click, or moving the current row with the keys, fills the detail fields.
    onCurrentRowChange(adv_grid, this, [this] { adv_gridClick(); }, [this] { return reviewing_; });
    setCurrentWidget(ui_->TabSheet72);
}

AdvisorScreen::~AdvisorScreen() = default;

QList<GridHeaders> AdvisorScreen::gridHeaders() const
{
    QStringList headers;
    for (const Detail &d : kDetails)
        headers << QLatin1String(d.header);
    return {{QStringLiteral("adv_grid"), headers, {133, 95, 122, 97, 125, 152, 131, 203, 64, 64}}};
}

QStringList AdvisorScreen::scriptLines() const
{
    QStringList lines{
        QStringLiteral("Select a.execution_end, b.type, b.impact, d.rank, d.type,"),
        QStringLiteral("b.message,"),
        QStringLiteral("c.command,"),
        QStringLiteral("c.message,"),
        QStringLiteral("d.benefit,d.benefit_type "),
        QStringLiteral("from dba_advisor_tasks a, dba_advisor_findings b, "),
        QStringLiteral("dba_advisor_actions c, dba_advisor_recommendations d "),
        QStringLiteral("where a.owner=b.owner and a.task_id=b.task_id "),
        QStringLiteral("and b.task_id=d.task_id and b.finding_id=d.finding_id "),
        QStringLiteral("and a.task_id=c.task_id and d.rec_id=c.rec_Id "),
        QStringLiteral("and a.status= 'COMPLETED'"),
    };
    if (window_.fromTo->isChecked()) {
        lines << QStringLiteral("and a.execution_end >= to_date(") + sqlQuote(window_.from->text()) +
                     QStringLiteral(",'DD/MON/YYYY HH24:MI:SS')")
              << QStringLiteral(" and a.execution_end <=  to_date(") + sqlQuote(window_.to->text()) +
                     QStringLiteral(",'DD/MON/YYYY HH24:MI:SS')");
    } else {
        // Straight after "sysdate-": daysField lets no sign in, so no "--" forms.
        lines << QStringLiteral("and a.execution_end >= sysdate-") +
                     daysField(window_.dayText->text(), window_.days->text());
    }
    lines << QStringLiteral("order by d.rank asc, d.benefit desc");
    return lines;
}

void AdvisorScreen::Button182Click()
{
    // A days text that is no number stops the review before anything changes.
    const QStringList lines = advmbs->isChecked() ? QStringList() : scriptLines();
    ResultGrid &grid = *adv_grid->grid();
    {
        ResultGrid::Batch batch(grid);
        grid.setRowCount(2);
        grid.clearRow(1);
    }
    buildScript(*adv_memo, advmbs, lines);
    // The grid keeps its spare row: no trim on this screen.
    runScriptIntoGrid(*adv_memo, *adv_query, grid, true);
    setCurrentWidget(ui_->TabSheet73);
}

void AdvisorScreen::adv_gridClick()
{
    const QModelIndex current = adv_grid->currentIndex();
    const int row = current.isValid() ? current.row() + 1 : 1;
    const ResultGrid &grid = *adv_grid->grid();
    for (int c = 0; c < details_.size(); ++c) {
        const QString &text = grid.cell(c, row);
        if (auto *edit = qobject_cast<QLineEdit *>(details_.at(c))) {
            edit->setText(text);
        } else {
            auto *memo = static_cast<QPlainTextEdit *>(details_.at(c));
            memo->clear();
            memo->appendPlainText(text);
        }
    }
}

} // namespace tavimond
