// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "catalog/Exercises.h"
#include "rules/Report.h"
#include "state/FormId.h"
#include "state/VowelMedia.h"

#include <iterator>
#include <stdexcept>

namespace zampli {

// How the exercise windows differ in their shared frame: one row per window.
enum class StyleItems { None, Five, Eight };
// What follows the choice of a style item.
enum class AfterStyle { Nothing, CaricaZampli, CaricaZampliParla, NextTurn };

// Activation steps, in the order they run.
enum ActivationStep : unsigned {
    StepResetStileFisso = 1u << 0,
    StepOwnResets = 1u << 1,
    StepLeggiParole = 1u << 2,
    StepCaricaZampli = 1u << 3,
    StepParla = 1u << 4,
};

// A window's row of the catalogue, with how this program shows it.
struct ExerciseWindowRow {
    FormId id;
    const ExerciseName *catalog; // its design name, menu words and what the child does
    StyleItems styles;
    AfterStyle afterStyle;
    CounterVariant counters;
    unsigned steps; // ActivationStep flags
    Pictures pictures;
    bool tintAfterRight; // a right answer tints the window in the vowel's colour
    constexpr const char *name() const { return catalog->window; }
};

// Pictures and tint describe the windows' own exercises, read by their families.
inline constexpr ExerciseWindowRow kExerciseWindows[] = {
    {FormId::Posizioni1, catalogued("FormPosizioni1"), StyleItems::None, AfterStyle::Nothing, CounterVariant::A, StepCaricaZampli | StepParla, Pictures::Faces, false},
    {FormId::Zampli1, catalogued("FormZampli1"), StyleItems::Five, AfterStyle::CaricaZampliParla, CounterVariant::A, StepResetStileFisso | StepCaricaZampli | StepParla, Pictures::Letters, false},
    {FormId::Posizioni2, catalogued("FormPosizioni2"), StyleItems::None, AfterStyle::Nothing, CounterVariant::A, StepOwnResets | StepCaricaZampli, Pictures::Faces, false},
    {FormId::Zampli2, catalogued("FormZampli2"), StyleItems::Five, AfterStyle::CaricaZampli, CounterVariant::A, StepResetStileFisso | StepOwnResets | StepCaricaZampli, Pictures::Letters, false},
    {FormId::Posizioni3, catalogued("FormPosizioni3"), StyleItems::None, AfterStyle::Nothing, CounterVariant::B, StepCaricaZampli | StepParla, Pictures::Faces, true},
    {FormId::Zampli3, catalogued("FormZampli3"), StyleItems::Five, AfterStyle::NextTurn, CounterVariant::B, StepResetStileFisso | StepCaricaZampli | StepParla, Pictures::Letters, false},
    {FormId::Posizioni4, catalogued("FormPosizioni4"), StyleItems::None, AfterStyle::Nothing, CounterVariant::B, StepCaricaZampli | StepParla, Pictures::Faces, true},
    {FormId::Zampli4, catalogued("FormZampli4"), StyleItems::Five, AfterStyle::NextTurn, CounterVariant::B, StepResetStileFisso | StepCaricaZampli | StepParla, Pictures::Letters, false},
    {FormId::Posizioni5, catalogued("FormPosizioni5"), StyleItems::Five, AfterStyle::NextTurn, CounterVariant::B, StepCaricaZampli, Pictures::Faces, true},
    {FormId::Caratteri1, catalogued("FormCaratteri1"), StyleItems::Eight, AfterStyle::NextTurn, CounterVariant::B, StepOwnResets | StepCaricaZampli, Pictures::Letters, true},
    {FormId::Caratteri2, catalogued("FormCaratteri2"), StyleItems::Eight, AfterStyle::NextTurn, CounterVariant::B, StepOwnResets | StepCaricaZampli, Pictures::Letters, true},
    {FormId::IniziaPer, catalogued("FormIniziaPer"), StyleItems::None, AfterStyle::Nothing, CounterVariant::A, StepLeggiParole | StepCaricaZampli | StepParla, Pictures::Words, false},
};

// Every window of the catalogue has one row here and every exercise kind
// one row: a window added to one table and not the other does not compile.
consteval bool oneRowEach()
{
    for (const ExerciseName &named : kExerciseNames) {
        int rows = 0;
        for (const ExerciseWindowRow &row : kExerciseWindows)
            rows += row.catalog == &named;
        if (rows != 1)
            return false;
    }
    for (int id = int(FormId::Posizioni1); id <= int(FormId::IniziaPer); ++id) {
        int rows = 0;
        for (const ExerciseWindowRow &row : kExerciseWindows)
            rows += row.id == FormId(id);
        if (rows != 1)
            return false;
    }
    return std::size(kExerciseWindows) == std::size(kExerciseNames);
}
static_assert(oneRowEach());

// The row of an exercise window; the title and the menu have none. Asked in
// a constant expression, a kind without a row does not compile.
constexpr const ExerciseWindowRow &exerciseWindow(FormId id)
{
    for (const ExerciseWindowRow &row : kExerciseWindows)
        if (row.id == id)
            return row;
    throw std::invalid_argument("not an exercise window");
}

} // namespace zampli
