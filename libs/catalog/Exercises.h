// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string_view>

namespace zampli {

// The child's windows by their design names, the words of their menu buttons
// and what the child does in each. The child's program builds its menu from
// these words and the adult's programs name the exercises by them, so a
// window is called the same everywhere.
//
// The design's names, kept in the code as the objectName of each control and
// the name of each routine, so that a reader finds one from the other:
// - FormAvvio, the title window (the program's name in the vowels' colours;
//   a click opens the menu), and FormMenu, the main menu: Command1 to
//   Command12 open the twelve exercises, Command3D6 is "Informazioni",
//   Command3D5 "Esci". Neither carries an exercise.
// - Modulo1: the state every window shares, with the sounds and the boxes.
// - In an exercise window, Command1 and Command2 are its two buttons: the
//   arrow "avanti" to the next turn and, where there is one, the card that
//   says the vowel or word again. Which is which differs by window (FormZampli1
//   has only Command1, its arrow; FormPosizioni5 has Command1 to listen again
//   and Command2 the arrow; FormIniziaPer the other way round); the code names
//   them by role, nextButton_ and listenAgainButton_.
// - The way out of an exercise is its menu bar's "Esci" (mnuEsci), which asks
//   "Vuoi terminare?" and goes back to the menu; Escape and the window's close
//   button ask the same. Beside it: Opzioni (mnuOpzioni, one mnuCaratteri_N
//   item per style of letters), "Azzera esercizi" (mnuAzzera) and "Esercizi
//   eseguiti" (mnuEsercizi), which shows the counters.
// - Image1 is what the child looks at and clicks: the vowel's face or letter
//   in the listening windows (one, or a row of five), the three or five to
//   choose from, the five faces of FormPosizioni5, the row of letters of
//   FormCaratteri1, the pieces dragged in FormCaratteri2, the word's picture
//   in FormIniziaPer. Image2 is the one shown large (the vowel heard, the
//   model to match) and Image3 the boxes an answer goes into.
// - Timer1: the listening windows' tick, once a second from the window's
//   load; at each tick the window asks whether the voice has had its two
//   seconds to be heard, then shows the arrow (FormPosizioni1, FormZampli1)
//   or brings the five pictures back (FormPosizioni2, FormZampli2).
// - Stile: the style the turn's letters are drawn in, 1 to 4: stampato
//   maiuscolo, stampato minuscolo, corsivo maiuscolo, corsivo minuscolo (the
//   pictures jpg/A1.jpg to jpg/A4.jpg). Drawn anew each turn, unless chosen in
//   Opzioni (StileFisso).
// - EserciziEseguiti: the counter every window shares of the exercises done
//   (listening) or the right answers (all others); EserciziErrati counts the
//   wrong answers. The menu clears both as it loads; "Azzera esercizi" clears
//   the first, and the second where the window counts wrong answers.
// - CaricaZampli draws and shows a window's turn; parla speaks its vowel or
//   word; LeggiParole is FormIniziaPer's reading of the five word lists
//   (testi/a.txt to testi/u.txt) each time it comes forward; with no word in
//   any, it tells the adult where to write them and goes back to the menu.
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

// The row of a window by its design name; nullptr for any other name, as a
// name read from a file may be.
const ExerciseName *exerciseNamed(const QString &window);

// The same for a name written in the code: a name no row has does not compile.
consteval const ExerciseName *catalogued(std::string_view window)
{
    for (const ExerciseName &row : kExerciseNames)
        if (window == row.window)
            return &row;
    throw "no window of the catalogue has this name";
}

// The words that name an exercise to the adult: the menu's words without the
// padding and the dots the menu leaves to fill; the name itself when no
// window has it.
QString exerciseTitle(const QString &window);

} // namespace zampli
