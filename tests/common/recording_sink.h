#pragma once

#include "core/messages.h"

#include <QStringList>

namespace tavimond::test {

// Records the message boxes the system would show.
class RecordingSink : public MessageSink {
public:
    RecordingSink() { active_ = this; }
    ~RecordingSink() override { active_ = active_ == this ? nullptr : active_; }
    void error(const QString &text) override { errors << text; }
    void info(const QString &text) override { infos << text; }
    void clear()
    {
        errors.clear();
        infos.clear();
    }
    QStringList errors;
    QStringList infos;

    // The sink of the running test program.
    static RecordingSink &current() { return *active_; }

private:
    static inline RecordingSink *active_ = nullptr;
};

} // namespace tavimond::test
