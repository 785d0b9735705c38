#pragma once

// The user's manual: a Markdown text in the repository that takes sections of the README
// where it names them, laid out on A4 pages and written as a PDF.

#include <QPageLayout>
#include <QString>

#include <memory>
#include <stdexcept>
#include <vector>

class QPaintDevice;
class QPainter;
class QTextDocument;

namespace tavimond::manual {

class ManualError : public std::runtime_error {
public:
    explicit ManualError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// The part of a Markdown text under the heading `title`, without the heading itself, up
// to the next heading of the same or a higher level; its own subheadings moved down by
// `levelShift` levels. Fenced code is not read for headings. Throws when no heading has
// that title.
QString markdownSection(const QString &markdown, const QString &title, int levelShift = 0);

// The manual's text with each line <!-- README: Title --> replaced by the README's
// section of that title, its subheadings placed under the manual's heading above the
// line. Throws when the README has no such section.
QString assembleManual(const QString &manual, const QString &readme);

// The manual's text as a document, in the manual's default font.
std::unique_ptr<QTextDocument> manualDocument(const QString &markdown);

// The manual's page: A4 with its margins, written at 300 dots an inch.
QPageLayout manualPageLayout();
constexpr int manualResolution = 300;

// The document laid out on pages of the device, whose size is a page's printable area: a
// table of contents of its chapters (second-level headings) with their pages after its
// title, and a page number at the foot of every page. A page ends between lines, a table
// row stays whole, and a heading stays with the first lines that follow it. The document
// is laid out for the device while this lives, and for the screen again after.
class ManualPages {
public:
    ManualPages(QTextDocument &doc, QPaintDevice &device);
    ~ManualPages();
    ManualPages(const ManualPages &) = delete;
    ManualPages &operator=(const ManualPages &) = delete;

    int count() const;
    // Draws page `page` (0 the first) with the painter's origin at the printable area's corner:
    // its own lines and rows, and nothing of the pages before and after it.
    void draw(QPainter &painter, int page) const;

private:
    QTextDocument &doc_;
    int footer_;               // the band at the foot for the page number: a third of an inch
    double height_;            // of a page above that band
    std::vector<double> tops_; // where each page begins in the document
};

// Writes the document as a PDF of ManualPages. Returns the number of pages; throws when the
// file cannot be written.
int writeManualPdf(QTextDocument &doc, const QString &path);

} // namespace tavimond::manual
