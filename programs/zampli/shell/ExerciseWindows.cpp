// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ExerciseWindows.h"

#include <stdexcept>

namespace zampli {

const ExerciseWindowRow &exerciseWindow(FormId id)
{
    for (const ExerciseWindowRow &row : kExerciseWindows)
        if (row.id == id)
            return row;
    throw std::invalid_argument("not an exercise window");
}

} // namespace zampli
