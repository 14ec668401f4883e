// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace zampli::teacher {

// Makes `dialog` wide enough for its title bar to show the title whole: its
// own title and the program's name the window system adds after it. Called
// once the title is set.
void keepTitleWhole(QWidget *dialog);

} // namespace zampli::teacher
