#include "recording_sink.h"

namespace tavimond::test {
namespace {
RecordingSink *active = nullptr;
}

RecordingSink::RecordingSink()
{
    active = this;
}

RecordingSink::~RecordingSink()
{
    if (active == this)
        active = nullptr;
}

RecordingSink &RecordingSink::current()
{
    return *active;
}

} // namespace tavimond::test
