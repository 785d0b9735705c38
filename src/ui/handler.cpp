#include "handler.h"

#include "tick_error_box.h"

#include "core/messages.h"
#include "db/error.h"

#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>
#include <QMessageBox>

namespace tavimond {
namespace {

class MessageBoxSink : public MessageSink {
public:
    void error(const QString &text) override
    {
        QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Tavimond"), text);
    }
    void info(const QString &text) override
    {
        QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Tavimond"), text);
    }
    void tickError(const QString &timer, const QString &text) override { showTickError(timer, text); }
};

// The message of what a handler or a tick threw.
template <typename Report>
void runReporting(const std::function<void()> &work, Report report)
{
    try {
        work();
    } catch (const Error &e) {
        report(e.message());
    } catch (const std::bad_alloc &) {
        report(QStringLiteral("Out of memory."));
    } catch (const std::exception &e) {
        report(QString::fromUtf8(e.what()));
    }
}

} // namespace

void runGuarded(const std::function<void()> &handler)
{
    runReporting(handler, [](const QString &text) { messages().error(text); });
}

void onUserTextChange(QComboBox *combo, QObject *context, const std::function<void()> &handler)
{
    const auto run = [handler] { runGuarded(handler); };
    QObject::connect(combo, &QComboBox::textActivated, context, run);
    QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, context, run);
    // The line edit puts the completed text in only after the completion's other
    // receivers have run (it connects each time it gains focus): the handler runs once
    // control is back in the event loop, before anything is painted.
    if (QCompleter *completer = combo->completer())
        QObject::connect(completer, qOverload<const QString &>(&QCompleter::highlighted), context, run,
                         Qt::QueuedConnection);
}

void runGuardedTick(const QString &timer, const std::function<void()> &tick)
{
    runReporting(tick, [&](const QString &text) { messages().tickError(timer, text); });
}

void installMessageBoxes()
{
    static MessageBoxSink sink;
    setMessageSink(&sink);
}

} // namespace tavimond
