// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/MessageBoxes.h"

namespace zampli {

bool MessageBoxes::askYesNo(const QString &text, QWidget *parent)
{
    return show({MessageBox::Icon::Question, MessageBox::Buttons::YesNo, kProgramTitle, text},
                parent) == MessageBox::Answer::Yes;
}

void MessageBoxes::inform(const QString &text, QWidget *parent)
{
    show({MessageBox::Icon::Information, MessageBox::Buttons::Ok, kProgramTitle, text}, parent);
}

void MessageBoxes::tell(const QString &text, QWidget *parent)
{
    show({MessageBox::Icon::None, MessageBox::Buttons::Ok, kProgramTitle, text}, parent);
}

} // namespace zampli
