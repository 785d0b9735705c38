#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tavimond::test {

// A temporary folder that is the current folder while it lives.
class TempCurrentFolder {
public:
    TempCurrentFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~TempCurrentFolder() { QDir::setCurrent(previous_); }
    Q_DISABLE_COPY(TempCurrentFolder)

    QString path() const { return dir_.path(); }
    QString filePath(const QString &name) const { return dir_.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(filePath(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};

} // namespace tavimond::test
