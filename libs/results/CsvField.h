// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

// The answers' spreadsheet, one answer a line, fields split by ';': its first line.
inline constexpr const char *kAnswersCsvHeader =
    "Data;Ora;Sessione;Nome;Finestra;Turno;Chiesto;Chiesto come;Stile chiesto;Parola;"
    "Scelto;Scelto come;Stile scelto;Esito;Tempo di risposta (ms)";

// A field as spreadsheets read it back: quoted when it holds the separator,
// a quote or a line break, its quotes doubled. A name the adult typed that
// begins like a formula, blanks aside (spreadsheets skip them), is kept as
// text, never run.
QString csvField(const QString &typed);

// A style of letters, 1..4; empty where none was shown.
QString csvStyle(qint64 style);

} // namespace zampli
