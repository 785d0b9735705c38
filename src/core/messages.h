#pragma once

#include <QString>

namespace tavimond {

// Where the system's message boxes go. The window installs the one that shows
// modal boxes; tests install one that records.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // The application's error box: the message of a failed handler.
    virtual void error(const QString &text) = 0;
    // A plain message box ("CSV Created: ...").
    virtual void info(const QString &text) = 0;
    // The error of a timer's tick. It must not hold up the timers: the next tick runs
    // on time however long the message stays unread.
    virtual void tickError(const QString &timer, const QString &text)
    {
        Q_UNUSED(timer);
        error(text);
    }
};

MessageSink &messages();
// Installs a sink (not owned); nullptr restores the default, which writes to stderr.
void setMessageSink(MessageSink *sink);

} // namespace tavimond
