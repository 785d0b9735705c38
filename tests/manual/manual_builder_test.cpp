// The user's manual as the build writes it: the README's sections taken in where the
// manual names them, a chapter for every screen, and a PDF of numbered pages whose
// contents give each chapter's page.
#include "common/test_data.h"
#include "manual/manual_builder.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace tavimond::manual;

namespace {

QString sourceFile(const QString &name)
{
    QFile f(tavimond::test::testDataFolder() + QStringLiteral("/../../") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return QString::fromUtf8(f.readAll());
}

QStringList headings(QTextDocument &doc, int level)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (b.blockFormat().headingLevel() == level)
            out << b.text();
    return out;
}

// The paragraphs of a document as its reader sees them, blank ones left out.
QStringList paragraphs(QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (!b.text().trimmed().isEmpty())
            out << b.text();
    return out;
}

} // namespace

TEST(ManualBuilder, AnIncludeLineTakesTheReadmeSectionUpToTheNextHeadingOfItsLevel)
{
    const QString readme = QStringLiteral("# Tool\n\n## Intro\n\nIntro text.\n\n"
                                          "## Connecting to a real database\n\nUse the ODBC driver.\n\n"
                                          "### Privileges\n\nGrant the catalog role.\n\n"
                                          "```\n## a line of code, not a heading\n```\n\n"
                                          "## Layout\n\nsrc/ holds the code.\n");
    const QString manual = QStringLiteral("# Manual\n\n## Real databases\n\n"
                                          "<!-- README: Connecting to a real database -->\n\n## Next chapter\n");
    const QString out = assembleManual(manual, readme);
    EXPECT_EQ(out, QStringLiteral("# Manual\n\n## Real databases\n\n"
                                  "Use the ODBC driver.\n\n### Privileges\n\nGrant the catalog role.\n\n"
                                  "```\n## a line of code, not a heading\n```\n\n## Next chapter\n"));

    // Under a deeper heading of the manual the section's own headings move down with it.
    EXPECT_TRUE(assembleManual(QStringLiteral("## A\n### B\n<!-- README: Connecting to a real database -->\n"), readme)
                    .contains(QStringLiteral("\n#### Privileges\n")));

    // A section the README does not hold stops the build, naming it.
    try {
        assembleManual(QStringLiteral("<!-- README: Licences -->\n"), readme);
        ADD_FAILURE() << "no error";
    } catch (const ManualError &e) {
        EXPECT_STREQ(e.what(), "The README has no section \"Licences\"");
    }
}

TEST(ManualBuilder, TheManualHoldsTheReadmesSectionAChapterForEveryScreenAndContentsThatGiveEachChaptersPage)
{
    const QString readme = sourceFile(QStringLiteral("README.md"));
    const QString markdown = assembleManual(sourceFile(QStringLiteral("doc/manual.md")), readme);
    EXPECT_FALSE(markdown.contains(QStringLiteral("<!-- README")));
    const auto doc = manualDocument(markdown);
    const QStringList text = paragraphs(*doc);

    // Every paragraph of the README's section, as the reader sees it, in the manual's chapter.
    const auto section = manualDocument(markdownSection(readme, QStringLiteral("Connecting to a real database")));
    const QStringList wanted = paragraphs(*section);
    ASSERT_GE(wanted.size(), 3);
    const qsizetype at = text.indexOf(QStringLiteral("Connecting to a real database"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(text.mid(at + 1, wanted.size()), wanted);

    // Each screen the README lists ("- **Menu > Item**: ...") has a chapter.
    const QStringList chapters = headings(*doc, 2);
    static const QRegularExpression listed(QStringLiteral("^- \\*\\*([^*]+)\\*\\*"),
                                           QRegularExpression::MultilineOption);
    int screens = 0;
    for (auto it = listed.globalMatch(markdownSection(readme, QStringLiteral("What it does, screen by screen")));
         it.hasNext(); ++screens) {
        const QString screen = it.next().captured(1);
        EXPECT_TRUE(std::any_of(chapters.begin(), chapters.end(), [&](const QString &c) {
            return c.startsWith(screen);
        })) << screen.toStdString();
    }
    EXPECT_GE(screens, 15);

    // The PDF: numbered pages, and the contents after the title, a row per chapter, on a
    // page of its own, with pages in the chapters' order, the first after the title's
    // page, the last one written.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavimond_Help.pdf"));
    const int pages = writeManualPdf(*doc, path);
    QFile pdf(path);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "),
              qsizetype(pages));
    EXPECT_GE(pages, 10);
    QTextTable *contents = nullptr;
    for (QTextFrame *f : doc->rootFrame()->childFrames())
        if (auto *t = qobject_cast<QTextTable *>(f); t && !contents)
            contents = t;
    ASSERT_NE(contents, nullptr);
    ASSERT_EQ(contents->rows(), chapters.size());
    int previous = 1;
    for (int r = 0; r < contents->rows(); ++r) {
        QTextCursor title = contents->cellAt(r, 0).firstCursorPosition();
        title.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        EXPECT_EQ(title.selectedText(), chapters.at(r));
        QTextCursor page = contents->cellAt(r, 1).firstCursorPosition();
        page.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        const int n = page.selectedText().toInt();
        EXPECT_TRUE(r == 0 ? n == 2 : n >= previous) << chapters.at(r).toStdString() << " on page " << n;
        previous = n;
    }
    EXPECT_LE(previous, pages);
}
