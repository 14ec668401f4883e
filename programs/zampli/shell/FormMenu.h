// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "state/FormId.h"
#include "shell/Form.h"

namespace zampli {

// The main menu: twelve exercise buttons, "Informazioni" and "Esci".
// Every load restarts the counting.
class FormMenu final : public Form {
    Q_OBJECT
public:
    explicit FormMenu(Windows &w);

    // An exercise button: opens its window and, for most, closes the menu.
    void openExercise(FormId target, bool menuStaysOpen);
    void Command3D6_Click();
    void Command3D5_Click();

    bool closeRequested() override;

protected:
    void buildControls(DesignCanvas &canvas) override;
    void Form_Load() override;
};

} // namespace zampli
