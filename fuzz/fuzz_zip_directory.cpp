// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the reader of a copy's file's own directory: any bytes
// give either a fault or entries that each lie whole inside the file, apart
// from one another.
#include "copies/ZipDirectory.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The reader takes an open file, as the import hands it one.
    const int fd = memfd_create("zampli-fuzz", 0);
    if (fd < 0)
        std::abort();
    for (std::size_t done = 0; done < size;) {
        const ssize_t wrote = write(fd, data + done, size - done);
        if (wrote <= 0)
            std::abort();
        done += std::size_t(wrote);
    }
    const zampli::copies::detail::ZipDirectory dir = zampli::copies::detail::readZipDirectory(fd);
    close(fd);
    using Fault = zampli::copies::detail::ZipDirectory::Fault;
    if (dir.fault != Fault::None)
        return 0;
    for (qsizetype i = 0; i < dir.entries.size(); ++i) {
        const auto &a = dir.entries[i];
        if (a.start >= a.end || a.end > size || a.end - a.start < a.compressed)
            std::abort();
        for (qsizetype j = i + 1; j < dir.entries.size(); ++j) {
            const auto &b = dir.entries[j];
            if (a.start < b.end && b.start < a.end)
                std::abort();
        }
    }
    return 0;
}
