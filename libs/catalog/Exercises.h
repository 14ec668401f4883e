// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

// The child's windows by their design names, the words of their menu buttons
// and what the child does in each. The child's program builds its menu from
// these words and the adult's programs name the exercises by them, so a
// window is called the same everywhere.
//
// Two windows carry no exercise: FormAvvio, the title window (the program's
// name in the vowels' colours; a click opens the menu), and FormMenu, the
// main menu (twelve exercise buttons, "Informazioni" and "Esci"). The shared
// state every window reads is Modulo1. CaricaZampli loads a window's turn,
// parla speaks its vowel; Command1 is a window's "avanti", Command2 its exit.
struct ExerciseName {
    const char *window;      // design name, and the window's objectName
    const char *menuCaption; // the menu button's words, padded as the menu draws them
    const char *childDoes;   // what the child sees and does, in a teacher's words
};

inline constexpr ExerciseName kExerciseNames[] = {
    {"FormPosizioni1", " POSIZIONI/SUONI   ascolto 1", "ascolta una vocale e guarda la bocca che la dice"},
    {"FormZampli1", "ZAMPLI/SUONI   ascolto 1", "ascolta una vocale e la vede scritta"},
    {"FormPosizioni2", " POSIZIONI/SUONI   ascolto 2", "clicca una delle cinque bocche e ascolta la sua vocale"},
    {"FormZampli2", "ZAMPLI/SUONI   ascolto 2", "clicca una delle cinque vocali scritte e la ascolta"},
    {"FormPosizioni3", " POSIZIONI/SUONI   riconosci 1", "sente una vocale e sceglie la bocca giusta fra tre"},
    {"FormZampli3", "ZAMPLI/SUONI   riconosci 1", "sente una vocale e sceglie la lettera giusta fra tre"},
    {"FormPosizioni4", " POSIZIONI/SUONI   riconosci 2", "sente una vocale e sceglie la bocca giusta fra cinque"},
    {"FormZampli4", "ZAMPLI/SUONI   riconosci 2", "sente una vocale e sceglie la lettera giusta fra cinque"},
    {"FormPosizioni5", " abbina POSIZIONI/SUONI", "vede una vocale scritta e clicca la bocca che la dice"},
    {"FormCaratteri1", " abbina CARATTERI 1", "clicca la stessa vocale scritta in un altro carattere"},
    {"FormCaratteri2", " abbina CARATTERI 2", "trascina ogni vocale accanto alla stessa in un altro carattere"},
    {"FormIniziaPer", " INIZIA PER ......", "vede e sente una parola e sceglie la vocale con cui inizia"},
};

// The row of a window by its design name; nullptr for any other name.
const ExerciseName *exerciseNamed(const QString &window);

// The words that name an exercise to the adult: the menu's words without the
// padding and the dots the menu leaves to fill; the name itself when no
// window has it.
QString exerciseTitle(const QString &window);

} // namespace zampli
