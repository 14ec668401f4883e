// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Report.h"
#include "state/FormId.h"
#include "state/VowelMedia.h"

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

struct ExerciseWindowRow {
    FormId id;
    const char *name;
    StyleItems styles;
    AfterStyle afterStyle;
    CounterVariant counters;
    unsigned steps; // ActivationStep flags
    Pictures pictures;
    bool tintAfterRight; // a right answer tints the window in the vowel's colour
};

// Pictures and tint describe the windows' own exercises, read by their families.
inline constexpr ExerciseWindowRow kExerciseWindows[] = {
    {FormId::Posizioni1, "FormPosizioni1", StyleItems::None, AfterStyle::Nothing, CounterVariant::A, StepCaricaZampli | StepParla, Pictures::Faces, false},
    {FormId::Zampli1, "FormZampli1", StyleItems::Five, AfterStyle::CaricaZampliParla, CounterVariant::A, StepResetStileFisso | StepCaricaZampli | StepParla, Pictures::Letters, false},
    {FormId::Posizioni2, "FormPosizioni2", StyleItems::None, AfterStyle::Nothing, CounterVariant::A, StepOwnResets | StepCaricaZampli, Pictures::Faces, false},
    {FormId::Zampli2, "FormZampli2", StyleItems::Five, AfterStyle::CaricaZampli, CounterVariant::A, StepResetStileFisso | StepOwnResets | StepCaricaZampli, Pictures::Letters, false},
    {FormId::Posizioni3, "FormPosizioni3", StyleItems::None, AfterStyle::Nothing, CounterVariant::B, StepCaricaZampli | StepParla, Pictures::Faces, true},
    {FormId::Zampli3, "FormZampli3", StyleItems::Five, AfterStyle::NextTurn, CounterVariant::B, StepResetStileFisso | StepCaricaZampli | StepParla, Pictures::Letters, false},
    {FormId::Posizioni4, "FormPosizioni4", StyleItems::None, AfterStyle::Nothing, CounterVariant::B, StepCaricaZampli | StepParla, Pictures::Faces, true},
    {FormId::Zampli4, "FormZampli4", StyleItems::Five, AfterStyle::NextTurn, CounterVariant::B, StepResetStileFisso | StepCaricaZampli | StepParla, Pictures::Letters, false},
    {FormId::Posizioni5, "FormPosizioni5", StyleItems::Five, AfterStyle::NextTurn, CounterVariant::B, StepCaricaZampli, Pictures::Faces, true},
    {FormId::Caratteri1, "FormCaratteri1", StyleItems::Eight, AfterStyle::NextTurn, CounterVariant::B, StepOwnResets | StepCaricaZampli, Pictures::Letters, true},
    {FormId::Caratteri2, "FormCaratteri2", StyleItems::Eight, AfterStyle::NextTurn, CounterVariant::B, StepOwnResets | StepCaricaZampli, Pictures::Letters, true},
    {FormId::IniziaPer, "FormIniziaPer", StyleItems::None, AfterStyle::Nothing, CounterVariant::A, StepLeggiParole | StepCaricaZampli | StepParla, Pictures::Words, false},
};

const ExerciseWindowRow &exerciseWindow(FormId id);

} // namespace zampli
