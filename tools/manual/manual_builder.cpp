#include "manual_builder.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <vector>

namespace tavimond::manual {
namespace {

const QRegularExpression &headingLine()
{
    static const QRegularExpression re(QStringLiteral("^(#{1,6})[ \\t]+(.*?)[ \\t]*#*[ \\t]*$"));
    return re;
}

bool isFence(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1String("```")) || t.startsWith(QLatin1String("~~~"));
}

// Calls f(line, level, title) for every line: a heading's level and title, or 0 and
// nothing for other lines and for the lines of fenced code.
template <class F>
void forEachLine(const QStringList &lines, F f)
{
    bool fenced = false;
    for (const QString &line : lines) {
        if (isFence(line))
            fenced = !fenced;
        const auto m = fenced ? QRegularExpressionMatch() : headingLine().match(line);
        f(line, m.hasMatch() ? int(m.captured(1).size()) : 0, m.hasMatch() ? m.captured(2) : QString());
    }
}

struct Chapter {
    QTextBlock block;
    QString title;
};

std::vector<Chapter> chaptersOf(QTextDocument &doc)
{
    std::vector<Chapter> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        if (b.blockFormat().headingLevel() == 2)
            out.push_back({b, b.text()});
    return out;
}

int pageOf(QTextDocument &doc, const QTextBlock &block)
{
    const double top = doc.documentLayout()->blockBoundingRect(block).top();
    return 1 + int(top / doc.pageSize().height());
}

} // namespace

QString markdownSection(const QString &markdown, const QString &title, int levelShift)
{
    QStringList out;
    int level = 0; // of the section's heading once found
    bool done = false;
    forEachLine(markdown.split(QLatin1Char('\n')), [&](const QString &line, int heading, const QString &text) {
        if (done)
            return;
        if (level == 0) {
            if (heading > 0 && text == title)
                level = heading;
            return;
        }
        if (heading > 0 && heading <= level) {
            done = true;
            return;
        }
        if (heading > 0)
            out << QString(std::clamp(heading + levelShift, 1, 6), QLatin1Char('#')) + QLatin1Char(' ') + text;
        else
            out << line;
    });
    if (level == 0)
        throw ManualError(QStringLiteral("The README has no section \"%1\"").arg(title));
    while (!out.isEmpty() && out.first().trimmed().isEmpty())
        out.removeFirst();
    while (!out.isEmpty() && out.last().trimmed().isEmpty())
        out.removeLast();
    return out.join(QLatin1Char('\n'));
}

QString assembleManual(const QString &manual, const QString &readme)
{
    static const QRegularExpression include(QStringLiteral("^<!--\\s*README:\\s*(.*?)\\s*-->\\s*$"));
    // Heading levels of the README, by title, so that a section's subheadings can be
    // placed under the manual's heading.
    QHash<QString, int> readmeLevels;
    forEachLine(readme.split(QLatin1Char('\n')), [&](const QString &, int heading, const QString &text) {
        if (heading > 0 && !readmeLevels.contains(text))
            readmeLevels.insert(text, heading);
    });
    QStringList out;
    int manualLevel = 0;
    forEachLine(manual.split(QLatin1Char('\n')), [&](const QString &line, int heading, const QString &) {
        if (heading > 0)
            manualLevel = heading;
        const auto m = include.match(line);
        if (!m.hasMatch()) {
            out << line;
            return;
        }
        const QString title = m.captured(1);
        out << markdownSection(readme, title, manualLevel - readmeLevels.value(title));
    });
    return out.join(QLatin1Char('\n'));
}

std::unique_ptr<QTextDocument> manualDocument(const QString &markdown)
{
    auto doc = std::make_unique<QTextDocument>();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(10);
    doc->setDefaultFont(font);
    doc->setMarkdown(markdown);
    // Code blocks a little smaller, so that the lines of a configuration file fit the page.
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (!b.blockFormat().hasProperty(QTextFormat::BlockCodeLanguage))
            continue;
        QTextCursor c(b);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat smaller;
        smaller.setFontPointSize(8.5);
        c.mergeCharFormat(smaller);
    }
    return doc;
}

QPageLayout manualPageLayout()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(22, 18, 22, 14),
                       QPageLayout::Millimeter);
}

ManualPages::ManualPages(QTextDocument &doc, QPaintDevice &device)
    : doc_(doc), footer_(device.logicalDpiY() / 3) // a third of an inch for the page number
{
    // Laid out again for the device's resolution: blocks laid out for the screen keep
    // their old lines otherwise.
    doc.documentLayout()->setPaintDevice(&device);
    doc.markContentsDirty(0, doc.characterCount());
    doc.setPageSize(QSizeF(device.width(), device.height() - footer_));
    // The layout is made lazily, a part at a time: asking for the pages makes all of it,
    // before blocks are looked for on their pages.
    (void)doc.pageCount();

    // The contents: a borderless table of chapters and pages after the title, the first
    // chapter on a new page. The table's own length moves the chapters, so their pages
    // are read once it is filled, and again in case the numbers changed a row's wrapping.
    const std::vector<Chapter> chapters = chaptersOf(doc);
    if (chapters.empty())
        return;
    QTextBlockFormat first = chapters.front().block.blockFormat();
    first.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(chapters.front().block).setBlockFormat(first);

    // Before the first chapter, after the title and what stands under it.
    QTextCursor c(chapters.front().block.previous().isValid() ? chapters.front().block.previous() : doc.begin());
    c.movePosition(QTextCursor::EndOfBlock);
    QTextBlockFormat heading;
    heading.setHeadingLevel(2);
    heading.setTopMargin(12);
    heading.setBottomMargin(6);
    QTextCharFormat headingText;
    headingText.setFontWeight(QFont::Bold);
    headingText.setProperty(QTextFormat::FontSizeAdjustment, 2);
    c.insertBlock(heading, headingText);
    c.insertText(QStringLiteral("Contents"));
    QTextTableFormat table;
    table.setBorderStyle(QTextFrameFormat::BorderStyle_None);
    table.setCellPadding(2);
    table.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    table.setColumnWidthConstraints(
        {QTextLength(QTextLength::PercentageLength, 90), QTextLength(QTextLength::PercentageLength, 10)});
    QTextTable *contents = c.insertTable(int(chapters.size()), 2, table);
    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    for (int i = 0; i < int(chapters.size()); ++i) {
        contents->cellAt(i, 0).firstCursorPosition().insertText(chapters[size_t(i)].title, QTextCharFormat());
        contents->cellAt(i, 1).firstCursorPosition().setBlockFormat(right);
    }
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 0; i < int(chapters.size()); ++i) {
            QTextCursor page = contents->cellAt(i, 1).firstCursorPosition();
            page.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            page.insertText(QString::number(pageOf(doc, chapters[size_t(i)].block)), QTextCharFormat());
        }
}

ManualPages::~ManualPages()
{
    // The device goes before the document: lay it out for the screen again.
    doc_.documentLayout()->setPaintDevice(nullptr);
    doc_.markContentsDirty(0, doc_.characterCount());
}

int ManualPages::count() const
{
    return doc_.pageCount();
}

void ManualPages::draw(QPainter &painter, int page) const
{
    const double height = doc_.pageSize().height();
    painter.save();
    painter.translate(0, -page * height);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, page * height, doc_.pageSize().width(), height);
    doc_.documentLayout()->draw(&painter, context);
    painter.restore();
    QFont small = doc_.defaultFont();
    small.setPointSizeF(8);
    painter.setFont(small);
    painter.drawText(QRectF(0, height, doc_.pageSize().width(), footer_), Qt::AlignHCenter | Qt::AlignBottom,
                     QString::number(page + 1));
}

int writeManualPdf(QTextDocument &doc, const QString &path)
{
    QPdfWriter writer(path);
    writer.setResolution(manualResolution);
    writer.setPageLayout(manualPageLayout());
    writer.setTitle(doc.begin().text());
    writer.setCreator(QStringLiteral("Tavimond"));
    const ManualPages pages(doc, writer);
    QPainter painter;
    if (!painter.begin(&writer))
        throw ManualError(QStringLiteral("Cannot write \"%1\"").arg(path));
    for (int page = 0; page < pages.count(); ++page) {
        if (page > 0)
            writer.newPage();
        pages.draw(painter, page);
    }
    painter.end();
    QFile written(path);
    if (!written.exists() || written.size() == 0)
        throw ManualError(QStringLiteral("Cannot write \"%1\"").arg(path));
    return pages.count();
}

} // namespace tavimond::manual
