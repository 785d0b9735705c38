#include "db/odbc/odbc_session.h"
#include "db/query.h"
#include "layout_check.h"
#include "shell/tips_browser.h"
#include "shell_support.h"

#include <QComboBox>
#include <QScrollBar>
#include <QTextCursor>

using namespace tavimond;

namespace {

class SettingsScreenTest : public test::LoggedOnWindow {
protected:
    QLineEdit *edit(const char *name) { return &widget<QLineEdit>(name); }
};

} // namespace

TEST_F(SettingsScreenTest, TypingTheConnectionFieldsRebuildsTheStringAndTheCaptionAndLogsOnAfresh)
{
    auto *sidlist = &widget<QComboBox>("sidlist");
    QLineEdit *user = edit("UserN");
    QLineEdit *pass = edit("PassW");
    Query q(window.cnn());
    q.setSql({QStringLiteral("select user from dual")});
    q.open();
    EXPECT_EQ(q.field(0), QStringLiteral("SYSTEM"));
    user->clear();
    QStringList seen;
    QObject::connect(user, &QLineEdit::textChanged, &window, [&] { seen << window.cnn().connectionText(); });
    QTest::keyClicks(user, QStringLiteral("sys"));
    // Once per keystroke, each time from the db.ini prefix.
    EXPECT_EQ(seen, (QStringList{"Provider=Simulated;User ID=s;Password=;Data Source=TAVIDB;",
                                 "Provider=Simulated;User ID=sy;Password=;Data Source=TAVIDB;",
                                 "Provider=Simulated;User ID=sys;Password=;Data Source=TAVIDB;"}));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tavimond(Ver 5.02.15) : TAVIDB"));
    // A change closes the connection; the next query logs on with the new string.
    EXPECT_FALSE(window.cnn().connected());
    EXPECT_FALSE(q.isOpen());
    q.open();
    EXPECT_EQ(q.field(0), QStringLiteral("SYS"));
    EXPECT_EQ(sim::Server::instance().logonCount(), 2);

    QTest::keyClicks(pass, QStringLiteral("ti;ger"));
    EXPECT_EQ(pass->displayText(), QStringLiteral("######"));
    // Shown as typed; handed to an ODBC driver with the ';' kept inside the value.
    EXPECT_EQ(window.cnn().connectionText(),
              QStringLiteral("Provider=Simulated;User ID=sys;Password=ti;ger;Data Source=TAVIDB;"));
    EXPECT_TRUE(odbc::driverConnectString(window.cnn().connectionString()).contains(QStringLiteral("PWD={ti;ger};")));
    // The caption follows the service name only.
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tavimond(Ver 5.02.15) : TAVIDB"));

    sidlist->setCurrentIndex(1);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tavimond(Ver 5.02.15) : TAVIDB2"));
    sidlist->lineEdit()->selectAll();
    QTest::keyClicks(sidlist, QStringLiteral("XE"));
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Tavimond(Ver 5.02.15) : XE"));
    EXPECT_EQ(window.cnn().connectionText(),
              QStringLiteral("Provider=Simulated;User ID=sys;Password=ti;ger;Data Source=XE;"));
    EXPECT_EQ(sink().errors, QStringList());
}

TEST_F(SettingsScreenTest, IntervalEditsSetTheirTimersInSeconds)
{
    QTimer *defaultTimer = timer("Default_timer");
    QTimer *latch = timer("latch_timer");
    QTimer *cbcLatch = timer("CBCLatch_Timer");
    const auto intervals = [&] {
        return QList<int>{defaultTimer->interval(), latch->interval(), cbcLatch->interval()};
    };
    EXPECT_EQ(intervals(), (QList<int>{30000, 120000, 120000}));
    EXPECT_TRUE(defaultTimer->isActive() && latch->isActive() && cbcLatch->isActive());

    edit("default_timer_text")->setText(QStringLiteral("45"));
    edit("latch_timer_text")->setText(QStringLiteral("60"));
    edit("cbclatch_timer_text")->setText(QStringLiteral("2147483"));
    EXPECT_EQ(intervals(), (QList<int>{45000, 60000, 2147483000}));
    EXPECT_EQ(sink().errors, QStringList());

    // The same interval again leaves the count running; the delimiter re-applies it too.
    QTest::qWait(300);
    const int left = defaultTimer->remainingTime();
    EXPECT_LE(left, 44800);
    edit("default_timer_text")->setText(QStringLiteral(" 45"));
    edit("delimchar")->setText(QStringLiteral(";"));
    EXPECT_EQ(defaultTimer->interval(), 45000);
    EXPECT_TRUE(defaultTimer->isActive());
    EXPECT_LE(defaultTimer->remainingTime(), left);

    // Text that is no integer, an empty edit included, is reported and changes nothing.
    for (const char *bad : {"abc", "", "4.5"}) {
        edit("default_timer_text")->setText(QLatin1String(bad));
        EXPECT_EQ(defaultTimer->interval(), 45000) << bad;
    }
    edit("delimchar")->setText(QStringLiteral("|"));
    EXPECT_EQ(sink().errors, (QStringList{"'abc' is not a valid integer value", "'' is not a valid integer value",
                                          "'4.5' is not a valid integer value", "'4.5' is not a valid integer value"}));
    EXPECT_EQ(defaultTimer->interval(), 45000);

    // Negative intervals and ones too long for the timer are refused as well.
    sink().clear();
    edit("latch_timer_text")->setText(QStringLiteral("-5"));
    edit("latch_timer_text")->setText(QStringLiteral("2147484"));
    ASSERT_EQ(sink().errors.size(), 2);
    EXPECT_EQ(sink().errors.at(0),
              QStringLiteral("'-5' is not a valid interval: give a number of seconds from 0 to 2147483"));
    EXPECT_EQ(latch->interval(), 60000);
    EXPECT_TRUE(latch->isActive());

    // 0 stops the ticks; a later interval starts them again.
    edit("latch_timer_text")->setText(QStringLiteral("0"));
    EXPECT_FALSE(latch->isActive());
    edit("latch_timer_text")->setText(QStringLiteral("10"));
    EXPECT_TRUE(latch->isActive());
    EXPECT_EQ(latch->interval(), 10000);
}

// The tips page has no scroll bars: at the smallest window and at the usual sizes, all
// of it shows in its box, the link at its foot too.
TEST_F(SettingsScreenTest, TheWholeTipsPageShowsAtEveryWindowSize)
{
    auto &tips = widget<TipsBrowser>("WebBrowser2");
    const QSize smallest = window.minimumSizeHint().expandedTo(window.minimumSize());
    for (const QSize size : {smallest, QSize(1024, 700), QSize(1142, 717), QSize(1600, 1000)}) {
        window.resize(size);
        test::settle();
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(window.width()).arg(window.height()).toStdString());
        ASSERT_EQ(window.size(), size);
        EXPECT_EQ(tips.verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(tips.horizontalScrollBar()->maximum(), 0);
        // The last text of the page lies inside what the box shows.
        QTextCursor last(tips.document());
        last.movePosition(QTextCursor::End);
        EXPECT_LE(tips.cursorRect(last).bottom(), tips.viewport()->height());
    }
}
