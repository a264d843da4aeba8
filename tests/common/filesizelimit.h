// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A lowered file-size limit stands for a full disk in the tests of the real
// write paths.

#include <csignal>
#include <sys/resource.h>

namespace korvel::testing {

// Lowers the file-size limit of this process for its lifetime. SIGXFSZ is
// ignored, so a write past the limit fails with EFBIG as it fails on a full
// disk with ENOSPC, instead of killing the test.
struct FileSizeLimit {
    rlimit old{};
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit lowered = old;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
};

} // namespace korvel::testing
