#include "messages.h"

#include <cstdio>

namespace tavimond {
namespace {

class StderrSink : public MessageSink {
public:
    void error(const QString &text) override { std::fprintf(stderr, "error: %s\n", qUtf8Printable(text)); }
    void info(const QString &text) override { std::fprintf(stderr, "%s\n", qUtf8Printable(text)); }
};

StderrSink defaultSink;
MessageSink *current = &defaultSink;

} // namespace

MessageSink &messages()
{
    return *current;
}

void setMessageSink(MessageSink *sink)
{
    current = sink ? sink : &defaultSink;
}

} // namespace tavimond
