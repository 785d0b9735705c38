#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>
#include <QList>

namespace tavimond::test {

// A temporary folder that is the current folder while it lives.
class TempCurrentFolder {
public:
    TempCurrentFolder() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~TempCurrentFolder() { QDir::setCurrent(previous_); }
    TempCurrentFolder(const TempCurrentFolder &) = delete;
    TempCurrentFolder &operator=(const TempCurrentFolder &) = delete;

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

// Catches what would go to the desktop for the given URL schemes.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QStringList &schemes);
    ~UrlCatcher() override;
    QList<QUrl> urls;

public Q_SLOTS:
    void handle(const QUrl &url) { urls << url; }

private:
    QStringList schemes_;
};

} // namespace tavimond::test

namespace tavimond {
class TForm1;
}

namespace tavimond::test {

// db.ini selecting the simulated instance with its metafile folder inside `folder`,
// and a sidlist.txt there naming TAVIDB and TAVIDB2.
void writeSimulatedConfig(const TempCurrentFolder &folder);

// Shows the window and runs its start-up.
void startUp(TForm1 &window);

} // namespace tavimond::test
