// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QTabWidget;
class QWidget;

namespace zampli::teacher {

// Ctrl+1 ... Ctrl+9, Ctrl+PgDown/PgUp and Ctrl+Tab change tab from anywhere
// in `window`, and the focus follows into the tab shown.
void addTabKeys(QWidget *window, QTabWidget *tabs);
// Puts the focus inside the tab shown, unless it is there already.
void focusCurrentTab(QTabWidget *tabs);

} // namespace zampli::teacher
