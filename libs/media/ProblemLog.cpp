// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/ProblemLog.h"

#include "media/Printable.h"

#include <cstdio>

namespace zampli {

ProblemLog::ProblemLog()
    : sink_([](const QString &line) {
          std::fprintf(stderr, "zampli: %s\n", visible(line).toLocal8Bit().constData());
          std::fflush(stderr);
      })
{
}

void ProblemLog::missingFile(const QString &path, const QString &why)
{
    QMutexLocker lock(&mutex_);
    if (reported_.contains(path))
        return;
    reported_.insert(path);
    sink_(why.isEmpty() ? QStringLiteral("file mancante o illeggibile: %1").arg(path)
                        : QStringLiteral("%1: %2").arg(path, why));
}

void ProblemLog::noteOnce(const QString &line)
{
    QMutexLocker lock(&mutex_);
    if (remarked_.contains(line))
        return;
    remarked_.insert(line);
    sink_(line);
}

void ProblemLog::note(const QString &line)
{
    QMutexLocker lock(&mutex_);
    sink_(line);
}

} // namespace zampli
