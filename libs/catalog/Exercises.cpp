// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalog/Exercises.h"

#include <QRegularExpression>

namespace zampli {

const ExerciseName *exerciseNamed(const QString &window)
{
    for (const ExerciseName &row : kExerciseNames)
        if (window == QLatin1String(row.window))
            return &row;
    return nullptr;
}

QString exerciseTitle(const QString &window)
{
    const ExerciseName *row = exerciseNamed(window);
    if (!row)
        return window;
    static const QRegularExpression trailingDots(QStringLiteral("[\\s.]+$"));
    return QString::fromLatin1(row->menuCaption).simplified().remove(trailingDots);
}

} // namespace zampli
