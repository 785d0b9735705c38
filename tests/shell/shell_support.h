#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QUrl>
#include <QList>

#include "common/temp_folder.h"

namespace tavimond::test {

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

#include "common/recording_sink.h"
#include "core/result_grid.h"
#include "db/sim/server.h"
#include "shell/main_window.h"
#include "ui/grid_view.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace tavimond::test {

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
