#include "settings_screen.h"

#include "ui_shell_settings_screen.h"

#include "config_files.h"
#include "core/messages.h"
#include "core/conversions.h"
#include "db/connection.h"
#include "db/error.h"
#include "ui/handler.h"

#include <QDir>
#include <QFileInfo>
#include <QProxyStyle>
#include <QTimer>

#include <limits>

namespace tavimond {
namespace {

// Masks the password with '#'.
class HashPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '#';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Seconds to a timer interval. The same interval leaves the timer's count alone
// (setInterval would restart it); 0 stops it (a zero-interval timer never rests).
void applyIntervalSeconds(QTimer &timer, const QString &text)
{
    constexpr int maxSeconds = std::numeric_limits<int>::max() / 1000;
    const int seconds = strictToInt(text);
    if (seconds < 0 || seconds > maxSeconds)
        throw Error(QStringLiteral("'%1' is not a valid interval: give a number of seconds from 0 to %2")
                        .arg(text)
                        .arg(maxSeconds));
    const int ms = seconds * 1000;
    if (ms == 0) {
        timer.stop();
        timer.setInterval(0);
    } else if (ms != timer.interval() || !timer.isActive()) {
        timer.start(ms);
    }
}

} // namespace

SettingsScreen::SettingsScreen(Connection &cnn, IntervalTimers timers, QWidget *parent)
    : Screen(QStringLiteral("Page_Conf_Set"), ScreenContext{cnn, *this}, parent),
      ui_(std::make_unique<Ui::SettingsScreenForm>()), timers_(timers)
{
    ui_->setupUi(this);
    auto *mask = new HashPasswordStyle;
    mask->setParent(ui_->PassW);
    ui_->PassW->setStyle(mask);
    ui_->metaloc->setText(QDir::homePath() + QStringLiteral("/tavimond"));

    const auto change = guarded([this] { sidlistChange(); });
    connect(ui_->sidlist, &QComboBox::currentTextChanged, this, change);
    connect(ui_->UserN, &QLineEdit::textChanged, this, change);
    connect(ui_->PassW, &QLineEdit::textChanged, this, change);
    // The delimiter shares the default interval's change handler.
    const auto defaultInterval = guarded([this] { default_timer_textChange(); });
    connect(ui_->default_timer_text, &QLineEdit::textChanged, this, defaultInterval);
    connect(ui_->delimchar, &QLineEdit::textChanged, this, defaultInterval);
    connect(ui_->latch_timer_text, &QLineEdit::textChanged, this, guarded([this] { latch_timer_textChange(); }));
    connect(ui_->cbclatch_timer_text, &QLineEdit::textChanged, this, guarded([this] { cbclatch_timer_textChange(); }));
}

SettingsScreen::~SettingsScreen() = default;

void SettingsScreen::readConfiguration()
{
    cnn().setConnectionString({});
    DbIni ini;
    try {
        readDbIni(QStringLiteral("db.ini"), ini);
        // Said now, rather than left to a driver's later complaint about a data source.
        if (!ini.sectionFound)
            messages().error(
                ini.sectionNamed
                    ? QStringLiteral("The file \"db.ini\" names the section \"%1\" but has no line \"[%1]\": the "
                                     "connection string has no prefix.")
                          .arg(ini.section)
                    : QStringLiteral("The file \"db.ini\" names no section: it has no line holding \"ZADERIRODU\", "
                                     "so the connection string has no prefix."));
    } catch (const std::exception &) {
        messages().error(QStringLiteral("Cannot locate \"db.ini\" file"));
    }
    if (ini.metafileFolder)
        ui_->metaloc->setText(*ini.metafileFolder);
    cnn().setConnectionString(ConnectionString{ini.connectionPrefix, std::nullopt});
    baseConnStr_ = cnn().connectionText();

    // Filling the list is not a change of the service name.
    QStringList names;
    bool complete = true;
    const QString sidList = ui_->metaloc->text() + QStringLiteral("/sidlist.txt");
    try {
        readSidList(sidList, names);
    } catch (const std::exception &) {
        complete = false;
        messages().error(QStringLiteral("Cannot locate \"sidlist.txt\" file") + QStringLiteral("\nLooked for: ") +
                         QDir::toNativeSeparators(QFileInfo(sidList).absoluteFilePath()));
    }
    const QSignalBlocker block(ui_->sidlist);
    ui_->sidlist->addItems(names);
    ui_->sidlist->setCurrentIndex(complete ? 0 : -1);
}

void SettingsScreen::startTipsPage()
{
    ui_->WebBrowser2->navigate(QUrl(ui_->urllink->text()));
}

void SettingsScreen::focusServiceName()
{
    ui_->sidlist->setFocus();
}

QString SettingsScreen::metafileFolder() const
{
    return ui_->metaloc->text();
}

QString SettingsScreen::serviceName() const
{
    return ui_->sidlist->currentText();
}

QString SettingsScreen::csvFileName() const
{
    return ui_->csvfilename->text();
}

QString SettingsScreen::csvDelimiter() const
{
    return ui_->delimchar->text();
}

void SettingsScreen::sidlistChange()
{
    const QString service = ui_->sidlist->currentText();
    cnn().close();
    cnn().setConnectionString(ConnectionString{baseConnStr_, Logon{ui_->UserN->text(), ui_->PassW->text(), service}});
    Q_EMIT captionChanged(QLatin1String(kWindowCaption) + QLatin1Char(' ') + service);
}

void SettingsScreen::default_timer_textChange()
{
    applyIntervalSeconds(*timers_.defaultTimer, ui_->default_timer_text->text());
}

void SettingsScreen::latch_timer_textChange()
{
    applyIntervalSeconds(*timers_.latchTimer, ui_->latch_timer_text->text());
}

void SettingsScreen::cbclatch_timer_textChange()
{
    applyIntervalSeconds(*timers_.cbcLatchTimer, ui_->cbclatch_timer_text->text());
}

} // namespace tavimond
