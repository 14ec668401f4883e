// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "state/MessageBoxes.h"

namespace zampli {

// The toolkit's modal message boxes, with Italian captions.
class QtMessageBoxes final : public MessageBoxes {
public:
    MessageBox::Answer show(const MessageBox &box, QWidget *parent) override;
};

} // namespace zampli
