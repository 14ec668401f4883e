// SPDX-License-Identifier: GPL-3.0-or-later
// A full disk without filling one: a limit on the size of any file this
// process writes, for the object's lifetime.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace zampli::test {

// Writes past `bytes` fail with EFBIG instead of ending the test.
struct FileSizeLimit {
    rlimit before{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit limit{bytes, before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, SIG_DFL);
    }
};

} // namespace zampli::test
