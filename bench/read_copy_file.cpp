// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a copy's file into memory as the teacher's "Importa parole" does,
// so that bench_hostile_archives can measure what that costs: its exit
// status is 0 when the file was read, 1 when it was refused.
//
//   bench_read_copy_file FILE

#include "copies/CopyArchive.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fputs("usage: bench_read_copy_file FILE\n", stderr);
        return 2;
    }
    const zampli::copies::ArchiveContents contents = zampli::copies::readCopyFile(app.arguments().at(1));
    qint64 bytes = 0;
    for (const QByteArray &file : contents.files)
        bytes += file.size();
    std::printf("%lld files, %lld bytes%s%s\n", static_cast<long long>(contents.files.size()),
                static_cast<long long>(bytes), contents.problem.isEmpty() ? "" : ": ",
                qPrintable(contents.problem));
    return contents.problem.isEmpty() ? 0 : 1;
}
