#pragma once

#include "common/recording_sink.h"
#include "common/temp_folder.h"
#include "core/result_grid.h"
#include "db/sim/server.h"
#include "shell/main_window.h"
#include "ui/grid_view.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <stdexcept>

namespace tavimond::test {

// Catches what would go to the desktop for the given URL schemes.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    explicit UrlCatcher(const QStringList &schemes) : schemes_(schemes)
    {
        for (const QString &s : schemes_)
            QDesktopServices::setUrlHandler(s, this, "handle");
    }
    ~UrlCatcher() override
    {
        for (const QString &s : schemes_)
            QDesktopServices::unsetUrlHandler(s);
    }
    QList<QUrl> urls;

public Q_SLOTS:
    void handle(const QUrl &url) { urls << url; }

private:
    QStringList schemes_;
};

// db.ini selecting the simulated instance with its metafile folder inside `folder`,
// and a sidlist.txt there naming TAVIDB and TAVIDB2.
inline void writeSimulatedConfig(const TempCurrentFolder &folder)
{
    QDir(folder.path()).mkdir(QStringLiteral("meta"));
    folder.write(QStringLiteral("db.ini"),
                 "ZADERIRODU=SIM\nMETADATA=" + folder.filePath(QStringLiteral("meta")).toUtf8() +
                     "\n[SIM]\nProvider=Simulated;\n[SIM_END]\n");
    folder.write(QStringLiteral("meta/sidlist.txt"), "TAVIDB\nTAVIDB2\n");
}

// Shows the window and runs its start-up.
inline void startUp(TForm1 &window)
{
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    window.FormShow();
}

// The whole window started up on the simulated instance (its clock stopped), with a
// user name typed so that the first query logs on.
class LoggedOnWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.reset(3, sim::ClockMode::Manual);
        writeSimulatedConfig(folder);
        startUp(window);
        widget<QLineEdit>("UserN").setText(QStringLiteral("system"));
        sink().clear();
    }
    static RecordingSink &sink() { return RecordingSink::current(); }

    template <class W>
    W &widget(const char *name)
    {
        W *w = window.findChild<W *>(QLatin1String(name));
        if (!w)
            throw std::runtime_error(std::string("no component ") + name);
        return *w;
    }
    void check(const char *name, bool on) { widget<QCheckBox>(name).setChecked(on); }
    void press(const char *name) { QTest::mouseClick(&widget<QAbstractButton>(name), Qt::LeftButton); }
    const ResultGrid &grid(const char *name) { return widget<ResultGrid>(name); }
    QTimer *timer(const char *name) { return &widget<QTimer>(name); }
    // The timer's own connection, as a tick runs it.
    void fire(const char *name, Qt::ConnectionType type = Qt::DirectConnection)
    {
        QMetaObject::invokeMethod(timer(name), "timeout", type);
    }
    // Chooses the session of a row of the session topology's grid, as a click does.
    void chooseRow(int row)
    {
        GridView &view = widget<GridView>("sessres_grid");
        const QModelIndex index = view.model()->index(row - 1, 0);
        view.setCurrentIndex(index);
        Q_EMIT view.clicked(index);
    }

    sim::Server &server = sim::Server::instance();
    TempCurrentFolder folder;
    TForm1 window;
};

} // namespace tavimond::test
