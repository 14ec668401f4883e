// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/TabButtons.h"

#include <QAction>
#include <QBoxLayout>
#include <QToolButton>

namespace zampli::teacher {

QAction *addCommand(QWidget *owner, QBoxLayout *row, const TabCommand &command)
{
    auto *action = new QAction(command.text, owner);
    action->setObjectName(QString::fromLatin1(command.name));
    action->setShortcut(command.keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    const QString plain = QString(command.text).remove(u'&');
    action->setToolTip(command.keys.isEmpty()
                           ? plain
                           : QStringLiteral("%1 (%2)").arg(plain, command.keys.toString(QKeySequence::NativeText)));
    owner->addAction(action);
    addButton(row, action);
    return action;
}

void addButton(QBoxLayout *row, QAction *action)
{
    auto *button = new QToolButton;
    button->setDefaultAction(action);
    button->setObjectName(action->objectName());
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    row->addWidget(button);
}

} // namespace zampli::teacher
