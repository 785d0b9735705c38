// The user's manual names a grid's columns in parentheses, "(Child#, Total, Delta, Min,
// Max, Threshhold)", so that the reader finds them on the screen: each such list must
// hold the headers a grid of the started window shows, spelt as it shows them.
#include "common/test_data.h"
#include "shell_support.h"

#include <QRegularExpression>

using namespace tavimond;

namespace {

QString manualText()
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return test::sourceFile(QStringLiteral("doc/manual.md")).replace(blanks, QStringLiteral(" "));
}

// The items of every parenthesised list of the text: split at the commas outside inner
// parentheses, up to a ";" after which a remark may follow; quotes and backticks dropped.
QList<QStringList> parenthesisedLists(const QString &text)
{
    QList<QStringList> lists;
    for (qsizetype open = text.indexOf(QLatin1Char('(')); open >= 0;
         open = text.indexOf(QLatin1Char('('), open + 1)) {
        QStringList items{QString()};
        int depth = 0;
        bool remark = false;
        for (qsizetype i = open + 1; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == QLatin1Char(')') && depth-- == 0)
                break;
            if (c == QLatin1Char('('))
                ++depth;
            if (remark)
                continue;
            if (depth == 0 && c == QLatin1Char(';'))
                remark = true;
            else if (depth == 0 && c == QLatin1Char(','))
                items << QString();
            else if (c != QLatin1Char('"') && c != QLatin1Char('`'))
                items.last() += c;
        }
        for (QString &item : items)
            item = item.trimmed();
        lists << items;
    }
    return lists;
}

} // namespace

using ManualColumns = test::LoggedOnWindow;

TEST_F(ManualColumns, EveryColumnListOfTheManualHoldsTheHeadersOfAGridAsTheScreenShowsThem)
{
    QList<QStringList> headers;
    for (const GridView *view : window.findChildren<GridView *>())
        headers << view->grid()->row(0);

    int checked = 0;
    for (const QStringList &list : parenthesisedLists(manualText())) {
        if (list.size() < 3)
            continue;
        // A list speaks of a grid when a grid shows its first item and one more of them.
        const auto about = [&](const QStringList &shown) {
            return shown.contains(list.first()) &&
                   std::any_of(list.begin() + 1, list.end(), [&](const QString &i) { return shown.contains(i); });
        };
        if (std::none_of(headers.begin(), headers.end(), about))
            continue;
        ++checked;
        const bool named = std::any_of(headers.begin(), headers.end(), [&](const QStringList &shown) {
            return std::all_of(list.begin(), list.end(), [&](const QString &i) { return shown.contains(i); });
        });
        EXPECT_TRUE(named) << "(" << list.join(QStringLiteral(", ")).toStdString()
                           << ") names a column that no grid shows";
    }
    // The manual lists the columns of the tallies, the breaches, the baseline list, the
    // raw data and more: a parse that finds few of them has lost its way.
    EXPECT_GE(checked, 12);
}
