#include "media/ProblemLog.h"

#include <cstdio>

namespace zampli {

ProblemLog::ProblemLog()
    : sink_([](const QString &line) {
          std::fprintf(stderr, "zampli: %s\n", line.toLocal8Bit().constData());
          std::fflush(stderr);
      })
{
}

void ProblemLog::missingFile(const QString &path)
{
    QMutexLocker lock(&mutex_);
    if (reported_.contains(path))
        return;
    reported_.insert(path);
    sink_(QStringLiteral("file mancante o illeggibile: %1").arg(path));
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
