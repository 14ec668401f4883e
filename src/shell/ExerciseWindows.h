#pragma once

#include "app/FormId.h"

namespace zampli {

// How the exercise windows differ in their shared frame: one row per window.
enum class StyleItems { None, Five, Eight };
enum class CounterVariant {
    A, // counts exercises done
    B, // counts right and wrong answers
};
// What follows the choice of a style item.
enum class AfterStyle { Nothing, CaricaZampli, CaricaZampliParla, Command2Click };

// Activation steps, in the order they run.
enum ActivationStep : unsigned {
    StepResetStileFisso = 1u << 0,
    StepOwnResets = 1u << 1,
    // PreparaLettere always runs here.
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
};

inline constexpr ExerciseWindowRow kExerciseWindows[] = {
    {FormId::Posizioni1, "FormPosizioni1", StyleItems::None, AfterStyle::Nothing, CounterVariant::A, StepCaricaZampli | StepParla},
    {FormId::Zampli1, "FormZampli1", StyleItems::Five, AfterStyle::CaricaZampliParla, CounterVariant::A, StepResetStileFisso | StepCaricaZampli | StepParla},
    {FormId::Posizioni2, "FormPosizioni2", StyleItems::None, AfterStyle::Nothing, CounterVariant::A, StepOwnResets | StepCaricaZampli},
    {FormId::Zampli2, "FormZampli2", StyleItems::Five, AfterStyle::CaricaZampli, CounterVariant::A, StepResetStileFisso | StepOwnResets | StepCaricaZampli},
    {FormId::Posizioni3, "FormPosizioni3", StyleItems::None, AfterStyle::Nothing, CounterVariant::B, StepCaricaZampli | StepParla},
    {FormId::Zampli3, "FormZampli3", StyleItems::Five, AfterStyle::Command2Click, CounterVariant::B, StepResetStileFisso | StepCaricaZampli | StepParla},
    {FormId::Posizioni4, "FormPosizioni4", StyleItems::None, AfterStyle::Nothing, CounterVariant::B, StepCaricaZampli | StepParla},
    {FormId::Zampli4, "FormZampli4", StyleItems::Five, AfterStyle::Command2Click, CounterVariant::B, StepResetStileFisso | StepCaricaZampli | StepParla},
    {FormId::Posizioni5, "FormPosizioni5", StyleItems::Five, AfterStyle::Command2Click, CounterVariant::B, StepCaricaZampli},
    {FormId::Caratteri1, "FormCaratteri1", StyleItems::Eight, AfterStyle::Command2Click, CounterVariant::B, StepOwnResets | StepCaricaZampli},
    {FormId::Caratteri2, "FormCaratteri2", StyleItems::Eight, AfterStyle::Command2Click, CounterVariant::B, StepOwnResets | StepCaricaZampli},
    {FormId::IniziaPer, "FormIniziaPer", StyleItems::None, AfterStyle::Nothing, CounterVariant::A, StepLeggiParole | StepCaricaZampli | StepParla},
};

const ExerciseWindowRow &exerciseWindow(FormId id);

} // namespace zampli
