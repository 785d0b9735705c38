#include "db/db_support.h"
#include "db/sim/union_eval.h"

#include <gtest/gtest.h>

using namespace tavimond;
using namespace tavimond::sim;
using test::errorOf;

namespace {

std::optional<Table> views(const QString &view, const Statement &)
{
    if (view == QLatin1String("fruit")) {
        Table t({"NAME", "KIND"});
        for (const char *r : {"pear|tree", "apple|tree", "melon|vine", "apple|tree"})
            t.addRow(QString::fromLatin1(r).split(QLatin1Char('|')));
        return t;
    }
    if (view == QLatin1String("veg")) {
        Table t({"NAME", "KIND"});
        for (const char *r : {"leek|root", "apple|tree"})
            t.addRow(QString::fromLatin1(r).split(QLatin1Char('|')));
        return t;
    }
    return std::nullopt;
}

QStringList rows(const char *sql)
{
    const auto r = evaluateUnion(Statement(QString::fromUtf8(sql)), views);
    if (!r)
        return {"<not answered>"};
    return QStringList{(*r)->columns.join(QLatin1Char('|'))} + test::rowsOf(*r);
}

} // namespace

TEST(UnionOfSimpleSelects, DropsOrKeepsDuplicatesAndOrdersTheWhole)
{
    // "union" leaves each row once; the columns are named after the first branch.
    EXPECT_EQ(
        rows("select 'F' src, name from fruit union select 'V', name from veg where kind like 'r%' order by 2 desc"),
        (QStringList{"SRC|NAME", "F|pear", "F|melon", "V|leek", "F|apple"}));
    // "union all" keeps them, in branch order without an order by.
    EXPECT_EQ(rows("select name from fruit where kind = 'tree' union all select name from veg"),
              (QStringList{"NAME", "pear", "apple", "apple", "leek", "apple"}));
    // A parenthesised condition is not split, an empty pattern matches nothing, and the
    // order by may name a heading.
    EXPECT_EQ(rows("select name, kind from fruit where (kind = 'vine' or name like '') union select name, kind from "
                   "veg order by kind, name"),
              (QStringList{"NAME|KIND", "leek|root", "apple|tree", "melon|vine"}));
    // Not a union, or a view nobody knows: not answered here.
    EXPECT_EQ(rows("select name from fruit"), QStringList{"<not answered>"});
    EXPECT_EQ(rows("select name from fruit union select name from stone"), QStringList{"<not answered>"});
    EXPECT_EQ(errorOf([&] { rows("select name from fruit union select name, kind from veg"); }),
              "ORA-01789: query block has incorrect number of result columns");
}
