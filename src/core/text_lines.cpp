#include "text_lines.h"

#include "db/error.h"

#include <QFileInfo>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>

namespace tavimond {
namespace {

// The text of a file: UTF-8 unless a byte-order mark, or the zero bytes of UTF-16
// (as an editor on Windows may save it), say otherwise.
QString decode(const QByteArray &bytes)
{
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(bytes);
    if (!encoding && bytes.size() >= 2) {
        if (bytes.at(0) != 0 && bytes.at(1) == 0)
            encoding = QStringConverter::Utf16LE;
        else if (bytes.at(0) == 0 && bytes.at(1) != 0)
            encoding = QStringConverter::Utf16BE;
    }
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    return decoder.decode(bytes);
}

} // namespace

TextLineReader::TextLineReader(const QString &path) : file_(path)
{
    if (!file_.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("%1: %2").arg(path, file_.errorString()));
    const QByteArray bytes = file_.readAll();
    if (file_.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("%1: %2").arg(path, file_.errorString()));
    text_ = decode(bytes);
}

bool TextLineReader::next(QString &line)
{
    if (at_ >= text_.size())
        return false;
    qsizetype end = at_;
    while (end < text_.size() && text_.at(end) != QLatin1Char('\n') && text_.at(end) != QLatin1Char('\r'))
        ++end;
    line = text_.mid(at_, end - at_);
    at_ = end;
    // CR LF, LF or a CR alone end a line.
    if (at_ < text_.size() && text_.at(at_) == QLatin1Char('\r'))
        ++at_;
    if (at_ < text_.size() && text_.at(at_) == QLatin1Char('\n'))
        ++at_;
    return true;
}

WholeFileWriter::WholeFileWriter(const QString &path)
    : path_(path), existed_(QFileInfo::exists(path)), file_(path)
{
    // Unbuffered: a write the disk cuts short shows in the write's count. A buffered write
    // that fails only when the file is closed would be committed cut short.
    errno = 0;
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        fail();
}

void WholeFileWriter::write(const QByteArray &bytes)
{
    errno = 0;
    if (file_.write(bytes) != bytes.size())
        fail();
}

void WholeFileWriter::commit()
{
    errno = 0;
    if (!file_.commit())
        fail();
}

void WholeFileWriter::fail()
{
    // Qt reports a failed write as "Unknown error": the system's own words say why.
    const int code = errno;
    QString reason = code != 0 ? QString::fromLocal8Bit(std::strerror(code)) : file_.errorString();
    if (reason.isEmpty())
        reason = QStringLiteral("the system gave no reason");
    file_.cancelWriting();
    throw Error(QStringLiteral("Cannot write file \"%1\": %2. %3")
                    .arg(path_, reason,
                         existed_ ? QStringLiteral("The file keeps its previous content.")
                                  : QStringLiteral("No file was written.")));
}

} // namespace tavimond
