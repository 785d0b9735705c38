#include "ui/detail_controls.h"
#include "ui/script_memo.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <cmath>

using namespace tavimond;

namespace {

// Relative luminance and contrast ratio as the web's accessibility guidelines define
// them: 3 to 1 tells a control's state apart, 4.5 to 1 makes text readable.
double luminance(QColor c)
{
    const auto linear = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrast(QColor a, QColor b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour most pixels of the area have.
QColor commonest(const QImage &image, const QRect &area)
{
    QHash<QRgb, int> counts;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most)
            best = it.key(), most = it.value();
    return QColor::fromRgb(best);
}

// The pixel of the area that stands out most from `fill`: the core of its text.
QColor strongest(const QImage &image, const QRect &area, QColor fill)
{
    QColor best = fill;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (contrast(QColor::fromRgb(image.pixel(x, y)), fill) > contrast(best, fill))
                best = QColor::fromRgb(image.pixel(x, y));
    return best;
}

// A control as drawn: its background, its selection and the selected text.
struct Drawn {
    QColor background, selection, text;
};

Drawn drawn(QAbstractScrollArea &control, const QRect &selected)
{
    const QImage image = control.viewport()->grab().toImage();
    Drawn d;
    d.background = commonest(image, image.rect());
    d.selection = commonest(image, selected);
    d.text = strongest(image, selected, d.selection);
    return d;
}

QRect selectFirstLine(QPlainTextEdit &memo)
{
    QTextCursor cursor(memo.document()->firstBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    memo.setTextCursor(cursor);
    const QRect end = memo.cursorRect(cursor);
    cursor.setPosition(0);
    const QRect start = memo.cursorRect(cursor);
    return QRect(start.topLeft(), end.bottomLeft()).adjusted(1, 0, -1, 0);
}

} // namespace

TEST(DetailControls, TheSelectionStandsOutOfTheSkyBlueWithOrWithoutFocusInAnActiveOrInactiveWindow)
{
    QWidget window;
    auto *row = new QHBoxLayout(&window);
    auto *elsewhere = new QLineEdit(&window); // holds the focus
    auto *tree = new QTreeWidget(&window);
    tree->setHeaderHidden(true);
    auto *list = new QListWidget(&window);
    auto *memo = new QPlainTextEdit(&window);
    auto *scripts = new QWidget(&window);
    QPlainTextEdit *script = addScriptMemo(
        scripts, QStringLiteral("script"), QStringLiteral("Script"),
        {QStringLiteral("select owner, table_name"), QStringLiteral("from dba_tables")}, MemoAccess::ReadOnlySkyBlue);
    for (QWidget *w : std::initializer_list<QWidget *>{elsewhere, tree, list, memo, scripts})
        row->addWidget(w);
    for (QWidget *w : std::initializer_list<QWidget *>{tree, list, memo})
        showAsDetail(*w);
    for (const char *name : {"APP_DATA", "APP_INDEX", "SYSAUX", "SYSTEM", "TEMP", "USERS"}) {
        new QTreeWidgetItem(tree, {QLatin1String(name)});
        list->addItem(QLatin1String(name));
    }
    memo->setPlainText(QStringLiteral("CREATE TABLE SALES.ORDERS\n(ORDER_ID NUMBER)"));
    tree->setCurrentItem(tree->topLevelItem(2));
    list->setCurrentRow(2);
    window.resize(1000, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QRect memoLine = selectFirstLine(*memo), scriptLine = selectFirstLine(*script);
    elsewhere->setFocus();

    QWidget other;
    other.resize(100, 100);
    for (bool active : {true, false}) {
        SCOPED_TRACE(active ? "active window" : "inactive window");
        QWidget &front = active ? window : other;
        front.show();
        QApplication::setActiveWindow(&front);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&front));
        ASSERT_EQ(window.isActiveWindow(), active);
        const std::pair<const char *, Drawn> controls[] = {
            {"tree", drawn(*tree, tree->visualItemRect(tree->topLevelItem(2)))},
            {"list", drawn(*list, list->visualItemRect(list->item(2)))},
            {"memo", drawn(*memo, memoLine)},
            {"script memo", drawn(*script, scriptLine)},
        };
        for (const auto &[name, d] : controls) {
            SCOPED_TRACE(name);
            EXPECT_EQ(d.background, clSkyBlue());
            EXPECT_GE(contrast(d.selection, d.background), 3.0) << d.selection.name().toStdString();
            EXPECT_GE(contrast(d.text, d.selection), 4.5) << d.text.name().toStdString();
        }
    }
}
