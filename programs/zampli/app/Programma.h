// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/Form.h"
#include "shell/Windows.h"
#include "state/Modulo1.h"

#include <memory>

namespace zampli {

// Makes the window of a kind; null for a kind this program does not have yet.
std::unique_ptr<Form> createForm(FormId id, Windows &windows);

// The whole program: the shared state and the one instance of each window.
class Programma {
public:
    explicit Programma(Services services, Windows::Factory factory = createForm);

    // Seeds the generator once and shows the title window.
    void Main();

    Modulo1 modulo;
    Windows windows;
};

} // namespace zampli
