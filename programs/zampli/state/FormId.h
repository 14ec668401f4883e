// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zampli {

// Every window kind of the program.
enum class FormId {
    Avvio,
    Menu,
    Posizioni1,
    Posizioni2,
    Posizioni3,
    Posizioni4,
    Posizioni5,
    Zampli1,
    Zampli2,
    Zampli3,
    Zampli4,
    Caratteri1,
    Caratteri2,
    IniziaPer,
};

} // namespace zampli
