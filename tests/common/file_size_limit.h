#pragma once

#include <csignal>
#include <sys/resource.h>

namespace tavimond::test {

// A full disk for this process while it lives: writing past `bytes` into any file fails
// with EFBIG (the signal that would end the process is ignored meanwhile). Works
// unprivileged and as root, where an unwritable folder would not stop a write.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        if (getrlimit(RLIMIT_FSIZE, &previous_) != 0)
            return;
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        if (active_)
            setrlimit(RLIMIT_FSIZE, &previous_);
        if (previousHandler_ != SIG_ERR)
            std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = SIG_ERR;
    bool active_ = false;
};

} // namespace tavimond::test
