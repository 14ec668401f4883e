// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QBoxLayout;
class QWidget;

namespace zampli::teacher {

// A command of a tab: its button and action share the name tests and the guide use.
struct TabCommand {
    const char *name;
    QString text;
    QKeySequence keys = {};
};

// The command as an action of `owner`, its keys working anywhere inside it,
// and as a button at the end of `row`; the tooltip names the keys.
QAction *addCommand(QWidget *owner, QBoxLayout *row, const TabCommand &command);
// A button at the end of `row` for an action made elsewhere (the copy's Annulla, Ripeti).
void addButton(QBoxLayout *row, QAction *action);

} // namespace zampli::teacher
