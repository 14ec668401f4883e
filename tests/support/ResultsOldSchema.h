// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The tables as earlier versions of the program made them on users'
// machines, written out here: a file of each must still open and upgrade.

// Version 1: sessions and answers.
#define RESULTS_FIRST_VERSION_TABLES                                                                                   \
    "CREATE TABLE sessions(id INTEGER PRIMARY KEY, started_ms INTEGER NOT NULL, ended_ms INTEGER NOT NULL,"           \
    " program_folder TEXT NOT NULL, label TEXT);"                                                                     \
    "CREATE TABLE answers(id INTEGER PRIMARY KEY,"                                                                    \
    " session_id INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE, at_ms INTEGER NOT NULL,"                 \
    " window TEXT NOT NULL, turn INTEGER NOT NULL, asked TEXT NOT NULL, asked_as TEXT NOT NULL,"                      \
    " asked_style INTEGER NOT NULL, word TEXT, chosen TEXT NOT NULL, chosen_as TEXT NOT NULL,"                        \
    " chosen_style INTEGER NOT NULL, right INTEGER NOT NULL, answer_ms INTEGER NOT NULL);"                            \
    "CREATE INDEX answers_at ON answers(at_ms);"                                                                      \
    "CREATE INDEX answers_session ON answers(session_id);"

// A file of the first version: one session named by the adult, one answer.
#define RESULTS_FIRST_VERSION_FILE                                                                                     \
    RESULTS_FIRST_VERSION_TABLES                                                                                       \
    "INSERT INTO sessions VALUES(1, 1709546400000, 1709546460000, '/opt/zampli', 'Anna');"                            \
    "INSERT INTO answers VALUES(1, 1, 1709546400000, 'FormZampli3', 1, 'E', 'voce', 0, NULL, 'I', 'lettera', 1, 0,"   \
    " 900);"                                                                                                          \
    "PRAGMA user_version = 1;"

// Version 2 added the answers the writer could not keep, counted, and the
// batches of set-aside answers already merged.
#define RESULTS_SECOND_VERSION_TABLES                                                                                  \
    RESULTS_FIRST_VERSION_TABLES                                                                                       \
    "CREATE TABLE problems(id INTEGER PRIMARY KEY, at_ms INTEGER NOT NULL, kind TEXT NOT NULL,"                       \
    " count INTEGER NOT NULL);"                                                                                       \
    "CREATE TABLE merged_batches(id TEXT PRIMARY KEY, merged_ms INTEGER NOT NULL);"
