#include "shell/start_up_tables.h"

#include "core/chart.h"
#include "shell/tips_browser.h"
#include "shell_support.h"
#include "ui/screen.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>

using namespace tavimond;

namespace {

using MainWindow = test::LoggedOnWindow;
test::RecordingSink &sink()
{
    return test::RecordingSink::current();
}
const QString kTitle = QStringLiteral("Tavimond(Ver 5.02.15) :");

} // namespace

TEST(StartUp, ShowsTheSettingsScreenWithTheListFilledAndSendsNothing)
{
    sim::Server::instance().reset();
    test::TempCurrentFolder folder;
    test::writeSimulatedConfig(folder);
    TForm1 w;
    EXPECT_EQ(w.windowTitle(), kTitle);
    QStringList startVisible;
    for (Screen *s : w.screens())
        startVisible << s->objectName();
    ASSERT_EQ(startVisible.size(), 17);
    for (const char *hidden : {"Page_SQL_Hist", "page_sql_rt", "advpage", "Page_Conf_Set"})
        EXPECT_TRUE(startVisible.removeOne(QLatin1String(hidden))) << hidden;
    EXPECT_EQ(w.visibleScreens(), startVisible);

    sink().clear();
    test::startUp(w);
    EXPECT_EQ(sink().errors, QStringList());
    EXPECT_EQ(w.frontScreen()->objectName(), QStringLiteral("Page_Conf_Set"));
    EXPECT_EQ(w.visibleScreens(), startVisible << QStringLiteral("Page_Conf_Set"));
    auto *sidlist = w.findChild<QComboBox *>(QStringLiteral("sidlist"));
    EXPECT_EQ(w.focusWidget(), sidlist);
    ASSERT_EQ(sidlist->count(), 2);
    EXPECT_EQ(sidlist->currentText(), QStringLiteral("TAVIDB"));
    EXPECT_EQ(w.findChild<QLineEdit *>(QStringLiteral("metaloc"))->text(), folder.filePath(QStringLiteral("meta")));
    // Selecting the first service is no change of the connection settings.
    EXPECT_EQ(w.windowTitle(), kTitle);
    EXPECT_EQ(w.cnn().connectionText(), QStringLiteral("Provider=Simulated;"));
    EXPECT_FALSE(w.cnn().connected());
    EXPECT_EQ(sim::Server::instance().statements(), QStringList());
    EXPECT_EQ(sim::Server::instance().logonCount(), 0);
    EXPECT_FALSE(w.findChild<GridView *>(QStringLiteral("longopsgrid"))->isVisibleTo(&w));

    // Shown again (restored from the task bar, say), the window does not start up again.
    w.hide();
    test::startUp(w);
    EXPECT_EQ(sidlist->count(), 2);
    EXPECT_EQ(sink().errors, QStringList());
}

TEST(StartUp, GoesOnPastMissingOrFaultyConfigurationFilesAndSaysWhatIsWrong)
{
    sim::Server::instance().reset();
    test::TempCurrentFolder folder;
    const bool hadHome = qEnvironmentVariableIsSet("HOME");
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", folder.path().toUtf8());
    const auto restoreHome = qScopeGuard([&] { hadHome ? qputenv("HOME", home) : qunsetenv("HOME"); });
    QDir(folder.path()).mkdir(QStringLiteral("meta"));
    folder.write(QStringLiteral("meta/sidlist.txt"), "TAVIDB\rTAVIDB2\r"); // lines ended by CR alone
    const QByteArray meta = folder.filePath(QStringLiteral("meta")).toUtf8();
    // A window started on the files as they are: the messages, the prefix it read, the
    // services it lists and the one chosen.
    const auto start = [&](const QByteArray &ini) {
        if (!ini.isEmpty())
            folder.write(QStringLiteral("db.ini"), ini);
        sink().clear();
        TForm1 w;
        test::startUp(w);
        EXPECT_EQ(w.frontScreen()->objectName(), QStringLiteral("Page_Conf_Set"));
        EXPECT_EQ(w.windowTitle(), kTitle);
        const auto *sid = w.findChild<QComboBox *>(QStringLiteral("sidlist"));
        QStringList services;
        for (int i = 0; i < sid->count(); ++i)
            services << sid->itemText(i);
        return QStringList{sink().errors.join(QLatin1Char('|')), w.cnn().connectionText(),
                           services.join(QLatin1Char(',')), sid->currentText()};
    };
    const QString sim = QStringLiteral("Provider=Simulated;");
    const QString noSidList = QStringLiteral("Cannot locate \"sidlist.txt\" file\nLooked for: ");

    EXPECT_EQ(start({}),
              (QStringList{"Cannot locate \"db.ini\" file|" + noSidList + folder.path() + "/tavimond/sidlist.txt", "",
                           "", ""}));
    // No METADATA line: sidlist.txt is looked for in the default folder. Windows line
    // ends; every line a name, a blank one too.
    QDir(folder.path()).mkdir(QStringLiteral("tavimond"));
    folder.write(QStringLiteral("tavimond/sidlist.txt"), "TAVIDB2\r\n\r\nTAVIDB\r\n");
    EXPECT_EQ(start("ZADERIRODU=P\r\n[P]\r\nProvider=Simulated;\r\n[P_END]\r\n"),
              (QStringList{"", sim, "TAVIDB2,,TAVIDB", "TAVIDB2"}));
    // The folder named by db.ini holds no sidlist.txt: the prefix stays, the list stays empty.
    EXPECT_EQ(start("ZADERIRODU=P\nMETADATA=" + folder.filePath("nowhere").toUtf8() +
                    "\n[P]\nProvider=Simulated;\n[P_END]\n"),
              (QStringList{noSidList + folder.filePath("nowhere/sidlist.txt"), sim, "", ""}));
    // A blank after the name: the section "[SIM ]" is not in the file.
    EXPECT_EQ(start("ZADERIRODU=SIM \nMETADATA=" + meta + "\n[SIM]\nProvider=Simulated;\n[SIM_END]\n"),
              (QStringList{"The file \"db.ini\" names the section \"SIM \" but has no line \"[SIM ]\": the "
                           "connection string has no prefix.",
                           "", "TAVIDB,TAVIDB2", "TAVIDB"}));
    EXPECT_EQ(start("METADATA=" + meta + "\n[SIM]\nProvider=Simulated;\n[SIM_END]\n").mid(0, 2),
              (QStringList{"The file \"db.ini\" names no section: it has no line holding \"ZADERIRODU\", so the "
                           "connection string has no prefix.",
                           ""}));
    // Lines ended by CR alone, and UTF-16 with its mark, read as any other.
    const QString text =
        "ZADERIRODU=SIM\rMETADATA=" + QString::fromUtf8(meta) + "\r[SIM]\rProvider=Simulated;\r[SIM_END]\r";
    const QStringList read{"", sim, "TAVIDB,TAVIDB2", "TAVIDB"};
    EXPECT_EQ(start(text.toUtf8()), read);
    QByteArray utf16("\xFF\xFE", 2);
    const QString crlf = QString(text).replace(QLatin1Char('\r'), QStringLiteral("\r\n"));
    utf16.append(reinterpret_cast<const char *>(crlf.utf16()), crlf.size() * 2);
    EXPECT_EQ(start(utf16), read);
}

// Which screen each item brings, the whole walk finds: it looks for each screen's
// controls on the screen in front.
TEST_F(MainWindow, EveryItemOfTheMenuBarBringsAScreenOfItsOwnAsItWasLeftAndSendsNothing)
{
    widget<QLineEdit>("UserN").setText(QStringLiteral("scott"));
    widget<QAction>("Advir1").trigger();
    auto &advisors = widget<Screen>("advpage");
    advisors.setCurrentIndex(2);
    test::UrlCatcher desktop({QStringLiteral("file")});
    QSet<QString> reached;
    for (QAction *menu : widget<QMenuBar>("MainMenu1").actions())
        for (QAction *item : menu->menu()->actions()) {
            item->trigger();
            reached << window.frontScreen()->objectName();
        }
    // Every screen but one; no item leads to that one.
    EXPECT_EQ(reached.size(), 16);
    EXPECT_FALSE(reached.contains(QStringLiteral("Page_SQL_Hist_ASH")));
    EXPECT_EQ(window.visibleScreens().size(), 17);
    EXPECT_EQ(server.statements(), QStringList());
    // Chosen again, each shows what it showed.
    widget<QAction>("Options1").trigger();
    EXPECT_EQ(window.frontScreen()->objectName(), QStringLiteral("Page_Conf_Set"));
    EXPECT_EQ(widget<QLineEdit>("UserN").text(), QStringLiteral("scott"));
    EXPECT_EQ(widget<QComboBox>("sidlist").currentText(), QStringLiteral("TAVIDB"));
    widget<QAction>("Advir1").trigger();
    EXPECT_EQ(window.frontScreen(), &advisors);
    EXPECT_EQ(advisors.currentIndex(), 2);
}

TEST_F(MainWindow, AltAndALetterOfACaptionReachesTheMenuFromAFieldAndTypesNothingIntoIt)
{
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto &user = widget<QLineEdit>("UserN");
    // Alt and the menu's letter, then the item's letter, with the focus in the field.
    const struct {
        Qt::Key menu, item;
        const char *title, *screen;
    } ways[] = {
        {Qt::Key_S, Qt::Key_T, "SQL", "Page_SQL_Topology"},       {Qt::Key_I, Qt::Key_W, "Instance", "inst_waits_page"},
        {Qt::Key_B, Qt::Key_T, "Browsers", "storagepage"},        {Qt::Key_T, Qt::Key_D, "Storage", "df_page"},
        {Qt::Key_C, Qt::Key_S, "Configuration", "Page_Conf_Set"},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.title);
        widget<QAction>("Options1").trigger();
        user.setFocus();
        QTest::keyClick(&user, way.menu, Qt::AltModifier);
        EXPECT_EQ(user.text(), QStringLiteral("system"));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->title().remove(QLatin1Char('&')), QLatin1String(way.title));
        QTest::keyClick(menu, way.item);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
        EXPECT_EQ(window.frontScreen()->objectName(), QLatin1String(way.screen));
    }
    EXPECT_EQ(user.text(), QStringLiteral("system"));

    // The bar shows its captions as they were, and no two menus of the bar, nor two
    // items of a menu, share a letter.
    const auto &bar = widget<QMenuBar>("MainMenu1");
    QStringList titles;
    for (QAction *a : bar.actions())
        titles << a->text().remove(QLatin1Char('&'));
    EXPECT_EQ(titles, QString("SQL Instance Browsers Object Storage Configuration Help").split(' '));
    QList<QList<QAction *>> groups{bar.actions()};
    for (QAction *a : bar.actions())
        groups << a->menu()->actions();
    for (const QList<QAction *> &group : groups) {
        QSet<QKeySequence> letters;
        for (QAction *a : group) {
            const QKeySequence letter = QKeySequence::mnemonic(a->text());
            EXPECT_FALSE(letter.isEmpty()) << a->text().toStdString();
            EXPECT_FALSE(letters.contains(letter)) << a->text().toStdString();
            letters << letter;
        }
    }
}

TEST_F(MainWindow, HelpOpensTheManualOfTheCurrentFolderOrBesideTheProgramAndATipsLinkOpensOnTheDesktopOrSaysWhyNot)
{
    test::UrlCatcher desktop({QStringLiteral("file"), QStringLiteral("https"), QStringLiteral("about")});
    const QString name = QStringLiteral("Tavimond_Help.pdf");
    const QString besideProgram = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    ASSERT_FALSE(QFile::exists(besideProgram));
    const auto removeBeside = qScopeGuard([&] { QFile::remove(besideProgram); });
    const auto writeManual = [](const QString &path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
    };
    writeManual(besideProgram);

    // The current folder's manual comes first, even with one beside the program.
    folder.write(name, "%PDF-1.4\n");
    widget<QAction>("HelpManual1").trigger();
    {
        // Started from another folder, the manual beside the program opens.
        test::TempCurrentFolder elsewhere;
        widget<QAction>("HelpManual1").trigger();
        EXPECT_EQ(sink().errors, QStringList());

        // In neither place: nothing opens, and the message names both places.
        QFile::remove(besideProgram);
        widget<QAction>("HelpManual1").trigger();
        EXPECT_EQ(sink().errors, QStringList{QStringLiteral("Cannot locate \"Tavimond_Help.pdf\" file\n"
                                                            "Looked in the current folder and beside the program:\n") +
                                             elsewhere.filePath(name) + QLatin1Char('\n') + besideProgram});
    }
    EXPECT_EQ(desktop.urls,
              (QList<QUrl>{QUrl::fromLocalFile(folder.filePath(name)), QUrl::fromLocalFile(besideProgram)}));
    EXPECT_EQ(window.frontScreen()->objectName(), QStringLiteral("Page_Conf_Set"));

    auto &tips = widget<TipsBrowser>("WebBrowser2");
    const QString page = tips.toPlainText();
    EXPECT_TRUE(page.contains(QStringLiteral("Getting connected")));
    const auto clickOn = [&tips](const QString &text) {
        const QTextCursor found = tips.document()->find(text);
        ASSERT_FALSE(found.isNull()) << qPrintable(text);
        QTextCursor middle(tips.document());
        middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
        QTest::mouseClick(tips.viewport(), Qt::LeftButton, {}, tips.cursorRect(middle).center());
    };
    desktop.urls.clear();
    clickOn(QStringLiteral("Oracle Database documentation"));
    EXPECT_EQ(desktop.urls, QList<QUrl>{QUrl(QStringLiteral("https://docs.oracle.com/en/database/"))});
    EXPECT_EQ(tips.source(), QUrl(QStringLiteral("qrc:/tips/index.html")));
    EXPECT_EQ(tips.toPlainText(), page);
    // "about:blank" is followed inside the browser.
    tips.setHtml(QStringLiteral("<p><a href=\"about:blank\">blank page</a></p>"));
    clickOn(QStringLiteral("blank page"));
    EXPECT_EQ(desktop.urls.size(), 1);
    EXPECT_EQ(tips.toPlainText(), QString());

    // A desktop with no program for the manual or the link (the test platform has
    // none): each click says so and names what did not open; the page stays.
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    sink().clear();
    widget<QAction>("HelpManual1").trigger();
    EXPECT_EQ(sink().errors, QStringList{"No program of this desktop opened \"" +
                                         QDir::toNativeSeparators(folder.filePath(name)) + "\"."});
    tips.navigate(QUrl(QStringLiteral("qrc:/tips/index.html")));
    sink().clear();
    clickOn(QStringLiteral("Oracle Database documentation"));
    EXPECT_EQ(sink().errors,
              QStringList{QStringLiteral("No program of this desktop opened \"https://docs.oracle.com/en/database/\".")});
    EXPECT_EQ(tips.toPlainText(), page);
    EXPECT_EQ(desktop.urls.size(), 1);
}

// Every name the start-up tables hold resolves on its own screen and got its headers,
// widths or hint; the object browser's table details lie in front of the other pages.
TEST_F(MainWindow, StartUpWroteEveryGridAndChartItsTablesName)
{
    QStringList missing;
    for (const QString &name : headerOrder())
        if (!window.findChild<GridView *>(name) && !window.findChild<ResultGrid *>(name))
            missing << name;
    int hints = 0;
    for (Screen *s : window.screens()) {
        for (const GridHeaders &g : s->gridHeaders()) {
            auto *view = s->findChild<GridView *>(g.grid);
            ResultGrid *grid = view ? view->grid() : s->findChild<ResultGrid *>(g.grid);
            if (!grid) {
                missing << s->objectName() + QLatin1Char('/') + g.grid;
                continue;
            }
            EXPECT_TRUE(headerOrder().contains(g.grid)) << g.grid.toStdString() << " is not in the start-up order";
            if (!g.headers.isEmpty()) {
                EXPECT_EQ(grid->headers().mid(0, g.headers.size()), g.headers) << g.grid.toStdString();
            }
            for (int c = 0; view && c < g.widths.size(); ++c)
                EXPECT_GE(view->columnWidth(c), g.widths.at(c)) << g.grid.toStdString() << " column " << c;
        }
        for (const ChartHint &h : s->chartHints()) {
            auto *chart = s->findChild<Chart *>(h.chart);
            if (!chart) {
                missing << s->objectName() + QLatin1Char('/') + h.chart;
                continue;
            }
            ++hints;
            EXPECT_EQ(chart->hint(), h.hint);
        }
    }
    EXPECT_EQ(missing, QStringList());
    EXPECT_EQ(hints, 15);
    auto &tabpage = widget<QWidget>("tabpage");
    EXPECT_EQ(tabpage.parentWidget()->children().last(), &tabpage);
    EXPECT_TRUE(tabpage.isVisibleTo(tabpage.parentWidget()));
}
