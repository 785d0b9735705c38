#include "text_lines.h"

#include "db/error.h"

namespace tavimond {

TextLineReader::TextLineReader(const QString &path) : file_(path)
{
    if (!file_.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("%1: %2").arg(path, file_.errorString()));
}

bool TextLineReader::next(QString &line)
{
    if (file_.atEnd())
        return false;
    QByteArray bytes = file_.readLine();
    if (bytes.isEmpty() && file_.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("%1: %2").arg(file_.fileName(), file_.errorString()));
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    line = QString::fromUtf8(bytes);
    return true;
}

} // namespace tavimond
