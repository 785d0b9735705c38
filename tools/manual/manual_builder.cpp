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
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cmath>
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

// The contents: a borderless table of the chapters, with a column for their pages, after
// the title and what stands under it; the first chapter begins a page.
QTextTable *insertContents(QTextDocument &doc, const std::vector<Chapter> &chapters)
{
    QTextBlockFormat first = chapters.front().block.blockFormat();
    first.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(chapters.front().block).setBlockFormat(first);

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
    return contents;
}

// A stretch of the laid-out document that no page break cuts: a line of text, or a table
// row with the lines of its cells.
struct Slice {
    double top;
    double bottom;
    bool keepWithNext; // a heading's line, and the first line after a heading
    bool breakBefore;  // the first line of a block that begins a page
};

// Where a line of a block begins, in a document laid out whole.
double lineTop(QTextDocument &doc, const QTextBlock &block, int line)
{
    return doc.documentLayout()->blockBoundingRect(block).top() + block.layout()->lineAt(line).y();
}

// The slices of the document, laid out whole as one long page, top to bottom.
std::vector<Slice> slicesOf(QTextDocument &doc)
{
    // The layout is made lazily, a part at a time, and after a change it keeps blocks
    // without lines: a page size set anew lays it out afresh, and asking for the pages
    // makes all of it.
    doc.setPageSize(doc.pageSize());
    (void)doc.pageCount();
    QAbstractTextDocumentLayout *layout = doc.documentLayout();
    std::vector<Slice> out;
    bool afterHeading = false;
    const auto add = [&](double top, double bottom, bool heading, bool breakBefore) {
        out.push_back({top, bottom, heading || afterHeading, breakBefore});
        afterHeading = heading;
    };
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame())) {
            std::vector<std::pair<double, double>> rows(size_t(table->rows()), {HUGE_VAL, -HUGE_VAL});
            for (int r = 0; r < table->rows(); ++r)
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    auto &[top, bottom] = rows[size_t(r)];
                    top = std::min(top, layout->blockBoundingRect(cell.firstCursorPosition().block()).top());
                    bottom = std::max(bottom, layout->blockBoundingRect(cell.lastCursorPosition().block()).bottom());
                }
            const QRectF frame = layout->frameBoundingRect(table);
            for (size_t r = 0; r < rows.size(); ++r)
                add(r == 0 ? frame.top() : rows[r].first, r + 1 == rows.size() ? frame.bottom() : rows[r].second, false,
                    false);
        } else if (QTextFrame *frame = it.currentFrame()) {
            const QRectF box = layout->frameBoundingRect(frame);
            add(box.top(), box.bottom(), false, false);
        } else {
            const QTextBlock block = it.currentBlock();
            const bool heading = block.blockFormat().headingLevel() > 0;
            const bool breakBefore = block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
            for (int i = 0; i < block.layout()->lineCount(); ++i) {
                const double top = lineTop(doc, block, i);
                add(top, top + block.layout()->lineAt(i).height(), heading, breakBefore && i == 0);
            }
        }
    }
    return out;
}

// Where each page begins: a page takes the slices that fit on it; the break goes before a
// slice that begins a page, or else back over the slices tied to the one that does not
// fit, unless they would fill the page themselves. A break lies halfway between two
// slices, so that what is drawn between them (a table's borders) goes with its own.
std::vector<double> pageTops(const std::vector<Slice> &slices, double height)
{
    std::vector<double> tops{0};
    size_t first = 0; // the first slice on the last page
    for (size_t i = 1; i < slices.size(); ++i) {
        const bool full = slices[i].bottom - tops.back() > height;
        if (!full && !slices[i].breakBefore)
            continue;
        size_t at = i;
        while (full && at > first && slices[at - 1].keepWithNext)
            --at;
        if (at == first)
            at = i;
        tops.push_back((slices[at - 1].bottom + slices[at].top) / 2);
        first = i = at;
    }
    return tops;
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
    : doc_(doc), footer_(device.logicalDpiY() / 3), height_(device.height() - footer_)
{
    // Laid out again for the device's resolution: blocks laid out for the screen keep
    // their old lines otherwise. One long page: the breaks between pages are made here,
    // between lines and table rows.
    doc.documentLayout()->setPaintDevice(&device);
    doc.markContentsDirty(0, doc.characterCount());
    doc.setPageSize(QSizeF(device.width(), -1));

    const std::vector<Chapter> chapters = chaptersOf(doc);
    QTextTable *contents = chapters.empty() ? nullptr : insertContents(doc, chapters);
    tops_ = pageTops(slicesOf(doc), height_);
    // The contents' own length moves the chapters, so their pages are read once it is
    // filled, and again in case the numbers changed a row's wrapping.
    for (int pass = 0; contents && pass < 2; ++pass) {
        QStringList pages; // all read before the first is written, while the layout is whole
        for (const Chapter &chapter : chapters)
            pages << QString::number(std::upper_bound(tops_.begin(), tops_.end(), lineTop(doc, chapter.block, 0)) -
                                     tops_.begin());
        for (int i = 0; i < int(chapters.size()); ++i) {
            QTextCursor number = contents->cellAt(i, 1).firstCursorPosition();
            number.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            number.insertText(pages[i], QTextCharFormat());
        }
        tops_ = pageTops(slicesOf(doc), height_);
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
    return int(tops_.size());
}

void ManualPages::draw(QPainter &painter, int page) const
{
    // The page's part of the document, and nothing of the lines above and below it: what is
    // drawn but hidden stays in the file, to be found by a search and copied with the page.
    const double top = tops_[size_t(page)];
    const double end = page + 1 < count() ? std::min(tops_[size_t(page) + 1], top + height_) : top + height_;
    const double width = doc_.pageSize().width();
    painter.save();
    painter.setClipRect(QRectF(0, 0, width, end - top), Qt::IntersectClip);
    painter.translate(0, -top);
    QAbstractTextDocumentLayout::PaintContext context;
    // The layout draws a block that begins above the stretch it is given from the line before
    // that stretch, and with its list mark: the lines of a block carried over from the page
    // before are drawn here, one by one, and the layout draws what comes below it.
    double from = top;
    for (auto it = doc_.rootFrame()->begin(); !it.atEnd(); ++it) {
        const QTextBlock block = it.currentBlock();
        QTextLayout *lines = block.isValid() ? block.layout() : nullptr; // none for a table
        if (!lines || lines->lineCount() == 0)
            continue;
        if (lineTop(doc_, block, 0) >= top)
            break;
        const int last = lines->lineCount() - 1;
        const double bottom = lineTop(doc_, block, last) + lines->lineAt(last).height();
        if (bottom <= top)
            continue;
        painter.setPen(context.palette.color(QPalette::Text));
        for (int i = 0; i <= last; ++i)
            if (const double middle = lineTop(doc_, block, i) + lines->lineAt(i).height() / 2;
                middle >= top && middle < end)
                lines->lineAt(i).draw(&painter, lines->position());
        from = bottom;
        break;
    }
    // A line that only touches the stretch's edge is drawn too: the stretch the layout is
    // given ends a pixel inside it.
    if (from + 2 < end) {
        context.clip = QRectF(0, from + 1, width, end - from - 2);
        doc_.documentLayout()->draw(&painter, context);
    }
    painter.restore();
    QFont small = doc_.defaultFont();
    small.setPointSizeF(8);
    painter.setFont(small);
    painter.drawText(QRectF(0, height_, width, footer_), Qt::AlignHCenter | Qt::AlignBottom, QString::number(page + 1));
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
