#include "shell/main_window.h"
#include "shell/start_up_tables.h"

#include "common/recording_sink.h"
#include "core/chart.h"
#include "core/result_grid.h"
#include "db/sim/server.h"
#include "shell/tips_browser.h"
#include "shell_support.h"
#include "ui/grid_view.h"
#include "ui/screen.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace tavimond;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::Server::instance().reset();
        sink().clear();
    }
    static test::RecordingSink &sink() { return test::RecordingSink::current(); }

    template <typename T>
    static T *child(const QObject &parent, const char *name)
    {
        T *found = parent.findChild<T *>(QLatin1String(name));
        EXPECT_TRUE(found) << name;
        return found;
    }
};

// Points HOME elsewhere while it lives.
class HomeFolder {
public:
    explicit HomeFolder(const QString &path) : wasSet_(qEnvironmentVariableIsSet("HOME")), previous_(qgetenv("HOME"))
    {
        qputenv("HOME", path.toUtf8());
    }
    ~HomeFolder()
    {
        if (wasSet_)
            qputenv("HOME", previous_);
        else
            qunsetenv("HOME");
    }

private:
    bool wasSet_;
    QByteArray previous_;
};

const QString kSettings = QStringLiteral("Page_Conf_Set");

} // namespace

TEST_F(MainWindowTest, StartUpShowsTheSettingsScreenWithTheListFilledAndSendsNothing)
{
    test::TempCurrentFolder folder;
    test::writeSimulatedConfig(folder);
    TForm1 w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tavimond(Ver 5.02.15) :"));
    QStringList names;
    for (Screen *s : w.screens())
        names << s->objectName();
    EXPECT_EQ(names,
              (QStringList{"about_page", "df_page", "obj_segstat_page", "bufcache_page", "latch_page", "Page_SQL_Hist",
                           "obj_brws_page", "secpage", "storagepage", "sgapage", "Page_SQL_Topology", "systoppage",
                           "page_sql_rt", "advpage", "Page_SQL_Hist_ASH", "inst_waits_page", "Page_Conf_Set"}));
    QStringList startVisible = names;
    for (const char *hidden : {"Page_SQL_Hist", "page_sql_rt", "advpage", "Page_Conf_Set"})
        startVisible.removeOne(QLatin1String(hidden));
    EXPECT_EQ(w.visibleScreens(), startVisible);

    test::startUp(w);
    EXPECT_EQ(sink().errors, QStringList());
    EXPECT_EQ(w.centralWidget()->size(), QSize(1142, 698));
    EXPECT_EQ(w.frontScreen()->objectName(), kSettings);
    EXPECT_EQ(w.visibleScreens(), startVisible << kSettings);
    auto *sidlist = child<QComboBox>(w, "sidlist");
    EXPECT_EQ(w.focusWidget(), sidlist);
    ASSERT_EQ(sidlist->count(), 2);
    EXPECT_EQ(sidlist->itemText(1), QStringLiteral("TAVIDB2"));
    EXPECT_EQ(sidlist->currentText(), QStringLiteral("TAVIDB"));
    EXPECT_EQ(child<QLineEdit>(w, "metaloc")->text(), folder.filePath(QStringLiteral("meta")));
    // Selecting the first service is no change of the connection settings.
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tavimond(Ver 5.02.15) :"));
    EXPECT_EQ(w.cnn().connectionText(), QStringLiteral("Provider=Simulated;"));
    EXPECT_FALSE(w.cnn().connected());
    EXPECT_EQ(sim::Server::instance().statements(), QStringList());
    EXPECT_EQ(sim::Server::instance().logonCount(), 0);

    EXPECT_EQ(child<ResultGrid>(w, "longopsgrid")->headers(),
              (QStringList{"Inst ID", "Start", "SID", "Message", "Secs Left"}));
    EXPECT_FALSE(child<GridView>(w, "longopsgrid")->isVisibleTo(&w));
    EXPECT_EQ(child<TipsBrowser>(w, "WebBrowser2")->source(), QUrl(QStringLiteral("qrc:/tips/index.html")));

    // Shown again (restored from the task bar, say), the window does not start up again.
    w.hide();
    test::startUp(w);
    EXPECT_EQ(sidlist->count(), 2);
    EXPECT_EQ(sink().errors, QStringList());
}

TEST_F(MainWindowTest, WithNeitherFileTheWindowOpensAfterTwoMessages)
{
    test::TempCurrentFolder folder;
    const HomeFolder home(folder.path());
    TForm1 w;
    test::startUp(w);
    EXPECT_EQ(sink().errors,
              (QStringList{"Cannot locate \"db.ini\" file", "Cannot locate \"sidlist.txt\" file\nLooked for: " +
                                                                folder.path() + "/tavimond/sidlist.txt"}));
    EXPECT_EQ(w.frontScreen()->objectName(), kSettings);
    EXPECT_EQ(child<QComboBox>(w, "sidlist")->count(), 0);
    EXPECT_EQ(child<QLineEdit>(w, "metaloc")->text(), folder.path() + QStringLiteral("/tavimond"));
    EXPECT_EQ(w.cnn().connectionText(), QString());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Tavimond(Ver 5.02.15) :"));
}

TEST_F(MainWindowTest, StartUpGoesOnPastAMissingFileWithWhatItRead)
{
    test::TempCurrentFolder folder;
    const HomeFolder home(folder.path());
    {
        // No METADATA line: sidlist.txt is looked for in the default folder. Windows line ends.
        QDir(folder.path()).mkdir(QStringLiteral("tavimond"));
        folder.write(QStringLiteral("db.ini"), "ZADERIRODU=P\r\n[P]\r\nProvider=Simulated;\r\n[P_END]\r\n");
        folder.write(QStringLiteral("tavimond/sidlist.txt"), "TAVIDB2\r\nTAVIDB\r\n");
        TForm1 w;
        test::startUp(w);
        EXPECT_EQ(sink().errors, QStringList());
        auto *sidlist = child<QComboBox>(w, "sidlist");
        ASSERT_EQ(sidlist->count(), 2);
        EXPECT_EQ(sidlist->currentText(), QStringLiteral("TAVIDB2"));
        EXPECT_EQ(w.cnn().connectionText(), QStringLiteral("Provider=Simulated;"));
    }
    {
        // The folder named by db.ini holds no sidlist.txt: the prefix stays, the list stays empty.
        folder.write(QStringLiteral("db.ini"), "ZADERIRODU=P\nMETADATA=" + folder.filePath("nowhere").toUtf8() +
                                                   "\n[P]\nProvider=Simulated;\n[P_END]\n");
        TForm1 w;
        test::startUp(w);
        EXPECT_EQ(sink().errors, QStringList{"Cannot locate \"sidlist.txt\" file\nLooked for: " +
                                             folder.filePath("nowhere/sidlist.txt")});
        EXPECT_EQ(child<QComboBox>(w, "sidlist")->currentIndex(), -1);
        EXPECT_EQ(w.cnn().connectionText(), QStringLiteral("Provider=Simulated;"));
    }
}

TEST_F(MainWindowTest, EachMenuItemBringsItsScreenToTheFront)
{
    struct Item {
        const char *menu, *caption, *component, *screen;
    };
    const Item items[] = {
        {"SQL", "Historical Performance(SQLStat)", "hISTORY1", "Page_SQL_Hist"},
        {"SQL", "Real Time Performance", "RealTimePerformance1", "page_sql_rt"},
        {"SQL", "SQL Topology", "Load1", "Page_SQL_Topology"},
        {"SQL", "System Topology", "S1", "systoppage"},
        {"Instance", "Wait Events", "WaitEvents1", "inst_waits_page"},
        {"Instance", "Latching", "Latching1", "latch_page"},
        {"Instance", "Buffer Cache Content", "BufferCache1", "bufcache_page"},
        {"Instance", "SGA Hit Ratios", "BufferHitRatio1", "sgapage"},
        {"Instance", "Advisors", "Advir1", "advpage"},
        {"Browsers", "Object", "Object2", "obj_brws_page"},
        {"Browsers", "Security", "Security1", "secpage"},
        {"Browsers", "Storage", "Storage2", "storagepage"},
        {"Object", "Statistics", "Statistics1", "obj_segstat_page"},
        {"Storage", "Datafile Statistics", "DatafileStatistics1", "df_page"},
        {"Configuration", "Settings", "Options1", "Page_Conf_Set"},
        {"Help", "About", "About2", "about_page"},
    };
    test::TempCurrentFolder folder;
    test::writeSimulatedConfig(folder);
    TForm1 w;
    test::startUp(w);
    auto *bar = child<QMenuBar>(w, "MainMenu1");
    QStringList menus;
    for (QAction *a : bar->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"SQL", "Instance", "Browsers", "Object", "Storage", "Configuration", "Help"}));

    for (const Item &item : items) {
        auto *action = child<QAction>(w, item.component);
        ASSERT_TRUE(action);
        EXPECT_EQ(action->text(), QLatin1String(item.caption));
        ASSERT_TRUE(action->parent()->inherits("QMenu"));
        EXPECT_EQ(static_cast<QMenu *>(action->parent())->title(), QLatin1String(item.menu));
        action->trigger();
        EXPECT_EQ(w.frontScreen()->objectName(), QLatin1String(item.screen)) << item.component;
        EXPECT_TRUE(w.visibleScreens().contains(QLatin1String(item.screen)));
        // A built screen: results to show, not empty tabs.
        const Screen *screen = w.frontScreen();
        if (screen != child<Screen>(w, "Page_Conf_Set") && screen != child<Screen>(w, "about_page")) {
            EXPECT_FALSE(screen->findChildren<GridView *>().isEmpty() && screen->findChildren<QTreeWidget *>().isEmpty())
                << item.screen;
        }
    }
    // Every screen but one is visible now; no item leads to that one.
    EXPECT_EQ(w.visibleScreens().size(), 17);
    test::UrlCatcher desktop({QStringLiteral("file")});
    for (QAction *a : w.findChildren<QAction *>()) {
        a->trigger();
        EXPECT_NE(w.frontScreen()->objectName(), QStringLiteral("Page_SQL_Hist_ASH"));
    }
    EXPECT_EQ(sim::Server::instance().statements(), QStringList());
}

TEST_F(MainWindowTest, ChoosingAScreenAgainShowsItAsItWasLeft)
{
    test::TempCurrentFolder folder;
    test::writeSimulatedConfig(folder);
    TForm1 w;
    test::startUp(w);
    child<QLineEdit>(w, "UserN")->setText(QStringLiteral("scott"));
    child<QAction>(w, "Advir1")->trigger();
    auto *advisors = child<Screen>(w, "advpage");
    advisors->setCurrentIndex(2);
    child<QAction>(w, "Advir1")->trigger();
    EXPECT_EQ(w.frontScreen(), advisors);
    EXPECT_EQ(advisors->currentIndex(), 2);
    child<QAction>(w, "WaitEvents1")->trigger();
    child<QAction>(w, "Options1")->trigger();
    EXPECT_EQ(w.frontScreen()->objectName(), kSettings);
    EXPECT_EQ(child<QLineEdit>(w, "UserN")->text(), QStringLiteral("scott"));
    EXPECT_EQ(child<QComboBox>(w, "sidlist")->currentText(), QStringLiteral("TAVIDB"));
    child<QAction>(w, "Advir1")->trigger();
    EXPECT_EQ(advisors->currentIndex(), 2);
}

TEST_F(MainWindowTest, HelpOpensTheManualOfTheCurrentFolderAtTheClick)
{
    test::TempCurrentFolder folder;
    test::writeSimulatedConfig(folder);
    TForm1 w;
    test::startUp(w);
    test::UrlCatcher desktop({QStringLiteral("file")});
    child<QAction>(w, "HelpManual1")->trigger();
    {
        test::TempCurrentFolder elsewhere;
        child<QAction>(w, "HelpManual1")->trigger();
        ASSERT_EQ(desktop.urls.size(), 2);
        EXPECT_EQ(desktop.urls.at(1), QUrl::fromLocalFile(elsewhere.filePath(QStringLiteral("Tavimond_Help.pdf"))));
    }
    EXPECT_EQ(desktop.urls.at(0), QUrl::fromLocalFile(folder.filePath(QStringLiteral("Tavimond_Help.pdf"))));
    // The manual need not exist, and nothing is reported when it does not.
    EXPECT_EQ(sink().errors, QStringList());
    EXPECT_EQ(w.frontScreen()->objectName(), kSettings);
}

TEST_F(MainWindowTest, ATipsLinkOpensOnTheDesktopAndThePageStays)
{
    test::TempCurrentFolder folder;
    test::writeSimulatedConfig(folder);
    TForm1 w;
    test::startUp(w);
    auto *tips = child<TipsBrowser>(w, "WebBrowser2");
    ASSERT_TRUE(tips);
    EXPECT_EQ(tips->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(tips->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(tips->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    const QString page = tips->toPlainText();
    EXPECT_TRUE(page.contains(QStringLiteral("Getting connected")));

    const auto clickOn = [tips](const QString &text) {
        const QTextCursor found = tips->document()->find(text);
        ASSERT_FALSE(found.isNull()) << qPrintable(text);
        QTextCursor middle(tips->document());
        middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
        QTest::mouseClick(tips->viewport(), Qt::LeftButton, {}, tips->cursorRect(middle).center());
    };
    test::UrlCatcher desktop({QStringLiteral("https"), QStringLiteral("about")});
    clickOn(QStringLiteral("Oracle Database documentation"));
    EXPECT_EQ(desktop.urls, QList<QUrl>{QUrl(QStringLiteral("https://docs.oracle.com/en/database/"))});
    EXPECT_EQ(tips->source(), QUrl(QStringLiteral("qrc:/tips/index.html")));
    EXPECT_EQ(tips->toPlainText(), page);

    // "about:blank" is followed inside the browser.
    tips->setHtml(QStringLiteral("<p><a href=\"about:blank\">blank page</a></p>"));
    clickOn(QStringLiteral("blank page"));
    EXPECT_EQ(desktop.urls.size(), 1);
    EXPECT_EQ(tips->toPlainText(), QString());
}

TEST_F(MainWindowTest, StartUpWritesTheScreensTablesIntoTheGridsAndChartsThatExist)
{
    test::TempCurrentFolder folder;
    test::writeSimulatedConfig(folder);
    TForm1 w;
    auto *chart = child<Screen>(w, "systoppage")->findChild<Chart *>(QStringLiteral("iopswt_graph"));
    ASSERT_TRUE(chart);
    // Stand-ins for what the screens' own issues will add.
    auto *view = child<GridView>(*child<Screen>(w, "sgapage"), "LCacheGrid");
    ResultGrid *lcache = view->grid();
    const int defaultWidth = view->columnWidth(1);
    // The object browser's table details, in front of the other kinds' pages.
    auto *tabpage = child<QWidget>(*child<Screen>(w, "obj_brws_page"), "tabpage");
    QWidget *details = tabpage->parentWidget();

    test::startUp(w);
    EXPECT_EQ(chart->hint(), QStringLiteral("Number of write requests which wrote one or more database\r\n"
                                            "blocks from all instance activity including application\r\n"
                                            "activity, backup and recovery, and other utilities. The\r\n"
                                            "difference between this stat and \"physical write total multi\r\n"
                                            "block requests\" gives the number of single block write requests."));
    EXPECT_EQ(view->columnWidth(0), 320);
    EXPECT_EQ(view->columnWidth(1), defaultWidth);
    EXPECT_EQ(view->columnWidth(2), 100);
    EXPECT_EQ(view->columnWidth(4), 100);
    EXPECT_EQ(lcache->headers(),
              (QStringList{QStringLiteral("Namespace"), QStringLiteral("Gets"), QStringLiteral("Gets Hit Ratio"),
                           QStringLiteral("Pins"), QStringLiteral("Pins Hit Ratio"), QStringLiteral("Reloads"),
                           QStringLiteral("Invalidations")}));
    EXPECT_EQ(details->children().last(), tabpage);
    EXPECT_TRUE(tabpage->isVisibleTo(details));
}

TEST_F(MainWindowTest, ADbIniWhoseSectionIsNotThereIsToldAtStartUpAndOtherLineEndsReadAlike)
{
    test::TempCurrentFolder folder;
    const HomeFolder home(folder.path());
    QDir(folder.path()).mkdir(QStringLiteral("meta"));
    folder.write(QStringLiteral("meta/sidlist.txt"), "TAVIDB\rTAVIDB2\r");
    const QByteArray meta = folder.filePath(QStringLiteral("meta")).toUtf8();
    const auto start = [&](const QByteArray &ini) {
        folder.write(QStringLiteral("db.ini"), ini);
        sink().clear();
        TForm1 w;
        test::startUp(w);
        return std::make_pair(w.cnn().connectionText(), child<QComboBox>(w, "sidlist")->count());
    };
    // A blank after the name: the section "[SIM ]" is not in the file.
    EXPECT_EQ(start("ZADERIRODU=SIM \nMETADATA=" + meta + "\n[SIM]\nProvider=Simulated;\n[SIM_END]\n"),
              std::make_pair(QString(), 2));
    EXPECT_EQ(sink().errors, QStringList{"The file \"db.ini\" names the section \"SIM \" but has no line "
                                         "\"[SIM ]\": the connection string has no prefix."});
    EXPECT_EQ(start("METADATA=" + meta + "\n[SIM]\nProvider=Simulated;\n[SIM_END]\n").first, QString());
    EXPECT_EQ(sink().errors, QStringList{"The file \"db.ini\" names no section: it has no line holding "
                                         "\"ZADERIRODU\", so the connection string has no prefix."});

    // Lines ended by CR alone (and the sidlist.txt above), and UTF-16 with its mark, read as any other.
    const QString text =
        "ZADERIRODU=SIM\rMETADATA=" + QString::fromUtf8(meta) + "\r[SIM]\rProvider=Simulated;\r[SIM_END]\r";
    EXPECT_EQ(start(text.toUtf8()), std::make_pair(QStringLiteral("Provider=Simulated;"), 2));
    EXPECT_TRUE(sink().errors.isEmpty()) << sink().errors.join('\n');
    QByteArray utf16("\xFF\xFE", 2);
    const QString crlf = QString(text).replace(QLatin1Char('\r'), QStringLiteral("\r\n"));
    utf16.append(reinterpret_cast<const char *>(crlf.utf16()), crlf.size() * 2);
    EXPECT_EQ(start(utf16), std::make_pair(QStringLiteral("Provider=Simulated;"), 2));
    EXPECT_TRUE(sink().errors.isEmpty()) << sink().errors.join('\n');
}

TEST_F(MainWindowTest, EveryGridAndChartTheStartUpTablesNameExists)
{
    test::TempCurrentFolder folder;
    test::writeSimulatedConfig(folder);
    TForm1 w;
    test::startUp(w);
    auto gridNamed = [&](const QString &name) -> ResultGrid * {
        if (auto *view = w.findChild<GridView *>(name))
            return view->grid();
        return w.findChild<ResultGrid *>(name);
    };
    QStringList missing;
    for (const QString &name : headerOrder())
        if (!gridNamed(name))
            missing << name;
    int hints = 0;
    for (Screen *s : w.findChildren<Screen *>()) {
        for (const GridHeaders &g : s->gridHeaders()) {
            ResultGrid *grid = gridNamed(g.grid);
            if (!grid) {
                missing << g.grid;
                continue;
            }
            EXPECT_TRUE(headerOrder().contains(g.grid)) << g.grid.toStdString() << " is not in the start-up order";
            // Start-up wrote the headers the screen gives.
            if (!g.headers.isEmpty()) {
                EXPECT_EQ(grid->headers().mid(0, g.headers.size()), g.headers) << g.grid.toStdString();
            }
        }
        for (const ChartHint &h : s->chartHints()) {
            auto *chart = w.findChild<Chart *>(h.chart);
            if (!chart) {
                missing << h.chart;
                continue;
            }
            ++hints;
            EXPECT_EQ(chart->hint(), h.hint);
        }
    }
    EXPECT_EQ(missing, QStringList());
    EXPECT_EQ(hints, 15);
}
