#include "desktop.h"

#include "db/error.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace tavimond {

void openOnDesktop(const QUrl &url)
{
    if (QDesktopServices::openUrl(url))
        return;
    const QString name = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    throw Error(QStringLiteral("No program of this desktop opened \"%1\".").arg(name));
}

} // namespace tavimond
