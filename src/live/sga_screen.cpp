#include "sga_screen.h"

#include "ui_live_sga_screen.h"

#include "core/conversions.h"
#include "core/float_arithmetic.h"
#include "core/grid_routines.h"
#include "core/result_grid.h"
#include "db/query.h"
#include "ui/handler.h"
#include "ui/keyboard_reach.h"
#include "ui/script_memo.h"

#include <QFontDatabase>
#include <QTime>

namespace tavimond {
namespace {

// Runs a script as its memo holds it into a grid emptied first, and drops the empty
// rows at the end, the header row excepted.
void loadScript(const QPlainTextEdit &memo, Query &query, ResultGrid &grid)
{
    query.setSql(memoLines(memo));
    OpenQuery(query);
    LoadQueryIntoGrid(query, grid, QString(), nullptr, nullptr, true, QStringLiteral("Dump"), QStringLiteral("Single"),
                      false, QStringLiteral("--null--"), QStringLiteral("LeftAxis"),
                      QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), 100);
    dropEmptyTailRows(grid);
}

QString ratioText(double value)
{
    return formatFloat(roundHalfEven(value, 2));
}

} // namespace

SgaScreen::SgaScreen(ScreenContext context, QWidget *parent)
    : Screen(QStringLiteral("sgapage"), context, parent), ui_(std::make_unique<Ui::SgaScreenForm>()),
      DDictRatioQuery(std::make_unique<Query>(cnn())), LCacheRatioQuery(std::make_unique<Query>(cnn())),
      BCacheRatioQuery(std::make_unique<Query>(cnn()))
{
    ui_->setupUi(this);
    for (QPlainTextEdit *memo : {ui_->DDictmem, ui_->LCachemem, ui_->BCachemem}) {
        memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        leaveOnCtrlTab(*memo);
    }
    connect(ui_->sgahitbut, &QPushButton::clicked, this, guarded([this] { sgahitbutClick(); }));
}

SgaScreen::~SgaScreen() = default;

QList<GridHeaders> SgaScreen::gridHeaders() const
{
    // -1 keeps a column's default width.
    return {
        {QStringLiteral("BCacheGrid"), {QStringLiteral("Parameter"), QStringLiteral("Count")}, {280, 100}},
        {QStringLiteral("LCacheGrid"),
         {QStringLiteral("Namespace"), QStringLiteral("Gets"), QStringLiteral("Gets Hit Ratio"), QStringLiteral("Pins"),
          QStringLiteral("Pins Hit Ratio"), QStringLiteral("Reloads"), QStringLiteral("Invalidations")},
         {320, -1, 100, -1, 100}},
        {QStringLiteral("DDictGrid"),
         {QStringLiteral("Parameter"), QStringLiteral("Misses"), QStringLiteral("Gets"), QStringLiteral("Hit Ratio")},
         {280}},
    };
}

void SgaScreen::sgahitbutClick()
{
    // Dictionary cache: misses in column 1, gets in column 2, the row's ratio into column 3.
    ResultGrid &dict = *ui_->DDictGrid->grid();
    loadScript(*ui_->DDictmem, *DDictRatioQuery, dict);
    double misses = 0;
    double gets = 0;
    {
        ResultGrid::Batch batch(dict);
        for (int r = 1; r < dict.rowCount(); ++r) {
            const double rowMisses = strictToFloat(dict.cell(1, r));
            const double rowGets = strictToFloat(dict.cell(2, r));
            misses += rowMisses;
            gets += rowGets;
            // A parameter never asked for has no ratio; one never missed has 100.
            dict.setCell(3, r, rowGets == 0 ? QStringLiteral("0") : formatFloat((1 - rowMisses / rowGets) * 100));
        }
    }
    ui_->DDHRLabel->setText(QStringLiteral("Data Dictionary Hit Ratio:(") +
                            ratioText((1 - divideFloat(misses, gets)) * 100) + QLatin1Char(')'));

    // Library cache: the plain mean of the namespaces' get and pin hit ratios (columns 2 and 4).
    ResultGrid &library = *ui_->LCacheGrid->grid();
    loadScript(*ui_->LCachemem, *LCacheRatioQuery, library);
    double getRatios = 0;
    double pinRatios = 0;
    for (int r = 1; r < library.rowCount(); ++r) {
        getRatios += strictToFloat(library.cell(2, r));
        pinRatios += strictToFloat(library.cell(4, r));
    }
    const double namespaces = library.rowCount() - 1;
    const QString getMean = ratioText(divideFloat(getRatios, namespaces));
    const QString pinMean = ratioText(divideFloat(pinRatios, namespaces));
    ui_->LCHRLabel->setText(QStringLiteral("Library Cache Hit Ratio (Get:") + getMean + QStringLiteral(" Pin:") +
                            pinMean + QLatin1Char(')'));

    // Buffer cache: statistics by name in column 0, values in column 1; a missing one counts as 0.
    ResultGrid &buffers = *ui_->BCacheGrid->grid();
    loadScript(*ui_->BCachemem, *BCacheRatioQuery, buffers);
    double blockGets = 0;
    double consistentGets = 0;
    double physicalReads = 0;
    for (int r = 1; r < buffers.rowCount(); ++r) {
        const QString &name = buffers.cell(0, r);
        if (name == QLatin1String("db block gets"))
            blockGets = strictToFloat(buffers.cell(1, r));
        else if (name == QLatin1String("consistent gets"))
            consistentGets = strictToFloat(buffers.cell(1, r));
        else if (name == QLatin1String("physical reads"))
            physicalReads = strictToFloat(buffers.cell(1, r));
    }
    const double logicalReads = blockGets + consistentGets;
    ui_->BCHRLabel->setText(QStringLiteral("Buffer Cache Hit Ratio:(") +
                            ratioText(divideFloat(logicalReads - physicalReads, logicalReads) * 100) +
                            QLatin1Char(')'));
}

} // namespace tavimond
