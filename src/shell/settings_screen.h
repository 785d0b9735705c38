#pragma once

#include "core/settings.h"
#include "ui/screen.h"

#include <memory>

class QTimer;

namespace Ui {
class SettingsScreenForm;
}

namespace tavimond {

// The window caption until the connection settings first change.
inline constexpr char kWindowCaption[] = "Tavimond(Ver 5.02.15) :";

// The timers whose intervals the settings screen sets.
struct IntervalTimers {
    QTimer *defaultTimer;
    QTimer *latchTimer;
    QTimer *cbcLatchTimer;
};

// The settings screen (Page_Conf_Set): the connection fields, the metafile folder,
// the three sampling intervals, the export file, and the tips page.
class SettingsScreen : public Screen, public Settings {
    Q_OBJECT
public:
    SettingsScreen(Connection &cnn, IntervalTimers timers, QWidget *parent = nullptr);
    ~SettingsScreen() override;

    // Start-up: reads db.ini from the current folder and sidlist.txt from the metafile
    // folder. A missing file is reported and the reading goes on with what remains.
    void readConfiguration();
    // Start-up: the tips page starts loading from the address in urllink.
    void startTipsPage();
    // Start-up: the keyboard focus goes to the service-name box.
    void focusServiceName();

    // The connection-string prefix read from db.ini.
    const QString &BaseConnStr() const { return baseConnStr_; }

    QString metafileFolder() const override;
    QString serviceName() const override;
    QString csvFileName() const override;
    QString csvDelimiter() const override;

public Q_SLOTS:
    // A change of the service name, user name or password: the connection closes and
    // takes the new string, and the caption names the service.
    void sidlistChange();
    // The interval edits: seconds, applied at once; 0 stops the timer.
    void default_timer_textChange();
    void latch_timer_textChange();
    void cbclatch_timer_textChange();

Q_SIGNALS:
    void captionChanged(const QString &caption);

private:
    std::unique_ptr<Ui::SettingsScreenForm> ui_;
    IntervalTimers timers_;
    QString baseConnStr_;
};

} // namespace tavimond
