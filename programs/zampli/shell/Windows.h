// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/ActivationTracker.h"
#include "shell/ScreenMode.h"
#include "state/FormId.h"

#include <functional>
#include <map>
#include <memory>

namespace zampli {

class Form;
class Modulo1;

// The one instance of each window kind, made on first use and kept for the
// run, and the activation rule they share. Which class makes a kind is the
// application's choice, handed in as the factory.
class Windows {
public:
    using Factory = std::function<std::unique_ptr<Form>(FormId, Windows &)>;

    Windows(Modulo1 &m, Factory factory);
    ~Windows();
    Windows(const Windows &) = delete;
    Windows &operator=(const Windows &) = delete;

    Modulo1 &m;
    ActivationTracker activation;
    // The child's last input was a key: the windows show the focus frame.
    bool keyboardInUse = false;
    ScreenMode screen;

    // Null for a kind this program does not have.
    Form *form(FormId id);
    template <class F> F &form(FormId id) { return static_cast<F &>(*form(id)); }

private:
    Factory factory_;
    std::map<FormId, std::unique_ptr<Form>> forms_;
};

} // namespace zampli
