#include "db/sim/statement.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace tavimond::sim;

TEST(Statement, ReadsSqlTheWayOraclesTokenizerDoes)
{
    const Statement s(QStringLiteral("select /*+ hint */ event, Total_Waits -- comment\n"
                                     "  from   gV$SESSION_event\n"
                                     "where sid = 12and inst_id=1 and name = 'It''s Name'"));
    EXPECT_EQ(s.normal(),
              QStringLiteral("select event , total_waits from gv$session_event where sid = 12 and inst_id = 1 "
                             "and name = 'It''s Name'"));
    EXPECT_TRUE(s.has("FROM gv$session_event"));
    EXPECT_TRUE(s.has("inst_id =1"));
    EXPECT_FALSE(s.has("from gv$session")); // whole tokens only
    EXPECT_EQ(s.integerAfter("sid ="), 12);
    EXPECT_EQ(s.integerAfter("inst_id ="), 1);
    EXPECT_EQ(s.stringAfter("name ="), "It's Name");
    EXPECT_FALSE(s.integerAfter("name =").has_value());
    EXPECT_FALSE(s.integerAfter("serial# =").has_value());

    const auto t = Statement::tokenize("a||'-'||b >= -1.5e+3 and \"Mixed Name\".x <> .5");
    QStringList texts;
    for (const Token &k : t)
        texts << k.text;
    EXPECT_EQ(texts.join(QLatin1Char(' ')), "a || '-' || b >= - 1.5e+3 and \"Mixed Name\" . x <> .5");
    EXPECT_EQ(t[9].kind, Token::QuotedName);
    EXPECT_EQ(quoted("O'BRIEN"), "'O''BRIEN'");
    const Statement negative("where x = -42");
    EXPECT_EQ(negative.integerAfter("x ="), -42);
}
