#include "sql_topology_screen.h"

#include "ui_history_sql_topology_screen.h"

#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "core/settings.h"
#include "db/query.h"
#include "ui/grid_model.h"
#include "ui/grid_view.h"
#include "ui/handler.h"
#include "ui/report_script.h"
#include "ui/script_memo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace tavimond {
namespace {

const QStringList &headers()
{
    static const QStringList h{
        QStringLiteral("SQL ID::Exec Plan"), QStringLiteral("Executions"),     QStringLiteral("Elapsed(s)"),
        QStringLiteral("CPU Time(s)"),       QStringLiteral("Sorts"),          QStringLiteral("Rows"),
        QStringLiteral("Disk I/O"),          QStringLiteral("I/O Wait"),       QStringLiteral("Cluster Wait"),
        QStringLiteral("Application Wait"),  QStringLiteral("Concurrent Wait")};
    return h;
}

// The sort radio over each column, by the column's index.
const char *const kSortRadios[] = {"RadioButton9",  "RadioButton10", "RadioButton11", "RadioButton12",
                                   "RadioButton13", "RadioButton14", "RadioButton16", "RadioButton15",
                                   "RadioButton17", "RadioButton18", "RadioButton19"};

// The script: the window's lines go in place of line 31.
QStringList topologyLines(const QStringList &window)
{
    QStringList lines{
        QStringLiteral("select x.sql_id||'::'||x.plan_hash_value, "),
        QStringLiteral("sum(x.executions_delta),"),
        QStringLiteral("sum(x.elapsed_time_delta)/1000000, "),
        QStringLiteral("sum(x.cpu_time_delta)/1000000, "),
        QStringLiteral("sum(x.sorts_delta),"),
        QStringLiteral("sum(x.rows_processed_delta),"),
        QStringLiteral("sum(x.disk_reads_delta),"),
        QStringLiteral("sum(x.IOWAIT_DELTA)/1000000,"),
        QStringLiteral("sum(x.CLWAIT_DELTA)/1000000,"),
        QStringLiteral("sum(x.APWAIT_DELTA)/1000000,"),
        QStringLiteral("sum(x.CCWAIT_DELTA)/1000000"),
        QStringLiteral("from "),
        QStringLiteral("(select snap_id,"),
        QStringLiteral("      sql_id,"),
        QStringLiteral("      plan_hash_value,"),
        QStringLiteral("     executions_delta,"),
        QStringLiteral("     elapsed_time_delta,"),
        QStringLiteral("     cpu_time_delta,"),
        QStringLiteral("      sorts_delta,"),
        QStringLiteral("      rows_processed_delta,"),
        QStringLiteral("      disk_reads_delta,"),
        QStringLiteral("      IOWAIT_DELTA,"),
        QStringLiteral("      CLWAIT_DELTA,"),
        QStringLiteral("      APWAIT_DELTA,"),
        QStringLiteral("      CCWAIT_DELTA "),
        QStringLiteral("     from dba_hist_sqlstat) x, "),
        QStringLiteral("(select snap_id,"),
        QStringLiteral("      max(to_char((trunc(begin_interval_time, 'mi')),'DD/MON/YYYY HH24:MI')) as start_time, "),
        QStringLiteral("      max(to_char((trunc(end_interval_time, 'mi')),'DD/MON/YYYY HH24:MI')) as end_time "),
        QStringLiteral("      from dba_hist_snapshot "),
    };
    lines << window;
    lines << QStringLiteral("      group by snap_id ) s  ") << QStringLiteral("where s.snap_id = x.snap_id  ")
          << QStringLiteral("group by x.sql_id||'::'||x.plan_hash_value ")
          << QStringLiteral("having sum(x.elapsed_time_delta) > 0  ")
          << QStringLiteral("order by x.sql_id||'::'||x.plan_hash_value ");
    return lines;
}

} // namespace

SqlTopologyScreen::SqlTopologyScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("Page_SQL_Topology"), context, parent), ui_(std::make_unique<Ui::SqlTopologyScreenForm>()),
      sqltop_query(std::make_unique<Query>(cnn()))
{
    ui_->setupUi(this);

    // Statistics: the window, the buttons and the box in one group; the sort radios over
    // the grid's header.
    auto *page = new QVBoxLayout(ui_->TabSheet10);
    auto *group = new QGroupBox(ui_->TabSheet10);
    group->setObjectName(QStringLiteral("GroupBox1"));
    auto *controls = new QGridLayout(group);
    window_ = addSnapshotWindow(controls, 0, 0,
                                {QStringLiteral("rbx"), QStringLiteral("dayret2"), QStringLiteral("sqlfromto2"),
                                 QStringLiteral("sqlfromdate2"), QStringLiteral("sqltodate2"),
                                 QStringLiteral("1/MAY/2013 08:00:00"), QStringLiteral("2/MAY/2013 08:15:59")});
    auto button = [&](const char *name, const char *caption, int column) {
        auto *b = new QPushButton(QString::fromLatin1(caption), group);
        b->setObjectName(QLatin1String(name));
        controls->addWidget(b, 0, column);
        return b;
    };
    QPushButton *Button13 = button("Button13", "Retrieve SQL Statistics", 5);
    QPushButton *Button19 = button("Button19", "Clear All", 6);
    QPushButton *exportcsv = button("exportcsv", "Export(CSV)", 7);
    mtn_dyn_sql = new QCheckBox(QStringLiteral("Maintain Dynamic Script"), group);
    mtn_dyn_sql->setObjectName(QStringLiteral("mtn_dyn_sql"));
    controls->addWidget(mtn_dyn_sql, 1, 5, 1, 2);
    controls->setColumnStretch(8, 1);
    page->addWidget(group);

    sortStrip_ = new QWidget(ui_->TabSheet10);
    sortStrip_->setFixedHeight(20);
    page->addWidget(sortStrip_);
    SQL_top_Grid = new GridView(new ResultGrid(11, this), QStringLiteral("SQL_top_Grid"), ui_->TabSheet10);
    SQL_top_Grid->gridModel()->setEditable(true);
    SQL_top_Grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed);
    page->addWidget(SQL_top_Grid, 1);

    auto *sortGroup = new QButtonGroup(this);
    for (int column = 0; column < int(std::size(kSortRadios)); ++column) {
        auto *radio = new QRadioButton(sortStrip_);
        radio->setObjectName(QLatin1String(kSortRadios[column]));
        radio->setToolTip(headers().at(column));
        sortGroup->addButton(radio);
        sortRadios_ << radio;
        connect(radio, &QRadioButton::clicked, this, guarded([this, column] {
                    ResultGrid &grid = *SQL_top_Grid->grid();
                    if (column == 0)
                        SortGridTextAsc(grid, 0, 1);
                    else
                        SortGridNumericDesc(grid, column, 1);
                }));
    }
    sortRadios_.first()->setChecked(true);
    // The radios follow their sections as columns are resized or the grid scrolls.
    QHeaderView *header = SQL_top_Grid->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, [this] { placeSortRadios(); });
    connect(header, &QHeaderView::geometriesChanged, this, [this] { placeSortRadios(); });
    connect(SQL_top_Grid->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { placeSortRadios(); });
    SQL_top_Grid->installEventFilter(this);
    sortStrip_->installEventFilter(this);

    // Script: the memo holds the default settings' script until the first run.
    sql_top_text = addScriptMemo(
        ui_->TabSheet11, QStringLiteral("sql_top_text"), QString(),
        topologyLines(snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and "))),
        MemoAccess::Editable);

    connect(Button13, &QPushButton::clicked, this, guarded([this] { Button13Click(); }));
    connect(Button19, &QPushButton::clicked, this, guarded([this] { Button19Click(); }));
    connect(exportcsv, &QPushButton::clicked, this, guarded([this] { exportcsvClick(); }));
    setCurrentWidget(ui_->TabSheet10);
}

SqlTopologyScreen::~SqlTopologyScreen()
{
    // Closing the window hides the grid after this part of the screen is gone.
    SQL_top_Grid->horizontalHeader()->disconnect(this);
    SQL_top_Grid->horizontalScrollBar()->disconnect(this);
    SQL_top_Grid->removeEventFilter(this);
    sortStrip_->removeEventFilter(this);
}

QList<GridHeaders> SqlTopologyScreen::gridHeaders() const
{
    return {{QStringLiteral("SQL_top_Grid"), headers(), {169, 84, 88, 85, 79, 85, 88, 98, 92, 100, 105}}};
}

bool SqlTopologyScreen::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == SQL_top_Grid || watched == sortStrip_) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        placeSortRadios();
    return Screen::eventFilter(watched, event);
}

void SqlTopologyScreen::placeSortRadios()
{
    // Each radio stands over the right end of its column's header section.
    const QHeaderView *header = SQL_top_Grid->horizontalHeader();
    QWidget *page = ui_->TabSheet10;
    const int origin = sortStrip_->mapFrom(page, SQL_top_Grid->viewport()->mapTo(page, QPoint(0, 0))).x();
    const int visibleRight = origin + SQL_top_Grid->viewport()->width();
    for (int column = 0; column < sortRadios_.size(); ++column) {
        QRadioButton *radio = sortRadios_.at(column);
        const QSize size = radio->sizeHint();
        const int right = origin + header->sectionViewportPosition(column) + header->sectionSize(column);
        const int x = right - size.width() - 2;
        radio->setGeometry(x, (sortStrip_->height() - size.height()) / 2, size.width(), size.height());
        radio->setVisible(!header->isSectionHidden(column) && x >= origin && right <= visibleRight + 2);
    }
}

void SqlTopologyScreen::Button13Click()
{
    const QStringList lines = freshScriptLines(mtn_dyn_sql, [this] {
        return topologyLines(
            snapshotWindowLines(window_, QStringLiteral("        where "), QStringLiteral("          and ")));
    });
    Button19Click();
    buildScript(*sql_top_text, mtn_dyn_sql, lines);
    ResultGrid &grid = *SQL_top_Grid->grid();
    runScriptIntoGrid(*sql_top_text, *sqltop_query, grid, true);
    GridTailTrim(grid);
    setCurrentWidget(ui_->TabSheet10);
}

void SqlTopologyScreen::Button19Click()
{
    ResultGrid &grid = *SQL_top_Grid->grid();
    {
        ResultGrid::Batch batch(grid);
        grid.setRowCount(2);
        grid.clearRow(1);
        grid.setHeaders(headers());
    }
    sortRadios_.first()->setChecked(true);
}

void SqlTopologyScreen::exportcsvClick()
{
    ExportGridToCsv(*SQL_top_Grid->grid(), settings().csvFileName(), settings().csvDelimiter());
}

} // namespace tavimond
