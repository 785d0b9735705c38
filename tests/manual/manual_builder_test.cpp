// The user's manual as the build writes it: the README's sections taken in where the
// manual names them, a chapter for every screen, and a PDF of numbered pages whose
// contents give each chapter's page, each page showing its own lines whole.
#include "common/test_data.h"
#include "manual/manual_builder.h"
#include "manual/pdf_text.h"

#include <QFile>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

using namespace tavimond::manual;
using tavimond::test::pdfPageTexts;
using tavimond::test::sourceFile;

namespace {

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

// What a page shows: each piece of text in the box it fills, marked when the page's clip
// lets only part of it show, and the list marks drawn as shapes; and the marks drawn where
// the clip hides them.
struct Piece {
    QString text;
    QRectF box;
    bool cut;
};
struct PageShown {
    std::vector<Piece> text;
    std::vector<QRectF> marks;
    int hiddenMarks = 0;
};

class PageRecorder final : public QPaintEngine {
public:
    PageRecorder() : QPaintEngine(AllFeatures) {}
    PageShown shown;

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPath(const QPainterPath &) override {}
    Type type() const override { return User; }
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QRectF box(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent());
        if (!visible(box).isEmpty())
            shown.text.push_back({item.text(), painter()->combinedTransform().mapRect(box), visible(box) != box});
    }
    void drawEllipse(const QRectF &r) override
    {
        if (!visible(r).isEmpty())
            shown.marks.push_back(painter()->combinedTransform().mapRect(r));
        else
            ++shown.hiddenMarks;
    }

private:
    QRectF visible(const QRectF &r) const { return painter()->hasClipping() ? r & painter()->clipBoundingRect() : r; }
};

// A page's printable area as the manual's PDF has it, keeping what each page shows.
class PageDevice final : public QPaintDevice {
public:
    QPaintEngine *paintEngine() const override { return &recorder_; }

    std::vector<PageShown> drawAll(const ManualPages &pages)
    {
        std::vector<PageShown> out;
        for (int page = 0; page < pages.count(); ++page) {
            QPainter painter(this);
            pages.draw(painter, page);
            painter.end();
            out.push_back(std::exchange(recorder_.shown, {}));
        }
        return out;
    }

protected:
    int metric(PaintDeviceMetric m) const override
    {
        const QSize size = manualPageLayout().paintRectPixels(manualResolution).size();
        switch (m) {
        case PdmWidth:
            return size.width();
        case PdmHeight:
            return size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return manualResolution;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(m);
        }
    }

private:
    mutable PageRecorder recorder_;
};

// Text as it is compared: without spaces, and a ligature's glyph read as its letters.
QString compared(const QString &text)
{
    QString out = text.normalized(QString::NormalizationForm_KC);
    out.removeIf([](QChar c) { return c.isSpace(); });
    return out;
}

// Lays the document out as the manual's PDF and checks what its pages show: every text of
// the document once, in its order (a numbered list's number before its item), none cut by
// a page's edge or running into the page number at the foot; a table row's cells on one
// page; a heading on the page of the first two lines that follow it; a list mark beside
// text. Then writes the PDF and checks the text each of its pages holds, which a search
// finds and a copy takes: the page's own text and number, and nothing of another page.
// Returns the pages.
std::vector<PageShown> checkPages(const QString &markdown)
{
    const auto written = manualDocument(markdown);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tavimond_Help.pdf"));
    writeManualPdf(*written, path);
    QFile pdf(path);
    EXPECT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QStringList held = pdfPageTexts(pdf.readAll());

    const auto drawn = manualDocument(markdown);
    QTextDocument &doc = *drawn;
    PageDevice device;
    const ManualPages pages(doc, device);
    const std::vector<PageShown> shown = device.drawAll(pages);

    // The document's characters in order, each with its block and line (a list's number with
    // its first line).
    struct Char {
        QChar c;
        QTextBlock block;
        int line;
    };
    std::vector<Char> text;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const auto add = [&](const QString &s, int line) {
            for (QChar c : s)
                if (!c.isSpace())
                    text.push_back({c, b, line});
        };
        if (b.textList() && b.textList()->format().style() <= QTextListFormat::ListDecimal) // numbered
            add(b.textList()->itemText(b), 0);
        for (int i = 0; i < b.layout()->lineCount(); ++i)
            add(b.text().mid(b.layout()->lineAt(i).textStart(), b.layout()->lineAt(i).textLength()), i);
    }
    const auto blockAt = [&](size_t i) { return i < text.size() ? text[i].block.text().toStdString() : std::string(); };
    std::vector<int> pageOf;
    for (int page = 0; page < int(shown.size()); ++page) {
        std::vector<Piece> body = shown[size_t(page)].text;
        const auto number = std::max_element(body.begin(), body.end(),
                                             [](const Piece &a, const Piece &b) { return a.box.top() < b.box.top(); });
        if (number == body.end() || number->text != QString::number(page + 1)) {
            ADD_FAILURE() << "no number at the foot of page " << page + 1;
            continue;
        }
        const double foot = number->box.top();
        body.erase(number);
        for (const Piece &piece : body) {
            const bool whole = !piece.cut && piece.box.top() >= 0 && piece.box.bottom() <= foot;
            EXPECT_TRUE(whole) << "page " << page + 1 << " cuts \"" << piece.text.toStdString() << "\" at "
                               << piece.box.top() << ".." << piece.box.bottom() << ", the page number at " << foot;
            for (QChar c : whole ? piece.text : QString()) { // a cut piece is not read as shown
                if (c.isSpace())
                    continue;
                if (pageOf.size() == text.size() || text[pageOf.size()].c != c) {
                    ADD_FAILURE() << "page " << page + 1 << " shows \"" << piece.text.toStdString()
                                  << "\" where the text goes on in \"" << blockAt(pageOf.size()) << "\"";
                    return shown;
                }
                pageOf.push_back(page);
            }
        }
    }
    EXPECT_EQ(pageOf.size(), text.size()) << "the pages leave out the text from " << blockAt(pageOf.size());

    EXPECT_EQ(held.size(), qsizetype(shown.size())) << "pages in the PDF";
    for (int page = 0; page < int(std::min(size_t(held.size()), shown.size())) && pageOf.size() == text.size();
         ++page) {
        QString own;
        for (size_t i = 0; i < text.size(); ++i)
            if (pageOf[i] == page)
                own += text[i].c;
        const QString wanted = compared(own + QString::number(page + 1)), got = compared(held[page]);
        qsizetype same = 0;
        while (same < wanted.size() && same < got.size() && wanted[same] == got[same])
            ++same;
        EXPECT_TRUE(got == wanted) << "page " << page + 1 << " of the PDF holds \""
                                   << got.mid(std::max<qsizetype>(same - 30, 0), 60).toStdString()
                                   << "\" where it shows \""
                                   << wanted.mid(std::max<qsizetype>(same - 30, 0), 60).toStdString() << "\"";
    }

    // A row's pages, and for each heading the pages of its last line and the next two lines.
    std::map<std::pair<QTextTable *, int>, std::set<int>> rowPages;
    for (size_t i = 0; i < pageOf.size(); ++i) {
        const Char &c = text[i];
        if (QTextTable *table = QTextCursor(c.block).currentTable())
            rowPages[{table, table->cellAt(c.block.position()).row()}].insert(pageOf[i]);
        if (c.block.blockFormat().headingLevel() == 0 || i + 1 == pageOf.size() || text[i + 1].block == c.block)
            continue;
        size_t j = i + 1, lines = 1;
        for (; j < pageOf.size() && lines <= 2 && pageOf[j] == pageOf[i]; ++j)
            lines += j + 1 < text.size() && (text[j + 1].block != text[j].block || text[j + 1].line > text[j].line);
        EXPECT_TRUE(j == pageOf.size() || lines > 2)
            << "the heading \"" << blockAt(i) << "\" ends page " << pageOf[i] + 1;
    }
    for (const auto &[row, pages] : rowPages)
        EXPECT_EQ(pages.size(), 1u) << "row " << row.second + 1 << " of a table from page " << *pages.begin() + 1
                                    << " to " << *pages.rbegin() + 1;
    for (const PageShown &page : shown) {
        EXPECT_EQ(page.hiddenMarks, 0) << "list marks of another page drawn on page " << &page - shown.data() + 1;
        for (const QRectF &mark : page.marks)
            EXPECT_TRUE(std::any_of(page.text.begin(), page.text.end(),
                                    [&](const Piece &p) {
                                        return p.box.left() > mark.right() && p.box.top() < mark.bottom() &&
                                               p.box.bottom() > mark.top();
                                    }))
                << "a list mark without its text at " << mark.top() << " on page " << &page - shown.data() + 1;
    }
    return shown;
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

TEST(ManualBuilder, EachPageShowsAndHoldsItsOwnLinesOnceWithTableRowsWholeAndHeadingsWithWhatFollows)
{
    // Text made to meet page breaks everywhere: short sections whose headings fall at every
    // height of a page, a table longer than a page with rows of one to three lines, long
    // lists of both kinds.
    const QString words = QStringLiteral("The sampled figures of every instance are read again at each tick ");
    QString markdown = QStringLiteral("# A manual\n\nIts opening words.\n\n");
    for (int s = 1; s <= 36; ++s) {
        markdown += QStringLiteral("## Section %1\n\n%2\n\n").arg(s).arg(words.repeated(1 + s % 5));
        if (s == 6) {
            markdown += QStringLiteral("| Menu | Items |\n|---|---|\n");
            for (int r = 1; r <= 40; ++r)
                markdown += QStringLiteral("| Row %1 | %2 |\n").arg(r).arg(words.repeated(1 + r % 3));
            markdown += QLatin1Char('\n');
        }
        if (s == 12 || s == 24) // a numbered item of two to five lines runs over a break
            for (int i = 1; i <= 40; ++i)
                markdown += QStringLiteral("%1 %2\n").arg(s == 12 ? QStringLiteral("-") : QStringLiteral("%1.").arg(i),
                                                          words.repeated(s == 12 ? 1 + i % 4 : 2 + i % 4));
        markdown += QLatin1Char('\n');
    }
    EXPECT_GE(checkPages(markdown).size(), 8u);

    // The manual as the build assembles it.
    const QString manual =
        assembleManual(sourceFile(QStringLiteral("doc/manual.md")), sourceFile(QStringLiteral("README.md")));
    EXPECT_GE(checkPages(manual).size(), 10u);
}
