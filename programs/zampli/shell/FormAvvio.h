// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/Form.h"

namespace zampli {

// The title window: the program's name and the ten letters in the vowel
// colours. Any click opens the main menu and closes it for good.
class FormAvvio final : public Form {
    Q_OBJECT
public:
    explicit FormAvvio(Windows &w);

    void Form_Click();
    void Label1_Click();
    void Label2_Click(int index);

protected:
    void buildControls(DesignCanvas &canvas) override;
    KeyOrder keyOrder() const override { return KeyOrder::None; }

private:
    void openMenu();
};

} // namespace zampli
